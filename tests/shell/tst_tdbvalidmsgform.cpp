// The database opening window and its folder picker.

#include <gtest/gtest.h>

#include "shelltest.h"

#include "shell/tdbvalidmsgform.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>

using namespace shell;

TEST(ShortenPath, ReplacesMiddleComponentsToStayWithin35Characters)
{
    struct Case {
        const char* name;
        QString path;
        QString expected;
    };
    const std::vector<Case> cases{
        {"short path unchanged", "/home/ana/baza", "/home/ana/baza"},
        {"exactly 35 unchanged", "/home/ana/gestiune/baza/2024/stocAB", "/home/ana/gestiune/baza/2024/stocAB"},
        {"middle components go", "/home/ana/documente/gestiune/baza/2024/materiale",
         "/home/.../baza/2024/materiale"},
        {"drive letter kept", "C:\\Program Files\\Gestiune\\Date\\Baze\\2024\\Materiale",
         "C:\\...\\Date\\Baze\\2024\\Materiale"},
        {"long last component alone", "/home/ana/un_nume_de_director_foarte_lun",
         ".../un_nume_de_director_foarte_lun"},
        {"last component longer than the limit", "/a/" + QString(50, 'z'), QString(32, 'z') + "..."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString s = shortenPath(c.path, 35);
        EXPECT_EQ(s, c.expected);
        EXPECT_LE(s.size(), 35);
    }
}

namespace {

struct PickerFixture : ::testing::Test {
    testsupport::TempDir tmp;
    common::ScriptedDialogs dialogs;
    QStringList handlerCalls;
};

} // namespace

TEST_F(PickerFixture, StartsOnTheStartDirectoryAndShowsItShortened)
{
    const QString deep = tmp.file("un/drum/destul/de/lung/spre/baza/de/date");
    QDir().mkpath(deep);
    TBrowseFolderDialog dialog(deep + "/", {}, dialogs);
    EXPECT_EQ(dialog.windowTitle(), "Select database directory");
    EXPECT_EQ(dialog.selectedFolder(), deep);
    EXPECT_EQ(dialog.statusLabel()->text(), shortenPath(deep, 35));
    EXPECT_LE(dialog.statusLabel()->text().size(), 35);
    EXPECT_EQ(dialog.newDirectoryButton()->text(), "New directory");
    EXPECT_EQ(dialog.newDirectoryButton()->width(), 75);

    dialog.okButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.chosenFolder(), deep);
}

TEST_F(PickerFixture, MissingStartDirectorySelectsNothing)
{
    TBrowseFolderDialog dialog(tmp.file("nu-exista"), {}, dialogs);
    EXPECT_TRUE(dialog.selectedFolder().isEmpty());
    EXPECT_TRUE(dialog.statusLabel()->text().isEmpty());
    EXPECT_FALSE(dialog.okButton()->isEnabled());
}

TEST_F(PickerFixture, NewDirectoryButtonClosesThePickerOnlyWhenTheHandlerMadeOne)
{
    const QString start = tmp.file("baze");
    QDir().mkpath(start);
    struct Case {
        const char* name;
        std::function<std::optional<QString>(const QString&)> handler;
        bool closes;
        QString chosen;
        int errors;
    };
    const std::vector<Case> cases{
        {"no directory made: stays open", [](const QString&) { return std::optional<QString>(); }, false, {}, 0},
        {"directory made: closes with it",
         [&](const QString& selected) { return std::optional<QString>(selected + "/noua"); }, true,
         start + "/noua", 0},
        {"an error is reported and the picker stays",
         [](const QString&) -> std::optional<QString> { throw std::runtime_error("Nume invalid"); }, false, {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        handlerCalls.clear();
        TBrowseFolderDialog dialog(
            start,
            [&](const QString& selected) {
                handlerCalls << selected;
                return c.handler(selected);
            },
            dialogs);
        dialog.show();
        dialog.newDirectoryButton()->click();
        EXPECT_EQ(handlerCalls, QStringList{start});
        EXPECT_EQ(dialog.isVisible(), !c.closes);
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.closes);
        EXPECT_EQ(dialog.chosenFolder(), c.chosen);
        EXPECT_EQ(dialogs.messages.size(), c.errors);
    }
}

TEST(OpeningWindow, StepLabelHiddenUntilSetAndProgressFrom0To100)
{
    common::ScriptedDialogs dialogs;
    TDBValidMsgForm form(dialogs);
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(form.stepLabel()->isHidden());
    EXPECT_TRUE(form.progressBar()->isHidden());
    EXPECT_EQ(form.progressBar()->minimum(), 0);
    EXPECT_EQ(form.progressBar()->maximum(), 100);

    form.setProgressBarVisible(true);
    form.setStepText("Validez baza de date...");
    form.setStepVisible(true);
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.stepLabel()->isVisible());
    EXPECT_EQ(form.stepLabel()->text(), "Validez baza de date...");
    EXPECT_TRUE(form.stepLabel()->wordWrap());
    EXPECT_TRUE(form.progressBar()->isVisible());

    form.setProgress(40);
    EXPECT_EQ(form.progressBar()->value(), 40);
    form.setStepVisible(false);
    EXPECT_FALSE(form.isVisible());
}
