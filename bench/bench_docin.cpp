// The input documents window on ten years of receipts: 30 000 documents of
// 5 lines each. Measured: opening the window (the list and the last
// document's lines), writing a line with its stock, searching an article from
// the first document on, deleting a document; each against reading the same
// rows with a plain query in the same run.
//
//   bench_docin [documents] [lines per document]

#include "benchsupport.h"
#include "common/dialogs.h"
#include "common/formats.h"
#include "common/parameters.h"
#include "datastore/database.h"
#include "datastore/tablecatalog.h"
#include "stock/docinlogic.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

using benchsupport::ms;
using benchsupport::SilentDialogs;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int documents = argc > 1 ? std::max(10, std::atoi(argv[1])) : 30000;
    const int perDocument = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

    QTemporaryDir dir;
    datastore::Database db;
    db.setDirectory(dir.path());
    for (const datastore::TableDef& t : datastore::databaseTables())
        db.createTable(t);
    QElapsedTimer fill;
    fill.start();
    {
        datastore::UnitOfWork work(db);
        db.exec("INSERT INTO \"Gest.db\" (Cod, Denumire) VALUES ('A', 'Magazie')");
        db.exec("INSERT INTO CATALOG (Grupa, Cod, Denumire, Unitate_masura, Coef_TVA) "
                "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 999) "
                "SELECT 'G', 'A' || i, 'Articol ' || i, 'buc', 19 FROM n");
        // One document a working day or so, ten years back from today.
        db.exec("INSERT INTO DOC_IN (Contor, Data_inregistrarii, Numar, Tip, Data, Explicatie) "
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < :docs) "
                "SELECT i, date('now', '-' || ((:docs - i) * 3650 / :docs) || ' days'), i, 'FCT', "
                "date('now', '-' || ((:docs - i) * 3650 / :docs) || ' days'), 'Factura ' || i FROM n",
                {{"docs", documents}});
        db.exec("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
                "Pret_achizitie_lei, TVA) "
                "WITH RECURSIVE d(c) AS (SELECT 1 UNION ALL SELECT c + 1 FROM d WHERE c < :docs), "
                "l(s) AS (SELECT 1 UNION ALL SELECT s + 1 FROM l WHERE s < :lines) "
                "SELECT c, s, 'A', 'G', 'A' || ((c * 7 + s * 13) % 1000), 10, 1 + (c % 50), 1.9 FROM d, l",
                {{"docs", documents}, {"lines", perDocument}});
        db.exec("INSERT INTO STOC (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Cantitate) "
                "SELECT Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie_lei, SUM(Cantitate) FROM ITEM_IN "
                "GROUP BY Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie_lei");
        db.exec("UPDATE COUNTER SET NewCounterIn = :docs", {{"docs", documents}});
        if (db.scalar("SELECT COUNT(*) FROM COUNTER").toInt() == 0)
            db.exec("INSERT INTO COUNTER (NewCounterIn) VALUES (:docs)", {{"docs", documents}});
        work.commit();
    }
    std::printf("%d documents, %d lines, filled in %.0f ms\n", documents, documents * perDocument, ms(fill));

    // Baselines: the same rows read with plain queries.
    QElapsedTimer t;
    t.start();
    int read = 0;
    {
        datastore::Query q = db.query("SELECT * FROM DOC_IN WHERE Contor >= 1 ORDER BY Contor");
        while (q.next())
            ++read;
    }
    const double plainList = ms(t);
    t.restart();
    const int matches = db.scalar("SELECT COUNT(*) FROM ITEM_IN WHERE Cod_articol = 'A500'").toInt();
    const double plainScan = ms(t);

    common::Parameters parameters;
    common::Formats formats;
    SilentDialogs dialogs;
    stock::DocInView view;
    stock::TDocInFormLogic logic(db, parameters, formats, dialogs, view);

    t.restart();
    logic.open();
    const double open = ms(t);

    t.restart();
    logic.items.append();
    logic.items.setValue("Cod_grupa", "G");
    logic.items.setValue("Cod_articol", "A7");
    logic.items.setValue("Cantitate", 3.0);
    logic.items.setValue("Pret_achizitie_lei", 2.5);
    logic.items.post();
    const double post = ms(t);

    stock::SearchState search;
    search.criterion = stock::SearchCriterion::Article;
    search.article = "A500";
    t.restart();
    const stock::SearchHit first = stock::FindNextDocument(db, stock::DocumentSide::Input, search, {}, {});
    search.lastFound = first.contor;
    const stock::SearchHit second = stock::FindNextDocument(db, stock::DocumentSide::Input, search, {}, {});
    const double find = ms(t);

    logic.docs.moveTo(logic.docs.recordCount() / 2);
    t.restart();
    logic.deleteDocument();
    const double remove = ms(t);

    std::printf("plain read of the list  %8.1f ms (%d rows)\n", plainList, read);
    std::printf("opening the window      %8.1f ms  x%.2f of the plain read\n", open, open / plainList);
    std::printf("writing a line          %8.1f ms\n", post);
    std::printf("plain scan of the lines %8.1f ms (%d lines of A500)\n", plainScan, matches);
    std::printf("search, first and next  %8.1f ms  x%.2f of the plain scan (%s)\n", find, find / plainScan,
                first.found && second.found ? "found" : "NOT FOUND");
    std::printf("deleting a document     %8.1f ms (%d documents left)\n", remove,
                db.scalar("SELECT COUNT(*) FROM DOC_IN").toInt());
    std::printf("stock rows              %d\n", db.scalar("SELECT COUNT(*) FROM STOC").toInt());
    return first.found && second.found ? 0 : 1;
}
