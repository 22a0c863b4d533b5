#include "trefreshdlg.h"

#include "mainformlogic.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace shell {

TRefreshDlg::TRefreshDlg(RefreshDlgLogic& logic, common::Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_logic(logic), m_dialogs(dialogs)
{
    setWindowTitle(QStringLiteral("Interval de actualizare"));

    auto* text = new QLabel(
        QStringLiteral("Specificati intervalul de timp la care se actualizeaza modificarile din baza de date:"), this);
    text->setWordWrap(true);

    m_seconds = new QSpinBox(this);
    m_seconds->setRange(0, RefreshDlgLogic::kMaxSeconds);
    m_seconds->setValue(m_logic.seconds);
    m_seconds->setFixedWidth(80);
    auto* row = new QHBoxLayout;
    row->addWidget(m_seconds);
    row->addWidget(new QLabel(QStringLiteral("secunde;"), this));
    row->addStretch(1);

    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Renunta"), QDialogButtonBox::RejectRole);
    m_ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &TRefreshDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TRefreshDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addLayout(row);
    layout->addWidget(new QLabel(QStringLiteral("zero secunde dezactiveaza actualizarea automata."), this));
    layout->addStretch(1);
    layout->addWidget(buttons);
    resize(360, 170);
}

void TRefreshDlg::accept()
{
    m_seconds->interpretText();
    m_logic.seconds = m_seconds->value();
    if (runReported(m_dialogs, [this] { m_logic.accept(); }))
        QDialog::accept();
}

} // namespace shell
