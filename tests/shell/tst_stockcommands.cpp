// The stock commands of the main window: "Stocuri &initiale" opens its window
// once; "Recalculare &stocuri" rebuilds the stock behind its own borderless
// window, then the open windows read it again.

#include "shell/tmainform.h"
#include "shell/tmessageform.h"
#include "shelltest.h"
#include "stock/recalculation.h"
#include "stock/tinistockform.h"

#include <QApplication>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <gtest/gtest.h>

using namespace shell;

namespace {

class StockCommands : public ::testing::Test, public shelltest::ContextFixture {
protected:
    void SetUp() override
    {
        settings.setValue("LastDatabaseDir", newDir("baza"));
        ASSERT_TRUE(form.startUp()) << dialogs.texts().join(" | ").toStdString();
        datastore::Database& db = ctx->database;
        db.exec("INSERT INTO \"Gest.db\" (Cod, Denumire) VALUES ('A', 'Magazie')");
        db.exec("INSERT INTO CATALOG (Grupa, Cod, Denumire, Unitate_masura) VALUES ('G', 'ART', 'Hartie', 'top')");
        db.exec("INSERT INTO DOC_IN (Contor, Tip) VALUES (1, 'FCT')");
        db.exec("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie_lei, "
                "Cantitate) VALUES (1, 1, 'A', 'G', 'ART', 5, 10)");
        dialogs.clear();
    }
    TMainForm form{*ctx};
};

TEST_F(StockCommands, InitialStockOpensOneWindow)
{
    form.runCommand(CommandId::InitialStock);
    QMdiSubWindow* sub = form.singleInstanceWindow("InitialStock");
    ASSERT_NE(sub, nullptr) << dialogs.texts().join(" | ").toStdString();
    EXPECT_EQ(sub->windowTitle(), "Stocuri initiale");
    form.runCommand(CommandId::InitialStock);
    EXPECT_EQ(form.childWindowCount(), 1);
    EXPECT_EQ(ctx->database.scalar("SELECT COUNT(*) FROM DOC_IN WHERE Contor = -1").toInt(), 1);
    form.action(CommandId::CloseAll)->trigger();
    QApplication::processEvents();
    EXPECT_EQ(form.childWindowCount(), 0);
    EXPECT_TRUE(QFile::exists(ctx->privateDir + "iniStock.cfg"));
}

TEST_F(StockCommands, RecalculationRebuildsTheStockBehindItsWindow)
{
    // An initial-stock window is open; it shows the rebuilt stock afterwards.
    form.runCommand(CommandId::InitialStock);
    auto* initial = dynamic_cast<stock::TIniStockForm*>(form.singleInstanceWindow("InitialStock")->widget());
    ASSERT_NE(initial, nullptr);
    ctx->database.exec("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, "
                       "Pret_achizitie_lei, Cantitate) VALUES (-1, 1, 'A', 'G', 'ART', 5, 2)");
    EXPECT_EQ(initial->logic().items.recordCount(), 0);

    form.show();
    // What was on screen while it worked.
    QStringList steps;
    bool windowShown = false;
    QObject::connect(form.statusBar(), &QStatusBar::messageChanged, &form, [&](const QString& text) {
        steps << text;
        if (text == "Actualizez stocurile curente..." && form.workMessage()) {
            windowShown = form.workMessage()->isVisible() && QApplication::overrideCursor() != nullptr;
            EXPECT_EQ(form.workMessage()->text(), "Recalculez stocurile...");
            EXPECT_TRUE(testsupport::saveShot(*form.workMessage(), QStringLiteral("recalculation.png")));
        }
    });
    form.runCommand(CommandId::RecalculateStock);
    EXPECT_TRUE(windowShown);
    const QStringList expected{" Insumez intrarile si stocurile initiale...", "Insumez iesirile...",
                               "Calculez stocurile...", "Sterg stocurile curente...",
                               "Actualizez stocurile curente...", "Terminat cu succes..."};
    EXPECT_EQ(steps.mid(0, expected.size()), expected);
    EXPECT_EQ(form.workMessage(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(dialogs.texts(), QStringList{stock::kRecalculationDone});
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(ctx->database.scalar("SELECT Cantitate FROM STOC").toDouble(), 12);
    EXPECT_EQ(initial->logic().items.recordCount(), 1);

    // A failure: the stock as it was, the error, no success.
    ctx->database.exec("UPDATE STOC SET Cantitate = 7");
    ctx->database.dropTable("Doc_out.DB");
    dialogs.clear();
    form.runCommand(CommandId::RecalculateStock);
    EXPECT_EQ(ctx->database.scalar("SELECT Cantitate FROM STOC").toDouble(), 7);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.last().icon, common::Icon::Error);
    EXPECT_EQ(form.workMessage(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    form.action(CommandId::CloseAll)->trigger();
    QApplication::processEvents();
}

} // namespace
