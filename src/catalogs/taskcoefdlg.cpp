#include "taskcoefdlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace catalogs {

std::optional<double> parsePercent(const QString& text, const common::Formats& formats)
{
    QString t = text.trimmed();
    if (t.endsWith(u'%'))
        t.chop(1);
    return common::parseFloat(t.trimmed(), formats);
}

TAskCoefDlg::TAskCoefDlg(const QString& prompt, const common::Formats& formats, common::Dialogs& dialogs,
                         QWidget* parent)
    : QDialog(parent), m_formats(formats), m_dialogs(dialogs)
{
    setWindowTitle(QStringLiteral("Indexare de preturi"));
    setModal(true);
    m_prompt = new QLabel(prompt, this);
    m_prompt->setWordWrap(true);
    m_value = new QLineEdit(common::formatFloat(QStringLiteral("0.00%"), 0, formats), this);
    m_value->setAlignment(Qt::AlignRight);
    m_value->setMaximumWidth(120);
    m_value->selectAll();
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("&Renunta"), this);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* value = new QHBoxLayout;
    value->addStretch();
    value->addWidget(m_value);
    value->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_prompt);
    layout->addLayout(value);
    layout->addLayout(buttons);
    setFixedWidth(400);
}

std::optional<double> TAskCoefDlg::percent() const
{
    return parsePercent(m_value->text(), m_formats);
}

void TAskCoefDlg::accept()
{
    if (!percent()) {
        m_dialogs.warning(QStringLiteral("'%1' nu este un numar valid").arg(m_value->text().trimmed()));
        m_value->setFocus();
        return;
    }
    QDialog::accept();
}

std::optional<double> TAskCoefDlg::ask(QWidget* parent, const QString& prompt, const common::Formats& formats,
                                       common::Dialogs& dialogs)
{
    TAskCoefDlg dlg(prompt, formats, dialogs, parent);
    if (dlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return dlg.percent();
}

} // namespace catalogs
