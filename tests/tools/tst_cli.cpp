// The command-line companion: create, check and describe a database directory.

#include "datastore/database.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct CliRun {
    int code;
    QString out;
    QString err;
};

CliRun cli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(MIRAFEL_CLI_PATH), args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

QString golden(const QString& name)
{
    QFile f(QStringLiteral(MIRAFEL_GOLDEN_DIR) + u'/' + name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    return QString::fromUtf8(f.readAll());
}

} // namespace

TEST(Cli, CreateCheckAndDescribeANewDatabase)
{
    testsupport::TempDir tmp;
    const QString dir = tmp.file("db");

    const CliRun created = cli({"create", dir});
    EXPECT_EQ(created.code, 0) << created.err.toStdString();
    EXPECT_TRUE(created.out.contains("Nu exista o baza de date valida in directorul")) << created.out.toStdString();
    EXPECT_TRUE(QFile::exists(dir + "/gestiune.db"));

    const CliRun checked = cli({"check", dir});
    EXPECT_EQ(checked.code, 0) << checked.out.toStdString() << checked.err.toStdString();
    EXPECT_TRUE(checked.out.contains("Validez baza de date...")) << checked.out.toStdString();

    // The whole catalog as read back from the new database. Update the
    // reference only on purpose: `mirafel-cli describe DIR > tests/golden/describe.txt`.
    const CliRun described = cli({"describe", dir});
    EXPECT_EQ(described.code, 0);
    EXPECT_EQ(described.out.toStdString(), golden("describe.txt").toStdString());

    const CliRun one = cli({"describe", dir, "stoc"});
    EXPECT_EQ(one.code, 0);
    EXPECT_TRUE(one.out.startsWith("table\tStoc.DB\nfield\tStoc.DB\t1\tCod_gestiune\ttext\t4\toptional\n"))
        << one.out.toStdString();
}

TEST(Cli, FailuresAndUsage)
{
    testsupport::TempDir tmp;

    // An empty directory is not a database: check declines to create one.
    const CliRun empty = cli({"check", tmp.path()});
    EXPECT_EQ(empty.code, 1);
    EXPECT_TRUE(empty.out.contains("Nu pot valida baza de date!")) << empty.out.toStdString();
    EXPECT_FALSE(QFile::exists(tmp.file("gestiune.db")));

    // A table whose field has the wrong size fails validation with its message.
    ASSERT_EQ(cli({"create", tmp.path()}).code, 0);
    {
        datastore::Database db;
        db.setDirectory(tmp.path());
        db.exec("DROP TABLE Gest");
        db.exec("CREATE TABLE \"Gest.db\" (Cod char(5), Denumire char(30), Gestionar char(100), PRIMARY KEY (Cod))");
    }
    const CliRun broken = cli({"check", tmp.path()});
    EXPECT_EQ(broken.code, 1);
    EXPECT_TRUE(broken.out.contains(QString::fromUtf8("Cîmp invalid (Cod) în tabela Gest.db!"))) << broken.out.toStdString();

    EXPECT_EQ(cli({"--help"}).code, 0);
    EXPECT_TRUE(cli({"--help"}).out.contains("describe DIR [TABLE]"));
    EXPECT_EQ(cli({}).code, 2);
    EXPECT_EQ(cli({"frobnicate"}).code, 2);
    EXPECT_EQ(cli({"describe", tmp.file("missing")}).code, 1);
    EXPECT_EQ(cli({"describe", tmp.path(), "NoSuchTable"}).code, 1);
}

// A file whose table pages are damaged still has the right structure: check
// must run the engine's own check, fail with a plain message and leave the
// file as it was (the opening steps never run on it).
TEST(Cli, CheckFindsADamagedDatabaseAndLeavesItUntouched)
{
    struct Case { const char* what; bool header; };
    const Case cases[] = {{"the root page of Catalog zeroed", false}, {"the header page zeroed", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::TempDir tmp;
        ASSERT_EQ(cli({"create", tmp.path()}).code, 0);
        qint64 page = 1;
        {
            datastore::Database db;
            db.setDirectory(tmp.path());
            db.exec("INSERT INTO \"Catalog.DB\" (Grupa, Cod, Denumire) VALUES ('G1', 'A1', 'Faina')");
            if (!c.header)
                page = db.scalar("SELECT rootpage FROM sqlite_master WHERE type = 'table' AND name = 'Catalog'").toLongLong();
        }
        ASSERT_TRUE(testsupport::zeroDatabasePage(tmp.file("gestiune.db"), page));
        QFile file(tmp.file("gestiune.db"));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();

        const CliRun damaged = cli({"check", tmp.path()});
        EXPECT_EQ(damaged.code, 1);
        EXPECT_TRUE(damaged.out.contains("error: Baza de date din directorul " + QDir::toNativeSeparators(tmp.path())
                                         + " este deteriorata!"))
            << damaged.out.toStdString();
        EXPECT_TRUE(damaged.out.contains("restaurati baza de date dintr-o salvare")) << damaged.out.toStdString();
        EXPECT_FALSE(damaged.out.contains("Validez baza de date...")) << "nothing runs on a damaged file";
        EXPECT_FALSE(damaged.out.contains("OK:"));
        EXPECT_TRUE(damaged.err.contains("Failed.")) << damaged.err.toStdString();

        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), before);
    }
}

// A folder that cannot be reached is an access error, never "no database".
// (Run as root, permission bits stop nothing: a path through a regular file
// and a dangling link stand for a folder that cannot be read.)
TEST(Cli, CheckReportsAnInaccessibleDirectoryOrFile)
{
    testsupport::TempDir tmp;
    QFile plain(tmp.file("plain.txt"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    QDir().mkpath(tmp.file("dangling"));
    ASSERT_TRUE(QFile::link(tmp.file("share/gestiune.db"), tmp.file("dangling/gestiune.db")));

    struct Case { const char* what; QString dir; const char* message; };
    const Case cases[] = {
        {"a path through a regular file", tmp.file("plain.txt/db"), "error: Directorul bazei de date "},
        {"a dangling link as the database file", tmp.file("dangling"), "error: Fisierul bazei de date "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const char* command : {"check", "create"}) {
            const CliRun run = cli({command, c.dir});
            EXPECT_EQ(run.code, 1) << command;
            EXPECT_TRUE(run.out.contains(c.message)) << command << ": " << run.out.toStdString() << run.err.toStdString();
            EXPECT_FALSE(run.out.contains("Doriti crearea uneia noi?")) << command;
        }
    }
    EXPECT_FALSE(QFileInfo::exists(tmp.file("share")));
}

TEST(Cli, StockIsComparedWithTheDocuments)
{
    testsupport::TempDir tmp;
    const QString dir = tmp.file("db");
    ASSERT_EQ(cli({"create", dir}).code, 0);
    {
        datastore::Database db;
        db.setDirectory(dir);
        db.exec("INSERT INTO DOC_IN (Contor, Tip) VALUES (1, 'FCT'), (-1, 'XXX')");
        db.exec("INSERT INTO DOC_OUT (Contor, Tip) VALUES (1, 'BMC')");
        db.exec("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie_lei, "
                "Cantitate) VALUES (1, 1, 'A', 'G', 'ART', 5, 10), (1, 2, 'A', 'G', 'ART', 5, 2), (-1, 1, 'A', 'G', 'PIX', 1, 3)");
        db.exec("INSERT INTO ITEM_OUT (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, "
                "Cantitate) VALUES (1, 1, 'A', 'G', 'ART', 5, 4)");
        db.exec("INSERT INTO STOC (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Cantitate) VALUES "
                "('A', 'G', 'ART', 5, 8), ('A', 'G', 'PIX', 1, 3)");
    }
    const CliRun sound = cli({"stock", dir});
    EXPECT_EQ(sound.code, 0) << sound.err.toStdString();
    EXPECT_EQ(sound.out.toStdString(), "stock\tA\tG\tART\t5\t\t\t8\t8\n"
                                       "stock\tA\tG\tPIX\t1\t\t\t3\t3\n"
                                       "OK: stocul corespunde documentelor (2 chei).\n");
    {
        datastore::Database db;
        db.setDirectory(dir);
        db.exec("UPDATE STOC SET Cantitate = 7 WHERE Cod_articol = 'ART'");
    }
    const CliRun differs = cli({"stock", dir});
    EXPECT_EQ(differs.code, 1);
    EXPECT_TRUE(differs.out.contains("stock\tA\tG\tART\t5\t\t\t7\t8\tDIFERENTA\n")) << differs.out.toStdString();
    EXPECT_EQ(cli({"stock", tmp.file("nothing")}).code, 1);
}
