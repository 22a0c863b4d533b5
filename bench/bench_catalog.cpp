// Opening the article picker on a large catalog: 50 000 articles in a few
// groups, the picker created, positioned on an article, shown and painted;
// then one search-as-you-type step and a scroll to the end of the list.
// Measured against reading the same rows with a plain query in the same run.
//
//   bench_catalog [articles] [groups]

#include "benchsupport.h"
#include "catalogs/tcatlookupform.h"
#include "common/dialogs.h"
#include "common/formats.h"
#include "common/parameters.h"
#include "datastore/database.h"
#include "datastore/tablecatalog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

using benchsupport::ms;
using benchsupport::SilentDialogs;

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 50000;
    const int groups = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const QStringList words = {"Burete", "Caiet", "Creion", "Detergent", "Dosar", "Hirtie", "Lapte", "Mapa",
                               "Marker", "Pahar", "Paine", "Pix", "Radiera", "Sapun", "Toner", "Zahar"};

    QTemporaryDir dir;
    datastore::Database db;
    db.setDirectory(dir.path());
    for (const char* t : {"Materiale.db", "Grup.db", "Catalog.DB", "Valuta.db"})
        db.createTable(*datastore::findTableDef(QString::fromLatin1(t)));
    auto groupCode = [](int g) { return QString("G%1").arg(g, 2, 10, QChar('0')); };
    {
        datastore::UnitOfWork work(db);
        db.exec("INSERT INTO Materiale (Cod_material, Denumire) VALUES ('M1', 'Materiale')");
        for (int g = 0; g < groups; ++g)
            db.exec("INSERT INTO Grup (Cod_material, Cod_grupa, Denumire) VALUES ('M1', :g, :d)",
                    {{"g", groupCode(g)}, {"d", QString("Grupa %1").arg(g)}});
        for (int i = 0; i < rows; ++i)
            db.exec("INSERT INTO Catalog (Grupa, Cod, Denumire, Descriere, Unitate_masura, Pret_vinzare, Coef_TVA, "
                    "Cont_cheltuieli) VALUES (:g, :c, :d, :s, 'buc', :p, 19, '602')",
                    {{"g", groupCode(i % groups)},
                     {"c", QString("A%1").arg(i, 6, 10, QChar('0'))},
                     {"d", QString("%1 %2").arg(words[(i / groups) % words.size()]).arg(i)},
                     {"s", QString("descriere %1").arg(i % 977)},
                     {"p", 1.5 + i % 100}});
        work.commit();
    }
    db.close();
    const QString group = groupCode(groups - 1);
    const int perGroup = rows / groups;
    const QString article = QString("A%1").arg((perGroup / 2) * groups + groups - 1, 6, 10, QChar('0'));

    // Baseline: the rows the picker shows (one group, in name order) read
    // with a plain query into memory; the second of two runs, so that both
    // sides read a warm file.
    double plainMs = 0;
    size_t plainRows = 0;
    for (int run = 0; run < 2; ++run) {
        QSqlDatabase plain = QSqlDatabase::addDatabase("QSQLITE", "plain");
        plain.setDatabaseName(dir.filePath(datastore::kDatabaseFileName));
        plain.open();
        QElapsedTimer t;
        t.start();
        QSqlQuery q(plain);
        q.setForwardOnly(true);
        q.prepare("SELECT rowid, * FROM Catalog WHERE Grupa = ? ORDER BY Grupa, Denumire COLLATE NOCASE, Cod");
        q.addBindValue(group);
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
        plainMs = ms(t);
        plainRows = all.size();
        q = QSqlQuery();
        plain = QSqlDatabase();
        QSqlDatabase::removeDatabase("plain");
    }

    SilentDialogs dialogs;
    common::Formats formats;
    common::Parameters params;
    params.CGetPret = true;
    const catalogs::ArticleCatalogContext ctx{db, dialogs, params, formats, dir.path(), {}};

    // The picker: logic, widgets, tables opened and positioned, first paint.
    QElapsedTimer t;
    t.start();
    catalogs::TCatLookupForm form(ctx, catalogs::ArticleCatalogRole::Picker);
    const double createMs = ms(t);
    t.restart();
    const bool opened = form.prepare(group, article);
    const double prepareMs = ms(t);
    t.restart();
    form.resize(1000, 640);
    form.show();
    form.grab();
    const double showMs = ms(t);
    const double openMs = createMs + prepareMs + showMs;
    const QString positioned = form.logic().articles.value("Cod").toString();

    // One key typed in the search box: the worst case reads the whole group.
    t.restart();
    form.searchEdit()->setText("Z");
    form.grab();
    const double searchMs = ms(t);
    const QString found = form.logic().articles.value("Denumire").toString();
    t.restart();
    form.searchEdit()->setText("Zx");
    const double missMs = ms(t);

    // Space in the group list: every article of the group marked.
    t.restart();
    form.logic().toggleGroupMarks();
    form.grab();
    const double groupMs = ms(t);
    const int marked = form.logic().marks().count();

    // Scroll to the end.
    t.restart();
    form.logic().articles.last();
    form.grab();
    const double scrollMs = ms(t);

    std::printf("articles: %d in %d groups, %d in the group shown\n", rows, groups, form.logic().articles.recordCount());
    std::printf("plain query (same rows):   %8.1f ms  (%zu rows)\n", plainMs, plainRows);
    std::printf("picker open:               %8.1f ms  ratio %.2f  (%s, positioned on %s)\n", openMs, openMs / plainMs,
                opened ? "opened" : "FAILED", qPrintable(positioned));
    std::printf("  create widgets + logic:  %8.1f ms\n", createMs);
    std::printf("  open tables, position:   %8.1f ms\n", prepareMs);
    std::printf("  first show and paint:    %8.1f ms\n", showMs);
    std::printf("search-as-you-type \"Z\":   %8.1f ms  (lands on %s)\n", searchMs, qPrintable(found));
    std::printf("search without a match:    %8.1f ms\n", missMs);
    std::printf("whole group marked:        %8.1f ms  (%d marks)\n", groupMs, marked);
    std::printf("scroll to the end:         %8.1f ms\n", scrollMs);
    form.closeQuery();
    return opened ? 0 : 1;
}
