// mirafel-cli copy, and the commands on a directory whose tables live on the
// PostgreSQL server (skipped without MIRAFEL_PG_SOCKET_DIR).

#include "clirun.h"
#include "datastore/database.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

QString golden(const QString& name)
{
    QFile f(QStringLiteral(MIRAFEL_GOLDEN_DIR) + u'/' + name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    return QString::fromUtf8(f.readAll());
}

// "table rows" for every table of the directory's database.
QStringList rowCounts(const QString& dir)
{
    datastore::Database db;
    db.setDirectory(dir);
    QStringList counts;
    for (const QString& table : db.tableNames())
        counts << table + u' ' + db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(table)).toString();
    return counts;
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The same reports, as text, of two directories.
void expectSameReports(const QString& a, const QString& b)
{
    const QStringList reports[] = {{"stock-at-date", "--date", "2020-06-30"},
                                   {"balance", "--from", "2019-01-01", "--to", "2019-12-31"},
                                   {"inventory-list", "--date", "2021-12-31"}};
    for (const QStringList& report : reports) {
        SCOPED_TRACE(report.join(u' ').toStdString());
        const CliRun first = cli(QStringList{"report", a} + report + QStringList{"--text"});
        const CliRun second = cli(QStringList{"report", b} + report + QStringList{"--text"});
        EXPECT_EQ(first.code, 0) << first.err.toStdString();
        EXPECT_GT(first.out.size(), 1000);
        EXPECT_EQ(second.out.toStdString(), first.out.toStdString());
    }
}

const QStringList kGenerate = {"--lines", "300", "--articles", "30", "--warehouses", "2"};

} // namespace

// From SQLite to the server and back: the same tables, definitions, rows and
// reports; a second copy onto the server's tables is refused and changes nothing.
TEST(CliCopy, ThroughTheServerAndBack)
{
    if (testsupport::ServerSchema::socketDir().isEmpty())
        GTEST_SKIP() << "no PostgreSQL cluster (MIRAFEL_PG_SOCKET_DIR)";
    testsupport::TempDir tmp;
    const QString local = tmp.file("local");
    const QString server = tmp.file("server");
    const QString back = tmp.file("back");
    ASSERT_EQ(cli(QStringList{"generate", local} + kGenerate).code, 0);
    QDir().mkpath(server);
    testsupport::ServerSchema schema;
    schema.useIn(server);

    const CliRun up = cli({"copy", local, server});
    ASSERT_EQ(up.code, 0) << up.out.toStdString() << up.err.toStdString();
    EXPECT_TRUE(up.out.contains("Item_in.DB: 199 rinduri\n")) << up.out.toStdString();
    EXPECT_TRUE(up.out.contains("rinduri copiate in ")) << up.out.toStdString();
    EXPECT_TRUE(up.out.contains("stocul corespunde documentelor (")) << up.out.toStdString();
    const CliRun down = cli({"copy", server, back});
    ASSERT_EQ(down.code, 0) << down.out.toStdString() << down.err.toStdString();
    EXPECT_TRUE(QFile::exists(back + "/gestiune.db"));

    const QString described = cli({"describe", local}).out;
    EXPECT_EQ(cli({"describe", server}).out.toStdString(), described.toStdString());
    EXPECT_EQ(cli({"describe", back}).out.toStdString(), described.toStdString());
    const QStringList counts = rowCounts(local);
    EXPECT_EQ(rowCounts(server), counts);
    EXPECT_EQ(rowCounts(back), counts);
    expectSameReports(local, back);
    for (const QString& dir : {server, back}) {
        const CliRun verified = cli({"verify", dir});
        EXPECT_EQ(verified.code, 0) << verified.out.toStdString();
    }

    const CliRun again = cli({"copy", local, server});
    EXPECT_EQ(again.code, 1);
    EXPECT_TRUE(again.out.contains("contine deja o baza de date")) << again.out.toStdString();
    EXPECT_TRUE(again.out.contains("Directorul destinatie a ramas neschimbat.")) << again.out.toStdString();
    EXPECT_EQ(rowCounts(server), counts);
}

// Between two local directories; the checks of the copy; the refusals.
TEST(CliCopy, LocalCopyAndRefusals)
{
    testsupport::TempDir tmp;
    const QString source = tmp.file("source");
    const QString copy = tmp.file("copy");
    ASSERT_EQ(cli(QStringList{"generate", source} + kGenerate).code, 0);
    {
        QFile footer(source + "/INVFOOT.TXT");
        ASSERT_TRUE(footer.open(QIODevice::WriteOnly));
        footer.write("Va multumim!\n");
    }

    const CliRun copied = cli({"copy", source, copy});
    ASSERT_EQ(copied.code, 0) << copied.out.toStdString() << copied.err.toStdString();
    EXPECT_EQ(fileBytes(copy + "/INVFOOT.TXT"), "Va multumim!\n") << "the directory's other files come along";
    EXPECT_EQ(cli({"describe", copy}).out, cli({"describe", source}).out);
    EXPECT_EQ(rowCounts(copy), rowCounts(source));
    expectSameReports(source, copy);

    // A target holding a database is refused and keeps its file as it was.
    const QByteArray before = fileBytes(copy + "/gestiune.db");
    ASSERT_FALSE(before.isEmpty());
    const CliRun occupied = cli({"copy", source, copy});
    EXPECT_EQ(occupied.code, 1);
    EXPECT_TRUE(occupied.out.contains("error: Directorul destinatie " + QDir::toNativeSeparators(copy)
                                      + " contine deja o baza de date (")) << occupied.out.toStdString();
    EXPECT_EQ(fileBytes(copy + "/gestiune.db"), before);

    // A source whose stock already differs from its documents is copied as it
    // is, with a warning: the copy differs in the same keys.
    {
        datastore::Database db;
        db.setDirectory(source);
        db.exec("UPDATE STOC SET Cantitate = Cantitate + 1 WHERE Cod_articol = (SELECT MIN(Cod_articol) FROM STOC)");
    }
    const CliRun differing = cli({"copy", source, tmp.file("differing")});
    EXPECT_EQ(differing.code, 0) << differing.out.toStdString();
    EXPECT_TRUE(differing.out.contains("Atentie: stocul difera de documente la ")) << differing.out.toStdString();

    // A damaged source: nothing is made.
    qint64 page = 0;
    {
        datastore::Database db;
        db.setDirectory(source);
        page = db.scalar("SELECT rootpage FROM sqlite_master WHERE type = 'table' AND name = 'Item_in'").toLongLong();
    }
    ASSERT_TRUE(testsupport::zeroDatabasePage(source + "/gestiune.db", page));
    const CliRun damaged = cli({"copy", source, tmp.file("fromdamaged")});
    EXPECT_EQ(damaged.code, 1);
    EXPECT_TRUE(damaged.out.contains("este deteriorata")) << damaged.out.toStdString();
    EXPECT_FALSE(QFile::exists(tmp.file("fromdamaged")));

    // A server that cannot be reached, on either side; no source at all.
    const QString unreachable = tmp.file("unreachable");
    QDir().mkpath(unreachable);
    {
        QFile file(unreachable + "/gestiune.pg");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("host=" + tmp.file("no-socket-here").toUtf8() + "\ndatabase=mirafel\nschema=s\n");
    }
    struct Case { const char* what; QString from; QString to; const char* message; };
    const Case cases[] = {
        {"to an unreachable server", copy, unreachable, "error: Copierea bazei de date a esuat: "},
        {"from an unreachable server", unreachable, tmp.file("x"), "error: Nu pot citi baza de date din directorul "},
        {"no source", tmp.file("nothing"), tmp.file("x"), "error: Directorul bazei de date "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CliRun run = cli({"copy", c.from, c.to});
        EXPECT_EQ(run.code, 1);
        EXPECT_TRUE(run.out.contains(QLatin1String(c.message))) << run.out.toStdString();
        EXPECT_TRUE(run.out.endsWith("Directorul destinatie a ramas neschimbat.\n")) << run.out.toStdString();
    }
    EXPECT_EQ(QDir(unreachable).entryList(QDir::Files), QStringList{"gestiune.pg"});
    EXPECT_FALSE(QFile::exists(tmp.file("x")));
    EXPECT_EQ(cli({"copy", source}).code, 2);
    EXPECT_TRUE(cli({"--help"}).out.contains("copy FROM TO"));
}

// The administrator's commands on a directory whose tables live on the server.
TEST(CliServer, CreateCheckDescribeVerifyAndStock)
{
    if (testsupport::ServerSchema::socketDir().isEmpty())
        GTEST_SKIP() << "no PostgreSQL cluster (MIRAFEL_PG_SOCKET_DIR)";
    testsupport::TempDir tmp;
    testsupport::ServerSchema schema;
    schema.useIn(tmp.path());

    const CliRun created = cli({"create", tmp.path()});
    EXPECT_EQ(created.code, 0) << created.out.toStdString() << created.err.toStdString();
    EXPECT_FALSE(QFile::exists(tmp.file("gestiune.db")));
    EXPECT_EQ(cli({"describe", tmp.path()}).out.toStdString(), golden("describe.txt").toStdString());

    const CliRun checked = cli({"check", tmp.path()});
    EXPECT_EQ(checked.code, 0) << checked.out.toStdString() << checked.err.toStdString();
    EXPECT_TRUE(checked.out.contains("Validez baza de date...")) << checked.out.toStdString();

    {
        datastore::Database db;
        db.setDirectory(tmp.path());
        db.exec("INSERT INTO DOC_IN (Contor, Tip, Numar) VALUES (1, 'FCT', 7)");
        db.exec("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie_lei, "
                "Cantitate) VALUES (1, 1, 'A', 'G', 'ART', 5, 10)");
        db.exec("INSERT INTO STOC (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Cantitate) VALUES ('A', 'G', 'ART', 5, 10)");
        db.exec("INSERT INTO COUNTER (NewCounterIn) VALUES (1)");
        db.exec("INSERT INTO \"Fctser.DB\" (Contor, Serie, Number) VALUES (1, 'F', 3), (2, 'F', 3)");
    }
    EXPECT_EQ(cli({"stock", tmp.path()}).out.toStdString(), "stock\tA\tG\tART\t5\t\t\t10\t10\nOK: stocul corespunde documentelor (1 chei).\n");
    const CliRun verified = cli({"verify", tmp.path()});
    EXPECT_EQ(verified.code, 1);
    EXPECT_TRUE(verified.out.contains("Numere de serie date de doua ori (1):\n  Factura seria F numarul 3: data de 2 ori (contoarele 1, 2)"))
        << verified.out.toStdString();
    EXPECT_FALSE(verified.out.contains("Stocuri diferite")) << verified.out.toStdString();
}
