// The command-line companion: create, check and describe a database directory.

#include "clirun.h"
#include "common/inifile.h"
#include "datastore/database.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

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

// A small generated database is one that check and verify accept, with
// documents of both kinds, the initial stock and a stock that matches them;
// the same seed gives the same database.
TEST(Cli, GenerateGivesADatabaseThatCheckAndVerifyAccept)
{
    testsupport::TempDir tmp;
    const QString dir = tmp.file("gen");
    const CliRun generated = cli({"generate", dir, "--lines", "3000", "--articles", "60", "--warehouses", "2", "--seed", "7"});
    ASSERT_EQ(generated.code, 0) << generated.out.toStdString() << generated.err.toStdString();
    EXPECT_TRUE(generated.out.contains("Recalcularea stocurilor curente s-a efectuat cu succes!")) << generated.out.toStdString();

    const CliRun checked = cli({"check", dir});
    EXPECT_EQ(checked.code, 0) << checked.out.toStdString() << checked.err.toStdString();
    const CliRun verified = cli({"verify", dir});
    EXPECT_EQ(verified.code, 0) << verified.out.toStdString();
    EXPECT_TRUE(verified.out.endsWith("OK: baza de date este integra.\n")) << verified.out.toStdString();

    {
        datastore::Database db;
        db.setDirectory(dir);
        const auto count = [&](const char* sql) { return db.scalar(QString::fromLatin1(sql)).toLongLong(); };
        EXPECT_EQ(count("SELECT COUNT(*) FROM ITEM_IN") + count("SELECT COUNT(*) FROM ITEM_OUT"), 3000);
        EXPECT_GT(count("SELECT COUNT(*) FROM ITEM_IN WHERE Contor = -1"), 0);
        EXPECT_EQ(count("SELECT COUNT(*) FROM DOC_IN WHERE Contor = -1 AND Tip = 'XXX'"), 1);
        const double outputs = count("SELECT COUNT(*) FROM ITEM_OUT");
        EXPECT_NEAR(outputs / count("SELECT COUNT(*) FROM ITEM_IN"), 0.5, 0.05);
        EXPECT_EQ(count("SELECT COUNT(*) FROM CATALOG"), 60);
        EXPECT_EQ(count("SELECT COUNT(*) FROM \"Gest.db\""), 2);
        EXPECT_GT(count("SELECT COUNT(*) FROM ITEM_IN WHERE Lot IS NOT NULL"), 0);
        EXPECT_GT(count("SELECT COUNT(*) FROM ITEM_OUT WHERE Agent IS NOT NULL"), 0);
        EXPECT_LE(count("SELECT MAX(n) FROM (SELECT COUNT(*) AS n FROM ITEM_IN WHERE Contor > 0 GROUP BY Contor)"), 30);
        EXPECT_EQ(count("SELECT COUNT(*) FROM STOC WHERE Cantitate < 0"), 0);
        EXPECT_GT(count("SELECT COUNT(*) FROM STOC"), 0);
        EXPECT_EQ(count("SELECT COUNT(DISTINCT strftime('%Y', Data_inregistrarii)) FROM DOC_IN WHERE Contor > 0"), 10);
    }

    const QString again = tmp.file("again");
    ASSERT_EQ(cli({"generate", again, "--lines", "3000", "--articles", "60", "--warehouses", "2", "--seed", "7"}).code, 0);
    EXPECT_EQ(cli({"stock", again}).out, cli({"stock", dir}).out);

    // Never over an existing database; wrong arguments are wrong usage.
    const CliRun over = cli({"generate", dir, "--lines", "10"});
    EXPECT_EQ(over.code, 1);
    EXPECT_TRUE(over.out.contains("contine deja o baza de date")) << over.out.toStdString();
    EXPECT_EQ(cli({"generate", tmp.file("x")}).code, 2);
    EXPECT_EQ(cli({"generate", tmp.file("x"), "--lines", "0"}).code, 2);
    EXPECT_EQ(cli({"generate", tmp.file("x"), "--lines", "5", "--colors", "3"}).code, 2);
    EXPECT_FALSE(QFileInfo::exists(tmp.file("x")));
}

// The same seed written into a server schema gives the database the SQLite
// file holds: the same structure, the same stock rows next to the documents,
// the same verdict of verify; a schema that holds tables is never written over.
TEST(Cli, GenerateOnTheServerGivesTheSameDatabase)
{
    if (testsupport::ServerSchema::socketDir().isEmpty())
        GTEST_SKIP() << "MIRAFEL_PG_SOCKET_DIR names no PostgreSQL cluster";
    testsupport::TempDir tmp;
    const QString file = tmp.file("file");
    const QString server = tmp.file("server");
    ASSERT_TRUE(QDir().mkpath(server));
    testsupport::ServerSchema schema;
    schema.useIn(server);
    const QStringList options{"--lines", "3000", "--articles", "60", "--warehouses", "2", "--seed", "7"};
    ASSERT_EQ(cli(QStringList{"generate", file} + options).code, 0);
    const CliRun generated = cli(QStringList{"generate", server} + options);
    ASSERT_EQ(generated.code, 0) << generated.out.toStdString() << generated.err.toStdString();
    EXPECT_TRUE(generated.out.contains("Recalcularea stocurilor curente s-a efectuat cu succes!")) << generated.out.toStdString();

    for (const char* command : {"describe", "stock", "verify"}) {
        const CliRun onFile = cli({command, file});
        const CliRun onServer = cli({command, server});
        EXPECT_EQ(onServer.code, onFile.code) << command << ": " << onServer.err.toStdString();
        // The integrity lines name what was checked: the file or the server's tables.
        QString serverOut = onServer.out;
        serverOut.replace("Verific integritatea tabelelor de pe server...", "Verific integritatea fisierului bazei de date...")
            .replace("Tabelele de pe server sunt intacte.", "Fisierul bazei de date este intact.");
        EXPECT_EQ(serverOut, onFile.out) << command;
    }
    EXPECT_TRUE(cli({"verify", server}).out.endsWith("OK: baza de date este integra.\n"));

    const CliRun over = cli({"generate", server, "--lines", "10"});
    EXPECT_EQ(over.code, 1);
    EXPECT_TRUE(over.out.contains("contine deja o baza de date")) << over.out.toStdString();
}

// verify on a small database broken by hand: every kind of fault is reported
// under its heading and the exit code says so; recalc repairs the stock.
TEST(Cli, VerifyReportsEachFaultAndRecalcRepairsTheStock)
{
    testsupport::TempDir tmp;
    const QString dir = tmp.file("db");
    ASSERT_EQ(cli({"generate", dir, "--lines", "400", "--articles", "20", "--warehouses", "1"}).code, 0);
    {
        datastore::Database db;
        db.setDirectory(dir);
        db.exec("DELETE FROM STOC WHERE rowid IN (SELECT rowid FROM STOC LIMIT 2)");
        db.exec("DELETE FROM DOC_IN WHERE Contor = 3");
        db.exec("INSERT INTO DOC_OUT (Contor, Tip, Numar) VALUES (9000, 'BMC', 12)");
        db.exec("UPDATE COUNTER SET NewCounterIn = 1");
        db.exec("INSERT INTO \"Aeser.DB\" (Contor, Serie, Number) VALUES (1, 'AE', 5), (2, 'AE', 5)");
    }
    const CliRun broken = cli({"verify", dir});
    EXPECT_EQ(broken.code, 1);
    for (const char* expected : {"Stocuri diferite de documente (", "Linii fara antet de document (1):\n  Document de intrare, contor 3: ",
                                 "Documente fara linii (1):\n  Document de iesire, contor 9000 (BMC 12): nu are linii",
                                 "Contoare mai mici decit cel mai mare document (2):\n  NewCounterIn = 1 in Counter.DB",
                                 "NewCounterOut = ", "Numere de serie date de doua ori (1):\n  Avizul de expeditie seria AE numarul 5: data de 2 ori (contoarele 1, 2)",
                                 "Probleme gasite: "})
        EXPECT_TRUE(broken.out.contains(QString::fromLatin1(expected))) << expected << "\n" << broken.out.toStdString();

    const CliRun recalc = cli({"recalc", dir});
    EXPECT_EQ(recalc.code, 0) << recalc.out.toStdString();
    EXPECT_TRUE(recalc.out.contains("Terminat cu succes...")) << recalc.out.toStdString();
    const CliRun after = cli({"verify", dir});
    EXPECT_FALSE(after.out.contains("Stocuri diferite de documente")) << after.out.toStdString();
    EXPECT_TRUE(after.out.contains("Linii fara antet de document (1)")) << after.out.toStdString();

    // A damaged file: the engine's check, nothing else.
    qint64 page = 0;
    {
        datastore::Database db;
        db.setDirectory(dir);
        page = db.scalar("SELECT rootpage FROM sqlite_master WHERE type = 'table' AND name = 'Item_in'").toLongLong();
    }
    ASSERT_TRUE(testsupport::zeroDatabasePage(tmp.file("db/gestiune.db"), page));
    const CliRun damaged = cli({"verify", dir});
    EXPECT_EQ(damaged.code, 1);
    EXPECT_TRUE(damaged.out.contains("este deteriorata")) << damaged.out.toStdString();
    EXPECT_FALSE(damaged.out.contains("Compar stocurile")) << damaged.out.toStdString();

    EXPECT_EQ(cli({"verify", tmp.file("nothing")}).code, 1);
    EXPECT_EQ(cli({"recalc", tmp.file("nothing")}).code, 1);
}

TEST(Cli, PrintsAnInvoiceAsTextAndAsPdf)
{
    testsupport::TempDir tmp;
    const QString dir = tmp.file("db");
    ASSERT_EQ(cli({"create", dir}).code, 0);
    {
        datastore::Database db;
        db.setDirectory(dir);
        db.exec("INSERT INTO CLIENT (Cod_client, Nume_client) VALUES ('C1', 'Cantina Veche SRL')");
        db.exec("INSERT INTO CATALOG (Grupa, Cod, Denumire, Unitate_masura, Coef_TVA) VALUES ('G', 'A1', 'Faina', 'kg', 9)");
        db.exec("INSERT INTO DOC_OUT (Contor, Numar, Tip, Data, Client) VALUES (5, 41, 'FCT', '2026-04-02', 'C1')");
        db.exec("INSERT INTO ITEM_OUT (Contor, Contor_secundar, Cod_grupa, Cod_articol, Cantitate, Pret_vinzare, TVA) "
                "VALUES (5, 1, 'G', 'A1', 20, 3.5, 6.3)");
    }
    const CliRun text = cli({"print", dir, "--document", "5", "--kind", "invoice", "--series", "ABC 41", "--text"});
    EXPECT_EQ(text.code, 0) << text.err.toStdString();
    for (const char* expected : {"FACTURA", "Seria ABC 41", "Cantina Veche SRL", "Faina", "70,00", "76,30"})
        EXPECT_TRUE(text.out.contains(QString::fromLatin1(expected))) << expected << "\n" << text.out.toStdString();

    const CliRun receipt = cli({"print", dir, "--document", "5", "--kind", "invoice-with-receipt", "--receipt", "12",
                                "--text"});
    EXPECT_EQ(receipt.code, 0) << receipt.err.toStdString();
    EXPECT_TRUE(receipt.out.contains("CHITANTA NR. 12")) << receipt.out.toStdString();

    const QString pdf = tmp.file("factura.pdf");
    const CliRun printed = cli({"print", dir, "--document", "5", "--kind", "invoice", "--pdf", pdf});
    EXPECT_EQ(printed.code, 0) << printed.err.toStdString();
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5).startsWith("%PDF"));
}

// The notes through the command line: the explanation when asked, and the
// receipt note dated on its document's registration date unless --date says
// otherwise. Runs on the server too.
TEST(CliPrint, NotesTakeTheirExplanationAndDate)
{
    testsupport::TempDir tmp(testsupport::TempDir::Database);
    const QString dir = tmp.path();
    ASSERT_EQ(cli({"create", dir}).code, 0);
    {
        datastore::Database db;
        db.setDirectory(dir);
        db.exec("INSERT INTO CATALOG (Grupa, Cod, Denumire, Unitate_masura, Coef_TVA) VALUES ('G', 'A1', 'Faina', 'kg', 9)");
        db.exec("INSERT INTO DOC_OUT (Contor, Data_inregistrarii, Numar, Tip, Data, Explicatie) "
                "VALUES (5, '2026-04-04', 9, 'BMC', '2026-04-04', 'Consum luna aprilie')");
        db.exec("INSERT INTO ITEM_OUT (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
                "Pret_achizitie, TVA) VALUES (5, 1, 'A', 'G', 'A1', 20, 3.5, 6.3)");
        db.exec("INSERT INTO DOC_IN (Contor, Data_inregistrarii, Numar, Tip, Data) VALUES (6, '2026-03-10', 4711, 'FCT', '2026-03-09')");
        db.exec("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
                "Pret_achizitie_lei, TVA) VALUES (6, 1, 'A', 'G', 'A1', 20, 3.5, 6.3)");
    }
    const struct {
        QStringList args;
        const char* expected;  // printed
        const char* absent;    // not printed (nullptr: nothing to check)
    } cases[] = {
        {{"--kind", "consumption-note", "--document", "5"}, "70,00", "Consum luna aprilie"},
        {{"--kind", "consumption-note", "--document", "5", "--explanation"}, "Consum luna aprilie", nullptr},
        {{"--kind", "hand-over-note", "--document", "5", "--explanation"}, "Consum luna aprilie", nullptr},
        {{"--kind", "receipt-note", "--document", "6"}, "Nr. : 6  din data 10.03.2026", nullptr},
        {{"--kind", "receipt-note", "--document", "6", "--date", "2026-03-12"}, "Nr. : 6  din data 12.03.2026",
         "10.03.2026"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const CliRun run = cli(QStringList{"print", dir, "--text"} + c.args);
        EXPECT_EQ(run.code, 0) << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(QString::fromLatin1(c.expected))) << run.out.toStdString();
        if (c.absent) {
            EXPECT_FALSE(run.out.contains(QString::fromLatin1(c.absent))) << run.out.toStdString();
        }
    }
    // A date that is no date is refused, not printed as an empty one.
    const CliRun wrong = cli({"print", dir, "--text", "--kind", "receipt-note", "--document", "6", "--date", "12.03.2026"});
    EXPECT_EQ(wrong.code, 2);
    EXPECT_TRUE(wrong.err.contains("--date")) << wrong.err.toStdString();
    EXPECT_TRUE(cli({"--help"}).out.contains("[--explanation]"));
}

// mirafel-cli report: any report without the windows, to text, PDF, CSV or HTML.
TEST(Cli, ReportRunsWithoutTheWindows)
{
    testsupport::TempDir tmp;
    const QString dir = tmp.file("gen");
    ASSERT_EQ(cli({"generate", dir, "--lines", "2000", "--articles", "40", "--warehouses", "2"}).code, 0);

    const CliRun text = cli({"report", dir, "inventory-list", "--date", "2020-06-30", "--text"});
    EXPECT_EQ(text.code, 0) << text.err.toStdString();
    EXPECT_TRUE(text.out.startsWith("--- pagina 1 ---")) << text.out.left(200).toStdString();
    EXPECT_TRUE(text.out.contains("Lista de inventariere"));
    EXPECT_TRUE(text.out.contains("Total general"));

    struct Output {
        const char* option;
        const char* file;
        const char* begins;
    };
    for (const Output& o : {Output{"--pdf", "r.pdf", "%PDF"}, Output{"--csv", "r.csv", "\xEF\xBB\xBF"},
                            Output{"--html", "r.html", "\xEF\xBB\xBF<html>"}}) {
        const CliRun run = cli({"report", dir, "stock-at-date", "--date", "2020-06-30", "--articles", "X/Y,Z/W",
                                o.option, tmp.file(o.file)});
        EXPECT_EQ(run.code, 0) << o.option << run.err.toStdString();
        QFile f(tmp.file(o.file));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << o.file;
        EXPECT_TRUE(f.read(16).startsWith(o.begins)) << o.file;
    }

    // The signature question: No unless --signatures asks for the
    // commission's signatures under every page.
    for (const bool signatures : {false, true}) {
        QStringList args{"report", dir, "inventory-list", "--date", "2020-06-30", "--text"};
        if (signatures)
            args << "--signatures";
        const CliRun run = cli(args);
        ASSERT_EQ(run.code, 0) << run.err.toStdString();
        EXPECT_EQ(run.out.contains("Data inventarierii"), signatures);
    }

    // No document for the warehouse: the message, no output.
    const CliRun early = cli({"report", dir, "inventory-list", "--warehouses", "99", "--text"});
    EXPECT_EQ(early.code, 1);
    EXPECT_TRUE(early.err.contains("Nu exista documente pentru gestiunea si data specificate!")) << early.err.toStdString();

    // Wrong usage.
    EXPECT_EQ(cli({"report", dir, "no-such-report", "--text"}).code, 2);
    EXPECT_EQ(cli({"report", dir, "inventory-list"}).code, 2);
    EXPECT_EQ(cli({"report", dir, "inventory-list", "--text", "--pdf", tmp.file("x.pdf")}).code, 2);
    EXPECT_EQ(cli({"report", dir, "inventory-list", "--date", "30.06.2020", "--text"}).code, 2);
    EXPECT_EQ(cli({"report", dir, "stock-at-date", "--articles", "nogroup", "--text"}).code, 2);
}

namespace {

// The MediaBox of the first page of a PDF file, in points ("0 0 595 842").
QString mediaBox(const QString& pdf)
{
    QFile f(pdf);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.readAll();
    const qsizetype at = bytes.indexOf("/MediaBox");
    if (at < 0)
        return {};
    const qsizetype open = bytes.indexOf('[', at);
    const qsizetype close = bytes.indexOf(']', open);
    return QString::fromLatin1(bytes.mid(open + 1, close - open - 1)).simplified();
}

bool landscape(const QString& box)
{
    const QStringList n = box.split(u' ');
    return n.size() == 4 && n[2].toDouble() > n[3].toDouble();
}

// A pre-printed form printed by the command line keeps its page in its
// layout file, as from the windows: margins, paper, band heights.
TEST(Cli, APrintedFormKeepsItsPageInItsLayoutFile)
{
    testsupport::TempDir tmp;
    const QString dir = tmp.file("db");
    ASSERT_EQ(cli({"create", dir}).code, 0);
    {
        datastore::Database db;
        db.setDirectory(dir);
        db.exec("INSERT INTO CATALOG (Grupa, Cod, Denumire, Unitate_masura, Coef_TVA) VALUES ('G', 'A1', 'Faina', 'kg', 9)");
        db.exec("INSERT INTO DOC_OUT (Contor, Numar, Tip, Data) VALUES (5, 41, 'FCT', '2026-04-02')");
        db.exec("INSERT INTO ITEM_OUT (Contor, Contor_secundar, Cod_grupa, Cod_articol, Cantitate, Pret_vinzare, TVA) "
                "VALUES (5, 1, 'G', 'A1', 20, 3.5, 6.3)");
    }
    const struct {
        const char* kind;
        const char* file;
        QStringList keys; // section/key written after the print
    } cases[] = {
        {"preprinted-invoice", "Factura.INI",
         {"Margini/Sus", "Margini/Stinga", "Margini/Dreapta", "Margini/Jos", "Pagina/Format", "Antet+cap tabel/Inaltime",
          "Baza Factura/Inaltime"}},
        {"preprinted-delivery-note", "Aviz.INI",
         {"Margini/Sus", "Margini/Stinga", "Margini/Dreapta", "Margini/Jos", "Pagina/Format", "Antet+cap tabel/Inaltime"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const CliRun printed = cli({"print", dir, "--document", "5", "--kind", c.kind, "--text"});
        EXPECT_EQ(printed.code, 0) << printed.err.toStdString();
        EXPECT_TRUE(printed.out.contains("70,00")) << printed.out.toStdString();
        const common::IniFile ini(QDir(dir).filePath(QString::fromLatin1(c.file)));
        for (const QString& key : c.keys)
            EXPECT_TRUE(ini.valueExists(key.section(u'/', 0, 0), key.section(u'/', 1))) << key.toStdString();
    }
}

} // namespace

// The command line takes each print's and report's settings from the
// application INI file given with --ini, as the windows do; without it the
// print comes out as designed.
TEST(Cli, PrintsAndReportsTakeTheirOwnSettingsFromTheIniFile)
{
    testsupport::TempDir tmp;
    const QString dir = tmp.file("db");
    ASSERT_EQ(cli({"create", dir}).code, 0);
    {
        datastore::Database db;
        db.setDirectory(dir);
        db.exec("INSERT INTO CATALOG (Grupa, Cod, Denumire, Unitate_masura, Coef_TVA) VALUES ('G', 'A1', 'Faina', 'kg', 9)");
        db.exec("INSERT INTO DOC_OUT (Contor, Numar, Tip, Data, Data_inregistrarii) VALUES "
                "(5, 41, 'FCT', '2026-04-02', '2026-04-02'), (6, 9, 'BMC', '2026-04-02', '2026-04-02')");
        db.exec("INSERT INTO ITEM_OUT (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
                "Pret_achizitie, Pret_vinzare, TVA) VALUES (5, 1, 'A', 'G', 'A1', 20, 3, 3.5, 6.3), "
                "(6, 1, 'A', 'G', 'A1', 2, 3, 3, 0.54)");
    }
    const QString ini = tmp.file("mirafel.INI");
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[PrinterSettings]\r\nPrinter=Laser\r\n"
            "[Print invoice]\r\nPageOrientation=1\r\nFontName=Liberation Serif\r\n"
            "[Report critical-stocks]\r\nPageOrientation=1\r\n");
    f.close();

    const struct {
        QStringList args;
        bool landscape;
    } cases[] = {
        {{"print", dir, "--document", "5", "--kind", "invoice"}, false},
        {{"print", dir, "--document", "5", "--kind", "invoice", "--ini", ini}, true},
        {{"print", dir, "--document", "6", "--kind", "consumption-note", "--ini", ini}, true},
        {{"print", dir, "--document", "6", "--kind", "scrapping-list", "--ini", ini}, false},
        {{"report", dir, "critical-stocks", "--ini", ini}, true},
        {{"report", dir, "critical-stocks"}, false},
    };
    int n = 0;
    for (const auto& c : cases) {
        const QString pdf = tmp.file(QStringLiteral("out%1.pdf").arg(++n));
        const CliRun run = cli(c.args + QStringList{"--pdf", pdf});
        EXPECT_EQ(run.code, 0) << c.args.join(' ').toStdString() << "\n" << run.err.toStdString();
        EXPECT_EQ(landscape(mediaBox(pdf)), c.landscape) << c.args.join(' ').toStdString() << ": " << mediaBox(pdf).toStdString();
    }
    // The chosen font reaches the page.
    const QString serif = tmp.file("serif.pdf");
    ASSERT_EQ(cli({"print", dir, "--document", "5", "--kind", "invoice", "--ini", ini, "--pdf", serif}).code, 0);
    QFile s(serif);
    ASSERT_TRUE(s.open(QIODevice::ReadOnly));
    EXPECT_TRUE(s.readAll().contains("LiberationSerif"));

    // A file that cannot be read is reported and nothing is printed.
    const CliRun missing = cli({"print", dir, "--document", "5", "--kind", "invoice", "--ini", tmp.file("none.INI"),
                                "--text"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.err.contains("none.INI")) << missing.err.toStdString();
    EXPECT_EQ(cli({"report", dir, "critical-stocks", "--ini", tmp.path(), "--text"}).code, 1);
}
