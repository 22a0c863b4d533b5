#include "tfirmdatadlg.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace shell {

TFirmDataDlg::TFirmDataDlg(datastore::Database& db, common::Dialogs& dialogs, int firmNo, QString definitionFile,
                           QWidget* parent)
    : QDialog(parent), m_logic(db, dialogs, firmNo), m_definitionFile(std::move(definitionFile)),
      m_dialogs(dialogs)
{
    setWindowTitle(QStringLiteral("Date de firma"));
    setModal(true);
    m_logic.focusField = [this](const QString& field) {
        if (ui::FieldEdit* e = edit(field))
            e->setFocus();
    };
}

ui::FieldEdit* TFirmDataDlg::edit(const QString& field) const
{
    for (ui::FieldEdit* e : m_edits)
        if (e->field().compare(field, Qt::CaseInsensitive) == 0)
            return e;
    return nullptr;
}

bool TFirmDataDlg::prepare()
{
    if (!m_logic.FormCreate())
        return false;
    auto* tabs = new QTabWidget(this);
    auto* page = new QWidget;
    tabs->addTab(page, QStringLiteral("&Editeaza"));
    auto* form = new QFormLayout(page);
    auto add = [&](QFormLayout* into, const QString& caption, const QString& field, int width) {
        auto* e = new ui::FieldEdit(m_logic.firms, field, m_dialogs, page);
        if (width > 0)
            e->setMaximumWidth(width);
        m_edits << e;
        into->addRow(caption, e);
        return e;
    };
    add(form, QStringLiteral("Nr. curent:"), QStringLiteral("Cod"), 80);
    add(form, QStringLiteral("Denumire:"), QStringLiteral("Denumire"), 0);
    add(form, QStringLiteral("Adresa:"), QStringLiteral("Adresa"), 0);
    add(form, QStringLiteral("Judet:"), QStringLiteral("Judet"), 200);
    add(form, QStringLiteral("Cod fiscal:"), QStringLiteral("Cod fiscal"), 200);
    add(form, QStringLiteral("O.R.C."), QStringLiteral("ORC"), 200);
    add(form, QStringLiteral("Banca:"), QStringLiteral("Banca"), 0);
    add(form, QStringLiteral("Cont:"), QStringLiteral("Cont"), 0);
    auto* commission = new QGroupBox(QStringLiteral("Comisia de inventariere:"), page);
    auto* members = new QFormLayout(commission);
    for (int i = 1; i <= 6; ++i)
        add(members, QStringLiteral("%1.").arg(i), QStringLiteral("Comisia%1").arg(i), 0);
    form->addRow(commission);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    auto* ok = new QPushButton(QStringLiteral("&Valideaza"), this);
    ok->setToolTip(QStringLiteral("Sunt de acord"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    layout->addLayout(buttons);
    resize(460, 480);
    m_edits.first()->setFocus(); // typing starts in "Nr. curent:"
    return true;
}

void TFirmDataDlg::done(int result)
{
    if (result == QDialog::Accepted) {
        for (ui::FieldEdit* e : m_edits)
            if (!e->commit())
                return;
        if (!m_logic.Valideaza(m_definitionFile))
            return;
    } else {
        m_logic.FormClose();
    }
    QDialog::done(result);
}

int TFirmDataDlg::run(datastore::Database& db, common::Dialogs& dialogs, int firmNo, const QString& definitionFile,
                      QWidget* parent)
{
    TFirmDataDlg dlg(db, dialogs, firmNo, definitionFile, parent);
    if (!dlg.prepare())
        return firmNo;
    dlg.exec();
    return dlg.logic().firmNo();
}

} // namespace shell
