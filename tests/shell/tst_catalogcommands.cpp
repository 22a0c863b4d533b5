// The catalog commands of the main window open their windows as children,
// one instance each, and the refresh tick reaches them.

#include "catalogs/tfurnlookupform.h"
#include "shell/tmainform.h"
#include "shelltest.h"

#include <QApplication>
#include <QMdiSubWindow>
#include <gtest/gtest.h>

using namespace shell;

TEST(CatalogsInTheMainWindow, EachCommandOpensOneChildWindow)
{
    shelltest::ContextFixture fx;
    const QString dbDir = fx.newDir("baza");
    fx.settings.setValue("LastDatabaseDir", dbDir);
    TMainForm form(*fx.ctx);
    ASSERT_TRUE(form.startUp()) << fx.dialogs.texts().join(" | ").toStdString();
    fx.ctx->database.exec("INSERT INTO FURN (Cod_furnizor, Nume_furnizor) VALUES ('F1', 'Papetaria')");

    const struct {
        CommandId command;
        const char* key;
        const char* caption;
    } cases[] = {
        {CommandId::Articles, "Articles", "Catalog articole"},
        {CommandId::Suppliers, "Suppliers", "Catalog furnizori"},
        {CommandId::Budgets, "Budgets", "Catalog surse de finantare"},
        {CommandId::Warehouses, "Warehouses", "Catalog de gestiuni"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        form.runCommand(c.command);
        QMdiSubWindow* sub = form.singleInstanceWindow(c.key);
        ASSERT_NE(sub, nullptr);
        EXPECT_EQ(sub->windowTitle(), QString::fromUtf8(c.caption));
        const int open = form.childWindowCount();
        form.runCommand(c.command); // brought to the front, not opened twice
        EXPECT_EQ(form.childWindowCount(), open);
    }
    EXPECT_EQ(form.childWindowCount(), 4);

    // A supplier written by another workstation shows at the next tick.
    auto* suppliers = dynamic_cast<catalogs::TFurnLookupForm*>(form.singleInstanceWindow("Suppliers")->widget());
    ASSERT_NE(suppliers, nullptr);
    const int before = suppliers->logic().table.recordCount();
    fx.ctx->database.exec("INSERT INTO FURN (Cod_furnizor, Nume_furnizor) VALUES ('F2', 'Alimentara')");
    form.sendRefreshTick();
    EXPECT_EQ(suppliers->logic().table.recordCount(), before + 1);

    form.action(CommandId::CloseAll)->trigger();
    QApplication::processEvents();
    EXPECT_EQ(form.childWindowCount(), 0);
}
