// The engine's integrity check: a file whose table pages are damaged passes
// the comparison of its structure with the catalog, so only this check tells.
// Covered: the check on the connection and on a connection of its own, the
// daily record in TBXDEF.INI, the background run and the check before a backup,
// on a file and on a server.

#include <gtest/gtest.h>

#include "common/inifile.h"
#include "datastore/database.h"
#include "datastore/databasevalidator.h"
#include "datastore/integritycheck.h"
#include "datastore/tablecatalog.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QUuid>

using namespace datastore;
using Outcome = IntegrityReport::Outcome;

namespace {

void createDatabase(const QString& dir)
{
    Database db;
    db.setDirectory(dir);
    for (const TableDef& def : databaseTables())
        db.createTable(def);
    db.exec("INSERT INTO \"Catalog.DB\" (Grupa, Cod, Denumire) VALUES ('G1', 'A1', 'Faina')");
}

// Zeroes the root page of a table's b-tree, the fault that leaves the
// structure readable and every row of the table unreadable.
void damageTable(const QString& dir, const QString& table)
{
    qint64 root = 0;
    {
        Database db;
        db.setDirectory(dir);
        root = db.scalar("SELECT rootpage FROM sqlite_master WHERE type = 'table' AND name = :Name", {{"Name", table}})
                   .toLongLong();
    } // closed: the write-ahead log is back in the file
    ASSERT_GT(root, 1);
    ASSERT_TRUE(testsupport::zeroDatabasePage(QDir(dir).filePath(kDatabaseFileName), root));
}

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(IntegrityCheck, ADamagedTableIsFoundWhereTheStructureStillValidates)
{
    testsupport::TempDir sound;
    testsupport::TempDir damaged;
    createDatabase(sound.path());
    createDatabase(damaged.path());
    damageTable(damaged.path(), "Catalog");
    const QString damagedFile = QDir(damaged.path()).filePath(kDatabaseFileName);

    // The comparison with the catalog reads only the structure: it passes.
    {
        Database db;
        TDatabaseValidator validator(db);
        validator.Tables = databaseTables();
        validator.setDirectory(damaged.path());
        EXPECT_NO_THROW(validator.Validate());
        EXPECT_THROW(db.scalar("SELECT * FROM \"Catalog.DB\""), DbError);
    }
    const QByteArray before = contents(damagedFile);

    struct Case { const char* what; QString dir; Outcome expected; };
    const Case cases[] = {
        {"sound", sound.path(), Outcome::Sound},
        {"damaged", damaged.path(), Outcome::Damaged},
    };
    for (const Case& c : cases) {
        for (const IntegrityDepth depth : {IntegrityDepth::Quick, IntegrityDepth::Full}) {
            SCOPED_TRACE(std::string(c.what) + (depth == IntegrityDepth::Quick ? " quick" : " full"));
            Database db;
            db.setDirectory(c.dir);
            const IntegrityReport onConnection = db.integrityCheck(depth);
            EXPECT_EQ(onConnection.outcome, c.expected) << onConnection.problems.join('\n').toStdString();
            const IntegrityReport own = checkDatabaseFile(QDir(c.dir).filePath(kDatabaseFileName), depth);
            EXPECT_EQ(own.outcome, c.expected) << own.problems.join('\n').toStdString();
            EXPECT_EQ(own.problems.isEmpty(), c.expected == Outcome::Sound);
            EXPECT_EQ(onConnection.problems, own.problems);
        }
    }
    EXPECT_EQ(contents(damagedFile), before) << "the check changes nothing";
}

TEST(IntegrityCheck, FilesThatAreNoDatabaseOrAreMissing)
{
    testsupport::TempDir tmp;
    const QString garbage = tmp.file("garbage/gestiune.db");
    QDir().mkpath(tmp.file("garbage"));
    {
        QFile f(garbage);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(8192, 'x'));
    }
    const IntegrityReport notADatabase = checkDatabaseFile(garbage, IntegrityDepth::Quick);
    EXPECT_EQ(notADatabase.outcome, Outcome::Damaged);
    EXPECT_FALSE(notADatabase.problems.isEmpty());

    const QString missing = tmp.file("none/gestiune.db");
    const IntegrityReport absent = checkDatabaseFile(missing, IntegrityDepth::Quick);
    EXPECT_EQ(absent.outcome, Outcome::NotChecked);
    EXPECT_FALSE(QFileInfo::exists(missing));
    Database db;
    db.setDirectory(tmp.file("none"));
    EXPECT_EQ(db.integrityCheck().outcome, Outcome::NotChecked);
    EXPECT_FALSE(QFileInfo::exists(missing));

    // The message names the directory, says what to do and quotes the engine.
    const QString text = damagedDatabaseMessage("/date/stoc", {Outcome::Damaged, {"Tree 7 page 7: bad", "x", "y", "z"}});
    EXPECT_TRUE(text.startsWith("Baza de date din directorul " + QDir::toNativeSeparators("/date/stoc") + " este deteriorata!\r"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("restaurati baza de date dintr-o salvare")) << text.toStdString();
    EXPECT_TRUE(text.endsWith("\r<Tree 7 page 7: bad; x; y>")) << text.toStdString();
}

TEST(IntegrityCheck, TheBackgroundCheckRunsOnceADayAndReportsDamageEveryTime)
{
    testsupport::TempDir sound;
    testsupport::TempDir damaged;
    createDatabase(sound.path());
    createDatabase(damaged.path());
    damageTable(damaged.path(), "Catalog");
    // Another key of TBXDEF.INI stays as it was.
    ASSERT_TRUE(common::IniFile(QDir(sound.path()).filePath("TBXDEF.INI")).writeString("Default", "CLot", "1"));

    QList<std::pair<QString, IntegrityReport>> reports;
    BackgroundIntegrityCheck check([&](const QString& dir, const IntegrityReport& r) { reports.append({dir, r}); });
    const QDate today(2026, 12, 9);

    auto runTo = [&](const QString& dir, const QDate& day) {
        const qsizetype before = reports.size();
        if (!check.start(dir, day))
            return false;
        EXPECT_TRUE(check.running());
        EXPECT_EQ(check.directory(), dir);
        EXPECT_TRUE(QTest::qWaitFor([&] { return reports.size() > before; }, 20000));
        EXPECT_FALSE(check.running());
        return true;
    };

    EXPECT_TRUE(integrityCheckDue(sound.path(), today));
    ASSERT_TRUE(runTo(sound.path(), today));
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(reports[0].first, sound.path());
    EXPECT_TRUE(reports[0].second.sound());
    EXPECT_EQ(lastSoundCheck(sound.path()), today);
    const common::IniFile ini(QDir(sound.path()).filePath("TBXDEF.INI"));
    EXPECT_EQ(ini.readString("Permision", "Verificare integritate"), "2026-12-09");
    EXPECT_EQ(ini.readString("Default", "CLot"), "1");

    EXPECT_FALSE(runTo(sound.path(), today)) << "once a day";
    EXPECT_TRUE(runTo(sound.path(), today.addDays(1)));

    // A damaged database is never marked: it is reported at every opening.
    ASSERT_TRUE(runTo(damaged.path(), today));
    EXPECT_TRUE(reports.last().second.damaged());
    EXPECT_EQ(reports.last().first, damaged.path());
    EXPECT_FALSE(lastSoundCheck(damaged.path()).isValid());
    EXPECT_TRUE(runTo(damaged.path(), today));

    // No database file: nothing to check.
    testsupport::TempDir empty;
    EXPECT_FALSE(check.start(empty.path(), today));

    // A cancelled check reports nothing and marks nothing.
    const qsizetype before = reports.size();
    testsupport::TempDir other;
    createDatabase(other.path());
    ASSERT_TRUE(check.start(other.path(), today));
    check.cancel();
    EXPECT_FALSE(check.running());
    QTest::qWait(200);
    QCoreApplication::processEvents();
    EXPECT_EQ(reports.size(), before);
}

TEST(IntegrityCheck, TheCheckBeforeABackup)
{
    testsupport::TempDir sound;
    testsupport::TempDir damaged;
    createDatabase(sound.path());
    createDatabase(damaged.path());
    damageTable(damaged.path(), "Catalog");
    const QDate today(2026, 12, 9);

    EXPECT_TRUE(checkBeforeBackup(sound.path(), today).sound());
    EXPECT_FALSE(integrityCheckDue(sound.path(), today)) << "the background check need not run again today";

    const IntegrityReport report = checkBeforeBackup(damaged.path(), today);
    EXPECT_TRUE(report.damaged());
    EXPECT_TRUE(integrityCheckDue(damaged.path(), today));
}

// The same check on each engine: SQLite, and PostgreSQL when the tests are
// given a cluster (MIRAFEL_PG_SOCKET_DIR).
namespace {

enum class Backend { Sqlite, Postgres };

class IntegrityEngineTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        if (GetParam() == Backend::Postgres) {
            if (testsupport::ServerSchema::socketDir().isEmpty())
                GTEST_SKIP() << "no PostgreSQL cluster (MIRAFEL_PG_SOCKET_DIR)";
            server.useIn(dir.path());
        }
        createDatabase(dir.path());
    }

    testsupport::TempDir dir;
    testsupport::ServerSchema server;
};

// A connection of the test's own to the cluster, for what the storage never does.
class ServerConnection {
public:
    ServerConnection() : m_name("test-" + QUuid::createUuid().toString(QUuid::Id128))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", m_name);
        db.setHostName(testsupport::ServerSchema::socketDir());
        db.setDatabaseName(qEnvironmentVariable("MIRAFEL_PG_DATABASE", "mirafel"));
        EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
    }
    ~ServerConnection()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    void exec(const QString& sql)
    {
        QSqlQuery query(QSqlDatabase::database(m_name, false));
        EXPECT_TRUE(query.exec(sql)) << sql.toStdString() << ": " << query.lastError().text().toStdString();
    }

private:
    QString m_name;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Engines, IntegrityEngineTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const ::testing::TestParamInfo<Backend>& p) {
                             return p.param == Backend::Sqlite ? "Sqlite" : "Postgres";
                         });

TEST_P(IntegrityEngineTest, ASoundDatabaseIsFoundSoundByEveryPathAndRecordedOnceADay)
{
    for (const IntegrityDepth depth : {IntegrityDepth::Quick, IntegrityDepth::Full}) {
        SCOPED_TRACE(depth == IntegrityDepth::Quick ? "quick" : "full");
        Database db;
        db.setDirectory(dir.path());
        const IntegrityReport onConnection = db.integrityCheck(depth);
        EXPECT_EQ(onConnection.outcome, Outcome::Sound) << onConnection.problems.join('\n').toStdString();
        const IntegrityReport own = checkDatabaseDirectory(dir.path(), depth);
        EXPECT_EQ(own.outcome, Outcome::Sound) << own.problems.join('\n').toStdString();
        EXPECT_TRUE(own.problems.isEmpty());
        const std::atomic_bool stop{true};
        EXPECT_EQ(checkDatabaseDirectory(dir.path(), depth, &stop).outcome, Outcome::Cancelled);
    }

    const QDate today(2026, 12, 9);
    EXPECT_TRUE(checkBeforeBackup(dir.path(), today).sound());
    EXPECT_EQ(lastSoundCheck(dir.path()), today);

    QList<IntegrityReport> reports;
    BackgroundIntegrityCheck check([&](const QString&, const IntegrityReport& r) { reports.append(r); });
    EXPECT_FALSE(check.start(dir.path(), today)) << "already found sound today";
    ASSERT_TRUE(check.start(dir.path(), today.addDays(1)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !reports.isEmpty(); }, 20000));
    EXPECT_TRUE(reports.first().sound()) << reports.first().problems.join('\n').toStdString();
    EXPECT_EQ(lastSoundCheck(dir.path()), today.addDays(1));

    // Cancelled: nothing reported, nothing recorded.
    ASSERT_TRUE(check.start(dir.path(), today.addDays(2)));
    check.cancel();
    QTest::qWait(200);
    QCoreApplication::processEvents();
    EXPECT_EQ(reports.size(), 1);
    EXPECT_EQ(lastSoundCheck(dir.path()), today.addDays(1));
}

TEST_P(IntegrityEngineTest, ADatabaseThatCannotBeReachedIsNotChecked)
{
    testsupport::TempDir gone;
    if (GetParam() == Backend::Postgres) {
        QSettings file(gone.file(kServerFileName), QSettings::IniFormat);
        file.setValue("host", testsupport::ServerSchema::socketDir());
        file.setValue("database", "mirafel_nu_exista");
        file.setValue("schema", "stoc");
    } else {
        ASSERT_TRUE(QDir().mkpath(gone.file(kDatabaseFileName))); // a directory where the file should be
    }
    const IntegrityReport report = checkDatabaseDirectory(gone.path(), IntegrityDepth::Quick);
    EXPECT_EQ(report.outcome, Outcome::NotChecked);
    EXPECT_FALSE(report.problems.isEmpty());

    QList<IntegrityReport> reports;
    BackgroundIntegrityCheck check([&](const QString&, const IntegrityReport& r) { reports.append(r); });
    const QDate today(2026, 12, 9);
    if (GetParam() == Backend::Postgres) {
        ASSERT_TRUE(check.start(gone.path(), today));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !reports.isEmpty(); }, 20000));
        EXPECT_EQ(reports.first().outcome, Outcome::NotChecked);
    }
    EXPECT_FALSE(lastSoundCheck(gone.path()).isValid());
    EXPECT_FALSE(checkBeforeBackup(gone.path(), today).sound());
    EXPECT_FALSE(lastSoundCheck(gone.path()).isValid());
}

// On the server: a unique key that no longer holds is damage the full check
// finds; a table another connection keeps locked cannot be checked.
TEST(ServerIntegrityCheck, RepeatedKeysAreDamageAndALockedTableIsNotChecked)
{
    if (testsupport::ServerSchema::socketDir().isEmpty())
        GTEST_SKIP() << "no PostgreSQL cluster (MIRAFEL_PG_SOCKET_DIR)";
    testsupport::TempDir dir;
    testsupport::ServerSchema server;
    server.useIn(dir.path());
    createDatabase(dir.path());
    const QString schema = '"' + server.name() + '"';

    ServerConnection other;
    other.exec("BEGIN");
    other.exec("LOCK TABLE " + schema + ".catalog IN ACCESS EXCLUSIVE MODE");
    {
        Database db;
        db.setDirectory(dir.path());
        db.setBusyTimeout(300);
        const IntegrityReport report = db.integrityCheck(IntegrityDepth::Quick);
        EXPECT_EQ(report.outcome, Outcome::NotChecked);
        ASSERT_EQ(report.problems.size(), 1);
        EXPECT_TRUE(report.problems.first().startsWith("Tabela Catalog nu poate fi citita")) << report.problems.first().toStdString();
    }
    // The key's index made plain, as a damaged one would let a second row in.
    other.exec("DROP INDEX " + schema + ".\"catalog#pk\"");
    other.exec("INSERT INTO " + schema + ".catalog (grupa, cod, denumire) VALUES ('G1', 'A1', 'Faina neagra')");
    other.exec("CREATE INDEX \"catalog#pk\" ON " + schema + ".catalog (grupa, cod)");
    other.exec("COMMIT");

    EXPECT_TRUE(checkDatabaseDirectory(dir.path(), IntegrityDepth::Quick).sound()) << "the quick check reads, it does not compare";
    const IntegrityReport full = checkDatabaseDirectory(dir.path(), IntegrityDepth::Full);
    EXPECT_EQ(full.outcome, Outcome::Damaged);
    EXPECT_EQ(full.problems, QStringList{"Tabela Catalog: cheia primara are 1 valori repetate"});
    const QString text = damagedDatabaseMessage(dir.path(), full);
    EXPECT_TRUE(text.endsWith("\r<Tabela Catalog: cheia primara are 1 valori repetate>")) << text.toStdString();
}
