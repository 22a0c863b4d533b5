#pragma once
// A small database and private directory for the report tests: two
// warehouses, a few articles, and helpers that write documents.

#include "testsupport.h"

#include "common/formats.h"
#include "common/parameters.h"
#include "common/scripteddialogs.h"
#include "datastore/database.h"
#include "datastore/tablecatalog.h"
#include "prints/printsettings.h"
#include "reports/batchui.h"
#include "reports/reportrun.h"
#include "datastore/privatedirectory.h"
#include "testdatabase.h"

#include <QDate>
#include <QFile>

namespace reportstest {

// A generated database of a few thousand lines, with its private directory
// connected: the invariants of the reports are checked on it.
// Drops the schema that the connection of the private directory placed on
// the server (nothing for a private directory on disk).
inline void dropPrivateTables(datastore::Database& privateDb, const QString& dir)
{
    privateDb.close();
    try {
        if (datastore::hasPlacedServerFile(dir))
            datastore::dropPrivateSchema(dir);
    } catch (const datastore::DbError& e) {
        ADD_FAILURE() << e.message().toStdString();
    }
}

struct GeneratedDatabase {
    testsupport::TempDir dir{testsupport::TempDir::Database};
    testsupport::TempDir priv; // on the server in a server run: a schema of its own
    datastore::Database db{QStringLiteral("TSTOCK")};
    datastore::Database privateDb{QStringLiteral("TBX_PRIV")};
    testdata::GenerateSummary summary;

    GeneratedDatabase(long long lines, int articles, int warehouses)
    {
        db.setDirectory(dir.path());
        for (const datastore::TableDef& t : datastore::databaseTables())
            db.createTable(t);
        testdata::GenerateOptions options;
        options.lines = lines;
        options.articles = articles;
        options.warehouses = warehouses;
        summary = testdata::GenerateTestDatabase(db, options);
        privateDb.setDirectory(priv.path());
        reports::connectPrivateDirectory(db, privateDb, dir.path() + "/", priv.path() + "/");
    }
    ~GeneratedDatabase() { dropPrivateTables(privateDb, priv.path()); }
};

struct ReportDatabase {
    testsupport::TempDir dir{testsupport::TempDir::Database};
    testsupport::TempDir priv; // on the server in a server run: a schema of its own
    datastore::Database db{QStringLiteral("TSTOCK")};
    datastore::Database privateDb{QStringLiteral("TBX_PRIV")};
    common::Parameters parameters;
    common::Formats formats;
    common::ScriptedDialogs dialogs;
    reports::ReportSelection selection = reports::ReportSelection::initial(QDate(2024, 6, 30));
    prints::PrintSettings printSettings;
    reports::BatchReportUi ui;
    double nextContor = 1;

    ~ReportDatabase() { dropPrivateTables(privateDb, priv.path()); }

    // `server`: the database directory's tables go to its schema.
    // `onDisk`: an SQLite file even in a server run.
    explicit ReportDatabase(testsupport::ServerSchema* server = nullptr, bool onDisk = false)
    {
        if (server)
            server->useIn(dir.path());
        else if (onDisk)
            QFile::remove(dir.file(QString::fromLatin1(datastore::kServerFileName)));
        db.setDirectory(dir.path());
        for (const datastore::TableDef& t : datastore::databaseTables())
            db.createTable(t);
        privateDb.setDirectory(priv.path());
        reports::connectPrivateDirectory(db, privateDb, dir.path() + "/", priv.path() + "/");
        db.exec("INSERT INTO FIRMDATA (Cod, Denumire, Adresa, \"Cod fiscal\", Comisia1, Comisia2) "
                "VALUES (0, 'Scoala Nr. 7', 'Str. Lunga 3', 'RO123', 'Ionescu Ana', 'Popa Dan')");
        db.exec("INSERT INTO GEST (Cod, Denumire, Gestionar) VALUES ('01', 'Magazie centrala', 'Vasile Pop')");
        db.exec("INSERT INTO GEST (Cod, Denumire, Gestionar) VALUES ('05', 'Cantina', 'Maria Rus')");
        db.exec("INSERT INTO GRUP (Cod_material, Cod_grupa, Denumire) VALUES ('M', 'ALIM', 'Alimente')");
        db.exec("INSERT INTO GRUP (Cod_material, Cod_grupa, Denumire) VALUES ('M', 'BIRO', 'Birotica')");
        article("ALIM", "F1", "Faina alba", "kg", 9);
        article("ALIM", "Z1", "Zahar", "kg", 9);
        article("BIRO", "H1", "Hartie A4", "top", 19);
        article("BIRO", "P1", "Pixuri", "buc", 19);
        selection.stockDate = QDate(2024, 6, 30);
    }

    reports::ReportContext context()
    {
        return {db, privateDb, priv.path() + "/", parameters, formats, dialogs, selection, printSettings, ui};
    }

    void article(const QString& group, const QString& code, const QString& name, const QString& unit, double vat,
                 double salePrice = 0, const QString& currency = {})
    {
        db.exec("INSERT INTO CATALOG (Grupa, Cod, Denumire, Unitate_masura, Coef_TVA, Pret_vinzare, Moneda) "
                "VALUES (:g, :c, :n, :u, :v, :p, :m)",
                {{"g", group}, {"c", code}, {"n", name}, {"u", unit}, {"v", vat}, {"p", salePrice}, {"m", currency}});
    }

    struct Line {
        QString warehouse;
        QString group;
        QString code;
        double quantity;
        double price;
        QString lot = {};
        QString budget = {};
    };

    // An input document of `date` (a null date: none) with its lines.
    double input(const QDate& date, const QList<Line>& lines)
    {
        const double contor = nextContor++;
        db.exec("INSERT INTO DOC_IN (Contor, Data_inregistrarii, Numar, Tip) VALUES (:c, :d, :c, 'NIR')",
                {{"c", contor}, {"d", date.isValid() ? QVariant(date) : QVariant()}});
        double n = 1;
        for (const Line& l : lines)
            db.exec("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
                    "Pret_achizitie_lei, Lot, Agent) VALUES (:c, :n, :w, :g, :a, :q, :p, :l, :b)",
                    {{"c", contor}, {"n", n++}, {"w", l.warehouse}, {"g", l.group}, {"a", l.code}, {"q", l.quantity},
                     {"p", l.price}, {"l", l.lot}, {"b", l.budget}});
        return contor;
    }

    double output(const QDate& date, const QList<Line>& lines)
    {
        const double contor = nextContor++;
        db.exec("INSERT INTO DOC_OUT (Contor, Data_inregistrarii, Numar, Tip) VALUES (:c, :d, :c, 'BMC')",
                {{"c", contor}, {"d", date.isValid() ? QVariant(date) : QVariant()}});
        double n = 1;
        for (const Line& l : lines)
            db.exec("INSERT INTO ITEM_OUT (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
                    "Pret_achizitie, Lot, Agent) VALUES (:c, :n, :w, :g, :a, :q, :p, :l, :b)",
                    {{"c", contor}, {"n", n++}, {"w", l.warehouse}, {"g", l.group}, {"a", l.code}, {"q", l.quantity},
                     {"p", l.price}, {"l", l.lot}, {"b", l.budget}});
        return contor;
    }

    // The rows of ANSW_ST as "warehouse/group/article/price/budget/lot: in - out", in key order.
    QStringList stockRows()
    {
        QStringList rows;
        datastore::Query q = privateDb.query(
            "SELECT Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, Lot, QIn, QOut FROM ANSW_ST "
            "ORDER BY Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Agent, Lot");
        while (q.next())
            rows << QStringLiteral("%1/%2/%3/%4/%5/%6: %7 - %8")
                        .arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString())
                        .arg(q.value(3).toDouble())
                        .arg(q.value(4).toString(), q.value(5).toString())
                        .arg(q.value(6).toDouble())
                        .arg(q.value(7).toDouble());
        return rows;
    }
};

// The tests' fixture over one ReportDatabase.
class ReportFixture : public ::testing::Test, public ReportDatabase {};

} // namespace reportstest
