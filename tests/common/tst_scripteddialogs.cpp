#include "common/scripteddialogs.h"

#include <gtest/gtest.h>

using common::Answer;
using common::Buttons;
using common::Icon;
using common::ScriptedDialogs;

TEST(DisplayText, AllLineBreaksBecomeNewLines)
{
    struct Case {
        const char* text;
        const char* expected;
    };
    const std::vector<Case> cases{
        {"Tabela lipsa!\r<eroare>", "Tabela lipsa!\n<eroare>"},
        {"a\r\nb\nc\rd", "a\nb\nc\nd"},
        {"a\r\r\nb", "a\n\nb"},
        {"fara", "fara"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(common::displayText(c.text), QString(c.expected)) << c.text;
}

TEST(ScriptedDialogs, RecordsMessagesAsGiven)
{
    ScriptedDialogs d;
    d.warning("Completati tipul documentului!");
    d.error("Eroare\r<x>");
    d.information("Gata");
    d.beep();
    d.beep();
    ASSERT_EQ(d.messages.size(), 3);
    EXPECT_EQ(d.messages.at(0).icon, Icon::Warning);
    EXPECT_EQ(d.messages.at(1).icon, Icon::Error);
    EXPECT_EQ(d.messages.at(1).text, "Eroare\r<x>");
    EXPECT_EQ(d.last().icon, Icon::Information);
    EXPECT_EQ(d.last().buttons, Buttons::Ok);
    EXPECT_EQ(d.texts(), QStringList({"Completati tipul documentului!", "Eroare\r<x>", "Gata"}));
    EXPECT_EQ(d.beeps, 2);

    d.clear();
    EXPECT_TRUE(d.messages.isEmpty());
    EXPECT_EQ(d.beeps, 0);
    EXPECT_TRUE(d.last().text.isEmpty());
}

TEST(ScriptedDialogs, AnswersQuestionsFromTheQueue)
{
    struct Case {
        const char* name;
        std::vector<Answer> queued;
        bool acceptByDefault;
        Buttons buttons;
        Answer expected;
    };
    const std::vector<Case> cases{
        {"default accepts yes/no", {}, true, Buttons::YesNo, Answer::Yes},
        {"default accepts ok/cancel", {}, true, Buttons::OkCancel, Answer::Ok},
        {"default refuses yes/no", {}, false, Buttons::YesNo, Answer::No},
        {"default refuses ok/cancel", {}, false, Buttons::OkCancel, Answer::Cancel},
        {"queued no", {Answer::No}, true, Buttons::YesNo, Answer::No},
        {"queued cancel", {Answer::Cancel}, true, Buttons::OkCancel, Answer::Cancel},
        {"queued yes on ok/cancel", {Answer::Yes}, false, Buttons::OkCancel, Answer::Ok},
        {"queued cancel on yes/no", {Answer::Cancel}, true, Buttons::YesNo, Answer::No},
    };
    for (const Case& c : cases) {
        ScriptedDialogs d;
        d.acceptByDefault = c.acceptByDefault;
        for (Answer a : c.queued)
            d.queueAnswer(a);
        EXPECT_EQ(d.message(Icon::Confirmation, "Sterg documentul curent?", c.buttons), c.expected) << c.name;
        EXPECT_EQ(d.last().answer, c.expected) << c.name;
        EXPECT_EQ(d.pendingAnswers(), 0) << c.name;
    }
}

TEST(ScriptedDialogs, PlainMessagesLeaveTheQueueAlone)
{
    ScriptedDialogs d;
    d.queueAnswer(Answer::No);
    d.queueAnswer(Answer::Yes);
    d.acceptByDefault = false;
    EXPECT_EQ(d.message(Icon::Information, "info"), Answer::Ok);
    EXPECT_FALSE(d.confirm("primul?"));
    EXPECT_TRUE(d.confirm("al doilea?", Buttons::OkCancel));
    EXPECT_FALSE(d.confirm("al treilea?"));
    EXPECT_EQ(d.texts(), QStringList({"info", "primul?", "al doilea?", "al treilea?"}));
}

TEST(ScriptedDialogs, InputBoxes)
{
    ScriptedDialogs d;
    d.queueInput(QString("12"));
    d.queueInput(std::nullopt);
    EXPECT_EQ(d.inputBox("Numar", "Introduceti:", "1"), std::optional<QString>("12"));
    EXPECT_EQ(d.inputBox("Numar", "Introduceti:", "1"), std::nullopt);
    EXPECT_EQ(d.inputBox("Numar", "Introduceti:", "7"), std::optional<QString>("7"));
    d.acceptByDefault = false;
    EXPECT_EQ(d.inputBox("Numar", "Introduceti:", "7"), std::nullopt);
    ASSERT_EQ(d.inputs.size(), 4);
    EXPECT_EQ(d.inputs.at(0).caption, "Numar");
    EXPECT_EQ(d.inputs.at(0).prompt, "Introduceti:");
    EXPECT_EQ(d.inputs.at(0).initial, "1");
    EXPECT_TRUE(d.messages.isEmpty());
}
