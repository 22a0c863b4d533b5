// The working tables of reports when the database is on a server: each
// workstation keeps them in a schema of its own there, so two workstations
// running the same report at once never meet in them, and a local database
// brings them back to the private directory. Skipped without a cluster
// (MIRAFEL_PG_SOCKET_DIR).

#include "reportstest.h"

#include "datastore/privatedirectory.h"
#include "reportengine/exportfilters.h"
#include "reports/periodlists.h"
#include "reports/reportlist.h"
#include "reports/stockatdate.h"

#include <QDir>
#include <QFile>
#include <QSettings>

using namespace reports;
using reportstest::ReportDatabase;

namespace {

// Another workstation on the same database directory: its own private
// directory and its own pair of connections.
struct Workstation {
    testsupport::TempDir priv;
    datastore::Database db{QStringLiteral("TSTOCK")};
    datastore::Database privateDb{QStringLiteral("TBX_PRIV")};
    common::Parameters parameters;
    common::Formats formats;
    common::ScriptedDialogs dialogs;
    ReportSelection selection = ReportSelection::initial(QDate(2024, 6, 30));
    prints::PrintSettings printSettings;
    BatchReportUi ui;

    explicit Workstation(const QString& databaseDir)
    {
        db.setDirectory(databaseDir);
        connectPrivateDirectory(db, privateDb, databaseDir + "/", priv.path() + "/");
    }
    ~Workstation() { dropSchemaOf(priv.path(), db, privateDb); }

    ReportContext context() { return {db, privateDb, priv.path() + "/", parameters, formats, dialogs, selection, printSettings, ui}; }

    static void dropSchemaOf(const QString& privateDir, datastore::Database& db, datastore::Database& privateDb)
    {
        privateDb.close();
        db.close();
        try {
            datastore::dropPrivateSchema(privateDir);
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
        }
    }
};

// A few documents, a stock row and minimum stocks: every article is short.
// Rows that differ only in their lot show whether both engines order them alike.
void documents(ReportDatabase& f)
{
    f.db.exec("INSERT INTO CLIENT (Cod_client, Nume_client) VALUES ('B1', 'Buget local')");
    f.input(QDate(2024, 1, 10), {{"01", "ALIM", "F1", 10, 2.5, {}, "B1"}, {"01", "ALIM", "Z1", 4, 3},
                                 {"01", "BIRO", "H1", 5, 20}, {"05", "ALIM", "F1", 8, 2.4, {}, "B1"},
                                 // one key in two more lots, written out of their order
                                 {"01", "ALIM", "F1", 3, 2.5, "L2", "B1"}, {"01", "ALIM", "F1", 2, 2.5, "L1", "B1"}});
    f.input(QDate(), {{"05", "BIRO", "P1", 30, 1.2}});
    f.output(QDate(2024, 2, 1), {{"01", "ALIM", "Z1", 4, 3}, {"01", "BIRO", "P1", 2, 1.5, {}, "B1"}});
    f.output(QDate(2024, 7, 1), {{"01", "ALIM", "F1", 10, 2.5}});
    f.db.exec("INSERT INTO STOC (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Cantitate) VALUES ('01', 'ALIM', 'F1', 2.5, 2)");
    f.db.exec("UPDATE CATALOG SET Stock_minim = 5");
}

QSettings serverFile(const QString& dir)
{
    return QSettings(QDir(dir).filePath(datastore::kServerFileName), QSettings::IniFormat);
}

class PrivateServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (testsupport::ServerSchema::socketDir().isEmpty())
            GTEST_SKIP() << "no PostgreSQL cluster (MIRAFEL_PG_SOCKET_DIR)";
        base = std::make_unique<ReportDatabase>(&server);
        documents(*base);
    }
    void TearDown() override
    {
        if (base)
            Workstation::dropSchemaOf(base->priv.path(), base->db, base->privateDb);
        base.reset();
    }
    // The schema a private directory's server file names; empty without one.
    static QString schemaOf(const QString& privateDir)
    {
        return QFile::exists(QDir(privateDir).filePath(datastore::kServerFileName))
            ? serverFile(privateDir).value("schema").toString()
            : QString();
    }
    bool schemaExists(const QString& schema)
    {
        return base->db.scalar("SELECT COUNT(*) FROM pg_namespace WHERE nspname = :n", {{"n", schema}}).toInt() == 1;
    }

    testsupport::ServerSchema server;
    std::unique_ptr<ReportDatabase> base;
};

} // namespace

TEST_F(PrivateServerTest, EachWorkstationKeepsItsWorkingTablesInASchemaOfItsOwn)
{
    Workstation other(base->dir.path());
    const QString mine = schemaOf(base->priv.path());
    const QString theirs = schemaOf(other.priv.path());
    EXPECT_EQ(mine, datastore::privateSchemaName(base->priv.path()));
    EXPECT_EQ(theirs, datastore::privateSchemaName(other.priv.path()));
    EXPECT_NE(mine, theirs);
    EXPECT_NE(mine, server.name());
    EXPECT_TRUE(schemaExists(mine));
    EXPECT_TRUE(schemaExists(theirs));
    EXPECT_TRUE(base->privateDb.onServer());
    EXPECT_TRUE(datastore::hasPlacedServerFile(base->priv.path()));
    {
        // The same server and database as the database directory's file.
        QSettings written = serverFile(base->priv.path());
        QSettings database = serverFile(base->dir.path());
        for (const char* key : {"host", "database"})
            EXPECT_EQ(written.value(key), database.value(key)) << key;
    }

    // Both build the same working table at once, each for its own interval:
    // January has the inputs, February the outputs.
    ASSERT_EQ(BuildInputsOutputs(base->privateDb, QDate(2024, 1, 1), QDate(2024, 1, 31), {}), 3);
    ASSERT_EQ(BuildInputsOutputs(other.privateDb, QDate(2024, 2, 1), QDate(2024, 2, 29), {}), 2);
    const auto rowsIn = [](datastore::Database& db) {
        QStringList rows;
        datastore::Query q = db.query("SELECT Cod_Articol, TotalIn, TotalOut FROM \":TBX_PRIV:TotalInOut\" ORDER BY Cod_Articol");
        while (q.next())
            rows << QStringLiteral("%1 %2/%3").arg(q.value(0).toString()).arg(q.value(1).toDouble()).arg(q.value(2).toDouble());
        return rows;
    };
    // Read from either connection of each workstation.
    const QStringList january{"F1 23/0", "H1 5/0", "Z1 4/0"};
    const QStringList february{"P1 0/2", "Z1 0/4"};
    EXPECT_EQ(rowsIn(base->privateDb), january);
    EXPECT_EQ(rowsIn(base->db), january);
    EXPECT_EQ(rowsIn(other.privateDb), february);
    EXPECT_EQ(rowsIn(other.db), february);
    // The working table joined with the database's tables in one statement.
    EXPECT_EQ(base->db.scalar("SELECT C.Denumire FROM \":TBX_PRIV:TotalInOut\" A, \":TSTOCK:Catalog.DB\" C "
                              "WHERE A.Cod_grupa = C.Grupa AND A.Cod_Articol = C.Cod AND C.Cod = 'H1'")
                  .toString(),
              "Hartie A4");
    EXPECT_FALSE(base->db.tableExists("TotalInOut")) << "nothing of it among the database's tables";

    // Placing again with the same database keeps the file as it is.
    const QString file = QDir(base->priv.path()).filePath(datastore::kServerFileName);
    QFile before(file);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray text = before.readAll();
    const QDateTime modified = QFileInfo(file).lastModified();
    datastore::placePrivateDirectory(base->priv.path(), base->dir.path());
    QFile after(file);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), text);
    EXPECT_EQ(QFileInfo(file).lastModified(), modified);
}

TEST_F(PrivateServerTest, EveryReportRunsOnTheServerAsOnTheFile)
{
    // The same documents on a file; the other workstation's working tables
    // exist meanwhile.
    ReportDatabase file(nullptr, true);
    documents(file);
    Workstation other(base->dir.path());
    ASSERT_EQ(BuildInputsOutputs(other.privateDb, QDate(2024, 2, 1), QDate(2024, 2, 29), {}), 2);
    for (const ReportKind& k : reportKinds()) {
        const ReportKind* kind = &k;
        SCOPED_TRACE(kind->name.toStdString());
        QStringList texts;
        for (ReportDatabase* f : {&file, base.get()}) {
            f->ui = BatchReportUi();
            f->ui.from = QDate(2024, 1, 1);
            f->ui.to = QDate(2024, 12, 31);
            auto ctx = f->context();
            ASSERT_TRUE(kind->run(ctx)) << f->dialogs.texts().join("; ").toStdString();
            ASSERT_GE(f->ui.pages.pageCount(), 1);
            texts << reportengine::plainText(f->ui.pages);
        }
        EXPECT_EQ(texts[1], texts[0]);
        if (kind->name == "critical-stocks" || kind->name == "inputs-outputs") {
            EXPECT_TRUE(texts[1].contains("Hartie A4")) << texts[1].toStdString();
        }
    }
    EXPECT_EQ(other.privateDb.scalar("SELECT COUNT(*) FROM TotalInOut").toInt(), 2) << "the other's table as it was";
}

TEST_F(PrivateServerTest, ALocalDatabaseBringsTheWorkingTablesBack)
{
    const QString privateDir = base->priv.path();
    const QString file = QDir(privateDir).filePath(datastore::kServerFileName);
    const QString schema = schemaOf(privateDir);
    ASSERT_TRUE(QFile::exists(file));

    // The workstation switches to a local database.
    ReportDatabase local(nullptr, true);
    datastore::Database db{QStringLiteral("TSTOCK")};
    datastore::Database privateDb{QStringLiteral("TBX_PRIV")};
    db.setDirectory(local.dir.path());
    connectPrivateDirectory(db, privateDb, local.dir.path() + "/", privateDir + "/");
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_FALSE(privateDb.onServer());
    local.input(QDate(2024, 1, 10), {{"01", "ALIM", "F1", 10, 2.5}});
    ASSERT_TRUE(BuildStockAtDate(privateDb, local.parameters, {QDate(2024, 6, 30), {}, {}, StockKey::Full}));
    EXPECT_TRUE(QFile::exists(QDir(privateDir).filePath(datastore::kDatabaseFileName)));
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM \":TBX_PRIV:ANSW_ST\"").toInt(), 1);

    // And back to the server: the same schema again.
    privateDb.close();
    db.close();
    connectPrivateDirectory(base->db, base->privateDb, base->dir.path() + "/", privateDir + "/");
    EXPECT_EQ(schemaOf(privateDir), schema);
    EXPECT_TRUE(base->privateDb.onServer());

    // A server file written by someone else is never moved or removed.
    testsupport::TempDir foreign;
    testsupport::ServerSchema foreignSchema;
    foreignSchema.useIn(foreign.path());
    const QString foreignFile = QDir(foreign.path()).filePath(datastore::kServerFileName);
    for (const QString& databaseDir : {local.dir.path(), base->dir.path()}) {
        datastore::placePrivateDirectory(foreign.path(), databaseDir);
        ASSERT_TRUE(QFile::exists(foreignFile));
        EXPECT_EQ(serverFile(foreign.path()).value("schema").toString(), foreignSchema.name());
    }
    datastore::dropPrivateSchema(foreign.path());
    EXPECT_TRUE(QFile::exists(foreignFile));

    // A private directory no longer used takes its schema with it.
    Workstation::dropSchemaOf(privateDir, base->db, base->privateDb);
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_FALSE(schemaExists(schema));
}

