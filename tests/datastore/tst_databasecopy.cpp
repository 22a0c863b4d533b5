// A whole database copied between directories, each on SQLite or on the
// PostgreSQL server: definitions, rows, counters; a failure leaves the target as it was.

#include "datastore/database.h"
#include "datastore/databasecopy.h"
#include "datastore/tablecatalog.h"
#include "testsupport.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace datastore;

namespace {

enum class Backend { Sqlite, Postgres };

struct Route {
    Backend from;
    Backend to;
};

const char* name(Backend b) { return b == Backend::Sqlite ? "Sqlite" : "Postgres"; }

// A table of our own next to the catalog's: every field type, indexes of every kind.
TableDef ownTable()
{
    TableDef def{QStringLiteral("Jurnal.DB"),
                 {autoInc("Nr"), text("Cod", 6), memo("Nota", 40), smallInt("Mic"), integer("Mare"), boolean("Gata"),
                  floating("Suma"), date("Zi")},
                 {primaryKey("Nr"), secondary("ByCod", "Cod"), IndexDef{"BySuma", "Suma;Zi", IxUnique | IxDescending},
                  secondary("ByNota", "Nota", false)}};
    def.fields[1].required = true;
    return def;
}

class DatabaseCopy : public ::testing::TestWithParam<Route> {
protected:
    void SetUp() override
    {
        const bool server = GetParam().from == Backend::Postgres || GetParam().to == Backend::Postgres;
        if (server && testsupport::ServerSchema::socketDir().isEmpty())
            GTEST_SKIP() << "no PostgreSQL cluster (MIRAFEL_PG_SOCKET_DIR)";
        QDir().mkpath(fromDir());
        if (GetParam().from == Backend::Postgres)
            fromSchema.useIn(fromDir());
        if (GetParam().to == Backend::Postgres) {
            QDir().mkpath(toDir());
            toSchema.useIn(toDir());
        }
        Database db;
        db.setDirectory(fromDir());
        db.createTable(*findTableDef(QStringLiteral("Clnpay.DB")));
        db.createTable(ownTable());
        db.exec("INSERT INTO \"Jurnal.DB\" (Cod, Nota, Mic, Mare, Gata, Suma, Zi) VALUES "
                "('0012', 'prima', -3, 70000, 'TRUE', 0.1, '03/15/2024'), ('ab', '', NULL, NULL, 'FALSE', -2.5, NULL), "
                "('AB', 'a doua', 7, 0, NULL, 1e13, '12/31/2030')");
        // Numbers 4 and 5 were given and their rows deleted: never to be given again.
        db.exec("INSERT INTO \"Jurnal.DB\" (Cod, Suma) VALUES ('x', 5), ('y', 6)");
        db.exec("DELETE FROM \"Jurnal.DB\" WHERE Nr > 3");
        db.exec("INSERT INTO \"Clnpay.DB\" (Contor_document, Nrcrt) VALUES (1, 40)");
    }

    QString fromDir() const { return tmp.file("from"); }
    QString toDir() const { return tmp.file("to"); }

    // Every row of a table, in key order, as text.
    static QStringList rows(Database& db, const QString& table, const QString& order)
    {
        QStringList out;
        Query q = db.query(QStringLiteral("SELECT * FROM \"%1\" ORDER BY %2").arg(table, order));
        while (q.next()) {
            QStringList values;
            for (int i = 0; i < q.columnCount(); ++i)
                values << (q.value(i).isNull() ? QStringLiteral("<null>") : q.value(i).toString());
            out << values.join(u'|');
        }
        return out;
    }

    testsupport::TempDir tmp;
    testsupport::ServerSchema fromSchema;
    testsupport::ServerSchema toSchema;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Routes, DatabaseCopy,
                         ::testing::Values(Route{Backend::Sqlite, Backend::Sqlite}, Route{Backend::Sqlite, Backend::Postgres},
                                           Route{Backend::Postgres, Backend::Sqlite},
                                           Route{Backend::Postgres, Backend::Postgres}),
                         [](const ::testing::TestParamInfo<Route>& p) {
                             return std::string(name(p.param.from)) + "To" + name(p.param.to);
                         });

TEST_P(DatabaseCopy, CopiesDefinitionsRowsAndCounters)
{
    QStringList told;
    const CopyReport report = copyDatabase(fromDir(), toDir(), [&](const QString& table, qint64 copied, qint64 total) {
        told << QStringLiteral("%1 %2/%3").arg(table).arg(copied).arg(total);
    });
    ASSERT_TRUE(report.ok) << report.error.toStdString();
    EXPECT_EQ(report.rows, 4);
    ASSERT_EQ(report.tables.size(), 2);
    EXPECT_EQ(report.tables[0].table, "Clnpay.DB");
    EXPECT_EQ(report.tables[1].rows, 3);
    EXPECT_EQ(told, QStringList({"Clnpay.DB 1/1", "Jurnal.DB 3/3"}));

    Database from;
    from.setDirectory(fromDir());
    Database to;
    to.setDirectory(toDir());
    EXPECT_EQ(to.onServer(), GetParam().to == Backend::Postgres);
    EXPECT_EQ(to.tableNames(), from.tableNames());
    for (const QString& table : from.tableNames()) {
        SCOPED_TRACE(table.toStdString());
        const TableDef a = from.readTableDef(table);
        const TableDef b = to.readTableDef(table);
        EXPECT_EQ(b.name, a.name);
        EXPECT_EQ(b.fields, a.fields);
        EXPECT_EQ(b.indexes, a.indexes);
    }
    EXPECT_EQ(rows(to, "Jurnal.DB", "Nr"), rows(from, "Jurnal.DB", "Nr"));
    EXPECT_EQ(rows(to, "Jurnal.DB", "Nr"),
              QStringList({"1|0012|prima|-3|70000|true|0.1|2024-03-15", "2|ab|<null>|<null>|<null>|false|-2.5|<null>",
                           "3|AB|a doua|7|0|<null>|1e+13|2030-12-31"}));
    EXPECT_EQ(rows(to, "Clnpay.DB", "Nrcrt"), rows(from, "Clnpay.DB", "Nrcrt"));

    // The counters go on from where the source's were, deleted numbers included.
    EXPECT_EQ(to.autoIncrementValue("Jurnal.DB", "Nr"), 5);
    EXPECT_EQ(to.autoIncrementValue("Clnpay.DB", "Nrcrt"), 40);
    to.exec("INSERT INTO \"Jurnal.DB\" (Cod) VALUES ('nou')");
    to.exec("INSERT INTO \"Clnpay.DB\" (Contor_document) VALUES (2)");
    EXPECT_EQ(to.scalar("SELECT Nr FROM \"Jurnal.DB\" WHERE Cod = 'nou'").toInt(), 6);
    EXPECT_EQ(to.scalar("SELECT Nrcrt FROM \"Clnpay.DB\" WHERE Contor_document = 2").toInt(), 41);
    // The indexes hold on the copy: the same key twice is refused.
    EXPECT_THROW(to.exec("INSERT INTO \"Jurnal.DB\" (Cod, Suma, Zi) VALUES ('z', 0.1, '03/15/2024')"), DbError);
}

TEST_P(DatabaseCopy, AFailureLeavesTheTargetAsItWas)
{
    // The caller's check runs on the copy before it is kept: a problem undoes it all.
    const CopyReport refused = copyDatabase(fromDir(), toDir(), {}, [](Database&, Database& to) {
        EXPECT_EQ(to.scalar("SELECT COUNT(*) FROM \"Jurnal.DB\"").toInt(), 3) << "the check sees the rows copied";
        return QStringList{QStringLiteral("Stocul copiei difera de documente")};
    });
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.error, "Stocul copiei difera de documente");
    EXPECT_TRUE(refused.tables.isEmpty());
    Database to;
    to.setDirectory(toDir());
    EXPECT_TRUE(to.tableNames().isEmpty());
    if (GetParam().to == Backend::Sqlite) {
        EXPECT_FALSE(QFileInfo::exists(toDir())) << "the directory made for the copy is gone";
    }
    to.close();

    // A target holding a table is refused and keeps its rows.
    QDir().mkpath(toDir());
    to.setDirectory(toDir());
    to.createTable(TableDef{QStringLiteral("Alta.DB"), {text("A", 4)}, {}});
    to.exec("INSERT INTO \"Alta.DB\" (A) VALUES ('x')");
    to.close();
    const CopyReport occupied = copyDatabase(fromDir(), toDir());
    EXPECT_FALSE(occupied.ok);
    EXPECT_TRUE(occupied.error.contains("contine deja o baza de date (1 tabele)")) << occupied.error.toStdString();
    EXPECT_EQ(to.tableNames(), QStringList{"Alta.DB"});
    EXPECT_EQ(to.scalar("SELECT COUNT(*) FROM \"Alta.DB\"").toInt(), 1);

    struct Case { const char* what; QString from; QString to; const char* message; };
    const Case cases[] = {
        {"no database in the source", tmp.path(), tmp.file("x"), "Nu exista baza de date in directorul"},
        {"the source as its own target", fromDir(), fromDir(), "Directorul destinatie este chiar directorul sursa."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CopyReport r = copyDatabase(c.from, c.to);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.error.contains(QLatin1String(c.message))) << r.error.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(tmp.file("x")));
}
