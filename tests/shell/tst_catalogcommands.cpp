// The catalog commands of the main window open their windows as children,
// one instance each, and the refresh tick reaches them.

#include "catalogs/tcatlookupform.h"
#include "catalogs/tcurrenciesform.h"
#include "catalogs/tdiscgrilaform.h"
#include "catalogs/tfurnlookupform.h"
#include "catalogs/tgroupeditorform.h"
#include "ui/datagrid.h"
#include "shell/tmainform.h"
#include "stock/tstockform.h"
#include "shelltest.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QMdiSubWindow>
#include <QTest>
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
        {CommandId::MaterialGroups, "MaterialGroups", "Clase si grupe de articole"},
        {CommandId::Currencies, "Currencies", "Valute si cursuri"},
        {CommandId::DiscountGrids, "DiscountGrids", "Editare grila discount"},
        {CommandId::InputDocuments, "InputDocuments", "Intrari produse"},
        {CommandId::CurrentStock, "CurrentStock", "Stocuri curente"},
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
    EXPECT_EQ(form.childWindowCount(), 9);

    // A supplier written by another workstation shows at the next tick.
    auto* suppliers = dynamic_cast<catalogs::TFurnLookupForm*>(form.singleInstanceWindow("Suppliers")->widget());
    ASSERT_NE(suppliers, nullptr);
    const int before = suppliers->logic().table.recordCount();
    fx.ctx->database.exec("INSERT INTO FURN (Cod_furnizor, Nume_furnizor) VALUES ('F2', 'Alimentara')");
    form.sendRefreshTick();
    EXPECT_EQ(suppliers->logic().table.recordCount(), before + 1);
    // So does the stock another workstation received.
    auto* stock = dynamic_cast<stock::TStockForm*>(form.singleInstanceWindow("CurrentStock")->widget());
    ASSERT_NE(stock, nullptr);
    EXPECT_EQ(stock->logic().detailed().recordCount(), 0);
    fx.ctx->database.exec("INSERT INTO \"Gest.db\" (Cod, Denumire) VALUES ('A', 'Magazie')");
    fx.ctx->database.exec("INSERT INTO CATALOG (Grupa, Cod, Denumire) VALUES ('G', 'PIX', 'Pix')");
    fx.ctx->database.exec("INSERT INTO STOC (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Cantitate) "
                          "VALUES ('A', 'G', 'PIX', 2, 5)");
    form.sendRefreshTick();
    EXPECT_EQ(stock->logic().warehouse(), "A") << "the first warehouse, made meanwhile";
    EXPECT_EQ(stock->logic().detailed().recordCount(), 1);

    form.action(CommandId::CloseAll)->trigger();
    QApplication::processEvents();
    EXPECT_EQ(form.childWindowCount(), 0);
    // The input documents window started a document and dropped it unused.
    EXPECT_EQ(fx.ctx->database.scalar("SELECT COUNT(*) FROM DOC_IN").toInt(), 0);
    EXPECT_EQ(fx.ctx->database.scalar("SELECT NewCounterIn FROM COUNTER").toInt(), 0);
}

TEST(CatalogsInTheMainWindow, TheFirstDayClassesGroupsAndRatesReachTheOtherWindows)
{
    shelltest::ContextFixture fx;
    fx.settings.setValue("LastDatabaseDir", fx.newDir("baza"));
    TMainForm form(*fx.ctx);
    ASSERT_TRUE(form.startUp()) << fx.dialogs.texts().join(" | ").toStdString();
    datastore::Database& db = fx.ctx->database;
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM \"Valuta.db\" WHERE Moneda IN ('LEI', 'USD')").toInt(), 2)
        << "a new database starts with lei and the reference currency";
    EXPECT_EQ(db.scalar("SELECT Curs FROM \"Curs.db\" WHERE Valuta = 'LEI'").toDouble(), 1.0);

    for (const char* entry : {"Clase si grupe de articole", "Valute si cursuri"}) {
        const MenuEntry* item = findMenuEntry({"&Sistem"}, QString::fromLatin1(entry));
        ASSERT_NE(item, nullptr) << entry;
        EXPECT_TRUE(isVisibleInMenuBar(*item)) << entry;
    }

    // The article window is open on a catalog without groups; the editor adds one.
    form.runCommand(CommandId::Articles);
    form.runCommand(CommandId::MaterialGroups);
    auto* articles = qobject_cast<catalogs::TCatLookupForm*>(form.singleInstanceWindow("Articles")->widget());
    auto* editor = qobject_cast<catalogs::TGroupEditorForm*>(form.singleInstanceWindow("MaterialGroups")->widget());
    ASSERT_TRUE(articles && editor);
    EXPECT_EQ(articles->logic().groups.recordCount(), 0);
    catalogs::TGroupEditorLogic& groups = editor->logic();
    groups.classes.append();
    groups.classes.setValue("Cod_material", "M1");
    groups.classes.setValue("Denumire", "Materiale");
    groups.classes.post();
    groups.groups.append();
    groups.groups.setValue("Cod_grupa", "G1");
    groups.groups.setValue("Denumire", "Papetarie");
    groups.groups.post();
    EXPECT_EQ(articles->logic().groups.recordCount(), 1) << "the article window reads the groups again at once";

    // A rate written in the currencies window: the cache of the run reads it again.
    form.runCommand(CommandId::Currencies);
    auto* currencies = qobject_cast<catalogs::TCurrenciesForm*>(form.singleInstanceWindow("Currencies")->widget());
    ASSERT_NE(currencies, nullptr);
    fx.ctx->rates.add("LEI", 1.0);
    ASSERT_TRUE(currencies->logic().currencies.locate({"Moneda"}, {"LEI"}));
    currencies->logic().rates.append();
    currencies->logic().rates.setValue("Curs", 1.0);
    currencies->logic().rates.post();
    EXPECT_FALSE(fx.ctx->rates.find("LEI").has_value());
}

TEST(CatalogsInTheMainWindow, TheHiddenDiscountGridsCommandOpensItsWindowThroughTheDispatch)
{
    shelltest::ContextFixture fx;
    fx.settings.setValue("LastDatabaseDir", fx.newDir("baza"));
    TMainForm form(*fx.ctx);
    ASSERT_TRUE(form.startUp()) << fx.dialogs.texts().join(" | ").toStdString();
    const MenuEntry* item = findMenuEntry({"&Sistem"}, "Editare grila &discount");
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(isVisibleInMenuBar(*item)) << "hidden in this edition's menu";

    form.runCommand(CommandId::DiscountGrids);
    QMdiSubWindow* sub = form.singleInstanceWindow("DiscountGrids");
    ASSERT_NE(sub, nullptr);
    auto* grids = qobject_cast<catalogs::TDiscGrilaForm*>(sub->widget());
    ASSERT_NE(grids, nullptr);
    EXPECT_TRUE(sub->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(sub->windowFlags() & Qt::WindowMaximizeButtonHint);

    // Minimised, a second request restores it instead of opening another.
    sub->showMinimized();
    form.runCommand(CommandId::DiscountGrids);
    EXPECT_FALSE(sub->isMinimized());
    EXPECT_EQ(form.mdiClient()->activeSubWindow(), sub);
    EXPECT_EQ(form.childWindowCount(), 1);

    // A grid written by another workstation shows at the next tick.
    EXPECT_EQ(grids->logic().grids.recordCount(), 0);
    fx.ctx->database.exec("INSERT INTO grila (Grila, Nume_grila) VALUES (1, 'Standard')");
    form.sendRefreshTick();
    EXPECT_EQ(grids->logic().grids.recordCount(), 1);

    sub->close();
    QApplication::processEvents();
    EXPECT_EQ(form.singleInstanceWindow("DiscountGrids"), nullptr);
    EXPECT_TRUE(QFile::exists(fx.ctx->privateDir + "discgrila.cfg")) << "the layout is kept";
}

namespace {

// The widest grid of a child window and the room its columns need.
struct GridRoom {
    int needed = 0;
    int shown = 0;
};

GridRoom gridRoom(QWidget* window)
{
    GridRoom room;
    for (ui::DataGrid* grid : window->findChildren<ui::DataGrid*>()) {
        int needed = 0;
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            if (!grid->isColumnHidden(c))
                needed += grid->horizontalHeader()->sectionSize(c);
        if (needed > room.needed)
            room = {needed, grid->viewport()->width()};
    }
    return room;
}

} // namespace

TEST(CatalogsInTheMainWindow, ChildWindowsOpenAsLargeAsTheirGridsAndFollowAMaximisedOne)
{
    shelltest::ContextFixture fx;
    const QString dbDir = fx.newDir("baza");
    fx.settings.setValue("LastDatabaseDir", dbDir);
    TMainForm form(*fx.ctx);
    ASSERT_TRUE(form.startUp());
    form.resize(1900, 1000);
    form.show();
    QApplication::processEvents();

    // The supplier columns are wider than the window used to be.
    form.runCommand(CommandId::Suppliers);
    QMdiSubWindow* suppliers = form.singleInstanceWindow("Suppliers");
    ASSERT_NE(suppliers, nullptr);
    QApplication::processEvents();
    const GridRoom room = gridRoom(suppliers->widget());
    EXPECT_GE(room.shown, room.needed) << "every column of the grid is in sight";
    EXPECT_LE(suppliers->width(), form.mdiClient()->viewport()->width());

    // A maximised child: the next one opens maximised, the first one keeps its size.
    const QSize normalSize = suppliers->size();
    suppliers->showMaximized();
    QApplication::processEvents();
    form.runCommand(CommandId::Budgets);
    QMdiSubWindow* budgets = form.singleInstanceWindow("Budgets");
    ASSERT_NE(budgets, nullptr);
    QApplication::processEvents();
    QTest::qWait(50);
    EXPECT_TRUE(budgets->isMaximized());
    EXPECT_EQ(budgets->size(), form.mdiClient()->viewport()->size());
    EXPECT_EQ(form.mdiClient()->activeSubWindow(), budgets);
    budgets->showNormal();
    QApplication::processEvents();
    EXPECT_GE(budgets->width(), gridRoom(budgets->widget()).needed) << "restored, it keeps its own size";
    suppliers->showNormal();
    QApplication::processEvents();
    EXPECT_GE(suppliers->width(), normalSize.width()) << "the others are not shrunk";
    EXPECT_GE(suppliers->height(), normalSize.height());

    form.action(CommandId::CloseAll)->trigger();
    QApplication::processEvents();
}
