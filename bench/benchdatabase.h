#pragma once
// The generated database the benchmarks measure on: its size from the
// command line, written into a temporary directory, plus the raw SQLite
// runner the bare aggregates use and the process's peak memory.
//
//   bench_x [lines] [articles] [warehouses] [directory]   (also --lines N)

#include "testdatabase.h"

#include "datastore/database.h"
#include "datastore/tablecatalog.h"

#include <QDir>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <sqlite3.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace benchsupport {

// The process's peak resident memory, MB.
inline double peakMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// Runs `sql` on a raw SQLite connection; false (with the message printed) on error.
inline bool runSql(sqlite3* db, const char* sql)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", sql, message ? message : "?");
        sqlite3_free(message);
        return false;
    }
    return true;
}

// The bare aggregate a program's statement is measured against: on a raw
// connection to `file`, `table` is made by `create`, filled by the INSERT
// `insert` with `texts` bound to ?1, ?2, ... (timed alone), then dropped.
// Milliseconds, or -1 on an error (printed); `rows` takes the rows inserted.
inline double timeBareInsert(const QString& file, const char* table, const char* create, const char* insert,
                             const QStringList& texts, long long& rows)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return -1;
    runSql(db, (std::string("DROP TABLE IF EXISTS ") + table).c_str());
    runSql(db, create);
    QElapsedTimer t;
    t.start();
    sqlite3_stmt* stmt = nullptr;
    bool ok = sqlite3_prepare_v2(db, insert, -1, &stmt, nullptr) == SQLITE_OK;
    for (int i = 0; ok && i < texts.size(); ++i) {
        const QByteArray text = texts.at(i).toUtf8();
        ok = sqlite3_bind_text(stmt, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT) == SQLITE_OK;
    }
    ok = ok && sqlite3_step(stmt) == SQLITE_DONE;
    if (!ok)
        std::fprintf(stderr, "%s\n", sqlite3_errmsg(db));
    sqlite3_finalize(stmt);
    rows = sqlite3_changes(db);
    const double elapsed = t.nsecsElapsed() / 1e6;
    runSql(db, (std::string("DROP TABLE ") + table).c_str());
    sqlite3_close(db);
    return ok ? elapsed : -1;
}

struct BenchArguments {
    testdata::GenerateOptions options;
    QString base; // where the temporary directories go
};

// lines (default 1 000 000, at least 1000), articles (5000), warehouses (10), directory (the temporary folder).
inline BenchArguments benchArguments(int argc, char** argv)
{
    int first = 1;
    if (argc > 2 && std::string(argv[1]) == "--lines")
        first = 2;
    auto arg = [&](int i) -> const char* { return first + i < argc ? argv[first + i] : nullptr; };
    BenchArguments a;
    a.options.lines = arg(0) ? std::max(1000LL, std::atoll(arg(0))) : 1000000;
    a.options.articles = arg(1) ? std::max(1, std::atoi(arg(1))) : 5000;
    a.options.warehouses = arg(2) ? std::max(1, std::atoi(arg(2))) : 10;
    a.base = arg(3) ? QString::fromLocal8Bit(arg(3)) : QDir::tempPath();
    return a;
}

// Creates every table in `db` (its directory set) and fills it; prints the size and the time taken.
inline testdata::GenerateSummary generateBenchDatabase(datastore::Database& db, const testdata::GenerateOptions& options)
{
    for (const datastore::TableDef& t : datastore::databaseTables())
        db.createTable(t);
    QElapsedTimer t;
    t.start();
    const testdata::GenerateSummary summary = testdata::GenerateTestDatabase(db, options);
    std::printf("%lld lines (%lld in, %lld initial, %lld out), %d articles, %d warehouses: generated in %.1f s; "
                "peak memory %.0f MB\n",
                static_cast<long long>(options.lines), static_cast<long long>(summary.inputLines),
                static_cast<long long>(summary.initialLines), static_cast<long long>(summary.outputLines),
                options.articles, options.warehouses, t.nsecsElapsed() / 1e9, peakMb());
    return summary;
}

} // namespace benchsupport
