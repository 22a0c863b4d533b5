#include "qtdialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace ui {

using common::Answer;
using common::Buttons;
using common::Icon;

namespace {

constexpr const char* kAnswerProperty = "mirafelAnswer";

QMessageBox::Icon boxIcon(Icon icon)
{
    switch (icon) {
    case Icon::Warning: return QMessageBox::Warning;
    case Icon::Error: return QMessageBox::Critical;
    case Icon::Information: return QMessageBox::Information;
    case Icon::Confirmation: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QString boxTitle(Icon icon)
{
    switch (icon) {
    case Icon::Warning: return QStringLiteral("Atentie");
    case Icon::Error: return QStringLiteral("Eroare");
    case Icon::Information: return QStringLiteral("Informatie");
    case Icon::Confirmation: return QStringLiteral("Confirmare");
    }
    return {};
}

QPushButton* addAnswerButton(QMessageBox& box, const QString& caption, QMessageBox::ButtonRole role, Answer answer)
{
    QPushButton* button = box.addButton(caption, role);
    button->setProperty(kAnswerProperty, static_cast<int>(answer));
    return button;
}

Answer negativeAnswer(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::OkCancel: return Answer::Cancel;
    case Buttons::YesNo:
    case Buttons::YesNoDefaultNo: return Answer::No;
    }
    return Answer::Cancel;
}

} // namespace

QtDialogs::QtDialogs(QWidget* parent) : m_parent(parent) {}

QWidget* QtDialogs::effectiveParent() const
{
    // While the main window is still hidden (start-up), a box belongs to the
    // window on screen (the opening window) or, without one, to the screen's centre.
    if (m_parent && m_parent->isVisible())
        return m_parent;
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && top->isWindow() && !(top->windowFlags() & Qt::ToolTip))
            return top;
    return nullptr;
}

std::unique_ptr<QMessageBox> QtDialogs::buildMessageBox(Icon icon, const QString& text, Buttons buttons,
                                                        QWidget* parent)
{
    auto box = std::make_unique<QMessageBox>(parent);
    box->setIcon(boxIcon(icon));
    box->setWindowTitle(boxTitle(icon));
    box->setTextFormat(Qt::PlainText);
    box->setText(common::displayText(text));

    switch (buttons) {
    case Buttons::Ok: {
        QPushButton* ok = addAnswerButton(*box, QStringLiteral("OK"), QMessageBox::AcceptRole, Answer::Ok);
        box->setDefaultButton(ok);
        box->setEscapeButton(ok);
        break;
    }
    case Buttons::OkCancel: {
        QPushButton* ok = addAnswerButton(*box, QStringLiteral("OK"), QMessageBox::AcceptRole, Answer::Ok);
        QPushButton* cancel =
            addAnswerButton(*box, QStringLiteral("Renunta"), QMessageBox::RejectRole, Answer::Cancel);
        box->setDefaultButton(ok);
        box->setEscapeButton(cancel);
        break;
    }
    case Buttons::YesNo:
    case Buttons::YesNoDefaultNo: {
        QPushButton* yes = addAnswerButton(*box, QStringLiteral("Da"), QMessageBox::YesRole, Answer::Yes);
        QPushButton* no = addAnswerButton(*box, QStringLiteral("Nu"), QMessageBox::NoRole, Answer::No);
        box->setDefaultButton(buttons == Buttons::YesNo ? yes : no);
        box->setEscapeButton(no);
        break;
    }
    }
    return box;
}

Answer QtDialogs::answerFor(const QMessageBox& box, const QAbstractButton* clicked, Buttons buttons)
{
    if (!clicked || !box.buttons().contains(const_cast<QAbstractButton*>(clicked)))
        return negativeAnswer(buttons);
    const QVariant v = clicked->property(kAnswerProperty);
    return v.isValid() ? static_cast<Answer>(v.toInt()) : negativeAnswer(buttons);
}

Answer QtDialogs::message(Icon icon, const QString& text, Buttons buttons)
{
    std::unique_ptr<QMessageBox> box = buildMessageBox(icon, text, buttons, effectiveParent());
    box->exec();
    return answerFor(*box, box->clickedButton(), buttons);
}

std::optional<QString> QtDialogs::inputBox(const QString& caption, const QString& prompt, const QString& initial)
{
    QInputDialog dialog(effectiveParent());
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(common::displayText(prompt));
    dialog.setTextValue(initial);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Renunta"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

void QtDialogs::beep()
{
    QApplication::beep();
}

} // namespace ui
