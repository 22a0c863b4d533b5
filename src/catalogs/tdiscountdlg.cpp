#include "tdiscountdlg.h"

#include "common/formats.h"
#include "ui/qtdialogs.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QVBoxLayout>

namespace catalogs {

double applyDiscount(double price, double percent)
{
    return price * (percent / 100.0 + 1.0);
}

DiscountDlgLogic::DiscountDlgLogic(common::Dialogs& dialogs, double percent)
    : text(fieldText(percent)), m_dialogs(dialogs), m_percent(percent)
{
}

QString DiscountDlgLogic::fieldText(double percent)
{
    const common::Formats formats;
    QString shown;
    for (const char* mask : {"0.##", "0.#", "0"}) {
        shown = common::formatFloat(QString::fromLatin1(mask), percent, formats);
        if (shown.size() <= kDiscountMaxLength)
            break;
    }
    return shown;
}

bool DiscountDlgLogic::accept()
{
    const QString typed = text.trimmed();
    if (typed.isEmpty()) {
        m_dialogs.warning(QStringLiteral("Specificati discount-ul procentual!"));
        return false;
    }
    const std::optional<double> value = common::parseFloat(typed, common::Formats());
    if (!value) {
        m_dialogs.warning(QStringLiteral("'%1' nu este un numar valid!").arg(typed));
        return false;
    }
    if (*value <= -100.0) {
        m_dialogs.error(QString::fromUtf8(kDiscountTooLow));
        return false;
    }
    m_percent = *value;
    return true;
}

TDiscountDlg::TDiscountDlg(DiscountDlgLogic& logic, QWidget* parent) : QDialog(parent), m_logic(logic)
{
    setObjectName(QStringLiteral("TDiscountDlg"));
    setWindowTitle(QString::fromLatin1(kDiscountCaption));

    auto* prompt = new QLabel(QString::fromLatin1(kDiscountPrompt), this);
    prompt->setWordWrap(true);
    m_edit = new QLineEdit(this);
    m_edit->setMaxLength(kDiscountMaxLength);
    m_edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9]*([.,][0-9]*)?")), m_edit));
    m_edit->setAlignment(Qt::AlignRight);
    m_edit->setFixedWidth(m_edit->fontMetrics().horizontalAdvance(QStringLiteral("-00,0")) + 16);
    m_edit->setText(logic.text);
    prompt->setBuddy(m_edit);
    auto* field = new QHBoxLayout;
    field->addStretch(1);
    field->addWidget(m_edit);
    field->addWidget(new QLabel(QStringLiteral("%"), this));
    field->addStretch(1);

    auto* buttons = new QDialogButtonBox(this);
    m_apply = buttons->addButton(QStringLiteral("Aplica"), QDialogButtonBox::AcceptRole);
    m_cancel = buttons->addButton(QStringLiteral("&Renunta"), QDialogButtonBox::RejectRole);
    m_apply->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &TDiscountDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TDiscountDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addLayout(field);
    layout->addWidget(buttons);
    prompt->setFixedWidth(320);
    setFixedSize(sizeHint());
    m_edit->selectAll();
    m_edit->setFocus();
}

void TDiscountDlg::accept()
{
    m_logic.text = m_edit->text();
    if (m_logic.accept()) {
        QDialog::accept();
        return;
    }
    m_edit->setFocus();
    m_edit->selectAll();
}

void TDiscountDlg::showEvent(QShowEvent* event)
{
    // Centred on the screen, not on the owner.
    QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}

bool AskDiscount(QWidget* owner, double& percent)
{
    ui::QtDialogs dialogs(owner);
    DiscountDlgLogic logic(dialogs, percent);
    TDiscountDlg dialog(logic, owner);
    dialogs.setParent(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    percent = logic.percent();
    return true;
}

} // namespace catalogs
