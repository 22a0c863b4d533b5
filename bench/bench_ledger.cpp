// Posting document lines through the stock ledger, one line and its stock
// change per write transaction as a window writes them, against plain SQLite
// inserts of the same line rows (also one transaction each) in the same run,
// on a database on disk.
//
//   bench_ledger [lines] [directory]
//
// Half the lines are receipts (1 000 articles at two prices), half are
// outputs that take from those rows.

#include "common/formats.h"
#include "common/parameters.h"
#include "common/scripteddialogs.h"
#include "datastore/dataset.h"
#include "datastore/tablecatalog.h"
#include "stock/ledger.h"
#include "stock/lineposting.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

namespace {

struct Line {
    double contor, line;
    QString article;
    double price, quantity;
};

QList<Line> lines(int count, bool output)
{
    QList<Line> out;
    for (int i = 0; i < count; ++i)
        out.append({double(i / 50 + 1), double(i % 50 + 1), QStringLiteral("ART%1").arg(i % 1000), 2.5 + (i / 1000) % 2,
                    output ? 1.0 : 3.0});
    return out;
}

double plainSqlite(const QString& dir, const QList<Line>& in, const QList<Line>& out)
{
    double ms = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("plain"));
        db.setDatabaseName(dir + QStringLiteral("/plain.db"));
        db.open();
        QSqlQuery q(db);
        q.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        for (const char* table : {"Item_in", "Item_out"})
            q.exec(QStringLiteral("CREATE TABLE %1 (Contor FLOAT, Contor_secundar FLOAT, Cod_gestiune CHAR(4), "
                                  "Cod_grupa CHAR(8), Cod_articol CHAR(30), Pret FLOAT, Cantitate FLOAT, "
                                  "PRIMARY KEY (Contor, Contor_secundar))").arg(QLatin1String(table)));
        QElapsedTimer t;
        t.start();
        for (const auto& [table, rows] : {std::pair{"Item_in", &in}, std::pair{"Item_out", &out}}) {
            QSqlQuery ins(db);
            ins.prepare(QStringLiteral("INSERT INTO %1 VALUES (?, ?, 'A', 'G', ?, ?, ?)").arg(QLatin1String(table)));
            for (const Line& l : *rows) {
                q.exec(QStringLiteral("BEGIN IMMEDIATE"));
                ins.addBindValue(l.contor);
                ins.addBindValue(l.line);
                ins.addBindValue(l.article);
                ins.addBindValue(l.price);
                ins.addBindValue(l.quantity);
                if (!ins.exec())
                    std::fprintf(stderr, "%s\n", qPrintable(ins.lastError().text()));
                q.exec(QStringLiteral("COMMIT"));
            }
        }
        ms = double(t.nsecsElapsed()) / 1e6;
    }
    QSqlDatabase::removeDatabase(QStringLiteral("plain"));
    return ms;
}

double throughLedger(const QString& dir, const QList<Line>& in, const QList<Line>& out)
{
    datastore::Database db;
    db.setDirectory(dir);
    for (const char* t : {"Stoc.DB", "Item_in.DB", "Item_out.DB", "Catalog.DB"})
        db.createTable(*datastore::findTableDef(QString::fromLatin1(t)));
    common::Parameters parameters;
    common::Formats formats;
    common::ScriptedDialogs dialogs;
    stock::Ledger ledger(db, parameters, formats, dialogs);
    datastore::Dataset inLines(db, QStringLiteral("Item_in.DB"));
    datastore::Dataset outLines(db, QStringLiteral("Item_out.DB"));
    inLines.open();
    outLines.open();
    stock::LinePosting inPosting(inLines, stock::LineKind::Input, ledger);
    stock::LinePosting outPosting(outLines, stock::LineKind::Output, ledger);

    QElapsedTimer t;
    t.start();
    for (const auto& [dataset, rows, price] :
         {std::tuple{&inLines, &in, "Pret_achizitie_lei"}, std::tuple{&outLines, &out, "Pret_achizitie"}}) {
        for (const Line& l : *rows) {
            dataset->append();
            dataset->setValue(QStringLiteral("Contor"), l.contor);
            dataset->setValue(QStringLiteral("Contor_secundar"), l.line);
            dataset->setValue(QStringLiteral("Cod_gestiune"), QStringLiteral("A"));
            dataset->setValue(QStringLiteral("Cod_grupa"), QStringLiteral("G"));
            dataset->setValue(QStringLiteral("Cod_articol"), l.article);
            dataset->setValue(QLatin1String(price), l.price);
            dataset->setValue(QStringLiteral("Cantitate"), l.quantity);
            dataset->post();
        }
    }
    const double ms = double(t.nsecsElapsed()) / 1e6;
    if (!dialogs.messages.isEmpty())
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(dialogs.messages.first().text));
    const double stock = db.scalar(QStringLiteral("SELECT SUM(Cantitate) FROM STOC")).toDouble();
    std::printf("stock left: %.0f (expected %.0f)\n", stock, in.size() * 3.0 - out.size() * 1.0);
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir tmp(argc > 2 ? QString::fromLocal8Bit(argv[2]) + QStringLiteral("/bench_ledger-XXXXXX")
                               : QDir::tempPath() + QStringLiteral("/bench_ledger-XXXXXX"));
    const QList<Line> in = lines(count / 2, false);
    const QList<Line> out = lines(count - count / 2, true);
    QDir(tmp.path()).mkpath(QStringLiteral("ledger"));
    const double plain = plainSqlite(tmp.path(), in, out);
    const double ledger = throughLedger(tmp.path() + QStringLiteral("/ledger"), in, out);
    std::printf("%d lines, one write transaction each\n", count);
    std::printf("plain SQLite inserts of the lines: %8.0f ms  %8.0f lines/s\n", plain, count / plain * 1000);
    std::printf("lines posted through the ledger:   %8.0f ms  %8.0f lines/s\n", ledger, count / ledger * 1000);
    std::printf("ratio ledger / plain: %.2f\n", ledger / plain);
    return 0;
}
