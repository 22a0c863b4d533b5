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
