// The stock cards and the period lists, on small fixtures and on the
// generated database.

#include "reportstest.h"

#include "reportengine/exportfilters.h"
#include "reportengine/output.h"
#include "reports/periodlists.h"
#include "reports/reportlist.h"
#include "reports/stockatdate.h"
#include "reports/stockcard.h"
#include "testdatabase.h"

#include <QHash>
#include <cmath>

using namespace reports;
using reportstest::ReportFixture;

namespace {

const QDate kFirst(2024, 3, 1);
const QDate kLast(2024, 3, 31);

class StockCardTest : public ReportFixture {
protected:
    // The lines of ANSW_BF in card order as "article price budget|mode number|in|out|stock".
    QStringList cardLines()
    {
        QStringList rows;
        datastore::Query q = privateDb.query(
            "SELECT Cod_Articol, Pret_achizitie, Buget, Mod, Numar, Intrari, Iesiri, Stoc FROM ANSW_BF "
            "ORDER BY Cod_gestiune, Cod_grupa, Cod_Articol, Pret_achizitie, Buget, Lot, Data_inregistrarii, Mod, Data, "
            "Numar, Tip, Contor, Contor_secundar");
        const auto num = [](const QVariant& v) { return v.isNull() ? QString() : QString::number(v.toDouble()); };
        while (q.next())
            rows << QStringLiteral("%1 %2 %3|%4 %5|%6|%7|%8")
                        .arg(q.value(0).toString(), num(q.value(1)), q.value(2).toString(), q.value(3).toString(),
                             num(q.value(4)), num(q.value(5)), num(q.value(6)), num(q.value(7)));
        return rows;
    }
    void build(const QString& warehouses = "\"01\"")
    {
        BuildStockCards(privateDb, parameters, {kFirst, kLast, warehouses});
    }
    void renumber(const char* table, double contor, double number, const QDate& date = {})
    {
        db.exec(QStringLiteral("UPDATE %1 SET Numar = :n, Data = :d WHERE Contor = :c").arg(table),
                {{"n", number}, {"c", contor}, {"d", date.isValid() ? QVariant(date) : QVariant()}});
    }
    QString text() const
    {
        QString t = reportengine::plainText(ui.pages);
        return t.replace(common::formatDate("dd.mm.yyyy", QDate::currentDate(), formats), "<azi>");
    }
};

TEST_F(StockCardTest, OpeningLineAndRunningStock)
{
    // F1: 12 before the interval, 5 out within it; Z1 moved only within it;
    // H1 received and fully issued before it and not moved: no card.
    input(QDate(2024, 2, 1), {{"01", "ALIM", "F1", 12, 2.5}, {"01", "BIRO", "H1", 3, 20}});
    output(QDate(2024, 2, 20), {{"01", "BIRO", "H1", 3, 20}});
    output(QDate(2024, 3, 5), {{"01", "ALIM", "F1", 5, 2.5}});
    input(QDate(2024, 3, 6), {{"01", "ALIM", "Z1", 4, 3}});
    input(QDate(2024, 4, 1), {{"01", "ALIM", "Z1", 100, 3}}); // after the interval
    input(QDate(2024, 3, 6), {{"05", "ALIM", "Z1", 9, 3}});   // another warehouse
    // P1: an opening within +-Epsilon and no movement: no card.
    input(QDate(2024, 2, 1), {{"01", "BIRO", "P1", 1, 1.5}});
    output(QDate(2024, 2, 2), {{"01", "BIRO", "P1", 1 - parameters.Epsilon / 2, 1.5}});
    build();
    EXPECT_EQ(cardLines().join("\n").toStdString(), (QStringList{"F1 2.5 | |||12", "F1 2.5 |OUT 3||5|7", "Z1 3 | |||0", "Z1 3 |IN 4|4||4"}).join("\n").toStdString());
}

TEST_F(StockCardTest, InputBeforeOutputOnOneDayAndCardsRestart)
{
    // The output has the smaller number, the input still comes first; the
    // second price is a card of its own, starting from its opening.
    input(QDate(2024, 2, 1), {{"01", "ALIM", "F1", 2, 2.5}, {"01", "ALIM", "F1", 7, 2.6}});
    const double out = output(QDate(2024, 3, 10), {{"01", "ALIM", "F1", 3, 2.5}});
    const double in = input(QDate(2024, 3, 10), {{"01", "ALIM", "F1", 4, 2.5}});
    renumber("DOC_OUT", out, 1);
    renumber("DOC_IN", in, 99);
    output(QDate(2024, 3, 11), {{"01", "ALIM", "F1", 1, 2.6}});
    build();
    EXPECT_EQ(cardLines().join("\n").toStdString(), (QStringList{"F1 2.5 | |||2", "F1 2.5 |IN 99|4||6", "F1 2.5 |OUT 1||3|3", "F1 2.6 | |||7",
                                        "F1 2.6 |OUT 4||1|6"}).join("\n").toStdString());
}

TEST_F(StockCardTest, NegativeOpeningIsKeptSoTheLastStockIsTheStockAtTheLastDay)
{
    // More went out than came in before the interval.
    input(QDate(2024, 1, 5), {{"01", "ALIM", "F1", 2, 2.5}});
    output(QDate(2024, 1, 6), {{"01", "ALIM", "F1", 5, 2.5}});
    output(QDate(2024, 2, 6), {{"01", "BIRO", "P1", 1, 1.5}}); // only an output, never moved again
    input(QDate(2024, 3, 2), {{"01", "ALIM", "F1", 10, 2.5}});
    build();
    EXPECT_EQ(cardLines().join("\n").toStdString(), (QStringList{"F1 2.5 | |||-3", "F1 2.5 |IN 4|10||7", "P1 1.5 | |||-1"}).join("\n").toStdString());
    ASSERT_TRUE(BuildStockAtDate(privateDb, parameters, {kLast, "\"01\"", {}, StockKey::Full}));
    EXPECT_EQ(stockRows(), (QStringList{"01/ALIM/F1/2.5//: 12 - 5", "01/BIRO/P1/1.5//: 0 - 1"}));
}

TEST_F(StockCardTest, TwoDocumentsAlikeInEveryFieldKeepAllTheirLines)
{
    // Two transfers made from one output: same dates, number, type and line numbers.
    input(QDate(2024, 2, 1), {{"01", "ALIM", "F1", 20, 2.5}});
    const double a = output(QDate(2024, 3, 3), {{"01", "ALIM", "F1", 4, 2.5}, {"01", "ALIM", "F1", 1, 2.5}});
    const double b = output(QDate(2024, 3, 3), {{"01", "ALIM", "F1", 6, 2.5}, {"01", "ALIM", "F1", 2, 2.5}});
    renumber("DOC_OUT", a, 50, QDate(2024, 3, 3));
    renumber("DOC_OUT", b, 50, QDate(2024, 3, 3));
    ASSERT_NO_THROW(build());
    EXPECT_EQ(cardLines().join("\n").toStdString(), (QStringList{"F1 2.5 | |||20", "F1 2.5 |OUT 50||4|16", "F1 2.5 |OUT 50||1|15",
                                        "F1 2.5 |OUT 50||6|9", "F1 2.5 |OUT 50||2|7"}).join("\n").toStdString());
}

TEST_F(StockCardTest, UndatedInputsCountInTheOpeningOnly)
{
    input(QDate(), {{"01", "ALIM", "F1", 12, 2.5}});
    output(QDate(), {{"01", "ALIM", "F1", 100, 2.5}}); // never counts
    output(QDate(2024, 3, 9), {{"01", "ALIM", "F1", 5, 2.5}});
    build();
    EXPECT_EQ(cardLines().join("\n").toStdString(), (QStringList{"F1 2.5 | |||12", "F1 2.5 |OUT 3||5|7"}).join("\n").toStdString());
}

class StockCardReportTest : public StockCardTest {
protected:
    void documents()
    {
        db.exec("INSERT INTO CLIENT (Cod_client, Nume_client) VALUES ('B1', 'Buget local')");
        input(QDate(2024, 2, 10), {{"01", "ALIM", "F1", 10, 2.5, "L1", "B1"}, {"01", "BIRO", "H1", 5, 20}});
        output(QDate(2024, 3, 4), {{"01", "ALIM", "F1", 4, 2.5, "L1", "B1"}});
        input(QDate(2024, 3, 12), {{"01", "ALIM", "F1", 6, 2.5, "L1", "B1"}, {"01", "ALIM", "Z1", 3, 3.125}});
        output(QDate(2024, 3, 20), {{"01", "ALIM", "F1", 9.5, 2.5, "L1", "B1"}});
        parameters.nrZecimaleLei = 3;
        ui.warehouses = "\"01\"";
        ui.from = kFirst;
        ui.to = kLast;
    }
};

TEST_F(StockCardReportTest, StockCardGolden)
{
    documents();
    auto ctx = context();
    ASSERT_TRUE(findReportKind("stock-card")->run(ctx));
    EXPECT_EQ(ui.asked, (QStringList{"articles", "warehouses", "interval", "print"}));
    EXPECT_EQ(ui.pages.pageCount(), 3); // one card per page
    EXPECT_TRUE(testsupport::matchesGolden("report-stock-card.txt", text()));
    EXPECT_EQ(ui.progress.first(), "Parametrii de listare impliciti: Arial, 8, A4, Portret");
    EXPECT_EQ(ui.progress.last(), "OK.");
    EXPECT_TRUE(privateDb.tableExists("ANSW_BF")); // stays until the next run
    if (!testsupport::shotsDir().isEmpty())
        reportengine::writePdf(ui.pages, testsupport::shotsDir() + "/report-stock-card.pdf");
}

TEST_F(StockCardReportTest, AccountCardPrintsValuesOnlyBesideQuantities)
{
    documents();
    ui.articles = ArticleSelection::fromKeys({{"ALIM", "F1", "Faina alba"}});
    auto ctx = context();
    ASSERT_TRUE(findReportKind("account-card")->run(ctx));
    ASSERT_EQ(ui.pages.pageCount(), 1); // the selected article only
    const QStringList texts = ui.pages.texts(0);
    EXPECT_TRUE(texts.contains("Fisa de cont analitic pentru valori materiale"));
    EXPECT_TRUE(texts.contains("Stoc (Cant./Valoare)"));
    EXPECT_TRUE(texts.contains("Buget local"));
    EXPECT_TRUE(texts.contains("2,500"));  // the price with three decimals
    EXPECT_TRUE(texts.contains("15,00"));  // 6 * 2.5 in, and 6 in stock * 2.5 = 15 after the first output
    EXPECT_TRUE(texts.contains("6,25"));   // 2.5 left * 2.5
    EXPECT_TRUE(texts.contains("Scoala Nr. 7")); // the firm
    EXPECT_TRUE(texts.contains("04.03.2024"));   // dates in full
    EXPECT_FALSE(texts.contains("4.3.2024"));
    if (!testsupport::shotsDir().isEmpty())
        reportengine::writePdf(ui.pages, testsupport::shotsDir() + "/report-account-card.pdf");
}

// Each value of the account card is its line's price times its quantity,
// rounded once, halves to even: 15 x 0.067 = 1.005 prints 1,00.
TEST_F(StockCardReportTest, AccountCardValuesAreRoundedOnce)
{
    input(QDate(2024, 3, 2), {{"01", "ALIM", "Z1", 15, 0.067}});
    output(QDate(2024, 3, 3), {{"01", "ALIM", "Z1", 5, 0.067}});
    ui.warehouses = "\"01\"";
    ui.from = kFirst;
    ui.to = kLast;
    auto ctx = context();
    ASSERT_TRUE(findReportKind("account-card")->run(ctx));
    const QStringList texts = ui.pages.texts(0);
    EXPECT_EQ(texts.count("1,00"), 2) << qPrintable(texts.join('|')); // 15 in, and 15 in stock
    EXPECT_FALSE(texts.contains("1,01"));
    EXPECT_TRUE(texts.contains("0,34")); // 5 out: 0.335, 33.5 to the even 34
    EXPECT_TRUE(texts.contains("0,67")); // 10 left
}

TEST_F(StockCardReportTest, EveryPageOfTheCardsShowsTheFirm)
{
    documents();
    auto ctx = context();
    ASSERT_TRUE(findReportKind("stock-card")->run(ctx));
    ASSERT_EQ(ui.pages.pageCount(), 3);
    for (int page = 0; page < ui.pages.pageCount(); ++page) {
        const QStringList texts = ui.pages.texts(page);
        for (const char* t : {"Scoala Nr. 7", "Str. Lunga 3", "RO123"})
            EXPECT_TRUE(texts.contains(t)) << page << " " << t;
    }
}

TEST_F(StockCardReportTest, DatabaseErrorEndsWithTheMessage)
{
    documents();
    db.exec("DROP TABLE ITEM_OUT");
    auto ctx = context();
    EXPECT_FALSE(StockCard(ctx));
    EXPECT_EQ(ui.outputs, 0);
    ASSERT_FALSE(dialogs.texts().isEmpty());
    EXPECT_TRUE(dialogs.last().text.startsWith(kDatabaseAccessError)) << qPrintable(dialogs.last().text);
}

TEST_F(StockCardReportTest, CancelEndsWithoutPrinting)
{
    documents();
    for (const char* question : {"articles", "warehouses", "interval", "print"}) {
        SCOPED_TRACE(question);
        ui.cancel = question;
        ui.outputs = 0;
        auto ctx = context();
        EXPECT_FALSE(StockCard(ctx));
        EXPECT_EQ(ui.outputs, 0);
        EXPECT_EQ(ui.progress.last(), " OK.");
    }
}

// ---------------------------------------------------------------------------

class InputsOutputsTest : public StockCardTest {
protected:
    QStringList rows()
    {
        QStringList r;
        datastore::Query q = privateDb.query("SELECT Cod_grupa, Cod_Articol, Denumire, TotalIn, TotalOut FROM TotalInOut "
                                             "ORDER BY Cod_grupa, Cod_Articol, Denumire");
        while (q.next())
            r << QStringLiteral("%1/%2 %3: %4 - %5")
                     .arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString())
                     .arg(q.value(3).toDouble())
                     .arg(q.value(4).toDouble());
        return r;
    }
};

TEST_F(InputsOutputsTest, SumsPerArticleOverBudgetsAndFindsTheNameByGroupAndCode)
{
    article("BIRO", "F1", "Folie", "m", 19); // the same code in another group
    input(QDate(2024, 3, 2), {{"01", "ALIM", "F1", 10, 2.5, {}, "B1"}, {"05", "ALIM", "F1", 4, 2.5, {}, "B2"},
                              {"01", "ALIM", "Z1", 3, 3}});
    output(QDate(2024, 3, 9), {{"01", "ALIM", "F1", 2, 2.5, {}, "B1"}, {"05", "ALIM", "F1", 1, 2.5, {}, "B2"},
                               {"01", "BIRO", "F1", 6, 1}});
    output(QDate(2024, 4, 9), {{"01", "ALIM", "F1", 50, 2.5}}); // outside
    // An article missing from the catalog keeps its movements, without a name.
    input(QDate(2024, 3, 3), {{"01", "ALIM", "X9", 5, 1}});
    output(QDate(2024, 3, 4), {{"01", "ALIM", "X9", 2, 1}});
    const struct {
        QString budget;
        QStringList expected;
    } cases[] = {
        {{}, {"ALIM/F1 Faina alba: 14 - 3", "ALIM/X9 : 5 - 2", "ALIM/Z1 Zahar: 3 - 0", "BIRO/F1 Folie: 0 - 6"}},
        {"B2", {"ALIM/F1 Faina alba: 4 - 1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(qPrintable(c.budget));
        BuildInputsOutputs(privateDb, kFirst, kLast, c.budget);
        EXPECT_EQ(rows(), c.expected);
    }
}

TEST_F(InputsOutputsTest, ReportAsksTheIntervalFirst)
{
    db.exec("INSERT INTO CLIENT (Cod_client, Nume_client) VALUES ('B1', 'Buget local')");
    input(QDate(2024, 3, 2), {{"01", "ALIM", "F1", 10, 2.5, {}, "B1"}});
    ui.from = kFirst;
    ui.to = kLast;
    ui.budget = "B1";
    auto ctx = context();
    ASSERT_TRUE(findReportKind("inputs-outputs")->run(ctx));
    EXPECT_EQ(ui.asked, (QStringList{"interval", "print", "budget"}));
    const QStringList texts = ui.pages.texts(0);
    for (const char* t : {"Lista intrarilor si iesirilor", "01.03.2024 - 31.03.2024", "Buget: Buget local", "Faina alba",
                          "10", "0"})
        EXPECT_TRUE(texts.contains(t)) << t;

    ui.cancel = "interval";
    ui.asked.clear();
    EXPECT_FALSE(InputsOutputsList(ctx));
    EXPECT_EQ(ui.asked, QStringList{"interval"});
}

TEST_F(StockCardTest, CentraliserSumsTheRoundedValuesOfTheStockLines)
{
    // Three stock lines of 1.005 lei: 1,00 each, the warehouse 3,00.
    input(QDate(2024, 3, 2), {{"01", "ALIM", "F1", 3, 0.335}, {"01", "ALIM", "Z1", 5, 0.201}, {"01", "BIRO", "H1", 15, 0.067}});
    ui.date = kLast;
    auto ctx = context();
    ASSERT_TRUE(findReportKind("inventory-centraliser")->run(ctx));
    const QStringList texts = ui.pages.texts(0);
    EXPECT_EQ(texts.count("3,00"), 2) << qPrintable(texts.join('|')); // the warehouse and the total
}

TEST_F(StockCardTest, CentraliserLeavesOutWarehousesWithoutStock)
{
    input(QDate(2024, 3, 2), {{"01", "ALIM", "F1", 10, 2.5}, {"01", "BIRO", "H1", 2, 20}, {"05", "ALIM", "Z1", 4, 3}});
    output(QDate(2024, 3, 9), {{"05", "ALIM", "Z1", 4 - parameters.Epsilon / 2, 3}});
    ui.date = kLast;
    ui.budget = QString();
    auto ctx = context();
    ASSERT_TRUE(findReportKind("inventory-centraliser")->run(ctx));
    const QStringList texts = ui.pages.texts(0);
    EXPECT_TRUE(texts.contains("Magazie centrala"));
    EXPECT_FALSE(texts.contains("Cantina"));
    EXPECT_EQ(texts.count("65,00"), 2); // the warehouse and the total
}

// For every card of the generated database, the last running stock is the
// stock at the interval's last day.
TEST(StockCardOnGeneratedData, LastStockOfEveryCardIsTheStockAtTheLastDay)
{
    reportstest::ReportDatabase base;
    testdata::GenerateOptions options;
    options.lines = 4000;
    options.articles = 60;
    options.warehouses = 2;
    testdata::GenerateTestDatabase(base.db, options);
    base.parameters.CLot = true;
    const QDate first(2020, 1, 1);
    const QDate last(2021, 6, 30);
    const int lines = BuildStockCards(base.privateDb, base.parameters, {first, last, {}});
    EXPECT_GT(lines, 500);
    ASSERT_TRUE(BuildStockAtDate(base.privateDb, base.parameters, {last, {}, {}, StockKey::Full}));

    const auto key = [](const datastore::Query& q) {
        return QStringList{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                           QString::number(q.value(3).toDouble()), q.value(4).toString(), q.value(5).toString()}
            .join('|');
    };
    QHash<QString, double> cards;
    datastore::Query c = base.privateDb.query(
        "SELECT Cod_gestiune, Cod_grupa, Cod_Articol, Pret_achizitie, Buget, Lot, Stoc FROM ANSW_BF ORDER BY "
        "Cod_gestiune, Cod_grupa, Cod_Articol, Pret_achizitie, Buget, Lot, Data_inregistrarii, Mod, Data, Numar, Tip, "
        "Contor, Contor_secundar");
    while (c.next())
        cards.insert(key(c), c.value(6).toDouble()); // the last line of each card wins
    QHash<QString, double> stock;
    datastore::Query s = base.privateDb.query(
        "SELECT Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, Lot, QIn - QOut FROM ANSW_ST");
    while (s.next())
        stock.insert(key(s), s.value(6).toDouble());

    const double eps = base.parameters.Epsilon;
    int negative = 0;
    for (auto it = stock.cbegin(); it != stock.cend(); ++it) {
        ASSERT_TRUE(cards.contains(it.key())) << qPrintable(it.key());
        EXPECT_NEAR(cards.value(it.key()), it.value(), eps) << qPrintable(it.key());
        negative += it.value() < 0;
    }
    for (auto it = cards.cbegin(); it != cards.cend(); ++it) {
        if (!stock.contains(it.key())) {
            EXPECT_NEAR(it.value(), 0, eps) << qPrintable(it.key());
        }
    }
    EXPECT_GT(stock.size(), 50);
    RecordProperty("negative_stocks", negative);
}

} // namespace
