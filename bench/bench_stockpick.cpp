// The stock picker on a large warehouse: 50 000 stock rows joined with a
// 50 000-article catalog, the picker created, its detailed list read,
// positioned on an article and painted; then one keystroke of the
// incremental search. Measured against reading the same rows with a plain
// query in the same run.
//
//   bench_stockpick [rows]

#include "benchsupport.h"
#include "common/formats.h"
#include "common/parameters.h"
#include "datastore/database.h"
#include "datastore/tablecatalog.h"
#include "stock/tstockform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

using benchsupport::ms;
using benchsupport::SilentDialogs;

namespace {

const char* const kPlainList =
    "SELECT S.Cod_Gestiune, S.Cod_grupa, S.Cod_Articol, S.Lot, S.Agent, C.Denumire, S.Pret_Achizitie, S.Cantitate, "
    "C.Unitate_masura, C.Pret_Vinzare, C.Moneda, S.Cod_bare FROM Stoc S, Catalog C WHERE (S.Cod_Gestiune = ?) AND "
    "(S.Cod_grupa = C.Grupa) AND (S.Cod_Articol = C.Cod) "
    "ORDER BY S.Cod_grupa COLLATE NOCASE, S.Cod_Articol, S.Lot, S.Agent, C.Denumire, S.Pret_Achizitie";

// Reads every row of a statement into memory; the milliseconds it took.
double readAll(QSqlDatabase& plain, const QString& sql, const QVariantList& values, size_t& rows)
{
    QElapsedTimer t;
    t.start();
    QSqlQuery q(plain);
    q.setForwardOnly(true);
    q.prepare(sql);
    for (const QVariant& v : values)
        q.addBindValue(v);
    q.exec();
    std::vector<QVariantList> all;
    const int n = q.record().count();
    while (q.next()) {
        QVariantList r;
        r.reserve(n);
        for (int i = 0; i < n; ++i)
            r << q.value(i);
        all.push_back(std::move(r));
    }
    rows = all.size();
    return ms(t);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::max(10, std::atoi(argv[1])) : 50000;
    const QStringList words = {"Burete", "Caiet", "Creion", "Detergent", "Dosar", "Hirtie", "Lapte", "Mapa",
                               "Marker", "Pahar", "Paine", "Pix", "Radiera", "Sapun", "Toner", "Zahar"};

    QTemporaryDir dir;
    datastore::Database db;
    db.setDirectory(dir.path());
    for (const char* t : {"Catalog.DB", "Stoc.DB", "Gest.db", "Client.DB"})
        db.createTable(*datastore::findTableDef(QString::fromLatin1(t)));
    auto code = [](int i) { return QString("A%1").arg(i, 6, 10, QChar('0')); };
    {
        datastore::UnitOfWork work(db);
        db.exec("INSERT INTO \"Gest.db\" (Cod, Denumire) VALUES ('A', 'Magazie'), ('B', 'Alta')");
        for (int i = 0; i < rows; ++i)
            db.exec("INSERT INTO Catalog (Grupa, Cod, Denumire, Unitate_masura, Pret_vinzare, Moneda) "
                    "VALUES (:g, :c, :d, 'buc', :p, 'LEI')",
                    {{"g", QString("G%1").arg(i % 20, 2, 10, QChar('0'))},
                     {"c", code(i)},
                     {"d", QString("%1 %2").arg(words[i % words.size()]).arg(i)},
                     {"p", 1.5 + i % 100}});
        // One stock row per article in A (every fifth at a second price instead), and a few in B.
        for (int i = 0; i < rows; ++i)
            db.exec("INSERT INTO Stoc (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Cantitate) "
                    "VALUES (:w, :g, :c, :p, :q)",
                    {{"w", i % 50 == 0 ? "B" : "A"},
                     {"g", QString("G%1").arg(i % 20, 2, 10, QChar('0'))},
                     {"c", code(i)},
                     {"p", 2.0 + (i % 5 == 0 ? 1 : 0) + i % 37},
                     {"q", 1 + i % 90}});
        work.commit();
    }
    db.close();
    const int target = rows / 2 + 1; // a row of warehouse A
    const QString group = QString("G%1").arg(target % 20, 2, 10, QChar('0'));
    const QString article = code(target);

    // Baseline: the same rows read with a plain query; the second of two runs.
    double plainMs = 0;
    double plainSearchMs = 0;
    size_t plainRows = 0;
    size_t found = 0;
    for (int run = 0; run < 2; ++run) {
        QSqlDatabase plain = QSqlDatabase::addDatabase("QSQLITE", "plain");
        plain.setDatabaseName(dir.filePath(datastore::kDatabaseFileName));
        plain.open();
        plainMs = readAll(plain, kPlainList, {"A"}, plainRows);
        // A keystroke as a query would answer it: the first row from a value on.
        plainSearchMs = readAll(plain,
                                "SELECT S.Cod_grupa, S.Cod_Articol FROM Stoc S, Catalog C WHERE S.Cod_Gestiune = ? "
                                "AND S.Cod_grupa = C.Grupa AND S.Cod_Articol = C.Cod AND S.Cod_grupa >= ? "
                                "ORDER BY S.Cod_grupa, S.Cod_Articol LIMIT 1",
                                {"A", "G1"}, found);
        plain = QSqlDatabase();
        QSqlDatabase::removeDatabase("plain");
    }

    SilentDialogs dialogs;
    common::Formats formats;
    common::Parameters params;
    QSettings settings(dir.filePath("registry.ini"), QSettings::IniFormat);
    stock::StockFormContext context{db, nullptr, dialogs, formats, params, settings, dir.path() + '/', {}, {}, nullptr};

    // The picker: window, list read and positioned, first paint.
    QElapsedTimer t;
    t.start();
    stock::TStockForm form(context, stock::TStockForm::Role::Picker);
    const bool opened = form.prepare("A");
    form.logic().position(group, article, -1);
    form.resize(900, 600);
    form.show();
    form.grab();
    const double openMs = ms(t);
    const QString positioned = form.logic().list()->value("Cod_Articol").toString();
    const int listed = form.logic().list()->recordCount();

    // One keystroke in the search box (by group), painted.
    auto* search = form.findChild<QLineEdit*>();
    t.restart();
    search->setText("G1");
    form.grab();
    const double searchMs = ms(t);
    const QString searchHit = form.logic().list()->value("Cod_grupa").toString();

    std::printf("stock rows listed: %d (plain query %zu), positioned on %s (%s), opened %s\n", listed, plainRows,
                qPrintable(positioned), qPrintable(article), opened ? "yes" : "NO");
    std::printf("plain query reading the detailed list:      %8.1f ms\n", plainMs);
    std::printf("picker opened, positioned and painted:      %8.1f ms  (x%.1f)\n", openMs, openMs / plainMs);
    std::printf("plain query for one keystroke:              %8.2f ms\n", plainSearchMs);
    std::printf("incremental search keystroke, painted:      %8.2f ms  (x%.1f of the one-row query, x%.3f of the list read; "
                "on %s)\n",
                searchMs, searchMs / plainSearchMs, searchMs / plainMs, qPrintable(searchHit));
    return opened && positioned == article ? 0 : 1;
}
