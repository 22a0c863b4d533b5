// The current stock list: detailed and cumulated rows, the orders and the
// remembered one, the picker's positioning, the incremental and the price
// search, the sale value, labels, and new stock rows of quantity 0.

#include "stocktest.h"

#include "stock/stockbrowserlogic.h"

#include <QSettings>

using stock::TStockFormLogic;
using namespace stocktest;

namespace {

class StockBrowser : public LedgerFixture {
protected:
    void SetUp() override
    {
        LedgerFixture::SetUp();
        for (const datastore::TableDef& t : datastore::databaseTables())
            if (!db.tableExists(t.name))
                db.createTable(t);
        privateDb.setDirectory(privateDir.path());
        db.exec("DELETE FROM CATALOG");
        db.exec("INSERT INTO CATALOG (Grupa, Cod, Denumire, Unitate_masura, Pret_vinzare, Moneda, Cod_bare) VALUES "
                "('G', 'ART', 'hartie', 'top', 25, 'LEI', '111'), ('G', 'PIX', 'Pix', 'buc', 2, 'LEI', NULL), "
                "('H', 'ZAH', 'Zahar', 'kg', 5, 'LEI', NULL)");
        db.exec("INSERT INTO \"Gest.db\" (Cod, Denumire) VALUES ('A', 'Magazie'), ('B', 'Bucatarie')");
        db.exec("INSERT INTO \"Client.DB\" (Cod_client, Nume_client) VALUES ('B1', 'Buget local'), "
                "('B2', 'Venituri proprii')");
        settings = std::make_unique<QSettings>(privateDir.path() + "/registry.ini", QSettings::IniFormat);
    }
    void stockRow(const QString& article, double price, double quantity, const QString& budget = {},
                  const QString& barCode = {}, const QString& warehouse = QStringLiteral("A"))
    {
        db.exec("INSERT INTO STOC (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Cantitate, Lot, Agent, "
                "Cod_bare) VALUES (:w, :g, :a, :p, :q, 'L1', :b, :c)",
                {{"w", warehouse},
                 {"g", article == "ZAH" ? "H" : "G"},
                 {"a", article},
                 {"p", price},
                 {"q", quantity},
                 {"b", budget.isEmpty() ? QVariant() : budget},
                 {"c", barCode.isEmpty() ? QVariant() : barCode}});
    }
    TStockFormLogic& browser()
    {
        if (!m_logic) {
            m_logic = std::make_unique<TStockFormLogic>(db, &privateDb, parameters, formats, dialogs, *settings);
            EXPECT_TRUE(m_logic->open(QStringLiteral("A")));
        }
        return *m_logic;
    }
    int count(const QString& sql) { return db.scalar(sql).toInt(); }
    QVariant current(const char* field) { return browser().list()->value(QString::fromLatin1(field)); }

    QTemporaryDir privateDir;
    datastore::Database privateDb{QStringLiteral("PRIV")};
    std::unique_ptr<QSettings> settings;

private:
    std::unique_ptr<TStockFormLogic> m_logic;
};

TEST_F(StockBrowser, DetailedRowsKeepBudgetsApartAndCumulatedRowsSumPerArticle)
{
    stockRow("ART", 10, 3, "B1", "111");
    stockRow("ART", 10, 4, "B2", "222"); // another bar code: still one article
    stockRow("PIX", 1, 9);
    stockRow("ZAH", 4, 5, {}, {}, "B");  // another warehouse
    datastore::Dataset* list = browser().list();
    ASSERT_EQ(list->recordCount(), 3);
    EXPECT_EQ(list->value(0, "Buget").toString(), "Buget local");
    EXPECT_EQ(list->value(1, "Buget").toString(), "Venituri proprii");

    browser().setList(TStockFormLogic::List::Cumulated);
    list = browser().list();
    ASSERT_EQ(list->recordCount(), 2);
    EXPECT_EQ(list->value(0, "Cod_Articol").toString(), "ART");
    EXPECT_EQ(list->value(0, "Total_Cantitate").toDouble(), 7);
    EXPECT_FALSE(browser().currentPick()); // a cumulated row is no stock row

    browser().setWarehouse("B");
    EXPECT_EQ(browser().list()->recordCount(), 1);
}

TEST_F(StockBrowser, TheOrderIsRememberedAndThePickerPositionsOnTheArticle)
{
    stockRow("ART", 7, 1);
    stockRow("ART", 5, 2);
    stockRow("PIX", 1, 9);
    struct Case {
        double price;
        double expected;
    };
    for (const Case& c : {Case{7, 7}, Case{-1, 5}, Case{6, 5} /* none at 6: the first row */}) {
        browser().position("G", "ART", c.price);
        EXPECT_EQ(current("Pret_Achizitie").toDouble(), c.expected) << c.price;
    }
    browser().position("G", "NIMIC", -1);
    EXPECT_EQ(browser().list()->recNo(), 0);

    browser().setOrder(TStockFormLogic::ByPrice);
    EXPECT_EQ(browser().list()->value(0, "Cod_Articol").toString(), "PIX");
    browser().close();
    EXPECT_EQ(settings->value("SortBy").toInt(), 3);
    TStockFormLogic again(db, &privateDb, parameters, formats, dialogs, *settings);
    ASSERT_TRUE(again.open("A"));
    EXPECT_EQ(again.order(), TStockFormLogic::ByPrice);

    const std::optional<stock::StockLinePick> pick = browser().currentPick();
    ASSERT_TRUE(pick);
    EXPECT_EQ(pick->warehouse, "A");
    EXPECT_EQ(pick->lot, "L1");
}

TEST_F(StockBrowser, IncrementalSearchFollowsTheOrderColumn)
{
    stockRow("ART", 10, 1);
    stockRow("PIX", 2.5, 1);
    stockRow("ZAH", 4, 1);
    struct Case {
        int order;
        const char* typed;
        const char* article; // where the cursor settles
    };
    const Case cases[] = {
        {TStockFormLogic::ByGroup, "h", "ZAH"},     {TStockFormLogic::ByArticle, "p", "PIX"},
        {TStockFormLogic::ByArticle, "zz", "ZAH"}, // past the end: the last row
        {TStockFormLogic::ByName, "HAR", "ART"},    // names compared upper-cased
        {TStockFormLogic::ByPrice, "3", "ZAH"},     {TStockFormLogic::ByPrice, "", "PIX"},
        {TStockFormLogic::ByPrice, "3,5", "ZAH"},
    };
    for (const Case& c : cases) {
        browser().setOrder(c.order);
        browser().list()->first();
        browser().incrementalSearch(QString::fromLatin1(c.typed));
        EXPECT_EQ(current("Cod_Articol").toString(), c.article) << c.order << " " << c.typed;
    }
    // Text that is not a number leaves the cursor where it was.
    browser().setOrder(TStockFormLogic::ByPrice);
    browser().list()->moveTo(1);
    browser().incrementalSearch("abc");
    EXPECT_EQ(browser().list()->recNo(), 1);
}

TEST_F(StockBrowser, PriceSearchAndRepeat)
{
    stockRow("ART", 10, 1);
    stockRow("PIX", 10, 1);
    stockRow("ZAH", 4, 1);
    dialogs.queueInput(QStringLiteral("10"));
    EXPECT_TRUE(browser().searchPrice());
    EXPECT_EQ(current("Cod_Articol").toString(), "ART");
    EXPECT_EQ(dialogs.inputs.last().caption, "Cauta...");
    EXPECT_EQ(dialogs.inputs.last().prompt, "Pret de achizitie:");
    EXPECT_TRUE(browser().repeatSearch());
    EXPECT_EQ(current("Cod_Articol").toString(), "PIX");
    // No more: a beep, and the list stays.
    EXPECT_FALSE(browser().repeatSearch());
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(current("Cod_Articol").toString(), "PIX");

    dialogs.queueInput(QStringLiteral("zece"));
    EXPECT_FALSE(browser().searchPrice());
    EXPECT_EQ(dialogs.last().text, "<zece> nu este o valoare corecta!");
    EXPECT_EQ(dialogs.inputs.last().initial, "10,00"); // the last price sought
}

TEST_F(StockBrowser, SaleValueByTheSellPriceRule)
{
    stockRow("ART", 10, 3); // catalog sale price (or markup) 25
    struct Case {
        common::SellPriceMode mode;
        bool roundTva;
        double detailed;
        double cumulated;
    };
    for (const Case& c : {Case{common::SellPriceMode::Fetch, false, 75, 75},
                          Case{common::SellPriceMode::Calc, false, 37.5, 0},
                          Case{common::SellPriceMode::Calc, true, 38, 0}}) {
        parameters.SellPrice = c.mode;
        parameters.roundTva = c.roundTva;
        TStockFormLogic logic(db, &privateDb, parameters, formats, dialogs, *settings);
        ASSERT_TRUE(logic.open("A"));
        EXPECT_DOUBLE_EQ(logic.list()->value("Valoare_vinzare").toDouble(), c.detailed);
        logic.setList(TStockFormLogic::List::Cumulated);
        EXPECT_DOUBLE_EQ(logic.list()->value("Valoare_vinzare").toDouble(), c.cumulated);
    }
}

TEST_F(StockBrowser, LabelsAreCopiedAsManyTimesAsAsked)
{
    stockRow("ART", 10, 3);
    dialogs.queueInput(QStringLiteral("3"));
    ASSERT_TRUE(browser().prepareLabels());
    EXPECT_EQ(dialogs.inputs.last().prompt, TStockFormLogic::kCopiesPrompt);
    EXPECT_EQ(privateDb.scalar("SELECT COUNT(*) FROM Etichete").toInt(), 3);
    EXPECT_EQ(privateDb.scalar("SELECT MIN(DenGest) FROM Etichete").toString(), "Magazie");
    // The table is replaced each time; cancelling leaves it.
    dialogs.queueInput(QStringLiteral("1"));
    ASSERT_TRUE(browser().prepareLabels());
    EXPECT_EQ(privateDb.scalar("SELECT COUNT(*) FROM Etichete").toInt(), 1);
    dialogs.queueInput(std::nullopt);
    EXPECT_FALSE(browser().prepareLabels());
    EXPECT_EQ(privateDb.scalar("SELECT COUNT(*) FROM Etichete").toInt(), 1);
}

TEST_F(StockBrowser, NewStockRowsOfQuantityZero)
{
    stockRow("ART", 10, 3);
    // An article that is not in the catalog is refused.
    EXPECT_FALSE(browser().newRowFor("G", "NIMIC"));
    EXPECT_EQ(dialogs.last().text, TStockFormLogic::kNotInCatalog.arg("G", "NIMIC"));

    std::optional<TStockFormLogic::NewRow> pix = browser().newRowFor("G", "PIX");
    ASSERT_TRUE(pix);
    pix->price = 1.5;
    TStockFormLogic::NewRow incomplete = *browser().newRowFor("G", "PIX"); // no price: not kept
    ASSERT_TRUE(browser().addStockRows({*pix, incomplete}));
    EXPECT_EQ(count("SELECT COUNT(*) FROM STOC WHERE Cod_articol = 'PIX' AND Cantitate = 0 AND Pret_achizitie = 1.5"), 1);
    EXPECT_EQ(browser().list()->recordCount(), 2);

    // A key that exists already: a message, and none of the rows is written.
    std::optional<TStockFormLogic::NewRow> zah = browser().newRowFor("H", "ZAH");
    zah->price = 4.0;
    std::optional<TStockFormLogic::NewRow> again = browser().newRowFor("G", "PIX");
    again->price = 1.5;
    EXPECT_FALSE(browser().addStockRows({*zah, *again}));
    EXPECT_TRUE(dialogs.last().text.startsWith("Articolul <G.PIX> are deja un rând de stoc")) << dialogs.texts().join("|").toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM STOC WHERE Cod_articol = 'ZAH'"), 0);
}

} // namespace
