// The stock picker on a large warehouse: 50 000 stock rows of one warehouse
// (and as many of another) joined with a 50 000-article catalog. Measured:
// opening the picker's detailed list positioned on an article, the picker
// window itself (list, grid and layout), a keystroke of the search box, and
// switching to the list per article; each next to a plain query that reads
// the same rows in the same run.
//
//   bench_stockpick [stock rows] [articles]

#include "benchsupport.h"
#include "common/formats.h"
#include "common/parameters.h"
#include "datastore/database.h"
#include "datastore/tablecatalog.h"
#include "stock/stockbrowserlogic.h"
#include "stock/tstockform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using benchsupport::ms;
using benchsupport::SilentDialogs;

namespace {

// The smallest of a few runs: the file is warm for every side alike.
double best(int runs, const std::function<void()>& run)
{
    double fastest = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        fastest = std::min(fastest, ms(t));
    }
    return fastest;
}

int readAll(datastore::Database& db, const QString& sql, const QVariantHash& params)
{
    int rows = 0;
    datastore::Query q = db.query(sql, params);
    while (q.next()) {
        for (int c = 0; c < q.columnCount(); ++c)
            (void)q.value(c);
        ++rows;
    }
    return rows;
}

void printPlan(datastore::Database& db, const char* title, const QString& sql)
{
    std::printf("plan of %s:\n", title);
    datastore::Query q = db.query("EXPLAIN QUERY PLAN " + sql, {{"Cod", "A"}});
    while (q.next())
        std::printf("    %s\n", qPrintable(q.value(3).toString()));
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int stockRows = argc > 1 ? std::max(100, std::atoi(argv[1])) : 50000;
    const int articles = argc > 2 ? std::max(100, std::atoi(argv[2])) : 50000;

    QTemporaryDir dir;
    QTemporaryDir privateDir;
    datastore::Database db;
    db.setDirectory(dir.path());
    datastore::Database privateDb(datastore::kPrivateAlias);
    privateDb.setDirectory(privateDir.path());
    for (const char* t : {"Stoc.DB", "Catalog.DB", "Gest.db", "Client.DB"})
        db.createTable(*datastore::findTableDef(t));
    QElapsedTimer fill;
    fill.start();
    {
        datastore::UnitOfWork work(db);
        db.exec("INSERT INTO \"Gest.db\" (Cod, Denumire) VALUES ('A', 'Magazie'), ('B', 'Depozit')");
        db.exec("INSERT INTO \"Client.DB\" (Cod_client, Nume_client) VALUES ('B1', 'Buget local')");
        // Articles of 50 groups; names in an order of their own.
        db.exec("INSERT INTO CATALOG (Grupa, Cod, Denumire, Unitate_masura, Pret_vinzare, Moneda) "
                "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < :n - 1) "
                "SELECT 'G' || (i % 50), 'A' || i, 'Produs ' || ((i * 7919) % :n), 'buc', 1 + (i % 90), 'LEI' FROM n",
                {{"n", articles}});
        // Warehouse A: every article, some at two prices, some with a lot and a budget; warehouse B alike.
        for (const char* warehouse : {"A", "B"})
            db.exec("INSERT INTO STOC (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Lot, Agent, Cantitate) "
                    "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < :rows - 1) "
                    "SELECT :w, 'G' || ((i % :n) % 50), 'A' || (i % :n), 1 + (i % 97) + (i / :n), "
                    "CASE WHEN i % 10 = 0 THEN 'L' || (i % 7) END, CASE WHEN i % 20 = 0 THEN 'B1' END, 1 + (i % 13) "
                    "FROM n",
                    {{"rows", stockRows}, {"n", articles}, {"w", QString::fromLatin1(warehouse)}});
        work.commit();
    }
    std::printf("%d stock rows a warehouse, %d articles, filled in %.0f ms\n", stockRows, articles, ms(fill));

    const QString detailed = stock::detailedStockStatement(stock::StockOrder::Name);
    const QString cumulated = stock::cumulatedStockStatement(stock::StockOrder::Name);
    printPlan(db, "the detailed list", detailed);
    printPlan(db, "the cumulated list", cumulated);

    common::Parameters parameters;
    common::Formats formats;
    SilentDialogs dialogs;
    QSettings settings(privateDir.filePath("registry.ini"), QSettings::IniFormat);
    settings.setValue("SortBy", static_cast<int>(stock::StockOrder::Name));
    stock::StockFormView view;
    stock::StockPickMemory memory;
    const QVariantHash warehouseA{{"Cod", "A"}};
    const QString article = QStringLiteral("A%1").arg(articles / 2 + 3);
    const QString group = QStringLiteral("G%1").arg((articles / 2 + 3) % 50);

    // Opening the picker's list, positioned on an article.
    int listed = 0;
    const double plainDetailed = best(3, [&] { listed = readAll(db, detailed, warehouseA); });
    bool found = false;
    const double openList = best(3, [&] {
        stock::TStockFormLogic logic(db, privateDb, parameters, formats, dialogs, settings, view);
        logic.open("A");
        found = logic.locate(group, article, -1);
    });

    // The picker window: the list, the grid over it and its layout.
    const double openWindow = best(3, [&] {
        stock::StockFormContext context{db,     privateDb, dialogs, formats,
                                        parameters, settings, privateDir.path() + '/', memory, {}, {}};
        stock::TStockForm form(context, stock::StockFormRole::Picker);
        form.prepare("A");
        form.logic().locate(group, article, -1);
        form.show();
        QApplication::processEvents();
    });

    // One keystroke of "&Cauta denumire:" on the open list, next to a plain
    // query that finds the same row.
    stock::TStockFormLogic logic(db, privateDb, parameters, formats, dialogs, settings, view);
    logic.open("A");
    const QStringList typed{"p", "pr", "pro", "prod", "produ", "produs", "produs ", "produs 3", "produs 31",
                            "produs 314"};
    QString landed;
    double keystroke = 1e300;
    for (int round = 0; round < 20; ++round)
        for (const QString& text : typed) {
            QElapsedTimer t;
            t.start();
            logic.searchAsYouType(text);
            keystroke = std::min(keystroke, ms(t));
            landed = logic.shown().value("Denumire").toString();
        }
    QString plainLanded;
    const double plainKeystroke = best(20, [&] {
        datastore::Query q = db.query(QString(detailed).replace(
                                          "ORDER BY", "AND (C.Denumire >= :t COLLATE NOCASE) ORDER BY") +
                                          " LIMIT 1",
                                      {{"Cod", "A"}, {"t", "produs 314"}});
        if (q.next())
            plainLanded = q.value("Denumire").toString();
    });

    // The list per article.
    int summed = 0;
    const double plainCumulated = best(3, [&] { summed = readAll(db, cumulated, warehouseA); });
    const double switching = best(3, [&] {
        logic.setList(stock::StockList::Cumulated);
        logic.setList(stock::StockList::Detailed);
    });
    const double openCumulatedOnly = best(3, [&] {
        stock::TStockFormLogic other(db, privateDb, parameters, formats, dialogs, settings, view);
        other.open("A", stock::StockList::Cumulated);
    });

    std::printf("plain read of the detailed list  %8.1f ms (%d rows)\n", plainDetailed, listed);
    std::printf("picker list opened on an article %8.1f ms  x%.2f of the plain read (%s)\n", openList,
                openList / plainDetailed, found ? "found" : "NOT FOUND");
    std::printf("picker window shown              %8.1f ms  x%.2f of the plain read\n", openWindow,
                openWindow / plainDetailed);
    std::printf("plain query for the typed name   %8.1f ms (%s)\n", plainKeystroke, qPrintable(plainLanded));
    std::printf("one keystroke of the search box  %8.1f us  x%.5f of the plain query (%s)\n", keystroke * 1000,
                keystroke / plainKeystroke, qPrintable(landed));
    std::printf("plain read of the cumulated list %8.1f ms (%d rows)\n", plainCumulated, summed);
    std::printf("cumulated list opened            %8.1f ms  x%.2f of the plain read\n", openCumulatedOnly,
                openCumulatedOnly / plainCumulated);
    std::printf("switching there and back         %8.1f ms\n", switching);
    return found && landed.compare(plainLanded, Qt::CaseInsensitive) == 0 ? 0 : 1;
}
