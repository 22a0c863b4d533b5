// The stock at a date (ANSW_ST) computed from the documents.

#include "reportstest.h"

#include "reports/stockatdate.h"

using namespace reports;
using reportstest::ReportDatabase;
using reportstest::ReportFixture;

namespace {

bool buildStock(ReportDatabase& f, const QDate& date, const QString& warehouses = {}, const QString& budget = {},
                StockKey key = StockKey::Full)
{
    return BuildStockAtDate(f.privateDb, f.parameters, {date, warehouses, budget, key});
}

class StockAtDateTest : public ReportFixture {
protected:
    bool build(const QDate& date, const QString& warehouses = {}, const QString& budget = {},
               StockKey key = StockKey::Full)
    {
        return buildStock(*this, date, warehouses, budget, key);
    }
};

TEST_F(StockAtDateTest, InputsAndOutputsUpToTheDateMakeOneRowPerKey)
{
    input(QDate(2024, 1, 10), {{"01", "ALIM", "F1", 10, 2.5}, {"01", "ALIM", "F1", 4, 3}, {"05", "BIRO", "H1", 5, 20}});
    output(QDate(2024, 2, 1), {{"01", "ALIM", "F1", 3, 2.5}});
    output(QDate(2024, 7, 1), {{"01", "ALIM", "F1", 7, 2.5}}); // after the date
    input(QDate(2024, 8, 1), {{"05", "BIRO", "P1", 9, 1}});    // after the date
    ASSERT_TRUE(build(QDate(2024, 6, 30)));
    EXPECT_EQ(stockRows(), (QStringList{"01/ALIM/F1/2.5//: 10 - 3", "01/ALIM/F1/3//: 4 - 0", "05/BIRO/H1/20//: 5 - 0"}));
}

// The edge cases of the dates and the tolerance, each on its own database.
TEST_F(StockAtDateTest, DatesToleranceAndSigns)
{
    struct Case {
        const char* what;
        std::function<void(ReportDatabase&)> documents;
        QStringList expected;
    };
    const QDate d(2024, 3, 1);
    const QList<Case> cases{
        {"a key whose outputs equal its inputs is absent",
         [d](ReportDatabase& f) {
             f.input(d, {{"01", "ALIM", "F1", 2, 1}, {"01", "ALIM", "Z1", 1, 1}});
             f.output(d, {{"01", "ALIM", "F1", 2, 1}});
         },
         {"01/ALIM/Z1/1//: 1 - 0"}},
        {"a key within +-Epsilon is absent, on both sides",
         [d](ReportDatabase& f) {
             f.input(d, {{"01", "ALIM", "F1", 1.000001, 1}, {"01", "ALIM", "Z1", 1, 1}, {"01", "BIRO", "H1", 1, 1}});
             f.output(d, {{"01", "ALIM", "F1", 1, 1}, {"01", "ALIM", "Z1", 1.000001, 1}});
         },
         {"01/BIRO/H1/1//: 1 - 0"}},
        // 7.00002 - 7.00001 is a hair above 0.00001 in binary: Epsilon, as
        // the ledger counts it.
        {"a key at exactly Epsilon is absent; one just above it stays",
         [d](ReportDatabase& f) {
             f.input(d, {{"01", "ALIM", "F1", 7.00002, 1}, {"01", "ALIM", "Z1", 7.000021, 1}});
             f.output(d, {{"01", "ALIM", "F1", 7.00001, 1}, {"01", "ALIM", "Z1", 7.00001, 1}});
         },
         {"01/ALIM/Z1/1//: 7.00002 - 7.00001"}},
        {"outputs without inputs give a negative stock",
         [d](ReportDatabase& f) {
             f.input(d, {{"01", "ALIM", "F1", 1, 1}});
             f.output(d, {{"05", "BIRO", "P1", 4, 2}});
         },
         {"01/ALIM/F1/1//: 1 - 0", "05/BIRO/P1/2//: 0 - 4"}},
        {"an input without a registration date counts at any date",
         [](ReportDatabase& f) { f.input(QDate(), {{"01", "ALIM", "F1", 6, 1}}); },
         {"01/ALIM/F1/1//: 6 - 0"}},
        {"an output without a registration date never counts",
         [d](ReportDatabase& f) {
             f.input(d, {{"01", "ALIM", "F1", 6, 1}});
             f.output(QDate(), {{"01", "ALIM", "F1", 6, 1}});
         },
         {"01/ALIM/F1/1//: 6 - 0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ReportDatabase fresh;
        c.documents(fresh);
        ASSERT_TRUE(buildStock(fresh, QDate(2024, 6, 30)));
        EXPECT_EQ(fresh.stockRows(), c.expected);
    }
}

TEST_F(StockAtDateTest, NoInputUpToTheDateBuildsNothing)
{
    input(QDate(2024, 8, 1), {{"01", "ALIM", "F1", 6, 1}});
    output(QDate(2024, 5, 1), {{"01", "ALIM", "F1", 2, 1}});
    EXPECT_FALSE(build(QDate(2024, 6, 30)));
    EXPECT_FALSE(privateDb.tableExists("ANSW_ST"));
    EXPECT_FALSE(build(QDate(2024, 9, 1), "\"05\"")); // inputs exist, not in that warehouse
}

TEST_F(StockAtDateTest, LotsTakePartInTheKeyOnlyWhenInUse)
{
    input(QDate(2024, 1, 1), {{"01", "ALIM", "F1", 5, 2, "L1"}, {"01", "ALIM", "F1", 3, 2, "L2"}});
    output(QDate(2024, 2, 1), {{"01", "ALIM", "F1", 1, 2, "L2"}, {"01", "ALIM", "F1", 2, 2, "L1"}});
    parameters.CLot = true;
    ASSERT_TRUE(build(QDate(2024, 6, 30)));
    EXPECT_EQ(stockRows(), (QStringList{"01/ALIM/F1/2//L1: 5 - 2", "01/ALIM/F1/2//L2: 3 - 1"}));
    // Lots off: the lines are summed over their lots (no key violation, no output lost).
    parameters.CLot = false;
    ASSERT_TRUE(build(QDate(2024, 6, 30)));
    EXPECT_EQ(stockRows(), (QStringList{"01/ALIM/F1/2//: 8 - 3"}));
    EXPECT_EQ(privateDb.readTableDef("ANSW_ST").primaryKey()->fields,
              "Cod_gestiune;Cod_grupa;Cod_articol;Pret_achizitie;Agent");
}

TEST_F(StockAtDateTest, WarehousesAndBudgetRestrictInputsAndOutputsAlike)
{
    input(QDate(2024, 1, 1), {{"01", "ALIM", "F1", 5, 2, {}, "B1"}, {"05", "ALIM", "F1", 3, 2, {}, "B1"},
                              {"01", "ALIM", "Z1", 3, 2, {}, "B2"}});
    output(QDate(2024, 2, 1), {{"01", "ALIM", "F1", 7, 2, {}, "B1"}, {"01", "ALIM", "Z1", 1, 2, {}, "B2"}});
    ASSERT_TRUE(build(QDate(2024, 6, 30), "\"01\"", "B1"));
    EXPECT_EQ(stockRows(), (QStringList{"01/ALIM/F1/2/B1/: 5 - 7"}));
    ASSERT_TRUE(build(QDate(2024, 6, 30), "\"01\",\"05\""));
    EXPECT_EQ(stockRows().size(), 3);
    // A warehouse list holding a quote cannot reach the statement's text.
    ASSERT_FALSE(build(QDate(2024, 6, 30), "\"01\"\") OR (1=1\""));
}

TEST_F(StockAtDateTest, TotalsAreKeyedByWarehouseGroupAndArticle)
{
    input(QDate(2024, 1, 1), {{"01", "ALIM", "F1", 5, 2}, {"01", "ALIM", "F1", 3, 4, "L"}, {"05", "ALIM", "F1", 1, 2}});
    output(QDate(2024, 2, 1), {{"01", "ALIM", "F1", 6, 2}});
    ASSERT_TRUE(build(QDate(2024, 6, 30), {}, {}, StockKey::PerArticle));
    datastore::Query q = privateDb.query("SELECT Cod_gestiune, QIn - QOut FROM ANSW_ST ORDER BY Cod_gestiune");
    QStringList rows;
    while (q.next())
        rows << q.value(0).toString() + "=" + QString::number(q.value(1).toDouble());
    EXPECT_EQ(rows, (QStringList{"01=2", "05=1"}));
}

TEST_F(StockAtDateTest, ComputeAsksWarehousesThenDateAndWarnsWithoutDocuments)
{
    auto ctx = context();
    QDate date(2024, 6, 30);
    QString warehouses;
    ui.cancel = "date";
    EXPECT_FALSE(ComputeStockAtDate(ctx, date, warehouses));
    EXPECT_EQ(ui.asked, (QStringList{"warehouses", "date"}));
    ui.cancel.clear();
    ui.warehouses = "\"05\"";
    ui.date = QDate(2024, 1, 1);
    EXPECT_FALSE(ComputeStockAtDate(ctx, date, warehouses));
    EXPECT_EQ(dialogs.last().text, kNoDocuments);
    EXPECT_EQ(warehouses, "\"05\"");
    EXPECT_EQ(date, QDate(2024, 1, 1));
}

} // namespace
