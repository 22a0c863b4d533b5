// Opening a list on a large table: a dataset over 50 000 catalog articles
// loaded and shown in the data grid, against reading the same rows with a
// plain SQLite query in the same run.
//
//   bench_grid [rows]

#include "benchsupport.h"
#include "common/dialogs.h"
#include "common/formats.h"
#include "datastore/database.h"
#include "datastore/dataset.h"
#include "datastore/tablecatalog.h"
#include "ui/datagrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <cstdio>

using benchsupport::ms;
using benchsupport::SilentDialogs;

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 50000;
    QTemporaryDir dir;
    datastore::Database db;
    db.setDirectory(dir.path());
    db.createTable(*datastore::findTableDef("Catalog.DB"));
    {
        datastore::UnitOfWork work(db);
        for (int i = 0; i < rows; ++i)
            db.exec("INSERT INTO Catalog (Grupa, Cod, Denumire, Descriere, Unitate_masura, Pret_vinzare, Coef_TVA, "
                    "Cont_cheltuieli) VALUES (:g, :c, :d, :s, 'buc', :p, 19, '602')",
                    {{"g", QString("G%1").arg(i % 40, 3, 10, QChar('0'))},
                     {"c", QString("%1").arg(i, 6, 10, QChar('0'))},
                     {"d", QString("Articol de inventar numarul %1").arg(i)},
                     {"s", QString("descriere %1").arg(i % 977)},
                     {"p", 1.5 + i % 100}});
        work.commit();
    }
    db.close();

    // Baseline: the same rows read with a plain query into memory (second
    // of two runs, so that both sides read a warm file).
    double plainMs = 0;
    for (int run = 0; run < 2; ++run) {
        QSqlDatabase plain = QSqlDatabase::addDatabase("QSQLITE", "plain");
        plain.setDatabaseName(dir.filePath(datastore::kDatabaseFileName));
        plain.open();
        QElapsedTimer t;
        t.start();
        QSqlQuery q(plain);
        q.setForwardOnly(true);
        q.exec("SELECT rowid, * FROM Catalog ORDER BY Grupa, Cod");
        std::vector<QVariantList> all;
        const int n = q.record().count();
        while (q.next()) {
            QVariantList r;
            r.reserve(n);
            for (int i = 0; i < n; ++i)
                r << q.value(i);
            all.push_back(std::move(r));
        }
        plainMs = t.nsecsElapsed() / 1e6;
        if (run == 1)
            std::printf("plain query:      %8.1f ms  (%zu rows)\n", plainMs, all.size());
        q = QSqlQuery();
        plain = QSqlDatabase();
        QSqlDatabase::removeDatabase("plain");
    }

    SilentDialogs dialogs;
    common::Formats formats;
    datastore::Dataset catalog(db, "Catalog.DB");
    catalog.setOrderBy("Grupa, Cod");
    QElapsedTimer t;
    t.start();
    catalog.open();
    const double openMs = t.nsecsElapsed() / 1e6;

    t.restart();
    ui::DatasetModel model(catalog, formats, dialogs);
    ui::DataGrid grid(&model);
    grid.resize(900, 600);
    grid.show();
    grid.grab(); // the first paint
    const double showMs = t.nsecsElapsed() / 1e6;

    t.restart();
    grid.scrollToBottom();
    grid.grab();
    catalog.last();
    const double scrollMs = t.nsecsElapsed() / 1e6;

    t.restart();
    const bool found = catalog.locate({"Grupa", "Cod"}, {QString("G039"), QString("%1").arg(rows - 1, 6, 10, QChar('0'))});
    const double locateMs = t.nsecsElapsed() / 1e6;

    std::printf("dataset open:     %8.1f ms  (%d rows)  ratio %.2f\n", openMs, catalog.recordCount(), openMs / plainMs);
    std::printf("grid first paint: %8.1f ms\n", showMs);
    std::printf("scroll to end:    %8.1f ms\n", scrollMs);
    std::printf("locate last row:  %8.1f ms  (%s)\n", locateMs, found ? "found" : "not found");
    return 0;
}
