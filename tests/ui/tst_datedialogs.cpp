// The interval and date dialogs: their checks without widgets, then the real
// interval dialog driven with keys (Enter moving between the fields, a wrong
// interval refused while the dialog stays open).

#include "common/scripteddialogs.h"
#include "testsupport.h"
#include "ui/datedialogs.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace ui;

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

} // namespace

TEST(DateDialogs, IntervalErrorNamesLastThenFirst)
{
    EXPECT_EQ(intervalError(QDate(2024, 1, 31), QDate(2024, 1, 5)),
              "Intervalul de timp nu este corect! 05.01.2024 < 31.01.2024");
    EXPECT_EQ(intervalError(QDate(2024, 1, 2), QDate(2024, 1, 1)),
              "Intervalul de timp nu este corect! 01.01.2024 < 02.01.2024");
    EXPECT_EQ(intervalError(QDate(2024, 1, 5), QDate(2024, 1, 5)), "");
    EXPECT_EQ(intervalError(QDate(2024, 1, 5), QDate(2024, 1, 31)), "");
}

TEST(DateDialogs, IntervalChecksBothFieldsAndTheirOrder)
{
    using F = IntervalDlgLogic::Field;
    const struct {
        const char* first;
        const char* last;
        QDate wantFirst, wantLast; // null when refused
        const char* warning;
        F refused;
    } cases[] = {
        {"01.01.2024", "31.01.2024", {2024, 1, 1}, {2024, 1, 31}, "", F::None},
        {"15.03.2024", "15.03.2024", {2024, 3, 15}, {2024, 3, 15}, "", F::None},
        {" 1.2.24 ", "3.2.2024", {2024, 2, 1}, {2024, 2, 3}, "", F::None},
        {"31.01.2024", "05.01.2024", {}, {}, "Intervalul de timp nu este corect! 05.01.2024 < 31.01.2024", F::First},
        {"02.01.2024", "01.01.2024", {}, {}, "Intervalul de timp nu este corect! 01.01.2024 < 02.01.2024", F::First},
        {"31.02.2026", "01.03.2026", {}, {}, "'31.02.2026' nu este o data valida", F::First},
        {"01.01.2026", "abc", {}, {}, "'abc' nu este o data valida", F::Last},
        {"", "01.01.2026", {}, {}, "Specificati data!", F::First},
        {"01.01.2026", "  ", {}, {}, "Specificati data!", F::Last},
    };
    const QDate before1(2020, 5, 1), before2(2020, 5, 31);
    for (const auto& c : cases) {
        common::ScriptedDialogs dialogs;
        common::Formats formats;
        IntervalDlgLogic logic(dialogs, formats, before1, before2);
        logic.firstText = QString::fromUtf8(c.first);
        logic.lastText = QString::fromUtf8(c.last);
        const bool accepted = logic.accept();
        SCOPED_TRACE(std::string(c.first) + " .. " + c.last);
        EXPECT_EQ(accepted, c.wantFirst.isValid());
        EXPECT_EQ(logic.refusedField(), c.refused);
        if (accepted) {
            EXPECT_EQ(logic.first(), c.wantFirst);
            EXPECT_EQ(logic.last(), c.wantLast);
            EXPECT_TRUE(dialogs.messages.isEmpty());
        } else {
            EXPECT_EQ(logic.first(), before1) << "a refused interval changes nothing";
            EXPECT_EQ(logic.last(), before2);
            ASSERT_EQ(dialogs.messages.size(), 1);
            EXPECT_EQ(dialogs.last().icon, common::Icon::Warning);
            EXPECT_EQ(dialogs.last().text, QString::fromUtf8(c.warning));
        }
    }
}

TEST(DateDialogs, FieldsOpenWithTheDatesPassedIn)
{
    common::ScriptedDialogs dialogs;
    common::Formats formats;
    IntervalDlgLogic interval(dialogs, formats, QDate(2024, 1, 5), QDate());
    EXPECT_EQ(interval.firstText, "05.01.2024");
    EXPECT_EQ(interval.lastText, "");

    SelDateDlgLogic date(dialogs, formats, QDate(2026, 12, 9));
    EXPECT_EQ(date.text, "09.12.2026");
    date.text = "30.02.2026";
    EXPECT_FALSE(date.accept());
    EXPECT_EQ(date.date(), QDate(2026, 12, 9));
    EXPECT_EQ(dialogs.last().text, "'30.02.2026' nu este o data valida");
    date.text = "1.3.2026";
    EXPECT_TRUE(date.accept());
    EXPECT_EQ(date.date(), QDate(2026, 3, 1));
}

TEST(DateDialogs, IntervalDialogDrivenWithKeys)
{
    common::ScriptedDialogs dialogs;
    common::Formats formats;
    QDate first(2024, 1, 31), last(2024, 1, 5);
    bool stayedOpen = false;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<TIntervalDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->windowTitle(), "Setati intervalul dorit:");
        EXPECT_EQ(dlg->focusWidget(), dlg->firstEdit()) << "focus starts in the first field";
        EXPECT_EQ(dlg->firstEdit()->text(), "31.01.2024");
        QTest::keyClick(dlg->firstEdit(), Qt::Key_Return);
        EXPECT_EQ(dlg->focusWidget(), dlg->lastEdit()) << "Enter in the first field moves to the second";
        EXPECT_TRUE(dialogs.messages.isEmpty());

        QTest::keyClick(dlg->lastEdit(), Qt::Key_Return); // 05.01.2024 < 31.01.2024
        EXPECT_EQ(dialogs.texts(), QStringList{"Intervalul de timp nu este corect! 05.01.2024 < 31.01.2024"});
        stayedOpen = dlg->isVisible() && dlg->result() == 0;
        EXPECT_EQ(dlg->focusWidget(), dlg->firstEdit());

        dlg->lastEdit()->setFocus(); // the user goes back to the last date
        dlg->lastEdit()->clear();
        QTest::keyClicks(dlg->lastEdit(), "29.02.2024");
        EXPECT_TRUE(testsupport::saveShot(*dlg, QStringLiteral("interval_dialog.png")));
        QTest::keyClick(dlg->lastEdit(), Qt::Key_Enter); // like "&Deschide"
        if (dlg->isVisible()) {
            ADD_FAILURE() << "Enter in the last field did not confirm";
            dlg->reject();
        }
    });
    ASSERT_TRUE(SelectInterval(nullptr, dialogs, formats, first, last));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(first, QDate(2024, 1, 31));
    EXPECT_EQ(last, QDate(2024, 2, 29));
    EXPECT_EQ(dialogs.messages.size(), 1);
}

TEST(DateDialogs, CancelledDialogsChangeNothing)
{
    common::ScriptedDialogs dialogs;
    common::Formats formats;
    QDate first(2024, 1, 1), last(2024, 1, 31);
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<TIntervalDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->firstEdit()->setText("01.06.2024");
        dlg->reject();
    });
    EXPECT_FALSE(SelectInterval(nullptr, dialogs, formats, first, last));
    EXPECT_EQ(first, QDate(2024, 1, 1));

    QDate date(2026, 12, 9);
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<TSelDateDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->windowTitle(), "Selectie");
        dlg->dateEdit()->setText("10.12.2026");
        EXPECT_TRUE(testsupport::saveShot(*dlg, QStringLiteral("date_dialog.png")));
        dlg->okButton()->click();
    });
    EXPECT_TRUE(SelectDate(nullptr, dialogs, formats, date));
    EXPECT_EQ(date, QDate(2026, 12, 10));

    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<TCalendarDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->calendar()->selectedDate(), QDate(2026, 12, 9));
        dlg->calendar()->setSelectedDate(QDate(2026, 12, 24));
        EXPECT_TRUE(testsupport::saveShot(*dlg, QStringLiteral("calendar_dialog.png")));
        dlg->accept();
    });
    EXPECT_EQ(PickCalendarDate(nullptr, QDate(2026, 12, 9)), std::optional<QDate>(QDate(2026, 12, 24)));
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(PickCalendarDate(nullptr, QDate(2026, 12, 9)), std::nullopt);
}
