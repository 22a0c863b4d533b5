// The stock reports run without windows, on a small fixture.

#include "reportstest.h"

#include "reportengine/exportfilters.h"
#include "reportengine/output.h"
#include "reports/reportlist.h"
#include "reports/stockatdate.h"
#include "reports/stockreports.h"

#include <tuple>

using namespace reports;
using reportstest::ReportFixture;

namespace {

class StockReportsTest : public ReportFixture {
protected:
    void documents()
    {
        db.exec("INSERT INTO CLIENT (Cod_client, Nume_client) VALUES ('B1', 'Buget local')");
        input(QDate(2024, 1, 10), {{"01", "ALIM", "F1", 10, 2.5, {}, "B1"}, {"01", "ALIM", "Z1", 4, 3},
                                   {"01", "BIRO", "H1", 5, 20}, {"05", "ALIM", "F1", 8, 2.4, {}, "B1"}});
        input(QDate(), {{"05", "BIRO", "P1", 30, 1.2}});
        output(QDate(2024, 2, 1), {{"01", "ALIM", "Z1", 4, 3}, {"01", "BIRO", "P1", 2, 1.5, {}, "B1"}});
        output(QDate(2024, 7, 1), {{"01", "ALIM", "F1", 10, 2.5}});
    }
    QString text() const { return reportengine::plainText(ui.pages); }
};

TEST_F(StockReportsTest, InventoryListGolden)
{
    documents();
    auto ctx = context();
    ui.budget = QString(); // all budgets
    ASSERT_TRUE(InventoryList(ctx));
    EXPECT_EQ(ui.asked, (QStringList{"warehouses", "date", "print", "budget", "signatures"}));
    EXPECT_TRUE(testsupport::matchesGolden("report-inventory-list.txt", text()));
    EXPECT_EQ(ui.pages.setup.orientation, reportengine::Orientation::Landscape);
    EXPECT_EQ(ui.progress.first(), "Parametrii de listare impliciti: Arial, 8, A4, Peisaj");
    EXPECT_EQ(ui.progress.last(), "OK.");
    EXPECT_FALSE(privateDb.tableExists("ANSW_ST")); // deleted after the print
    if (!testsupport::shotsDir().isEmpty())
        reportengine::writePdf(ui.pages, testsupport::shotsDir() + "/report-inventory-list.pdf");
}

TEST_F(StockReportsTest, InventoryListRestartsTheRunningNumberOnEveryWarehousePage)
{
    documents();
    auto ctx = context();
    ASSERT_TRUE(InventoryList(ctx));
    ASSERT_EQ(ui.pages.pageCount(), 2);
    // Each warehouse on its own page, its lines numbered from 1.
    for (int page = 0; page < 2; ++page) {
        const QStringList texts = ui.pages.texts(page);
        EXPECT_TRUE(texts.contains("1")) << page;
        EXPECT_EQ(texts.contains("Magazie centrala"), page == 0);
        EXPECT_EQ(texts.contains("Cantina"), page == 1);
    }
}

TEST_F(StockReportsTest, SignaturesOnEveryPageWhenAsked)
{
    documents();
    for (const bool everyPage : {false, true}) {
        auto ctx = context();
        ui.signaturesOnEveryPage = everyPage;
        ASSERT_TRUE(InventoryList(ctx));
        ASSERT_EQ(ui.pages.pageCount(), 2);
        for (int page = 0; page < 2; ++page) {
            const QStringList texts = ui.pages.texts(page);
            EXPECT_EQ(texts.contains("Data inventarierii"), everyPage) << page;
            EXPECT_EQ(texts.contains("30.06.2024"), true) << page;
            EXPECT_TRUE(texts.contains(QString("Pagina %1 din 2").arg(page + 1))) << page;
        }
    }
}

TEST_F(StockReportsTest, BudgetRestrictsPositiveAndNegativeLinesAlike)
{
    documents();
    auto ctx = context();
    ui.budget = "B1";
    ASSERT_TRUE(InventoryList(ctx));
    const QString t = text();
    EXPECT_TRUE(t.contains("Buget: Buget local"));
    EXPECT_TRUE(t.contains("Faina alba"));
    EXPECT_TRUE(t.contains("Pixuri"));    // -2, budget B1
    EXPECT_TRUE(t.contains("-2"));
    EXPECT_FALSE(t.contains("Hartie A4")); // no budget
    EXPECT_EQ(selection.budget, "B1");
}

TEST_F(StockReportsTest, StockSituationGolden)
{
    documents();
    auto ctx = context();
    ui.warehouses = "\"01\",\"05\"";
    ASSERT_TRUE(StockSituation(ctx));
    EXPECT_EQ(ui.asked, (QStringList{"articles", "warehouses", "date", "print", "budget"}));
    EXPECT_TRUE(testsupport::matchesGolden("report-stock-situation.txt", text()));
}

TEST_F(StockReportsTest, ArticleSelectionMatchesPairs)
{
    documents();
    // F1 of ALIM and H1 of BIRO chosen: P1 of BIRO and Z1 of ALIM are not,
    // although their group and code each occur among the chosen ones.
    article("BIRO", "F1", "Faina in birou", "kg", 9);
    input(QDate(2024, 1, 1), {{"01", "BIRO", "F1", 1, 1}});
    auto ctx = context();
    ui.articles = ArticleSelection::fromKeys({{"ALIM", "F1", "Faina alba"}, {"BIRO", "H1", "Hartie A4"}});
    ASSERT_TRUE(StockSituation(ctx));
    const QString t = text();
    EXPECT_TRUE(t.contains("Faina alba"));
    EXPECT_TRUE(t.contains("Hartie A4"));
    EXPECT_FALSE(t.contains("Faina in birou"));
    EXPECT_FALSE(t.contains("Pixuri"));
}

TEST_F(StockReportsTest, NoDocumentsAndCancelsEndTheCommandWithoutPrinting)
{
    auto ctx = context();
    EXPECT_FALSE(InventoryList(ctx));
    EXPECT_EQ(dialogs.last().text, kNoDocuments);
    EXPECT_EQ(ui.outputs, 0);
    documents();
    for (const char* question : {"warehouses", "date", "print", "budget"}) {
        ui.cancel = question;
        EXPECT_FALSE(InventoryList(ctx)) << question;
    }
    EXPECT_EQ(ui.outputs, 0);
}

TEST_F(StockReportsTest, EveryReportOfTheTableRuns)
{
    documents();
    db.exec("INSERT INTO STOC (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Cantitate) VALUES ('01', 'ALIM', 'F1', 1, 2)");
    db.exec("UPDATE CATALOG SET Stock_minim = 5");
    db.exec("UPDATE CATALOG SET Pret_vinzare = 4, Moneda = 'EUR' WHERE Cod = 'F1'");
    db.exec("INSERT INTO VALUTA (Moneda, Denumire) VALUES ('EUR', 'Euro')");
    for (const ReportKind& kind : reportKinds()) {
        SCOPED_TRACE(qPrintable(kind.name));
        auto ctx = context();
        ui.pages = {};
        ASSERT_TRUE(kind.run(ctx)) << qPrintable(dialogs.texts().join("; "));
        EXPECT_GE(ui.pages.pageCount(), 1);
        const QString t = text();
        EXPECT_FALSE(t.contains("inf")) << qPrintable(t);
        EXPECT_FALSE(t.contains("nan")) << qPrintable(t);
    }
}

TEST_F(StockReportsTest, StockTotalsSplitShowsTheWarehouseColumns)
{
    documents();
    auto ctx = context();
    ui.sortOrder = QStringList{"Descriere", "Denumire"};
    ASSERT_TRUE(StockTotals(ctx, true));
    EXPECT_EQ(ui.asked, (QStringList{"sort", "date", "print"}));
    const QString t = text();
    EXPECT_TRUE(t.contains("Magazie")); // the warehouse names head their columns (wrapped)
    EXPECT_TRUE(t.contains("Cantina"));
    EXPECT_TRUE(t.contains("Faina alba"));
    EXPECT_FALSE(privateDb.tableExists("ANSW"));
    EXPECT_FALSE(privateDb.tableExists("CROSSTAB"));
}

TEST_F(StockReportsTest, CurrencyReportsConvertAtTheLatestRateReadOncePerRun)
{
    documents();
    // H1: 5 in stock at 30.06.2024, sold at 2 EUR. The latest rates come
    // after the stock date.
    db.exec("UPDATE CATALOG SET Pret_vinzare = 2, Moneda = 'EUR' WHERE Cod = 'H1'");
    for (const auto& [currency, date, rate] :
         {std::tuple{"EUR", QDate(2024, 6, 1), 4.5}, std::tuple{"EUR", QDate(2024, 9, 1), 5.0},
          std::tuple{"USD", QDate(2024, 6, 1), 4.0}, std::tuple{"USD", QDate(2024, 8, 1), 4.2}})
        db.exec("INSERT INTO CURS (Valuta, Data, Curs) VALUES (:v, :d, :c)", {{"v", currency}, {"d", date}, {"c", rate}});
    parameters.CVal = "USD";
    ui.warehouses = "\"01\"";
    catalogs::RateCache cache; // the program's, kept for the whole run
    const auto run = [&](catalogs::RateCache* rates) {
        ui.pages = {};
        auto ctx = context();
        ctx.rates = rates;
        EXPECT_TRUE(StockInCurrency(ctx));
        return ui.pages.texts(0);
    };
    QStringList texts = run(&cache);
    EXPECT_TRUE(texts.contains("50,00")) << "10 EUR at 5.0";
    EXPECT_FALSE(texts.contains("45,00")) << "not at the stock date's 4.5";
    EXPECT_TRUE(texts.contains("11,90")) << "50 lei at 4.2 lei a dollar";
    EXPECT_EQ(cache.find("EUR"), 5.0);

    // A rate written later is not seen by the run that has read the currency.
    db.exec("INSERT INTO CURS (Valuta, Data, Curs) VALUES ('EUR', :d, 6.0)", {{"d", QDate(2024, 10, 1)}});
    EXPECT_TRUE(run(&cache).contains("50,00"));
    EXPECT_TRUE(run(nullptr).contains("60,00")) << "a report without the run's cache reads it";
}

// Every value of a stock line is rounded once, halves to even, and every
// total is the sum of the values printed above it: three lines of 1.005 lei
// print 1,00 each and total 3,00 (not 3,02 of the unrounded 3.015).
TEST_F(StockReportsTest, TotalsAreSumsOfTheRoundedLineValues)
{
    article("ALIM", "S1", "Sare", "kg", 0);
    article("ALIM", "S2", "Sare iodata", "kg", 0);
    article("ALIM", "S3", "Sare grunjoasa", "kg", 0);
    input(QDate(2024, 3, 2), {{"01", "ALIM", "S1", 3, 0.335}, {"01", "ALIM", "S2", 5, 0.201}, {"01", "ALIM", "S3", 15, 0.067}});
    const struct {
        const char* report;
        int lineValues; // "1,00" printed on the lines
        int totals;     // "3,00" printed in the group, warehouse and general totals
    } cases[] = {
        {"inventory-list", 6, 3}, // "Valoare" and "Valoare de inventar"
        {"stock-at-date", 3, 2},  // no group total
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.report);
        auto ctx = context();
        ASSERT_TRUE(findReportKind(c.report)->run(ctx));
        const QStringList texts = ui.pages.texts(0);
        EXPECT_EQ(texts.count("1,00"), c.lineValues) << qPrintable(texts.join('|'));
        EXPECT_EQ(texts.count("3,00"), c.totals) << qPrintable(texts.join('|'));
        EXPECT_FALSE(texts.contains("3,01"));
        EXPECT_FALSE(texts.contains("3,02"));
    }
}

// The page of the stock totals: portrait without warehouse columns, landscape
// with one per warehouse, until the user chooses one; a choice stays.
TEST_F(StockReportsTest, StockTotalsKeepTheUsersPageOrTheirOwn)
{
    documents();
    using prints::PageOrientation;
    const struct {
        bool split;
        bool chosen;
        PageOrientation before;
        reportengine::Orientation printed;
    } cases[] = {
        {true, false, PageOrientation::Portrait, reportengine::Orientation::Landscape},
        {true, true, PageOrientation::Portrait, reportengine::Orientation::Portrait},
        {true, true, PageOrientation::Landscape, reportengine::Orientation::Landscape},
        {false, false, PageOrientation::Landscape, reportengine::Orientation::Portrait},
        {false, true, PageOrientation::Landscape, reportengine::Orientation::Landscape},
        {false, true, PageOrientation::Portrait, reportengine::Orientation::Portrait},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.split << " " << c.chosen << " " << int(c.before));
        printSettings.orientation = c.before;
        printSettings.userChoice = c.chosen;
        auto ctx = context();
        ASSERT_TRUE(StockTotals(ctx, c.split));
        EXPECT_EQ(ui.pages.setup.orientation, c.printed);
    }
}

TEST_F(StockReportsTest, StockPerBudgetRestrictsTheLinesToTheBudget)
{
    documents();
    auto ctx = context();
    ui.budget = "B1";
    ASSERT_TRUE(StockPerBudget(ctx, false));
    EXPECT_EQ(ui.asked.first(), "budget");
    const QString t = text();
    EXPECT_TRUE(t.contains("Situatia stocurilor pe bugetul :"));
    EXPECT_TRUE(t.contains("Buget local"));
    EXPECT_TRUE(t.contains("Faina alba"));
    EXPECT_FALSE(t.contains("Hartie A4"));
}

} // namespace

// Each report keeps its own print settings: its defaults apply until the
// user chooses in its print setup, the choice then stays at every run and
// after a restart, and the other reports keep theirs.
TEST_F(StockReportsTest, EachReportKeepsItsOwnPrintSettings)
{
    documents();
    testsupport::TempDir home;
    const QString path = home.file("mirafel.INI");
    struct Run {
        reportengine::PageSetup page;
        QStringList progress;
    };
    const auto run = [this](prints::PrintSettingsStore& store, const char* name,
                            std::function<void(prints::PrintSettings&)> choose = {}) {
        const ReportKind* kind = findReportKind(QString::fromLatin1(name));
        BatchReportUi batch;
        batch.budget = QString();
        batch.choosePrintSettings = std::move(choose);
        ReportContext ctx{db, privateDb, priv.path() + "/", parameters, formats, dialogs, selection,
                          reportPrintSettings(store, *kind), batch};
        EXPECT_TRUE(kind->run(ctx)) << name;
        return Run{batch.pages.setup, batch.progress};
    };
    const auto portraitSerif = [](prints::PrintSettings& s) {
        s.orientation = prints::PageOrientation::Portrait;
        s.fontName = "Liberation Serif";
        s.fontSize = 9;
    };
    {
        common::IniFile ini(path);
        prints::PrintSettingsStore store(ini);
        EXPECT_EQ(run(store, "inventory-list").page.orientation, reportengine::Orientation::Landscape);
        const Run chosen = run(store, "inventory-list", portraitSerif);
        EXPECT_EQ(chosen.page.orientation, reportengine::Orientation::Portrait);
        EXPECT_EQ(chosen.page.font.family(), "Liberation Serif");

        // The next run keeps the choice: the defaults no longer overwrite it.
        const Run again = run(store, "inventory-list");
        EXPECT_EQ(again.page.orientation, reportengine::Orientation::Portrait);
        EXPECT_EQ(again.page.font.pointSizeF(), 9);
        EXPECT_FALSE(again.progress.join("|").contains("Parametrii de listare impliciti"));

        // Another report is on its own defaults.
        const Run other = run(store, "stock-at-date");
        EXPECT_EQ(other.page.font.family(), "Arial");
        EXPECT_EQ(other.page.font.pointSizeF(), 8);
        EXPECT_EQ(other.progress.value(0), "Parametrii de listare impliciti: Arial, 8, A4, Portret");
        ASSERT_TRUE(store.write()); // at exit
    }
    common::IniFile ini(path);
    EXPECT_EQ(ini.readString("Report inventory-list", "FontName"), "Liberation Serif");
    EXPECT_FALSE(ini.sectionExists("Report stock-at-date"));
    prints::PrintSettingsStore restarted(ini);
    const Run after = run(restarted, "inventory-list");
    EXPECT_EQ(after.page.orientation, reportengine::Orientation::Portrait);
    EXPECT_EQ(after.page.font.family(), "Liberation Serif");
    EXPECT_EQ(run(restarted, "stock-at-date").page.font.family(), "Arial");
}
