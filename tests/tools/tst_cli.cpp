// The command-line companion: create, check and describe a database directory.

#include "datastore/database.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
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
