// The stock cards of one warehouse for one year on the ten-year test
// database (1 000 000 document lines, 5 000 articles, 10 warehouses): the
// program's computation of ANSW_BF (openings, the lines of the year and the
// running stock) next to the bare SQL aggregate of the same rows through the
// SQLite C API (every opening grouped, zero ones too, and the lines of the year copied, no
// running stock, no index), alternately, three times each; then the whole
// report laid out and written to PDF, and the peak memory of the process.
//
//   bench_stockcard [lines] [articles] [warehouses] [directory]

#include "benchdatabase.h"
#include "benchsupport.h"
#include "common/parameters.h"
#include "datastore/database.h"
#include "datastore/tablecatalog.h"
#include "reportengine/output.h"
#include "reports/batchui.h"
#include "reports/stockcard.h"
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
    "INSERT INTO bare_card SELECT Cod_gestiune, Cod_grupa, Cod_articol, Pret, Agent, Lot, NULL, NULL, SUM(Q) FROM ("
    "SELECT D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie_lei AS Pret, D1.Agent, D1.Lot, "
    "D1.Cantitate AS Q FROM Doc_in D, Item_in D1 WHERE D1.Contor = D.Contor AND D1.Cod_gestiune = ?3 AND "
    "(D.Data_inregistrarii < ?1 OR D.Data_inregistrarii IS NULL) "
    "UNION ALL SELECT D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie, D1.Agent, D1.Lot, -D1.Cantitate "
    "FROM Doc_out D, Item_out D1 WHERE D1.Contor = D.Contor AND D1.Cod_gestiune = ?3 AND D.Data_inregistrarii < ?1) "
    "GROUP BY Cod_gestiune, Cod_grupa, Cod_articol, Pret, Agent, Lot "
    "UNION ALL SELECT D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie_lei, D1.Agent, D1.Lot, "
    "D.Data_inregistrarii, D1.Cantitate, NULL FROM Doc_in D, Item_in D1 WHERE D1.Contor = D.Contor AND "
    "D1.Cod_gestiune = ?3 AND D.Data_inregistrarii >= ?1 AND D.Data_inregistrarii <= ?2 "
    "UNION ALL SELECT D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie, D1.Agent, D1.Lot, "
    "D.Data_inregistrarii, -D1.Cantitate, NULL FROM Doc_out D, Item_out D1 WHERE D1.Contor = D.Contor AND "
    "D1.Cod_gestiune = ?3 AND D.Data_inregistrarii >= ?1 AND D.Data_inregistrarii <= ?2";

const char* const kBareTable =
    "CREATE TABLE bare_card (Cod_gestiune CHAR(4), Cod_grupa CHAR(8), Cod_articol CHAR(30), "
    "Pret_achizitie FLOAT, Agent CHAR(3), Lot CHAR(30), Data DATE, Cantitate FLOAT, QInit FLOAT)";

double bareAggregate(const QString& file, const QDate& first, const QDate& last, const QString& warehouse,
                     long long& rows)
{
    return benchsupport::timeBareInsert(file, "bare_card", kBareTable, kBareAggregate,
                                        {first.toString(Qt::ISODate), last.toString(Qt::ISODate), warehouse}, rows);
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
    // The last whole year of the period, the first warehouse.
    const int year = std::max(summary.first.year(), summary.last.year() - 1);
    const QDate first(year, 1, 1);
    const QDate last(year, 12, 31);
    const QString warehouse = db.scalar("SELECT MIN(Cod_gestiune) FROM ITEM_IN").toString();

    datastore::Database privateDb{QString::fromLatin1(datastore::kPrivateAlias)};
    privateDb.setDirectory(privDir.path());
    reports::connectPrivateDirectory(db, privateDb, dir.path() + "/", privDir.path() + "/");
    common::Parameters parameters;
    const QString list = QStringLiteral("\"%1\"").arg(warehouse);
    double bestBare = 1e300, bestProgram = 1e300;
    long long bareRows = 0;
    int lines = 0;
    for (int round = 0; round < 3; ++round) {
        const double bare = bareAggregate(db.filePath(), first, last, warehouse, bareRows);
        t.restart();
        lines = reports::BuildStockCards(privateDb, parameters, {first, last, list});
        const double program = ms(t);
        if (bare < 0) {
            std::printf("FAILED\n");
            return 1;
        }
        std::printf("round %d: bare aggregate %8.0f ms   stock cards %8.0f ms   x%.2f\n", round + 1, bare, program,
                    program / bare);
        bestBare = std::min(bestBare, bare);
        bestProgram = std::min(bestProgram, program);
    }
    const long long cards = privateDb.scalar("SELECT COUNT(*) FROM ANSW_BF WHERE Mod IS NULL").toLongLong();
    std::printf("best:    bare aggregate %8.0f ms   stock cards %8.0f ms   x%.2f; warehouse %s, %d: %lld / %d card "
                "lines, %lld cards\n",
                bestBare, bestProgram, bestProgram / bestBare, qPrintable(warehouse), year, bareRows, lines, cards);
    const double before = peakMb();

    // The whole report of the warehouse and the year, to PDF.
    SilentDialogs dialogs;
    common::Formats formats;
    reports::ReportSelection selection = reports::ReportSelection::initial(last);
    prints::PrintSettings printSettings;
    reports::BatchReportUi ui;
    ui.warehouses = list;
    ui.from = first;
    ui.to = last;
    reports::ReportContext ctx{db, privateDb, privDir.path() + "/", parameters, formats, dialogs, selection,
                               printSettings, ui};
    t.restart();
    if (!reports::StockCard(ctx)) {
        std::printf("FAILED: stock cards\n");
        return 1;
    }
    const double laidOut = ms(t);
    t.restart();
    const QString pdf = dir.filePath("cards.pdf");
    if (!reportengine::writePdf(ui.pages, pdf)) {
        std::printf("FAILED: pdf\n");
        return 1;
    }
    const double written = ms(t);
    const int pages = ui.pages.pageCount();
    std::printf("stock cards: %d lines, %d pages; computed and laid out in %.0f ms, PDF in %.0f ms: %.0f pages/s; "
                "peak memory %.0f MB (%.0f MB before the report)\n",
                lines, pages, laidOut, written, pages / ((laidOut + written) / 1000), peakMb(), before);
    return pages >= cards ? 0 : 1;
}
