// The turnover balance and the verification balance: the computation on a
// small fixture, the printed reports, and the closing stock against the
// stock at the last day on the generated database.

#include "reportstest.h"

#include "reportengine/canvas.h"
#include "common/rounding.h"
#include "reportengine/exportfilters.h"
#include "reportengine/output.h"
#include "reports/balance.h"
#include "reports/reportlist.h"
#include "reports/stockatdate.h"
#include "testdatabase.h"

#include <QHash>
#include <cmath>

using namespace reports;
using reportstest::ReportFixture;

namespace {

const QDate kFirst(2024, 3, 1);
const QDate kLast(2024, 3, 31);

class BalanceTest : public ReportFixture {
protected:
    // ANSW_B as "warehouse/group/article/price/budget/lot: opening + in - out = closing".
    QStringList balanceRows()
    {
        QStringList rows;
        datastore::Query q = privateDb.query(
            "SELECT Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, Lot, QInit, RQIn, RQOut, QFin, VInit, VFin "
            "FROM ANSW_B ORDER BY Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, Lot");
        while (q.next()) {
            rows << QStringLiteral("%1/%2/%3/%4/%5/%6: %7 + %8 - %9 = %10")
                        .arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString())
                        .arg(q.value(3).toDouble())
                        .arg(q.value(4).toString(), q.value(5).toString())
                        .arg(q.value(6).toDouble())
                        .arg(q.value(7).toDouble())
                        .arg(q.value(8).toDouble())
                        .arg(q.value(9).toDouble());
            // Each value is price times quantity, rounded once.
            EXPECT_EQ(q.value(10).toDouble(),
                      common::roundMoney(q.value(3).toDouble() * q.value(6).toDouble(), parameters.nrZecimaleLei));
            EXPECT_EQ(q.value(11).toDouble(),
                      common::roundMoney(q.value(3).toDouble() * q.value(9).toDouble(), parameters.nrZecimaleLei));
        }
        return rows;
    }

    // The documents of the reports' fixture: two warehouses, a budget, lots.
    void documents()
    {
        db.exec("INSERT INTO CLIENT (Cod_client, Nume_client) VALUES ('B1', 'Buget local')");
        input(QDate(2024, 1, 10), {{"01", "ALIM", "F1", 10, 2.5}, {"01", "ALIM", "Z1", 4, 3}, {"01", "BIRO", "H1", 5, 20},
                                   {"05", "ALIM", "F1", 8, 2.4, {}, "B1"}});
        input(QDate(), {{"05", "BIRO", "P1", 30, 1.2}});
        output(QDate(2024, 2, 1), {{"01", "ALIM", "Z1", 4, 3}, {"01", "BIRO", "H1", 1, 20}});
        input(QDate(2024, 3, 5), {{"01", "ALIM", "F1", 6, 2.5}, {"01", "ALIM", "F1", 20, 2.6}, {"01", "ALIM", "Z1", 3, 3.1}});
        output(QDate(2024, 3, 20), {{"01", "ALIM", "F1", 12, 2.5}, {"05", "BIRO", "P1", 5, 1.2}});
        output(QDate(2024, 3, 25), {{"01", "ALIM", "F1", 4, 2.6}});
        input(QDate(2024, 4, 2), {{"01", "BIRO", "P1", 50, 1.1}}); // after the interval
        for (const char* table : {"DOC_IN", "DOC_OUT"})
            db.exec(QString("UPDATE %1 SET Data = Data_inregistrarii").arg(table));
    }

    void interval(const QDate& first, const QDate& last)
    {
        ui.from = first;
        ui.to = last;
    }

    QString text() const { return reportengine::plainText(ui.pages); }
    // The text with the printing date of the page footers as "<data>".
    QString goldenText() const
    {
        return text().replace(QDate::currentDate().toString("dd.MM.yyyy"), "<data>");
    }
};

TEST_F(BalanceTest, OpeningInputsOutputsAndClosingPerKey)
{
    // Received and fully issued before the interval, not moved within it.
    input(QDate(2024, 1, 5), {{"01", "ALIM", "F1", 10, 2}});
    output(QDate(2024, 2, 5), {{"01", "ALIM", "F1", 10, 2}});
    // Received and fully issued before, moved within.
    input(QDate(2024, 1, 5), {{"01", "ALIM", "Z1", 7, 3}});
    output(QDate(2024, 2, 5), {{"01", "ALIM", "Z1", 7, 3}});
    input(QDate(2024, 3, 10), {{"01", "ALIM", "Z1", 2, 3}});
    // Only issued before the interval: a negative opening.
    output(QDate(2024, 2, 5), {{"01", "BIRO", "H1", 3, 20}});
    // Without a registration date: in the opening of any interval, never an input of it.
    input(QDate(), {{"05", "BIRO", "P1", 30, 1.2, "L7"}});
    output(QDate(2024, 3, 15), {{"05", "BIRO", "P1", 4, 1.2, "L7"}});
    // An output without a registration date never counts.
    output(QDate(), {{"05", "BIRO", "P1", 9, 1.2, "L7"}});
    // Issued within the interval only, and received after it.
    output(QDate(2024, 3, 31), {{"05", "ALIM", "F1", 1, 2.4, {}, "B1"}});
    input(QDate(2024, 4, 1), {{"05", "ALIM", "F1", 1, 2.4, {}, "B1"}});

    BuildBalance(privateDb, parameters, {kFirst, kLast, {}, BalanceForm::Detailed});
    EXPECT_EQ(balanceRows(), (QStringList{"01/ALIM/Z1/3//: 0 + 2 - 0 = 2", "01/BIRO/H1/20//: -3 + 0 - 0 = -3",
                                          "05/ALIM/F1/2.4/B1/: 0 + 0 - 1 = -1", "05/BIRO/P1/1.2//L7: 30 + 0 - 4 = 26"}));

    // The simple form: the same rows without the lot, and no document tables.
    input(QDate(2024, 3, 2), {{"05", "BIRO", "P1", 1, 1.2, "L8"}});
    BuildBalance(privateDb, parameters, {kFirst, kLast, "\"05\"", BalanceForm::Simple});
    EXPECT_FALSE(privateDb.tableExists("ANSW_B1"));
    EXPECT_FALSE(privateDb.tableExists("ANSW_B2"));
    QStringList simple;
    datastore::Query q = privateDb.query("SELECT Cod_articol, Agent, QInit, RQIn, RQOut, QFin FROM ANSW_B ORDER BY Cod_articol, QInit");
    while (q.next())
        simple << QStringList{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString(),
                              q.value(4).toString(), q.value(5).toString()}
                      .join(' ');
    EXPECT_EQ(simple, (QStringList{"F1 B1 0 0 1 -1", "P1  0 1 0 1", "P1  30 0 4 26"}));
}

TEST_F(BalanceTest, DocumentTablesKeepEveryLineOfTheInterval)
{
    // Two documents alike in dates, number, type and line numbers.
    const double a = input(QDate(2024, 3, 5), {{"01", "ALIM", "F1", 2, 2.5}});
    const double b = input(QDate(2024, 3, 5), {{"01", "ALIM", "F1", 3, 2.5}});
    db.exec("UPDATE DOC_IN SET Numar = 17, Data = :d WHERE Contor IN (:a, :b)",
            {{"d", QDate(2024, 3, 4)}, {"a", a}, {"b", b}});
    output(QDate(2024, 3, 6), {{"01", "ALIM", "F1", 1, 2.5}, {"01", "ALIM", "F1", 1, 2.5}});
    output(QDate(2024, 4, 6), {{"01", "ALIM", "F1", 1, 2.5}});
    BuildBalance(privateDb, parameters, {kFirst, kLast, {}, BalanceForm::Detailed});
    EXPECT_EQ(privateDb.scalar("SELECT COUNT(*) FROM ANSW_B1 WHERE Numar = 17").toInt(), 2);
    EXPECT_EQ(privateDb.scalar("SELECT SUM(Cantitate) FROM ANSW_B1").toDouble(), 5);
    EXPECT_EQ(privateDb.scalar("SELECT COUNT(*) FROM ANSW_B2").toInt(), 2);
}

TEST_F(BalanceTest, BalanceGolden)
{
    documents();
    interval(kFirst, kLast);
    auto ctx = context();
    ASSERT_TRUE(TurnoverBalance(ctx));
    EXPECT_EQ(ui.asked, (QStringList{"articles", "warehouses", "interval", "print", "budget", "group-totals"}));
    EXPECT_EQ(ui.progress.first(), "Parametrii de listare impliciti: Arial, 8, A4, Portret");
    EXPECT_EQ(ui.pages.setup.orientation, reportengine::Orientation::Portrait);
    EXPECT_TRUE(testsupport::matchesGolden("report-balance.txt", goldenText()));
    EXPECT_TRUE(privateDb.tableExists("ANSW_B")); // kept until the next run
    EXPECT_EQ(selection.from, kFirst);
    EXPECT_EQ(selection.to, kLast);
    if (!testsupport::shotsDir().isEmpty())
        reportengine::writePdf(ui.pages, testsupport::shotsDir() + "/report-balance.pdf");
}

TEST_F(BalanceTest, VerificationBalanceGolden)
{
    documents();
    interval(kFirst, kLast);
    auto ctx = context();
    ASSERT_TRUE(VerificationBalance(ctx));
    EXPECT_TRUE(testsupport::matchesGolden("report-verification-balance.txt", goldenText()));
    for (const char* table : {"ANSW_B", "ANSW_B1", "ANSW_B2"})
        EXPECT_FALSE(privateDb.tableExists(table)) << table;
    if (!testsupport::shotsDir().isEmpty())
        reportengine::writePdf(ui.pages, testsupport::shotsDir() + "/report-verification-balance.pdf");
}

TEST_F(BalanceTest, GroupTotalsOnlyLeavesOutArticlesAndDocuments)
{
    documents();
    for (const char* kind : {"balance", "verification-balance"}) {
        SCOPED_TRACE(kind);
        interval(kFirst, kLast);
        ui.groupTotalsOnly = true;
        auto ctx = context();
        ASSERT_TRUE(findReportKind(kind)->run(ctx));
        const QString t = text();
        EXPECT_FALSE(t.contains("Faina alba"));
        EXPECT_FALSE(t.contains("NIR"));
        EXPECT_TRUE(t.contains("Alimente"));
        EXPECT_TRUE(t.contains("TOTAL GESTIUNE:"));
        EXPECT_TRUE(t.contains("TOTAL GENERAL:"));
    }
}

// The opening value is printed without VAT only for an interval starting on
// 1 January 2009; inputs and closing values always include it.
TEST_F(BalanceTest, OpeningValueWithoutVatOnlyFromFirstJanuary2009)
{
    input(QDate(2008, 12, 1), {{"01", "BIRO", "H1", 10, 100}});  // VAT 19%
    input(QDate(2009, 1, 2), {{"01", "BIRO", "H1", 1, 100}});
    struct Case {
        QDate first;
        double opening;
        double inputs;
    } cases[] = {
        {QDate(2009, 1, 1), 1000, 119},
        {QDate(2008, 12, 31), 1190, 119},
        {QDate(2009, 1, 2), 1190, 119},
    };
    const auto money = [&](double v) { return common::formatFloat(kMoneyMask, v, formats); };
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.first.toString(Qt::ISODate)));
        interval(c.first, QDate(2009, 1, 31));
        auto ctx = context();
        ASSERT_TRUE(TurnoverBalance(ctx));
        const QStringList texts = ui.pages.texts(0);
        EXPECT_TRUE(texts.contains(money(c.opening))) << qPrintable(texts.join('|'));
        EXPECT_TRUE(texts.contains(money(c.inputs)));
        EXPECT_TRUE(texts.contains(money(1309))); // closing: 11 x 100 x 1.19
    }
}

// Every printed value is rounded once, halves to even, and every total is
// the sum of the printed values above it: three lines of 1.005 lei print
// 1,00 each and total 3,00 (not 3,02 of the unrounded 3.015).
TEST_F(BalanceTest, TotalsAreSumsOfTheRoundedLineValues)
{
    article("ALIM", "S1", "Sare", "kg", 0);
    article("ALIM", "S2", "Sare iodata", "kg", 0);
    article("ALIM", "S3", "Sare grunjoasa", "kg", 0);
    input(QDate(2024, 3, 2), {{"01", "ALIM", "S1", 3, 0.335}, {"01", "ALIM", "S2", 5, 0.201}, {"01", "ALIM", "S3", 15, 0.067}});
    interval(kFirst, kLast);
    for (const char* kind : {"balance", "verification-balance"}) {
        SCOPED_TRACE(kind);
        auto ctx = context();
        ASSERT_TRUE(findReportKind(kind)->run(ctx)) << qPrintable(dialogs.texts().join("\n"));
        const QStringList texts = ui.pages.texts(0);
        // Inputs and closing of each line; the article totals of the simple form.
        EXPECT_EQ(texts.count("1,00"), kind == QLatin1String("balance") ? 12 : 6) << qPrintable(texts.join('|'));
        // Inputs and closing in the group, warehouse and general totals.
        EXPECT_EQ(texts.count("3,00"), 6) << qPrintable(texts.join('|'));
        EXPECT_FALSE(texts.contains("3,01"));
        EXPECT_FALSE(texts.contains("3,02"));
    }
    // The values kept in ANSW_B are rounded as well (the verification
    // balance drops it after printing: computed again).
    BuildBalance(privateDb, parameters, {kFirst, kLast, {}, BalanceForm::Simple});
    EXPECT_EQ(privateDb.scalar("SELECT SUM(Vin) FROM ANSW_B").toDouble(), 3.0);
    EXPECT_EQ(privateDb.scalar("SELECT MAX(Vin) FROM ANSW_B").toDouble(), 1.0);
}

TEST_F(BalanceTest, LinesWithoutMovementWithinEpsilonAreNotPrinted)
{
    input(QDate(2024, 3, 2), {{"01", "ALIM", "F1", 0.000001, 2}, {"01", "ALIM", "Z1", 1, 3}});
    interval(kFirst, kLast);
    auto ctx = context();
    ASSERT_TRUE(TurnoverBalance(ctx)) << qPrintable(dialogs.texts().join("\n"));
    EXPECT_FALSE(text().contains("Faina alba"));
    EXPECT_TRUE(text().contains("Zahar"));
}

// The documents under a line are those of its whole key: a document of the
// same price but another budget or lot is listed under its own line only.
TEST_F(BalanceTest, VerificationDocumentsMatchTheWholeKey)
{
    db.exec("INSERT INTO CLIENT (Cod_client, Nume_client) VALUES ('B1', 'Buget local')");
    const double a = input(QDate(2024, 3, 2), {{"01", "ALIM", "F1", 1, 2, "L1"}});
    const double b = input(QDate(2024, 3, 3), {{"01", "ALIM", "F1", 2, 2, "L2"}});
    const double c = input(QDate(2024, 3, 4), {{"01", "ALIM", "F1", 4, 2, "L1", "B1"}});
    for (const double n : {a, b, c})
        db.exec("UPDATE DOC_IN SET Numar = :n WHERE Contor = :c", {{"n", 100 + n}, {"c", n}});
    interval(kFirst, kLast);
    ui.budget = QString();
    auto ctx = context();
    ASSERT_TRUE(VerificationBalance(ctx));
    QStringList numbers;
    for (const QString& t : ui.pages.texts(0))
        if (t.startsWith("10") && t.size() == 3)
            numbers << t;
    EXPECT_EQ(numbers, (QStringList{"101", "102", "103"})); // one document per line, in key order
}

// Articles of the same name stay together, each followed by its total; the
// group name is that of the article's own group (its first class).
TEST_F(BalanceTest, ArticlesOfTheSameNameDoNotInterleaveAndGroupNameIsTheArticlesOwn)
{
    db.exec("INSERT INTO GRUP (Cod_material, Cod_grupa, Denumire) VALUES ('A', 'BIRO', 'Birotica scolara')");
    db.exec("INSERT INTO GRUP (Cod_material, Cod_grupa, Denumire) VALUES ('Z', 'BIRO', 'Aparatura')");
    article("BIRO", "C1", "Caiet", "buc", 19);
    article("BIRO", "C2", "Caiet", "buc", 19);
    input(QDate(2024, 3, 2), {{"01", "BIRO", "C1", 1, 1}, {"01", "BIRO", "C2", 1, 2}, {"01", "BIRO", "C1", 1, 3}});
    interval(kFirst, kLast);
    auto ctx = context();
    ASSERT_TRUE(TurnoverBalance(ctx));
    const QStringList texts = ui.pages.texts(0);
    EXPECT_EQ(texts.count("Total"), 2);
    const auto at = [&](const QString& s, int from = 0) { return texts.indexOf(s, from); };
    const int c2 = at("C2");
    ASSERT_GE(c2, 0);
    EXPECT_GT(c2, at("Total")); // C1's two lines and total come first
    EXPECT_TRUE(texts.contains("Birotica scolara"));
    EXPECT_FALSE(texts.contains("Aparatura"));
}

TEST_F(BalanceTest, BudgetAndArticlesRestrictTheLines)
{
    documents();
    struct Case {
        QString budget;
        QList<ArticleKey> articles;
        QStringList present;
        QStringList absent;
    } cases[] = {
        {"B1", {}, {"Faina alba", "Buget: Buget local"}, {"Pixuri", "Zahar", "Hartie A4"}},
        {{}, {{"ALIM", "Z1", "Zahar"}, {"BIRO", "P1", "Pixuri"}}, {"Zahar", "Pixuri", "pentru selectia: Grupa \"ALIM\",\"BIRO\""},
         {"Faina alba", "Hartie A4"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.budget));
        interval(kFirst, kLast);
        ui.budget = c.budget;
        ui.articles = ArticleSelection::fromKeys(c.articles);
        auto ctx = context();
        ASSERT_TRUE(TurnoverBalance(ctx));
        const QString t = text();
        for (const QString& s : c.present)
            EXPECT_TRUE(t.contains(s)) << qPrintable(s);
        for (const QString& s : c.absent)
            EXPECT_FALSE(t.contains(s)) << qPrintable(s);
    }
}

TEST_F(BalanceTest, CancelledQuestionEndsWithoutPrinting)
{
    documents();
    for (const char* question : {"articles", "warehouses", "interval", "print"}) {
        SCOPED_TRACE(question);
        interval(kFirst, kLast);
        ui.cancel = question;
        ui.outputs = 0;
        auto ctx = context();
        EXPECT_FALSE(TurnoverBalance(ctx));
        EXPECT_EQ(ui.outputs, 0);
        EXPECT_EQ(ui.progress.last(), " OK.");
    }
}

// For every key, the closing quantity of the balance is the stock at the
// last day of the interval.
TEST(BalanceOnGeneratedData, ClosingQuantityIsTheStockAtTheLastDay)
{
    reportstest::GeneratedDatabase generated(4000, 80, 3);
    datastore::Database& privateDb = generated.privateDb;
    const testdata::GenerateSummary& summary = generated.summary;
    common::Parameters parameters;
    parameters.CLot = true;
    const QDate first = summary.first.addDays(summary.first.daysTo(summary.last) / 2);
    const QDate last = first.addDays(200);

    ASSERT_TRUE(BuildStockAtDate(privateDb, parameters, {last, {}, {}, StockKey::Full}));
    BuildBalance(privateDb, parameters, {first, last, {}, BalanceForm::Detailed});
    const auto read = [&](const char* sql) {
        QHash<QString, double> rows;
        datastore::Query q = privateDb.query(QString::fromLatin1(sql));
        while (q.next())
            rows.insert(QStringList{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                                    QString::number(q.value(3).toDouble()), q.value(4).toString(), q.value(5).toString()}
                            .join('|'),
                        q.value(6).toDouble());
        return rows;
    };
    const QHash<QString, double> stock =
        read("SELECT Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, Lot, QIn - QOut FROM ANSW_ST");
    const QHash<QString, double> closing =
        read("SELECT Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, Lot, QFin FROM ANSW_B");
    for (auto it = stock.cbegin(); it != stock.cend(); ++it) {
        ASSERT_TRUE(closing.contains(it.key())) << qPrintable(it.key());
        EXPECT_NEAR(closing.value(it.key()), it.value(), 1e-6) << qPrintable(it.key());
    }
    for (auto it = closing.cbegin(); it != closing.cend(); ++it)
        if (!stock.contains(it.key())) {
            EXPECT_NEAR(it.value(), 0, 1e-4) << qPrintable(it.key());
        }
    EXPECT_GT(stock.size(), 50);
    EXPECT_GT(privateDb.scalar("SELECT COUNT(*) FROM ANSW_B WHERE RQIn <> 0 OR RQOut <> 0").toInt(), 20);
}

} // namespace

TEST_F(BalanceTest, ALongNameEndsInAnEllipsisClearOfThePrice)
{
    article("BIRO", "C1", "Caiet dictando format mic 21 x 16 cm, 48 file, coperta carton", "buc", 19);
    input(QDate(2024, 3, 5), {{"01", "BIRO", "C1", 2, 1717.10}});
    for (const bool detailed : {false, true}) {
        SCOPED_TRACE(detailed ? "verification balance" : "balance");
        interval(kFirst, kLast);
        auto ctx = context();
        ASSERT_TRUE(detailed ? VerificationBalance(ctx) : TurnoverBalance(ctx));
        const reportengine::TextCapture printed = reportengine::capture(ui.pages);
        const auto prices = printed.find("1.717,10");
        ASSERT_FALSE(prices.isEmpty());
        int names = 0;
        for (const auto& t : printed.texts) {
            if (!t.text.startsWith("Caiet dictando"))
                continue;
            ++names;
            EXPECT_TRUE(t.text.endsWith(u'…')) << t.text.toStdString();
            for (const auto& price : prices) {
                if (std::abs(price.y - t.y) < 1) {
                    EXPECT_LE(t.x + t.width + 1, price.x) << "a blank's room before the price";
                }
            }
        }
        EXPECT_EQ(names, detailed ? 1 : 2); // the line, and the article's total in the balance
        EXPECT_TRUE(reportengine::plainText(ui.pages).contains(u'…'));
    }
}
