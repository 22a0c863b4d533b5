// Translation time of long statements in the dialect of the windows and
// reports: a WHERE with many blank comparisons (X = '') and an IN list of
// double-quoted constants, at two sizes each. Next to it, the time to split
// the same statement into tokens, measured in the same run: translation must
// grow like it, in a straight line (twice the statement, twice the time).
//
//   bench_dialect [comparisons] [values]     (defaults 4000 and 8000; each is also run doubled)

#include "datastore/sqldialect.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

QString comparisons(int n)
{
    QStringList parts;
    for (int i = 0; i < n; ++i)
        parts << QStringLiteral("X%1 = ''").arg(i % 10);
    return QStringLiteral("SELECT * FROM \"Catalog.DB\" WHERE ") + parts.join(QStringLiteral(" AND "));
}

QString inList(int n)
{
    QStringList values;
    for (int i = 0; i < n; ++i)
        values << QStringLiteral("\"A%1\"").arg(i);
    return QStringLiteral("SELECT Cod FROM Catalog WHERE Cod IN (") + values.join(QStringLiteral(", "))
        + QStringLiteral(")");
}

// The best of repeated runs (at least 7, and for at least half a second), in
// milliseconds: the least disturbed by whatever else the machine does.
double best(const std::function<void()>& work)
{
    double ms = 1e300;
    QElapsedTimer total;
    total.start();
    for (int run = 0; run < 7 || total.elapsed() < 500; ++run) {
        QElapsedTimer t;
        t.start();
        work();
        ms = std::min(ms, t.nsecsElapsed() / 1e6);
    }
    return ms;
}

struct Figure {
    QString what;
    int size;
    double tokenize;
    double translate;
};

Figure measure(const datastore::SqlDialect& dialect, const char* what, int size, const QString& sql)
{
    qsizetype sink = 0;
    const double tokenize = best([&] { sink += datastore::tokenizeSql(sql).size(); });
    const double translate = best([&] { sink += dialect.translate(sql).size(); });
    if (sink == 0)
        std::printf("(nothing translated)\n");
    return {QString::fromLatin1(what), size, tokenize, translate};
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::max(1, std::atoi(argv[1])) : 4000;
    const int values = argc > 2 ? std::max(1, std::atoi(argv[2])) : 8000;
    const datastore::SqlDialect dialect(QStringLiteral("TSTOCK"), QStringLiteral("/data/db"), {});

    const Figure figures[] = {
        measure(dialect, "X = '' comparisons", n, comparisons(n)),
        measure(dialect, "X = '' comparisons", 2 * n, comparisons(2 * n)),
        measure(dialect, "values in an IN list", values, inList(values)),
        measure(dialect, "values in an IN list", 2 * values, inList(2 * values)),
    };
    std::printf("%-22s %7s %14s %14s %16s\n", "statement", "size", "tokenize ms", "translate ms",
                "translate/tokens");
    for (const Figure& f : figures)
        std::printf("%-22s %7d %14.2f %14.2f %16.2f\n", qPrintable(f.what), f.size, f.tokenize, f.translate,
                    f.translate / f.tokenize);
    for (int k = 0; k < 2; ++k) {
        const Figure& small = figures[2 * k];
        const Figure& large = figures[2 * k + 1];
        std::printf("%s: %d -> %d: translation x%.2f, tokenizing x%.2f (a straight line: x2)\n",
                    qPrintable(small.what), small.size, large.size, large.translate / small.translate,
                    large.tokenize / small.tokenize);
    }
    return 0;
}
