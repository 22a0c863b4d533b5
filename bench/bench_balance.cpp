// The turnover balance on the ten-year test database (1 000 000 document
// lines, 5 000 articles, 10 warehouses): the program's computation of
// ANSW_B (every warehouse, one year in the middle of the period) next to the
// bare SQL aggregate of the same rows through the SQLite C API, alternately,
// three times each; then the whole "&Balanta" laid out and the detailed
// form with its document tables, and the peak memory of the process.
//
//   bench_balance [--lines N | lines] [articles] [warehouses] [directory]

#include "benchdatabase.h"
#include "benchsupport.h"
#include "common/parameters.h"
#include "datastore/database.h"
#include "datastore/tablecatalog.h"
#include "reports/balance.h"
#include "reports/batchui.h"
#include "testdatabase.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <string>
#include <sys/resource.h>
#include <vector>

using benchsupport::ms;
using benchsupport::peakMb;
using benchsupport::runSql;
using benchsupport::SilentDialogs;

namespace {

// Opening, inputs and outputs of every key, the same rows the program keeps.
const char* kBareAggregate =
    "INSERT INTO bare_balance SELECT Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, SUM(RQIn), SUM(RQOut), "
    "SUM(QIn) - SUM(QOut), SUM(Moved) FROM ("
    "SELECT D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie_lei AS Pret_achizitie, D1.Agent, D1.Lot, "
    "CASE WHEN D.Data_inregistrarii >= ?1 THEN 0 ELSE D1.Cantitate END AS QIn, 0 AS QOut, "
    "CASE WHEN D.Data_inregistrarii >= ?1 THEN D1.Cantitate ELSE 0 END AS RQIn, 0 AS RQOut, "
    "CASE WHEN D.Data_inregistrarii >= ?1 THEN 1 ELSE 0 END AS Moved "
    "FROM Doc_in D, Item_in D1 WHERE D1.Contor = D.Contor AND (D.Data_inregistrarii <= ?2 OR D.Data_inregistrarii IS NULL) "
    "UNION ALL SELECT D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie, D1.Agent, D1.Lot, "
    "0, CASE WHEN D.Data_inregistrarii >= ?1 THEN 0 ELSE D1.Cantitate END, 0, "
    "CASE WHEN D.Data_inregistrarii >= ?1 THEN D1.Cantitate ELSE 0 END, CASE WHEN D.Data_inregistrarii >= ?1 THEN 1 ELSE 0 END "
    "FROM Doc_out D, Item_out D1 WHERE D1.Contor = D.Contor AND D.Data_inregistrarii <= ?2) "
    "GROUP BY Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, Lot "
    "HAVING ABS(SUM(QIn) - SUM(QOut)) > 0.00001 OR SUM(Moved) > 0";

const char* const kBareTable =
    "CREATE TABLE bare_balance (Cod_gestiune CHAR(4), Cod_grupa CHAR(8), Cod_articol CHAR(30), "
    "Pret_achizitie FLOAT, Agent CHAR(3), RQIn FLOAT, RQOut FLOAT, QInit FLOAT, Moved INTEGER)";

double bareAggregate(const QString& file, const QDate& first, const QDate& last, long long& rows)
{
    return benchsupport::timeBareInsert(file, "bare_balance", kBareTable, kBareAggregate,
                                        {first.toString(Qt::ISODate), last.toString(Qt::ISODate)}, rows);
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
    const QDate first(middle.year(), 1, 1);
    const QDate last(middle.year(), 12, 31);

    datastore::Database privateDb{QString::fromLatin1(datastore::kPrivateAlias)};
    privateDb.setDirectory(privDir.path());
    reports::connectPrivateDirectory(db, privateDb, dir.path() + "/", privDir.path() + "/");
    common::Parameters parameters;
    double bestBare = 1e300, bestProgram = 1e300;
    long long bareRows = 0;
    for (int round = 0; round < 3; ++round) {
        const double bare = bareAggregate(db.filePath(), first, last, bareRows);
        t.restart();
        reports::BuildBalance(privateDb, parameters, {first, last, {}, reports::BalanceForm::Simple});
        const double program = ms(t);
        if (bare < 0) {
            std::printf("FAILED\n");
            return 1;
        }
        std::printf("round %d: bare aggregate %8.0f ms   balance of %d %8.0f ms   x%.2f\n", round + 1, bare, first.year(),
                    program, program / bare);
        bestBare = std::min(bestBare, bare);
        bestProgram = std::min(bestProgram, program);
    }
    const long long rows = privateDb.scalar("SELECT COUNT(*) FROM ANSW_B").toLongLong();
    std::printf("best:    bare aggregate %8.0f ms   balance %8.0f ms   x%.2f (target 2.00); %lld / %lld rows\n", bestBare,
                bestProgram, bestProgram / bestBare, bareRows, rows);
    const double before = peakMb();

    // The whole "&Balanta" and "Balanta de &verificare", every warehouse, laid out.
    SilentDialogs dialogs;
    common::Formats formats;
    reports::ReportSelection selection = reports::ReportSelection::initial(last);
    prints::PrintSettings printSettings;
    int status = bareRows == rows ? 0 : 1;
    for (const bool detailed : {false, true}) {
        reports::BatchReportUi ui;
        ui.from = first;
        ui.to = last;
        reports::ReportContext ctx{db, privateDb, privDir.path() + "/", parameters, formats, dialogs, selection,
                                   printSettings, ui};
        t.restart();
        const bool shown = detailed ? reports::VerificationBalance(ctx) : reports::TurnoverBalance(ctx);
        const double laidOut = ms(t);
        if (!shown) {
            std::printf("FAILED: %s\n", detailed ? "verification balance" : "balance");
            return 1;
        }
        std::printf("%s: %d pages computed and laid out in %.0f ms; peak memory %.0f MB (%.0f MB before the reports)\n",
                    detailed ? "verification balance" : "balance", ui.pages.pageCount(), laidOut, peakMb(), before);
    }
    return status;
}
