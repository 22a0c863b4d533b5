// The stock recalculation on the ten-year test database (mirafel-cli
// generate): 1 000 000 document lines, 5 000 articles, 10 warehouses. The
// recalculation through the program (one unit of work: the stock table
// emptied and refilled by one statement, its storage rules on every row)
// next to the bare aggregate of the same rows into a plain table through the
// SQLite C API (the same grouping, no triggers, no key, one transaction),
// alternately, three times each; then the checks of `mirafel-cli verify`.
//
//   bench_recalc [lines] [articles] [warehouses] [directory]

#include "benchdatabase.h"
#include "benchsupport.h"
#include "common/parameters.h"
#include "datastore/database.h"
#include "datastore/tablecatalog.h"
#include "stock/recalculation.h"
#include "stock/stockcheck.h"
#include "testdatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>

using benchsupport::ms;
using benchsupport::runSql;
using benchsupport::SilentDialogs;

namespace {

// The same rows and the same grouping as the recalculation, into a plain table.
const char* kBareAggregate =
    "INSERT INTO bare_stock SELECT Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Lot, Agent, SUM(Cantitate) "
    "FROM (SELECT D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie_lei AS Pret_achizitie, D1.Lot, "
    "D1.Agent, D1.Cantitate FROM Doc_in D, Item_in D1 WHERE D1.Contor = D.Contor AND D1.Cod_articol IS NOT NULL "
    "UNION ALL SELECT D1.Cod_gestiune, D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie, D1.Lot, D1.Agent, "
    "-D1.Cantitate FROM Doc_out D, Item_out D1 WHERE D1.Contor = D.Contor AND D1.Cod_articol IS NOT NULL) "
    "GROUP BY Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Lot, Agent "
    "HAVING (SUM(Cantitate) < -0.00001) OR (SUM(Cantitate) > 0.00001)";

// Milliseconds of the bare aggregate, its table made anew; rows written in `rows`.
double bareAggregate(const QString& file, long long& rows)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return -1;
    sqlite3_busy_timeout(db, 10000);
    runSql(db, "PRAGMA journal_mode=WAL");
    runSql(db, "PRAGMA synchronous=FULL");
    runSql(db, "DROP TABLE IF EXISTS bare_stock");
    runSql(db, "CREATE TABLE bare_stock (Cod_gestiune CHAR(4), Cod_grupa CHAR(8), Cod_articol CHAR(30), "
            "Pret_achizitie FLOAT, Lot CHAR(30), Agent CHAR(3), Cantitate FLOAT)");
    QElapsedTimer t;
    t.start();
    bool ok = runSql(db, "BEGIN IMMEDIATE") && runSql(db, kBareAggregate);
    rows = sqlite3_changes(db);
    ok = ok && runSql(db, "COMMIT");
    const double elapsed = ms(t);
    runSql(db, "DROP TABLE bare_stock");
    sqlite3_close(db);
    return ok ? elapsed : -1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const benchsupport::BenchArguments arguments = benchsupport::benchArguments(argc, argv);
    const testdata::GenerateOptions& options = arguments.options;
    QTemporaryDir dir(arguments.base + "/bench-XXXXXX");

    datastore::Database db;
    db.setDirectory(dir.path());
    benchsupport::generateBenchDatabase(db, options);
    QElapsedTimer t;

    common::Parameters parameters;
    SilentDialogs dialogs;
    double bestBare = 1e300;
    double bestProgram = 1e300;
    long long bareRows = 0;
    long long programRows = 0;
    for (int round = 0; round < 3; ++round) {
        const double bare = bareAggregate(db.filePath(), bareRows);
        t.restart();
        const stock::RecalculationResult result = stock::RecalculateStock(db, parameters, dialogs);
        const double program = ms(t);
        if (!result.ok || bare < 0) {
            std::printf("FAILED: %s\n", qPrintable(result.error));
            return 1;
        }
        programRows = result.stockRows;
        std::printf("round %d: bare aggregate %8.0f ms   recalculation %8.0f ms   x%.2f\n", round + 1, bare, program,
                    program / bare);
        bestBare = std::min(bestBare, bare);
        bestProgram = std::min(bestProgram, program);
    }
    std::printf("best:    bare aggregate %8.0f ms   recalculation %8.0f ms   x%.2f (target 1.50); %lld / %lld stock rows\n",
                bestBare, bestProgram, bestProgram / bestBare, bareRows, programRows);

    // mirafel-cli verify: the engine's full check, then the documents.
    t.restart();
    const datastore::IntegrityReport report = db.integrityCheck(datastore::IntegrityDepth::Full);
    const double engine = ms(t);
    t.restart();
    const QList<stock::DocumentFault> faults = stock::CheckDocuments(db, parameters.Epsilon);
    const double documents = ms(t);
    std::printf("verify: engine's full check %8.0f ms (%s), documents and stock %8.0f ms (%lld faults); "
                "total x%.2f of the bare aggregate\n",
                engine, report.sound() ? "sound" : "NOT SOUND", documents, static_cast<long long>(faults.size()),
                (engine + documents) / bestBare);
    return report.sound() && faults.isEmpty() && bareRows == programRows ? 0 : 1;
}
