// The Qt message boxes: Romanian buttons, icons, line breaks and answers.

#include <gtest/gtest.h>

#include "ui/qtdialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

using common::Answer;
using common::Buttons;
using common::Icon;
using ui::QtDialogs;

namespace {

QStringList captions(const QMessageBox& box)
{
    QStringList out;
    for (QAbstractButton* b : box.buttons())
        out << b->text();
    out.sort();
    return out;
}

QAbstractButton* buttonNamed(const QMessageBox& box, const QString& caption)
{
    for (QAbstractButton* b : box.buttons())
        if (b->text() == caption)
            return b;
    return nullptr;
}

} // namespace

TEST(QtDialogs, ButtonsAnswerWithTheirRomanianCaptions)
{
    struct Case {
        const char* name;
        Buttons buttons;
        QStringList captions; // sorted
        std::vector<std::pair<QString, Answer>> clicks;
        Answer closedWithoutButton;
        QString defaultCaption; // what Enter answers
    };
    const std::vector<Case> cases{
        {"OK", Buttons::Ok, {"OK"}, {{"OK", Answer::Ok}}, Answer::Ok, "OK"},
        {"OK / Renunta", Buttons::OkCancel, {"OK", "Renunta"}, {{"OK", Answer::Ok}, {"Renunta", Answer::Cancel}},
         Answer::Cancel, "OK"},
        {"Da / Nu", Buttons::YesNo, {"Da", "Nu"}, {{"Da", Answer::Yes}, {"Nu", Answer::No}}, Answer::No, "Da"},
        {"Da / Nu, Nu implicit", Buttons::YesNoDefaultNo, {"Da", "Nu"}, {{"Da", Answer::Yes}, {"Nu", Answer::No}},
         Answer::No, "Nu"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto box = QtDialogs::buildMessageBox(Icon::Confirmation, "Continuati?", c.buttons, nullptr);
        EXPECT_EQ(captions(*box), c.captions);
        for (const auto& [caption, answer] : c.clicks) {
            QAbstractButton* b = buttonNamed(*box, caption);
            ASSERT_NE(b, nullptr);
            EXPECT_EQ(QtDialogs::answerFor(*box, b, c.buttons), answer) << caption.toStdString();
        }
        EXPECT_EQ(QtDialogs::answerFor(*box, nullptr, c.buttons), c.closedWithoutButton);
        EXPECT_EQ(QtDialogs::answerFor(*box, box->escapeButton(), c.buttons), c.closedWithoutButton);
        ASSERT_NE(box->defaultButton(), nullptr);
        EXPECT_EQ(box->defaultButton()->text(), c.defaultCaption);
    }
}

TEST(QtDialogs, IconsAndLineBreaks)
{
    struct Case {
        Icon icon;
        QMessageBox::Icon boxIcon;
    };
    const std::vector<Case> cases{
        {Icon::Warning, QMessageBox::Warning},
        {Icon::Error, QMessageBox::Critical},
        {Icon::Information, QMessageBox::Information},
        {Icon::Confirmation, QMessageBox::Question},
    };
    for (const Case& c : cases) {
        auto box = QtDialogs::buildMessageBox(c.icon, "Nu pot valida baza de date!\rTabela lipsa", Buttons::Ok,
                                              nullptr);
        EXPECT_EQ(box->icon(), c.boxIcon);
        EXPECT_EQ(box->text(), "Nu pot valida baza de date!\nTabela lipsa");
        EXPECT_FALSE(box->windowTitle().isEmpty());
    }
}

TEST(QtDialogs, ModalBoxReturnsTheClickedAnswer)
{
    QtDialogs dialogs;
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        buttonNamed(*box, "Nu")->click();
    });
    EXPECT_EQ(dialogs.message(Icon::Warning, "Doriti crearea uneia noi?", Buttons::YesNo), Answer::No);
}

TEST(QtDialogs, InputBoxReturnsTheTextOrNothing)
{
    QtDialogs dialogs;
    QTimer::singleShot(0, [] {
        auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(input, nullptr);
        EXPECT_EQ(input->windowTitle(), "Director nou");
        EXPECT_EQ(input->labelText(), "Baza de date va fi creata în acest director:");
        input->setTextValue("Buget2024");
        input->accept();
    });
    EXPECT_EQ(dialogs.inputBox("Director nou", "Baza de date va fi creata în acest director:", ""),
              std::optional<QString>("Buget2024"));

    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(dialogs.inputBox("Director nou", "Nume:", "x"), std::nullopt);
}
