// The rules of the main window: start-up, switching the database, the refresh
// interval, the private directory, the layout files, the version stamp, the
// background picture, exit, and the report of errors.

#include <gtest/gtest.h>

#include "shelltest.h"

#include "datastore/databasevalidator.h"
#include "datastore/dataset.h"
#include "datastore/dberror.h"
#include "datastore/integritycheck.h"
#include "datastore/privatedirectory.h"
#include "datastore/tablecatalog.h"

#include <QColor>
#include <QScopeGuard>
#include <functional>
#include <QTest>
#include <stdexcept>

#include <sys/stat.h>

using namespace shell;
using namespace shelltest;

namespace {

class MainFormLogicTest : public ::testing::Test, public ContextFixture {
protected:
    FakeHost host;
    MainFormLogic logic{*ctx, host};

    int versionRecords() { return ctx->database.scalar("SELECT COUNT(*) FROM \"Versiune.db\"").toInt(); }
    QString versionStamp() { return ctx->database.scalar("SELECT Ver FROM \"Versiune.db\"").toString(); }
};

class ThrowingSteps : public datastore::OpeningSteps {
public:
    void firstGenerationMigration(datastore::Database&) override
    {
        throw datastore::DbError(datastore::DbErrorKind::Io, "Copierea a esuat");
    }
};

} // namespace

// ---- start-up ----------------------------------------------------------------

TEST_F(MainFormLogicTest, StartUpOpensTheChosenDatabaseAndRunsEveryStep)
{
    const QString dbDir = newDir("baza");
    host.picker.answers << dbDir;

    ASSERT_TRUE(logic.startUp()) << dialogs.texts().join(" | ").toStdString();
    EXPECT_EQ(logic.failedStep(), 0);

    EXPECT_EQ(ctx->databaseDir, dbDir + "/");
    EXPECT_EQ(host.title, "Gestiunea materialelor si obiectelor de inventar - " + dbDir + "/");
    EXPECT_EQ(settings.value("LastDatabaseDir").toString(), dbDir);
    EXPECT_EQ(host.openingWindows, 1);
    EXPECT_EQ(host.refreshInterval, 30000);
    EXPECT_TRUE(ctx->checkForNewVersion);
    EXPECT_TRUE(QFileInfo(paths.privateDir).isDir());
    EXPECT_EQ(ctx->privateDatabase.directory() + "/", paths.privateDir);
    EXPECT_EQ(ctx->reports.stockDate, QDate::currentDate());
    EXPECT_EQ(ctx->reports.to, QDate::currentDate());
    EXPECT_EQ(ctx->reports.from, QDate::currentDate().addDays(-30));
    EXPECT_EQ(host.pictureCalls, 1);
    EXPECT_EQ(versionRecords(), 1);
    EXPECT_EQ(versionStamp(), versionString());
}

// A parameter file that cannot be read is said so in an error box; the start-up
// goes on with the parameters in memory (without waiting on a pipe), and the
// parameters dialog cannot save over the file.
TEST_F(MainFormLogicTest, AnUnreadableParameterFileIsReportedAndTheStartUpGoesOn)
{
    struct Case {
        const char* name;
        std::function<bool(const QString&)> make;
    };
    const std::vector<Case> cases{
        {"a directory", [](const QString& path) { return QDir().mkdir(path); }},
        {"a pipe", [](const QString& path) { return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ContextFixture fx;
        FakeHost fxHost;
        MainFormLogic fxLogic(*fx.ctx, fxHost);
        const QString dbDir = fx.newDir("baza");
        const QString tbxdef = dbDir + "/TBXDEF.INI";
        ASSERT_TRUE(c.make(tbxdef));
        fxHost.picker.answers << dbDir;
        fx.ctx->parameters.CVal = "EUR";
        fxLogic.hooks.loadParameters = [&] {
            common::LoadParameters(fx.ctx->parameters, fx.ctx->formats, fx.ctx->databaseDir + "TBXDEF.INI");
        };

        ASSERT_TRUE(fxLogic.startUp()) << fx.dialogs.texts().join(" | ").toStdString();
        // After the question that makes the new database, the error.
        ASSERT_EQ(fx.dialogs.messages.size(), 2) << fx.dialogs.texts().join(" | ").toStdString();
        EXPECT_EQ(fx.dialogs.last().icon, common::Icon::Error);
        EXPECT_TRUE(fx.dialogs.last().text.startsWith("Fisierul de parametri " + QDir::toNativeSeparators(tbxdef)
                                                      + " nu poate fi citit"))
            << fx.dialogs.last().text.toStdString();
        EXPECT_EQ(fx.ctx->parameters.CVal, "EUR");
        EXPECT_EQ(fxHost.refreshInterval, 30000); // the steps after it ran

        EXPECT_THROW(common::SaveParameters(fx.ctx->parameters, fx.ctx->ini, tbxdef), common::EParameterFileUnreadable);
        EXPECT_FALSE(QFileInfo(tbxdef).isFile());
    }
}

TEST_F(MainFormLogicTest, StartUpConnectsTheDatabaseAndThePrivateDirectory)
{
    host.picker.answers << newDir("baza");
    ASSERT_TRUE(logic.startUp()) << dialogs.texts().join(" | ").toStdString();

    // A working table made in the private directory joins the database's tables from either side.
    ctx->privateDatabase.exec("CREATE TABLE Answ1 (Ver char(10))");
    ctx->privateDatabase.exec("INSERT INTO Answ1 SELECT Ver FROM \":TSTOCK:Versiune.db\"");
    EXPECT_EQ(ctx->database.scalar("SELECT A.Ver FROM \":TBX_PRIV:Answ1\" A, \"Versiune.db\" V WHERE A.Ver = V.Ver").toString(),
              versionString());
}

// With the database on a server the working tables go to a schema of this
// workstation there; switching to a local database brings them back.
TEST_F(MainFormLogicTest, ThePrivateDirectoryFollowsTheDatabaseOntoTheServerAndBack)
{
    if (testsupport::ServerSchema::socketDir().isEmpty())
        GTEST_SKIP() << "no PostgreSQL cluster (MIRAFEL_PG_SOCKET_DIR)";
    testsupport::ServerSchema server;
    const QString serverDir = newDir("server");
    server.useIn(serverDir);
    const QString privateFile = paths.privateDir + datastore::kServerFileName;
    host.picker.answers << serverDir;
    ASSERT_TRUE(logic.startUp()) << dialogs.texts().join(" | ").toStdString();
    const auto dropPrivateSchema = qScopeGuard([&] {
        ctx->privateDatabase.close();
        ctx->database.close();
        datastore::placePrivateDirectory(paths.privateDir, serverDir);
        datastore::dropPrivateSchema(paths.privateDir);
    });
    EXPECT_TRUE(datastore::hasPlacedServerFile(paths.privateDir));
    EXPECT_TRUE(ctx->privateDatabase.onServer());
    const auto joins = [&] {
        ctx->privateDatabase.exec("CREATE TABLE Answ1 (Ver char(10))");
        ctx->privateDatabase.exec("INSERT INTO Answ1 SELECT Ver FROM \":TSTOCK:Versiune.db\"");
        const QString ver =
            ctx->database.scalar("SELECT A.Ver FROM \":TBX_PRIV:Answ1\" A, \"Versiune.db\" V WHERE A.Ver = V.Ver").toString();
        ctx->privateDatabase.exec("DROP TABLE Answ1");
        return ver;
    };
    EXPECT_EQ(joins(), versionString());
    EXPECT_FALSE(ctx->database.tableExists("Answ1"));

    host.picker.answers << newDir("locala");
    logic.selectDatabase();
    ASSERT_EQ(ctx->databaseDir, home.file("locala") + "/") << dialogs.texts().join(" | ").toStdString();
    EXPECT_FALSE(QFile::exists(privateFile));
    EXPECT_FALSE(ctx->privateDatabase.onServer());
    logic.stampVersion(); // a switch does not stamp
    EXPECT_EQ(joins(), versionString());
    EXPECT_TRUE(QFile::exists(paths.privateDir + datastore::kDatabaseFileName));

    host.picker.answers << serverDir;
    logic.selectDatabase();
    EXPECT_TRUE(ctx->privateDatabase.onServer());
    EXPECT_EQ(joins(), versionString());
}

TEST_F(MainFormLogicTest, AbandonedChoiceLeavesNoDatabaseAndTheStampReportsTheEngineError)
{
    // The picker is cancelled: no database; the steps up to the version stamp
    // still run, and stamping without a database fails with the engine's error.
    EXPECT_FALSE(logic.startUp());
    EXPECT_EQ(logic.failedStep(), 20);
    EXPECT_EQ(host.title, "Gestiune de stocuri");
    EXPECT_TRUE(ctx->databaseDir.isEmpty());
    EXPECT_EQ(host.refreshInterval, 30000);
    EXPECT_TRUE(QFileInfo(paths.privateDir).isDir());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.last().icon, common::Icon::Error);
}

TEST_F(MainFormLogicTest, AnErrorBeforeValidationStopsTheSequenceAtThatStep)
{
    ThrowingSteps steps;
    MainFormLogic failing(*ctx, host, &steps);
    const QString dbDir = newDir("veche");
    writeFile(dbDir + "/Stoc.DB"); // not empty: the migrations run
    host.picker.answers << dbDir;

    EXPECT_FALSE(failing.startUp());
    EXPECT_EQ(failing.failedStep(), 9);
    EXPECT_EQ(dialogs.texts(), QStringList{"Copierea a esuat"});
    EXPECT_FALSE(host.refreshInterval.has_value()); // sub-step 10 never ran
    EXPECT_FALSE(QFileInfo(paths.privateDir).exists());
    EXPECT_EQ(host.title, "Gestiune de stocuri");
}

// ---- refresh interval ----------------------------------------------------------

TEST_F(MainFormLogicTest, RefreshIntervalComesFromOptionsInSeconds)
{
    struct Case {
        const char* name;
        std::optional<QString> value; // nullopt: no Refresh key
        int expectedMs;
    };
    const std::vector<Case> cases{
        {"absent key: 30 s", std::nullopt, 30000},
        {"0 stops the ticks", "0", 0},
        {"5 s", "5", 5000},
        {"not a number: default", "abc", 30000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ctx->ini.deleteKey("Options", "Refresh");
        if (c.value)
            ctx->ini.writeString("Options", "Refresh", *c.value);
        EXPECT_EQ(logic.refreshIntervalMs(), c.expectedMs);
    }
}

// ---- private directory ---------------------------------------------------------

TEST_F(MainFormLogicTest, PrivateDirectoryIsMadeOnceAndTakesTheLayoutFilesOnlyThen)
{
    // Some listed files lie next to the executable, one is absent, and one
    // file is not in the list.
    writeFile(paths.executableDir + "catlook.cfg", "catalog");
    writeFile(paths.executableDir + "offer.cfg", "offer");
    writeFile(paths.executableDir + "DocProf.cfg"); // only deleted, never moved
    writeFile(paths.executableDir + "altceva.cfg");

    logic.preparePrivateDirectory();
    EXPECT_TRUE(QFile::exists(paths.privateDir + "catlook.cfg"));
    EXPECT_TRUE(QFile::exists(paths.privateDir + "offer.cfg"));
    EXPECT_FALSE(QFile::exists(paths.executableDir + "catlook.cfg"));
    EXPECT_FALSE(QFile::exists(paths.privateDir + "stocks.cfg"));
    EXPECT_TRUE(QFile::exists(paths.executableDir + "DocProf.cfg"));
    EXPECT_TRUE(QFile::exists(paths.executableDir + "altceva.cfg"));
    EXPECT_EQ(ctx->privateDir, paths.privateDir);
    EXPECT_EQ(ctx->privateDatabase.directory() + "/", paths.privateDir);

    // A later start finds the directory: nothing moves.
    writeFile(paths.executableDir + "stocks.cfg");
    logic.preparePrivateDirectory();
    EXPECT_TRUE(QFile::exists(paths.executableDir + "stocks.cfg"));
    EXPECT_FALSE(QFile::exists(paths.privateDir + "stocks.cfg"));
}

// ---- "Sterge fisierele .cfg" ---------------------------------------------------

TEST_F(MainFormLogicTest, DeletingLayoutFilesAlwaysShowsItsMessage)
{
    logic.preparePrivateDirectory();
    struct Case {
        const char* name;
        QStringList present;
    };
    const std::vector<Case> cases{
        {"none present", {}},
        {"some present", {"DocProf.cfg", "offerc.cfg", "stocks.cfg"}},
        {"all present", MainFormLogic::deletedLayoutFiles()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        for (const QString& f : c.present)
            writeFile(paths.privateDir + f);
        writeFile(paths.privateDir + "propriu.cfg");

        logic.deleteLayoutFiles();

        for (const QString& f : MainFormLogic::deletedLayoutFiles())
            EXPECT_FALSE(QFile::exists(paths.privateDir + f)) << f.toStdString();
        EXPECT_TRUE(QFile::exists(paths.privateDir + "propriu.cfg"));
        EXPECT_EQ(dialogs.texts(), QStringList{"S-a setat configuratia implicita pentru tabelele din dialoguri"});
    }
}

TEST(LayoutFileLists, HoldTheListedFiles)
{
    EXPECT_EQ(MainFormLogic::movedLayoutFiles().size(), 18);
    EXPECT_EQ(MainFormLogic::deletedLayoutFiles().size(), 20);
    EXPECT_FALSE(MainFormLogic::movedLayoutFiles().contains("DocProf.cfg"));
    EXPECT_TRUE(MainFormLogic::deletedLayoutFiles().contains("offerc.cfg"));
    for (const QString& f : MainFormLogic::movedLayoutFiles())
        EXPECT_TRUE(MainFormLogic::deletedLayoutFiles().contains(f)) << f.toStdString();
}

// ---- version stamp ---------------------------------------------------------------

TEST_F(MainFormLogicTest, VersionStampInsertsTheRecordThenKeepsItCurrent)
{
    const QString dbDir = newDir("stamp");
    ctx->database.setDirectory(dbDir);
    ctx->database.createTable(*datastore::findTableDef("Versiune.db"));
    ASSERT_EQ(versionRecords(), 0);

    logic.stampVersion(); // empty table: one record is added
    EXPECT_EQ(versionRecords(), 1);
    EXPECT_EQ(versionStamp(), versionString());

    ctx->database.exec("UPDATE \"Versiune.db\" SET Ver = '0.9.0.0'");
    logic.stampVersion(); // an older program's stamp: the record is edited
    EXPECT_EQ(versionRecords(), 1);
    EXPECT_EQ(versionStamp(), versionString());

    logic.stampVersion(); // already current: nothing changes
    EXPECT_EQ(versionRecords(), 1);
}

TEST(VersionString, JoinsTheFourNumbersWithDots)
{
    EXPECT_EQ(versionString(), QString::asprintf("%d.%d.%d.%d", MIRAFEL_VERSION_MAJOR, MIRAFEL_VERSION_MINOR,
                                                 MIRAFEL_VERSION_RELEASE, MIRAFEL_VERSION_BUILD));
}

// ---- switching the database -------------------------------------------------------

TEST_F(MainFormLogicTest, SwitchIsRefusedWhileAChildWindowIsOpen)
{
    host.children = 1;
    logic.selectDatabase();
    EXPECT_EQ(dialogs.texts(), QStringList{"Inchideti toate ferestrele!"});
    EXPECT_EQ(dialogs.last().icon, common::Icon::Warning);
    EXPECT_EQ(host.openingWindows, 0);
    EXPECT_TRUE(host.picker.starts.isEmpty());
}

TEST_F(MainFormLogicTest, SwitchOpensTheNewDatabaseOrKeepsThePreviousOne)
{
    const QString first = newDir("prima");
    const QString second = newDir("a doua");
    host.picker.answers << first;
    ASSERT_TRUE(logic.startUp());
    const QString firstTitle = host.title;

    // Cancelled picker: the previous database stays, title unchanged.
    dialogs.clear();
    logic.selectDatabase();
    EXPECT_EQ(ctx->databaseDir, first + "/");
    EXPECT_EQ(ctx->database.directory(), first);
    EXPECT_EQ(host.title, firstTitle);
    EXPECT_TRUE(dialogs.messages.isEmpty());

    // Failed validation: "No" to creating a database, then the picker is cancelled.
    const QString third = newDir("goala");
    host.picker.answers << third;
    dialogs.queueAnswer(common::Answer::No);
    logic.selectDatabase();
    EXPECT_EQ(ctx->databaseDir, first + "/");
    EXPECT_EQ(ctx->database.directory(), first);
    EXPECT_EQ(host.title, firstTitle);
    ASSERT_FALSE(dialogs.messages.isEmpty());
    EXPECT_TRUE(dialogs.last().text.startsWith("Nu pot crea baza de date!\r"));
    EXPECT_EQ(settings.value("LastDatabaseDir").toString(), first);

    // Success: the new directory with the switch title.
    dialogs.clear();
    host.picker.answers << second;
    logic.selectDatabase();
    EXPECT_EQ(ctx->databaseDir, second + "/");
    EXPECT_EQ(host.title, "Gestiune de stocuri - " + second + "/");
    EXPECT_EQ(settings.value("LastDatabaseDir").toString(), second);
}

// ---- integrity of the database ------------------------------------------------------

// The structure of a damaged file validates; the engine's check, run in the
// background after the opening, tells the user plainly and what to do, at
// every start until the database is restored. A sound database is checked once a day.
TEST_F(MainFormLogicTest, ADamagedDatabaseIsReportedAfterTheOpening)
{
    const QString dbDir = newDir("stricata");
    qint64 root = 0;
    {
        datastore::Database db;
        db.setDirectory(dbDir);
        for (const datastore::TableDef& def : datastore::databaseTables())
            db.createTable(def);
        root = db.scalar("SELECT rootpage FROM sqlite_master WHERE type = 'table' AND name = 'Catalog'").toLongLong();
    }
    ASSERT_TRUE(testsupport::zeroDatabasePage(dbDir + "/gestiune.db", root));

    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE(start);
        dialogs.clear();
        host.picker.answers << dbDir;
        MainFormLogic window(*ctx, host);
        ASSERT_TRUE(window.startUp()) << dialogs.texts().join(" | ").toStdString();
        EXPECT_TRUE(dialogs.messages.isEmpty()) << "the opening does not wait for the check";
        EXPECT_TRUE(window.integrityCheck().running());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.messages.isEmpty(); }, 20000));
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_EQ(dialogs.last().icon, common::Icon::Error);
        EXPECT_TRUE(dialogs.last().text.startsWith("Baza de date din directorul " + QDir::toNativeSeparators(dbDir)
                                                   + " este deteriorata!\r"))
            << dialogs.last().text.toStdString();
        EXPECT_TRUE(dialogs.last().text.contains("restaurati baza de date dintr-o salvare"));
        EXPECT_FALSE(datastore::lastSoundCheck(dbDir).isValid());
    }
}

// A file damaged where the opening reads first (its header) ends the opening
// with the same plain message.
TEST_F(MainFormLogicTest, ADatabaseDamagedAtItsHeaderEndsTheOpeningPlainly)
{
    const QString dbDir = newDir("antet");
    {
        datastore::Database db;
        db.setDirectory(dbDir);
        for (const datastore::TableDef& def : datastore::databaseTables())
            db.createTable(def);
    }
    ASSERT_TRUE(testsupport::zeroDatabasePage(dbDir + "/gestiune.db", 1));

    host.picker.answers << dbDir;
    EXPECT_FALSE(logic.startUp());
    EXPECT_EQ(logic.failedStep(), 9);
    EXPECT_EQ(host.title, "Gestiune de stocuri");
    ASSERT_EQ(dialogs.messages.size(), 1) << dialogs.texts().join(" | ").toStdString();
    EXPECT_TRUE(dialogs.last().text.startsWith("Baza de date din directorul " + QDir::toNativeSeparators(dbDir)
                                               + " este deteriorata!\r"))
        << dialogs.last().text.toStdString();

    // Switching to it keeps the database that was open.
    const QString good = newDir("buna");
    dialogs.clear();
    host.picker.answers << good;
    logic.selectDatabase();
    ASSERT_EQ(ctx->databaseDir, good + "/");
    dialogs.clear();
    host.picker.answers << dbDir;
    EXPECT_THROW(logic.selectDatabase(), datastore::EDBValidate);
    EXPECT_EQ(ctx->databaseDir, good + "/");
    EXPECT_EQ(ctx->database.directory(), good);
}

TEST_F(MainFormLogicTest, ASoundDatabaseIsCheckedOnceADay)
{
    const QString dbDir = newDir("buna");
    host.picker.answers << dbDir;
    ASSERT_TRUE(logic.startUp()); // creates the database (the question is answered yes)
    dialogs.clear();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !logic.integrityCheck().running(); }, 20000));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(datastore::lastSoundCheck(dbDir), QDate::currentDate());

    // The next opening that day does not check again.
    host.picker.answers << dbDir;
    logic.selectDatabase();
    EXPECT_EQ(ctx->databaseDir, dbDir + "/");
    EXPECT_FALSE(logic.integrityCheck().running());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

// ---- background picture ------------------------------------------------------------

TEST_F(MainFormLogicTest, BackgroundPictureLoadsOrBeepsOnce)
{
    const QString good = home.file("fundal.png");
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(QColor(Qt::darkCyan));
    ASSERT_TRUE(image.save(good));

    struct Case {
        const char* name;
        std::optional<QString> path;
        int beeps;
        QSize size;
    };
    const std::vector<Case> cases{
        {"no option: plain colour", std::nullopt, 0, QSize(0, 0)},
        {"missing file: one beep", home.file("lipsa.bmp"), 1, QSize(0, 0)},
        {"picture loaded", good, 0, QSize(8, 6)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        ctx->ini.deleteKey("Options", "ImageBackground");
        if (c.path)
            ctx->ini.writeString("Options", "ImageBackground", *c.path);
        logic.loadBackgroundPicture();
        EXPECT_EQ(dialogs.beeps, c.beeps);
        EXPECT_EQ(host.picture.size(), c.size);
        EXPECT_TRUE(dialogs.messages.isEmpty());
    }
}

// ---- exit -----------------------------------------------------------------------------

TEST_F(MainFormLogicTest, ShutDownWritesTheCheckMarksAsOneAndZero)
{
    int printSettingsWritten = 0;
    logic.hooks.writePrintSettings = [&] { ++printSettingsWritten; };
    logic.toolbarChecked = true;
    logic.germanReportsChecked = false;
    logic.shutDown();
    common::IniFile reread(paths.iniFile);
    EXPECT_EQ(reread.readString("Options", "Toolbar"), "1");
    EXPECT_EQ(reread.readString("Options", "Germana"), "0");
    EXPECT_EQ(printSettingsWritten, 1);
}

// ---- error report -----------------------------------------------------------------------

TEST(ReportException, KeyViolationsBecomeTheDuplicateWarning)
{
    struct Case {
        const char* name;
        std::function<void()> raise;
        common::Icon icon;
        QString text;
    };
    const std::vector<Case> cases{
        {"key violation",
         [] { throw datastore::DbError(datastore::DbErrorKind::KeyViolation, "UNIQUE constraint failed"); },
         common::Icon::Warning,
         "Atentie! Inregistrare duplicata! Stergeti înregistrarea curenta sau modificati cîmpurile care îi "
         "confera unicitate!"},
        {"another workstation holds the database",
         [] { throw datastore::DbError(datastore::DbErrorKind::Busy, "database is locked"); },
         common::Icon::Warning, datastore::busyMessage()},
        {"other engine error", [] { throw datastore::DbError(datastore::DbErrorKind::Io, "disk I/O error"); },
         common::Icon::Error, "disk I/O error"},
        {"validation error", [] { throw datastore::EDBValidate("Tabela Stoc.DB nu exista!"); },
         common::Icon::Error, "Tabela Stoc.DB nu exista!"},
        {"standard exception", [] { throw std::runtime_error("Fișier lipsă"); }, common::Icon::Error,
         "Fișier lipsă"},
        {"anything else", [] { throw 42; }, common::Icon::Error, "Eroare neprevazuta."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        common::ScriptedDialogs dialogs;
        EXPECT_FALSE(runReported(dialogs, c.raise));
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_EQ(dialogs.last().icon, c.icon);
        EXPECT_EQ(dialogs.last().text, c.text);
    }

    common::ScriptedDialogs quiet;
    EXPECT_TRUE(runReported(quiet, [] {}));
    EXPECT_TRUE(quiet.messages.isEmpty());
}
