// The stock at a date on the ten-year test database (1 000 000 document
// lines, 5 000 articles, 10 warehouses): the program's computation of
// ANSW_ST (every warehouse, the middle of the period) next to the bare SQL
// aggregate of the same rows through the SQLite C API, alternately, three
// times each; then the whole inventory list laid out and written to PDF,
// and the peak memory of the process.
//
//   bench_stockreports [lines] [articles] [warehouses] [directory]

#include "benchdatabase.h"
#include "benchsupport.h"
#include "common/parameters.h"
#include "datastore/database.h"
#include "datastore/tablecatalog.h"
#include "reportengine/output.h"
#include "reports/batchui.h"
#include "reports/stockatdate.h"
#include "reports/stockreports.h"
#include "testdatabase.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <sys/resource.h>

using benchsupport::ms;
using benchsupport::peakMb;
using benchsupport::runSql;
using benchsupport::SilentDialogs;

namespace {

const char* kBareAggregate =
    "INSERT INTO bare_stock SELECT Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, Lot, SUM(QOut), SUM(QIn) "
    "FROM (SELECT D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie_lei AS Pret_achizitie, D1.Agent, "
    "NULL AS Lot, 0 AS QOut, D1.Cantitate AS QIn FROM Doc_in D, Item_in D1 WHERE D1.Contor = D.Contor AND "
    "(D.Data_inregistrarii <= ?1 OR D.Data_inregistrarii IS NULL) "
    "UNION ALL SELECT D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie, D1.Agent, NULL, D1.Cantitate, 0 "
    "FROM Doc_out D, Item_out D1 WHERE D1.Contor = D.Contor AND D.Data_inregistrarii <= ?1) "
    "GROUP BY Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, Lot "
    "HAVING (SUM(QIn) - SUM(QOut) < -0.00001) OR (SUM(QIn) - SUM(QOut) > 0.00001)";

const char* const kBareTable =
    "CREATE TABLE bare_stock (Cod_gestiune CHAR(4), Cod_grupa CHAR(8), Cod_articol CHAR(30), "
    "Pret_achizitie FLOAT, Agent CHAR(3), Lot CHAR(30), QOut FLOAT, QIn FLOAT)";

double bareAggregate(const QString& file, const QDate& date, long long& rows)
{
    return benchsupport::timeBareInsert(file, "bare_stock", kBareTable, kBareAggregate,
                                        {date.toString(Qt::ISODate)}, rows);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const benchsupport::BenchArguments arguments = benchsupport::benchArguments(argc, argv);
    const testdata::GenerateOptions& options = arguments.options;
    QTemporaryDir dir(arguments.base + "/bench-XXXXXX");
    QTemporaryDir privDir(arguments.base + "/bench-priv-XXXXXX");

    datastore::Database db;
    db.setDirectory(dir.path());
    const testdata::GenerateSummary summary = benchsupport::generateBenchDatabase(db, options);
    QElapsedTimer t;
    const QDate middle = summary.first.addDays(summary.first.daysTo(summary.last) / 2);

    datastore::Database privateDb{QString::fromLatin1(datastore::kPrivateAlias)};
    privateDb.setDirectory(privDir.path());
    reports::connectPrivateDirectory(db, privateDb, dir.path() + "/", privDir.path() + "/");
    common::Parameters parameters;
    double bestBare = 1e300, bestProgram = 1e300;
    long long bareRows = 0;
    for (int round = 0; round < 3; ++round) {
        const double bare = bareAggregate(db.filePath(), middle, bareRows);
        t.restart();
        const bool built = reports::BuildStockAtDate(privateDb, parameters, {middle, {}, {}, reports::StockKey::Full});
        const double program = ms(t);
        if (!built || bare < 0) {
            std::printf("FAILED\n");
            return 1;
        }
        std::printf("round %d: bare aggregate %8.0f ms   stock at %s %8.0f ms   x%.2f\n", round + 1, bare,
                    qPrintable(middle.toString(Qt::ISODate)), program, program / bare);
        bestBare = std::min(bestBare, bare);
        bestProgram = std::min(bestProgram, program);
    }
    const long long rows = privateDb.scalar("SELECT COUNT(*) FROM ANSW_ST").toLongLong();
    std::printf("best:    bare aggregate %8.0f ms   stock at the date %8.0f ms   x%.2f (target 2.00); %lld / %lld rows\n",
                bestBare, bestProgram, bestProgram / bestBare, bareRows, rows);
    const double before = peakMb();

    // The whole inventory list, every warehouse, to PDF.
    SilentDialogs dialogs;
    common::Formats formats;
    reports::ReportSelection selection = reports::ReportSelection::initial(middle);
    prints::PrintSettings printSettings;
    reports::BatchReportUi ui;
    ui.date = middle;
    reports::ReportContext ctx{db, privateDb, privDir.path() + "/", parameters, formats, dialogs, selection,
                               printSettings, ui};
    t.restart();
    if (!reports::InventoryList(ctx)) {
        std::printf("FAILED: inventory list\n");
        return 1;
    }
    const double laidOut = ms(t);
    t.restart();
    const QString pdf = dir.filePath("inventory.pdf");
    if (!reportengine::writePdf(ui.pages, pdf)) {
        std::printf("FAILED: pdf\n");
        return 1;
    }
    const double written = ms(t);
    const int pages = ui.pages.pageCount();
    std::printf("inventory list: %lld rows, %d pages; computed and laid out in %.0f ms, PDF in %.0f ms: %.0f pages/s; "
                "peak memory %.0f MB (%.0f MB before the list)\n",
                rows, pages, laidOut, written, pages / ((laidOut + written) / 1000), peakMb(), before);
    return bareRows == rows ? 0 : 1;
}
