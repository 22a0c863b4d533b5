// Cost of the storage rules (text fitted to size, empty as NULL, keys with
// empty fields unique) on writes, against plain SQLite inserts of the same
// rows into a table without them, measured in the same run on disk.
//
//   bench_storage [rows] [directory]

#include "datastore/database.h"
#include "datastore/tablecatalog.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

namespace {

const char* kInsert = "INSERT INTO Item_in (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Lot, "
                      "Cantitate, Pret_achizitie_lei, Agent) VALUES (:C, :S, :G, :Gr, :A, :L, :Q, :P, :B)";

QVariantHash row(int i)
{
    return {{"C", double(i / 20 + 1)}, {"S", double(i % 20 + 1)}, {"G", QString("G%1").arg(i % 4)},
            {"Gr", QString("GR%1").arg(i % 50)}, {"A", QString("ART%1").arg(i % 5000)},
            {"L", i % 3 ? QVariant() : QVariant(QString("L%1").arg(i % 7))}, {"Q", 1.0 + i % 9},
            {"P", 2.5 + i % 11}, {"B", i % 2 ? QVariant() : QVariant(QString("B1"))}};
}

double plainSqlite(const QString& dir, int rows, bool perRowTransaction)
{
    const QString name = QStringLiteral("plain");
    double ms = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(dir + "/plain.db");
        db.open();
        QSqlQuery q(db);
        q.exec("PRAGMA journal_mode=WAL");
        q.exec("PRAGMA synchronous=FULL");
        q.exec("CREATE TABLE Item_in (Contor FLOAT, Contor_secundar FLOAT, Cod_gestiune CHAR(4), Cod_grupa CHAR(8), "
               "Cod_articol CHAR(30), Lot CHAR(30), Cantitate FLOAT, Pret_achizitie_lei FLOAT, Agent CHAR(3), "
               "PRIMARY KEY (Contor, Contor_secundar))");
        q.exec("CREATE INDEX ByCodArt ON Item_in (Cod_grupa COLLATE NOCASE, Cod_articol COLLATE NOCASE, Pret_achizitie_lei)");
        QElapsedTimer t;
        t.start();
        if (!perRowTransaction)
            q.exec("BEGIN IMMEDIATE");
        QSqlQuery ins(db);
        ins.prepare(kInsert);
        for (int i = 0; i < rows; ++i) {
            if (perRowTransaction)
                q.exec("BEGIN IMMEDIATE");
            const QVariantHash r = row(i);
            for (auto it = r.cbegin(); it != r.cend(); ++it)
                ins.bindValue(':' + it.key(), it.value());
            if (!ins.exec())
                std::fprintf(stderr, "%s\n", qPrintable(ins.lastError().text()));
            if (perRowTransaction)
                q.exec("COMMIT");
        }
        if (!perRowTransaction)
            q.exec("COMMIT");
        ms = t.nsecsElapsed() / 1e6;
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ms;
}

double throughLayer(const QString& dir, int rows, bool perRowTransaction)
{
    datastore::Database db;
    db.setDirectory(dir);
    db.createTable(*datastore::findTableDef("Item_in.DB"));
    QElapsedTimer t;
    t.start();
    if (perRowTransaction) {
        for (int i = 0; i < rows; ++i) {
            datastore::UnitOfWork work(db);
            db.exec(kInsert, row(i));
            work.commit();
        }
    } else {
        datastore::UnitOfWork work(db);
        for (int i = 0; i < rows; ++i)
            db.exec(kInsert, row(i));
        work.commit();
    }
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir tmp(argc > 2 ? QString::fromLocal8Bit(argv[2]) + "/bench-XXXXXX" : QDir::tempPath() + "/bench-XXXXXX");
    const int perRow = std::max(1, rows / 20);
    std::printf("rows: %d in one transaction, %d in one transaction each; directory %s\n", rows, perRow,
                qPrintable(tmp.path()));
    struct Result { const char* what; double plain; double layer; int n; };
    Result results[2];
    for (int k = 0; k < 2; ++k) {
        const bool each = k == 1;
        const int n = each ? perRow : rows;
        QDir(tmp.path()).mkpath(QString("p%1").arg(k));
        QDir(tmp.path()).mkpath(QString("l%1").arg(k));
        const double plain = plainSqlite(tmp.path() + QString("/p%1").arg(k), n, each);
        const double layer = throughLayer(tmp.path() + QString("/l%1").arg(k), n, each);
        results[k] = {each ? "one transaction per row" : "all rows in one transaction", plain, layer, n};
    }
    for (const Result& r : results)
        std::printf("%-28s plain SQLite %9.0f rows/s   storage layer %9.0f rows/s   ratio %.2f\n", r.what,
                    r.n / (r.plain / 1000), r.n / (r.layer / 1000), r.layer / r.plain);
    return 0;
}
