// The storage layer: definitions read back exactly, the value rules (text cut
// to size, empty as NULL, keys with empty fields unique, autoincrement), the
// statements of the windows' dialect, transactions and a second writer.

#include "datastore/database.h"
#include "datastore/dataset.h"
#include "datastore/sqldialect.h"
#include "datastore/tablecatalog.h"
#include "testsupport.h"

#include <QDate>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

using namespace datastore;

namespace {

const TableDef& def(const char* name)
{
    const TableDef* d = findTableDef(QString::fromLatin1(name));
    EXPECT_NE(d, nullptr) << name;
    return *d;
}

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override { db.setDirectory(dir.path()); }
    void create(std::initializer_list<const char*> tables)
    {
        for (const char* t : tables)
            db.createTable(def(t));
    }
    int count(const QString& table) { return db.scalar("SELECT COUNT(*) FROM " + table).toInt(); }

    testsupport::TempDir dir;
    Database db;
};

// The same cases on each engine: SQLite, and PostgreSQL when the tests are
// given a cluster (MIRAFEL_PG_SOCKET_DIR; scripts/pgcluster.sh makes one).
enum class Backend { Sqlite, Postgres };

class EngineTest : public DatabaseTest, public ::testing::WithParamInterface<Backend> {
protected:
    void SetUp() override
    {
        if (GetParam() == Backend::Postgres) {
            if (testsupport::ServerSchema::socketDir().isEmpty())
                GTEST_SKIP() << "no PostgreSQL cluster (MIRAFEL_PG_SOCKET_DIR)";
            server.useIn(dir.path());
        }
        DatabaseTest::SetUp();
    }
    bool onSqlite() const { return GetParam() == Backend::Sqlite; }

    testsupport::ServerSchema server;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Engines, EngineTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const ::testing::TestParamInfo<Backend>& p) {
                             return p.param == Backend::Sqlite ? "Sqlite" : "Postgres";
                         });

TEST_P(EngineTest, EveryCatalogTableReadsBackAsDefined)
{
    EXPECT_EQ(db.fileExists(), !onSqlite());
    EXPECT_TRUE(db.tableNames().isEmpty()) << "listing must not create the file";
    EXPECT_EQ(db.fileExists(), !onSqlite());

    for (const TableDef& t : databaseTables())
        db.createTable(t);
    QStringList expected;
    for (const TableDef& t : databaseTables())
        expected << t.name;
    EXPECT_EQ(db.tableNames(), expected);

    for (const TableDef& t : databaseTables()) {
        const TableDef back = db.readTableDef(t.name);
        EXPECT_EQ(back.name, t.name);
        EXPECT_EQ(back.fields, t.fields) << t.name.toStdString();
        EXPECT_EQ(back.indexes, t.indexes) << t.name.toStdString();
    }
}

TEST_P(EngineTest, ValuesKeepTheirTypesAndEmptyIsNull)
{
    create({"Doc_in.DB", "Client.DB", "Firmdata.DB", "Ch_agent.DB"});
    db.exec("INSERT INTO \"Doc_in.DB\" (Contor, Data_inregistrarii, Numar, Tip, Furnizor, Explicatie) "
            "VALUES (:C, :D, :N, :T, :F, :E)",
            {{"C", 1.0}, {"D", QDate(2026, 3, 9)}, {"N", 12.0}, {"T", "NIR"}, {"F", ""}, {"E", QString()}});
    Query rows = db.query("SELECT * FROM DOC_IN");
    ASSERT_TRUE(rows.next());
    EXPECT_EQ(rows.value("Contor").typeId(), QMetaType::Double);
    EXPECT_EQ(rows.value("Data_inregistrarii"), QVariant(QDate(2026, 3, 9)));
    EXPECT_EQ(rows.value("Tip"), QVariant(QString("NIR")));
    EXPECT_TRUE(rows.value("Furnizor").isNull()) << "an empty text is stored empty (NULL)";
    EXPECT_TRUE(rows.value("Data").isNull());
    EXPECT_FALSE(rows.next());

    db.exec("INSERT INTO \"Client.DB\" (Cod_client, Lock, Grila) VALUES ('B1', :L, 7)", {{"L", true}});
    EXPECT_EQ(db.scalar("SELECT Lock FROM Client"), QVariant(true));
    EXPECT_EQ(db.scalar("SELECT Grila FROM Client").typeId(), QMetaType::Int);

    // A code that looks like a number stays text, leading zeros and all.
    db.exec("INSERT INTO Firmdata (Cod, \"Cod fiscal\") VALUES (1, '0012')");
    EXPECT_EQ(db.scalar("SELECT \"Cod fiscal\" FROM \"Firmdata.DB\""), QVariant(QString("0012")));
    db.exec("INSERT INTO Ch_agent (Agent, Comentariu) VALUES ('AB', '007')");
    EXPECT_EQ(db.scalar("SELECT Comentariu FROM Ch_agent"), QVariant(QString("007")));
}

TEST_P(EngineTest, TextIsCutToItsSizeOnEveryWrite)
{
    create({"Gest.db"});
    struct Case { const char* sql; const char* expected; } cases[] = {
        {"INSERT INTO Gest (Cod, Denumire) VALUES ('ABCDEFG', 'x')", "ABCD"},
        {"UPDATE Gest SET Cod = 'WXYZ1234'", "WXYZ"},
        {"UPDATE Gest SET Cod = 'Q'", "Q"},
    };
    for (const Case& c : cases) {
        db.exec(c.sql);
        EXPECT_EQ(db.scalar("SELECT Cod FROM Gest").toString(), QString(c.expected)) << c.sql;
    }
    db.exec("UPDATE Gest SET Denumire = ''");
    EXPECT_TRUE(db.scalar("SELECT Denumire FROM Gest").isNull());
}

TEST_P(EngineTest, KeyViolationsAreTheirOwnErrorKind)
{
    create({"Stoc.DB", "Gest.db"});
    const QString insert = "INSERT INTO \"Stoc.DB\" (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Lot, Agent, Cantitate) "
                           "VALUES (:G, 'GR', 'ART', :P, :L, :A, 1)";
    struct Case { QVariant lot; QVariant agent; bool duplicate; const char* why; } cases[] = {
        {"L1", "B1", false, "first row"},
        {"L1", "B1", true, "same full key"},
        {QVariant(), QVariant(), false, "empty lot and budget: a key of its own"},
        {QVariant(), QVariant(), true, "empty lot and budget again"},
        {"", QVariant(), true, "'' is the same empty value"},
        {QVariant(), "B1", false, "empty lot, other budget"},
        {QVariant(), "B1", true, "empty lot, same budget again"},
    };
    for (const Case& c : cases) {
        try {
            db.exec(insert, {{"G", "G1"}, {"P", 2.5}, {"L", c.lot}, {"A", c.agent}});
            EXPECT_FALSE(c.duplicate) << c.why;
        } catch (const DbError& e) {
            EXPECT_TRUE(c.duplicate) << c.why << ": " << e.what();
            EXPECT_EQ(e.kind(), DbErrorKind::KeyViolation) << c.why;
        }
    }
    EXPECT_EQ(count("STOC"), 3);

    // An update that makes two keys equal is refused as well.
    db.exec(insert, {{"G", "G2"}, {"P", 2.5}, {"L", QVariant()}, {"A", QVariant()}});
    try {
        db.exec("UPDATE Stoc SET Cod_gestiune = 'G1' WHERE Cod_gestiune = 'G2'");
        ADD_FAILURE() << "duplicate key by update accepted";
    } catch (const DbError& e) {
        EXPECT_EQ(e.kind(), DbErrorKind::KeyViolation);
    }
    db.exec("INSERT INTO Gest (Cod) VALUES ('A')");
    EXPECT_THROW(db.exec("INSERT INTO Gest (Cod) VALUES ('A')"), DbError);
    db.exec("INSERT INTO Gest (Cod) VALUES ('a')"); // the primary key is case-sensitive
    EXPECT_EQ(count("Gest"), 2);
    // Two codes that are equal once cut to the field's size are the same key.
    db.exec("INSERT INTO Gest (Cod) VALUES ('WXYZ1')");
    try {
        db.exec("INSERT INTO Gest (Cod) VALUES ('WXYZ2')");
        ADD_FAILURE() << "a code equal to another once cut was accepted";
    } catch (const DbError& e) {
        EXPECT_EQ(e.kind(), DbErrorKind::KeyViolation);
    }
    EXPECT_EQ(count("Gest"), 3);
}

TEST_P(EngineTest, AutoIncrementInsideACompositeKey)
{
    create({"Clnpay.DB", "Doc_out.DB"});
    const QString insert = "INSERT INTO Clnpay (Cod_client, Contor_document, Data_platii, Suma) VALUES ('B', 1, :D, 10)";
    db.exec(insert, {{"D", QDate(2026, 1, 5)}});
    db.exec(insert, {{"D", QDate(2026, 1, 5)}}); // same key but for the running number
    db.exec("INSERT INTO Clnpay (Cod_client, Contor_document, Data_platii, Nrcrt, Suma) VALUES ('B', 2, NULL, 40, 1)");
    db.exec(insert, {{"D", QDate(2026, 1, 6)}});
    QList<int> numbers;
    for (Query rows = db.query("SELECT Nrcrt FROM Clnpay ORDER BY Nrcrt"); rows.next();)
        numbers << rows.value(0).toInt();
    EXPECT_EQ(numbers, (QList<int>{1, 2, 40, 41}));

    // A deleted last number is not given again; INSERT ... SELECT numbers each row.
    db.exec("DELETE FROM Clnpay WHERE Nrcrt = 41");
    db.exec("INSERT INTO Clnpay (Cod_client, Contor_document, Data_platii, Suma) "
            "SELECT Cod_client, Contor_document + 10, Data_platii, Suma FROM Clnpay");
    EXPECT_EQ(db.scalar("SELECT MIN(Nrcrt) FROM Clnpay WHERE Contor_document > 10").toInt(), 42);
    EXPECT_EQ(db.scalar("SELECT COUNT(DISTINCT Nrcrt) FROM Clnpay").toInt(), 6);
}

TEST_P(EngineTest, IndexNamesBelongToTheirTable)
{
    create({"Catalog.DB", "Client.DB", "Furn.DB", "Gest.db"});
    for (const char* t : {"Catalog.DB", "Client.DB", "Furn.DB", "Gest.db"}) {
        const TableDef back = db.readTableDef(t);
        EXPECT_TRUE(std::any_of(back.indexes.begin(), back.indexes.end(),
                                [](const IndexDef& ix) { return ix.name == "ByName"; })) << t;
    }
    db.exec("DROP INDEX Catalog.ByName");
    EXPECT_EQ(db.readTableDef("Catalog.DB").indexes.size(), 2);
    EXPECT_EQ(db.readTableDef("Client.DB").indexes.size(), 2);
    db.addIndex("Catalog.DB", secondary("ByName", "Grupa;Denumire"));
    const QList<IndexDef> catalogIndexes = def("Catalog.DB").indexes;
    const QList<IndexDef> expected{catalogIndexes[0], catalogIndexes[2], catalogIndexes[1]};
    EXPECT_EQ(db.readTableDef("Catalog.DB").indexes, expected);
}

TEST_P(EngineTest, StatementsOfTheWindowsRunAsWritten)
{
    create({"Doc_in.DB", "Doc_out.DB", "Item_in.DB", "Item_out.DB", "Stoc.DB", "Catalog.DB", "Firmdata.DB",
            "TipAlocatie.DB", "Fctser.DB"});
    db.exec("INSERT INTO \"Doc_out.DB\" (Contor, Data_inregistrarii, Numar, Tip) VALUES (1, '2026-02-01', 7, 'FCT')");
    db.exec("INSERT INTO \"Doc_out.DB\" (Contor, Data_inregistrarii, Numar, Tip) VALUES (2, '2025-12-31', 9, 'FCT')");
    db.exec("INSERT INTO \"Item_out.db\" (Contor, Contor_secundar, Cod_grupa, Cod_articol, Cantitate, Pret_achizitie) "
            "VALUES (1, 1, 'G', 'A', 2, 1.5)");
    db.exec("INSERT INTO \"Item_out.db\" (Contor, Contor_secundar, Cod_grupa, Cod_articol, Cantitate, Pret_achizitie) "
            "VALUES (1, 2, 'G', 'A', 3, 1.5)");
    db.exec("INSERT INTO Catalog (Grupa, Cod, Denumire, \"Generic 1\") VALUES ('G', 'A', 'Faina', 'x')");
    db.exec("INSERT INTO Firmdata (Cod, \"Cod fiscal\") VALUES (1, 'RO1')");
    db.exec("INSERT INTO Fctser (Contor, Serie, Number) VALUES (1, 'AB', 5)");
    db.exec("INSERT INTO TipAlocatie (Cod, Denumire) VALUES (1, 'Mic dejun')");

    struct Case { const char* sql; QVariantHash params; QVariant expected; } cases[] = {
        {"SELECT COUNT(*) FROM \"Doc_out.DB\"", {}, 2},
        {"SELECT COUNT(*) FROM \"Item_out.db\"", {}, 2},
        {"SELECT COUNT(*) FROM ITEM_OUT", {}, 2},
        {"SELECT COUNT(*) FROM item_out", {}, 2},
        {"SELECT COUNT(*) FROM Item_out.DB", {}, 2},
        {"SELECT COUNT(*) FROM \":TSTOCK:Catalog.DB\"", {}, 1},
        {"SELECT \"Cod fiscal\" FROM \"Firmdata.DB\"", {}, "RO1"},
        {"SELECT \"Generic 1\" FROM CATALOG", {}, "x"},
        {"SELECT MAX(Numar) AS ValMax FROM \"Doc_out.DB\" WHERE (EXTRACT(YEAR FROM Data_inregistrarii) = :An) AND (Tip = :Fel)",
         {{"An", 2026}, {"Fel", "FCT"}}, 7.0},
        {"SELECT EXTRACT(MONTH FROM Data_inregistrarii) FROM DOC_OUT WHERE Contor = 2", {}, 12},
        {"SELECT SUM(D1.Cantitate) AS Q FROM DOC_OUT D, ITEM_OUT D1 WHERE (D1.Contor = D.Contor) GROUP BY D1.Cod_articol", {}, 5.0},
        {"SELECT DISTINCT MAX(Number) AS MaxNum FROM FCTSER WHERE Serie = \"AB\"", {}, 5.0},
        {"SELECT COUNT(*) FROM DOC_OUT WHERE Tip IN (\"FCT\", \"AE\")", {}, 2},
        {"SELECT \"1. APROVIZIONARE      \" AS Grup FROM Fctser", {}, "1. APROVIZIONARE      "},
        {"SELECT COUNT(*) FROM CATALOG WHERE (Cod LIKE \"A%\")", {}, 1},
        {"SELECT Denumire FROM STOC D, CATALOG D1 WHERE D1.Cod = 'A'", {}, QVariant()},
        {"UPDATE \"TipAlocatie.db\" SET Denumire = 'Pranz' WHERE Cod = :Cod", {{"Cod", 1}}, 1},
        {"INSERT INTO \"Stoc.DB\" (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Cantitate) "
         "SELECT '01', D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie, SUM(D1.Cantitate) FROM ITEM_OUT D1 "
         "GROUP BY D1.Cod_grupa, D1.Cod_articol, D1.Pret_achizitie", {}, 1},
        {"SELECT Cantitate FROM Stoc", {}, 5.0},
    };
    for (const Case& c : cases) {
        const QString sql = QString::fromUtf8(c.sql);
        try {
            if (sql.startsWith("SELECT")) {
                const QVariant v = db.scalar(sql, c.params);
                if (c.expected.isValid())
                    EXPECT_EQ(v.toString(), c.expected.toString()) << c.sql;
                else
                    EXPECT_FALSE(v.isValid()) << c.sql;
            } else {
                EXPECT_EQ(db.exec(sql, c.params), c.expected.toInt()) << c.sql;
            }
        } catch (const DbError& e) {
            ADD_FAILURE() << c.sql << " -> " << e.what() << " [" << db.translate(sql).toStdString() << "]";
        }
    }
}

// What the server would do otherwise, each as SQLite does it: a parameter
// whose type the server cannot tell from where it stands, an integer against
// a boolean field, the names of columns without an alias, a column of a
// grouped SELECT that is neither grouped nor aggregated, and empty values
// first in an ascending order.
TEST_P(EngineTest, ServerStatementsGiveWhatSqliteGives)
{
    create({"Doc_out.DB", "Item_out.DB", "Client.DB", "Catalog.DB"});
    db.exec("INSERT INTO \"Doc_out.DB\" (Contor, Data_inregistrarii, Numar, Tip) VALUES (1, '2026-02-01', 7, 'FCT')");
    db.exec("INSERT INTO \"Doc_out.DB\" (Contor, Numar, Tip) VALUES (2, 9, 'AE')");
    for (int line : {1, 2})
        db.exec("INSERT INTO \"Item_out.db\" (Contor, Contor_secundar, Cod_grupa, Cod_articol, Cantitate, Lot) "
                "VALUES (1, :Line, 'G', 'A', :Q, 'L1')",
                {{"Line", line}, {"Q", line + 1}});
    db.exec("INSERT INTO Catalog (Grupa, Cod, Denumire, Pret_vinzare) VALUES ('G', 'A', 'Faina', 2)");
    db.exec("INSERT INTO Client (Cod_client, Lock, Grila) VALUES ('B1', 1, 0)");
    db.exec("INSERT INTO Client (Cod_client, Lock, Grila) VALUES ('B2', :L, 0)", {{"L", false}});

    struct Case { const char* sql; QVariantHash params; QVariant expected; } cases[] = {
        // parameters
        {"SELECT COUNT(*) FROM ITEM_OUT WHERE (Cantitate < -:Eps) OR (Cantitate > :Eps)", {{"Eps", 0.0001}}, 2},
        {"SELECT COUNT(*) FROM ITEM_OUT WHERE Cantitate > -:N", {{"N", 1}}, 2},
        {"SELECT Cantitate * :Coef AS V FROM ITEM_OUT WHERE Contor_secundar = 2", {{"Coef", 1.5}}, 4.5},
        {"SELECT :Pre || Tip AS V FROM DOC_OUT WHERE Contor = 1", {{"Pre", "x"}}, "xFCT"},
        {"SELECT :N + 1 AS V FROM DOC_OUT WHERE Contor = 1", {{"N", 5}}, 6},
        {"SELECT COUNT(*) FROM DOC_OUT WHERE Data_inregistrarii >= :D", {{"D", QDate(2026, 1, 1)}}, 1},
        {"SELECT COUNT(*) FROM DOC_OUT WHERE Data_inregistrarii >= :D", {{"D", "2026-01-01"}}, 1},
        {"SELECT COUNT(*) FROM DOC_OUT WHERE Numar = :N", {{"N", "7"}}, 1},
        {"SELECT COUNT(*) FROM DOC_OUT WHERE Tip IN (:A, :B)", {{"A", "FCT"}, {"B", "AE"}}, 2},
        {"SELECT COUNT(*) FROM CLIENT WHERE Lock = :L", {{"L", true}}, 1},
        {"SELECT Cod_client FROM CLIENT WHERE Lock = :L", {{"L", false}}, "B2"},
        {"SELECT Cod_client FROM CLIENT WHERE Lock = :L", {{"L", 0}}, "B2"},
        {"UPDATE CATALOG SET Pret_vinzare = (Pret_vinzare * :Coef)", {{"Coef", 2}}, 1},
        {"UPDATE CATALOG SET Pret_vinzare = (Pret_vinzare * :Coef)", {{"Coef", 0.25}}, 1},
        {"SELECT Pret_vinzare FROM CATALOG", {}, 1.0},
        // integers against boolean fields
        {"SELECT COUNT(*) FROM CLIENT WHERE Lock = 1", {}, 1},
        {"SELECT Cod_client FROM CLIENT C WHERE C.Lock = 0", {}, "B2"},
        {"UPDATE Client SET Lock = 0, Grila = 1 WHERE Cod_client = 'B1'", {}, 1},
        {"SELECT COUNT(*) FROM CLIENT WHERE Lock <> 0 OR Grila = 0", {}, 1},
        // a grouped SELECT's loose column, empty values first
        {"SELECT Lot FROM ITEM_OUT GROUP BY Contor", {}, "L1"},
        {"SELECT Data_inregistrarii FROM DOC_OUT ORDER BY Data_inregistrarii", {}, QVariant()},
        {"SELECT Contor FROM DOC_OUT ORDER BY Data_inregistrarii DESC", {}, 1.0},
    };
    for (const Case& c : cases) {
        const QString sql = QString::fromUtf8(c.sql);
        try {
            if (sql.startsWith("SELECT")) {
                Query rows = db.query(sql, c.params);
                ASSERT_TRUE(rows.next()) << c.sql;
                const QVariant v = rows.value(0);
                if (c.expected.isValid())
                    EXPECT_EQ(v.toString(), c.expected.toString()) << c.sql;
                else
                    EXPECT_TRUE(v.isNull()) << c.sql;
            } else {
                EXPECT_EQ(db.exec(sql, c.params), c.expected.toInt()) << c.sql;
            }
        } catch (const DbError& e) {
            ADD_FAILURE() << c.sql << " -> " << e.what() << " [" << db.translate(sql).toStdString() << "]";
        }
    }

    // Booleans read back as booleans, however they were written.
    EXPECT_EQ(db.scalar("SELECT Lock FROM Client WHERE Cod_client = 'B1'").toBool(), false);
    db.exec("UPDATE Client SET Lock = :L WHERE Cod_client = 'B2'", {{"L", true}});
    EXPECT_EQ(db.scalar("SELECT Lock FROM Client WHERE Cod_client = 'B2'").toBool(), true);

    // Columns without an alias are named by their text; bare ones by their field.
    Query named = db.query("SELECT max(Contor_secundar), COUNT(*), Sum (Cantitate), 1, D.Lot FROM ITEM_OUT D");
    ASSERT_TRUE(named.next());
    EXPECT_EQ(named.columnNames().mid(0, 4), QStringList({"max(Contor_secundar)", "COUNT(*)", "Sum (Cantitate)", "1"}));
    EXPECT_EQ(named.columnNames().value(4).toLower(), "lot");
    EXPECT_EQ(named.value("Sum (Cantitate)").toDouble(), 5.0);
}

TEST_P(EngineTest, StructureStatements)
{
    create({"TipAlocatie.DB", "Catalog.DB", "Item_in.DB"});
    db.exec("INSERT INTO TipAlocatie (Cod, Denumire) VALUES (1, 'Mic dejun')");

    // ALTER TABLE with several actions, then the triggers still cut text.
    db.exec("Alter Table \"TipAlocatie.db\" ADD Nota CHAR(5), ADD Activ BOOLEAN, DROP ReportConsum");
    const TableDef t = db.readTableDef("TipAlocatie.DB");
    EXPECT_EQ(t.fields.last(), (FieldDef{"Activ", FieldType::Boolean, 0, false}));
    EXPECT_EQ(t.field("Nota")->size, 5);
    EXPECT_EQ(t.field("ReportConsum"), nullptr);
    db.exec("UPDATE \"TipAlocatie.db\" SET Activ = True, Nota = 'abcdefgh'");
    EXPECT_EQ(db.scalar("SELECT Nota FROM TipAlocatie").toString(), "abcde");
    EXPECT_EQ(db.scalar("SELECT Activ FROM TipAlocatie"), QVariant(true));

    db.exec("DROP INDEX \"Catalog.db\".ByDescript");
    EXPECT_EQ(db.readTableDef("Catalog.DB").indexes.size(), 2);
    db.exec("CREATE INDEX ByBare ON \"Catalog.DB\" (Cod_bare)");
    EXPECT_EQ(db.readTableDef("Catalog.DB").indexes.last(), (IndexDef{"ByBare", "Cod_bare", 0}));

    db.exec("CREATE TABLE \"Answ_BF.DB\" (Cod_gestiune char(4), Tip char(20), Data Date, Stoc numeric, "
            "PRIMARY KEY (Cod_gestiune, Tip))");
    const TableDef answ = db.readTableDef("Answ_BF");
    EXPECT_EQ(answ.fields, (QList<FieldDef>{{"Cod_gestiune", FieldType::Text, 4, false}, {"Tip", FieldType::Text, 20, false},
                                           {"Data", FieldType::Date, 0, false}, {"Stoc", FieldType::Float, 0, false}}));
    EXPECT_EQ(answ.indexes, QList<IndexDef>{primaryKey("Cod_gestiune;Tip")});
    EXPECT_THROW(db.exec("CREATE TABLE \"Answ_BF.DB\" (A char(1))"), DbError);
    db.exec("DROP TABLE Answ_BF");
    EXPECT_FALSE(db.tableExists("Answ_BF.DB"));

    db.renameTable("Item_in.DB", "ItemInNew.DB");
    EXPECT_TRUE(db.tableExists("ItemInNew"));
    EXPECT_FALSE(db.tableExists("Item_in"));
    EXPECT_EQ(db.readTableDef("ItemInNew").indexes.size(), 2);
    db.exec("INSERT INTO ItemInNew (Contor, Contor_secundar, Cod_gestiune) VALUES (1, 1, 'TOOLONG')");
    EXPECT_EQ(db.scalar("SELECT Cod_gestiune FROM ItemInNew").toString(), "TOOL");
}

TEST_P(EngineTest, AddingAPrimaryKeyRebuildsTheTableOrLeavesItWhole)
{
    db.exec("CREATE TABLE ANSW_ST (Cod_gestiune char(4), Cod_articol char(30), QIn numeric)");
    db.addIndex("ANSW_ST", secondary("ByArt", "Cod_articol"));
    db.exec("INSERT INTO ANSW_ST VALUES ('G', 'A', 1)");
    db.exec("INSERT INTO ANSW_ST VALUES ('G', 'B', 2)");
    db.addIndex("ANSW_ST", primaryKey("Cod_gestiune;Cod_articol"));
    const TableDef t = db.readTableDef("ANSW_ST");
    EXPECT_EQ(t.indexes, (QList<IndexDef>{primaryKey("Cod_gestiune;Cod_articol"), secondary("ByArt", "Cod_articol")}));
    EXPECT_EQ(count("ANSW_ST"), 2);

    db.exec("CREATE TABLE DUP (A char(4), B numeric)");
    db.exec("INSERT INTO DUP VALUES ('x', 1)");
    db.exec("INSERT INTO DUP VALUES ('x', 2)");
    try {
        db.addIndex("DUP", primaryKey("A"));
        ADD_FAILURE() << "a primary key over duplicates was accepted";
    } catch (const DbError& e) {
        EXPECT_EQ(e.kind(), DbErrorKind::KeyViolation);
    }
    EXPECT_EQ(count("DUP"), 2);
    EXPECT_TRUE(db.readTableDef("DUP").indexes.isEmpty());
    EXPECT_FALSE(db.tableExists("DUP__rebuild"));
}

TEST_P(EngineTest, UnitOfWorkCommitsTogetherOrNotAtAll)
{
    create({"Stoc.DB", "Item_in.DB"});
    auto post = [&](int line, bool fail) {
        UnitOfWork work(db);
        db.exec("INSERT INTO Item_in (Contor, Contor_secundar, Cod_gestiune, Cantitate) VALUES (1, :L, 'G', 1)", {{"L", line}});
        {
            UnitOfWork inner(db); // nested: shares the outer transaction
            db.exec("INSERT INTO Stoc (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Cantitate) VALUES ('G', 'g', :A, 1, 1)",
                    {{"A", QString::number(line)}});
            inner.commit();
        }
        if (fail)
            throw std::runtime_error("refused");
        work.commit();
    };
    post(1, false);
    EXPECT_THROW(post(2, true), std::runtime_error);
    EXPECT_EQ(count("Item_in"), 1);
    EXPECT_EQ(count("Stoc"), 1);
    EXPECT_FALSE(db.inTransaction());

    // An inner unit that is not committed undoes the whole transaction.
    {
        UnitOfWork outer(db);
        db.exec("INSERT INTO Item_in (Contor, Contor_secundar) VALUES (5, 5)");
        { UnitOfWork inner(db); }
        EXPECT_THROW(outer.commit(), DbError);
    }
    EXPECT_EQ(count("Item_in"), 1);
}

TEST_P(EngineTest, SavepointUndoesOnlyWhatCameAfterIt)
{
    create({"Item_in.DB"});
    EXPECT_THROW(Savepoint outside(db), DbError); // needs a transaction
    {
        UnitOfWork work(db);
        db.exec("INSERT INTO Item_in (Contor, Contor_secundar) VALUES (1, 1)");
        {
            Savepoint kept(db);
            db.exec("INSERT INTO Item_in (Contor, Contor_secundar) VALUES (1, 2)");
            kept.release();
        }
        {
            Savepoint undone(db);
            db.exec("INSERT INTO Item_in (Contor, Contor_secundar) VALUES (1, 3)");
        }
        work.commit();
    }
    EXPECT_EQ(count("Item_in"), 2);
    EXPECT_FALSE(db.inTransaction());
}

TEST_P(EngineTest, PrivateTablesAreReachedThroughTheirAlias)
{
    create({"Catalog.DB"});
    db.exec("INSERT INTO Catalog (Grupa, Cod, Denumire) VALUES ('G', 'A', 'Faina')");
    testsupport::TempDir privDir;
    testsupport::ServerSchema privSchema; // on the server: a schema of the same database
    if (!onSqlite())
        privSchema.useIn(privDir.path());
    // Attaching a directory that holds no file yet does not create one there.
    db.attach(kPrivateAlias, privDir.path());
    EXPECT_EQ(count("Catalog"), 1);
    EXPECT_FALSE(QFile::exists(privDir.file("gestiune.db")));

    Database priv(kPrivateAlias);
    priv.setDirectory(privDir.path());
    priv.attach(kDatabaseAlias, dir.path());
    priv.exec("CREATE TABLE Answ1 (Cod_grupa char(8), Cod_articol char(30), Ctot numeric)");
    priv.exec("INSERT INTO Answ1 SELECT Grupa, Cod, 4 FROM \":TSTOCK:Catalog.DB\"");
    EXPECT_EQ(priv.scalar("SELECT Ctot FROM \":TBX_PRIV:Answ1\"").toDouble(), 4.0);
    EXPECT_EQ(priv.scalar("SELECT Ctot FROM \"" + privDir.path() + "/Answ1.DB\"").toDouble(), 4.0);

    EXPECT_EQ(db.scalar("SELECT C.Denumire FROM \":TBX_PRIV:Answ1\" A, CATALOG C WHERE A.Cod_articol = C.Cod").toString(), "Faina");
    EXPECT_FALSE(db.tableNames().contains("Answ1.DB"));
    EXPECT_THROW(db.scalar("SELECT 1 FROM \":NOALIAS:X\""), DbError);
}

namespace {
// Holds the write lock of a database for a while from another thread.
class LockHolder : public QThread {
public:
    LockHolder(QString dir, QString code, int holdMs) : m_dir(std::move(dir)), m_code(std::move(code)), m_holdMs(holdMs) {}
    std::atomic<bool> locked{false};

protected:
    void run() override
    {
        Database other;
        other.setDirectory(m_dir);
        UnitOfWork work(other);
        other.exec("INSERT INTO Gest (Cod) VALUES (:C)", {{"C", m_code}});
        locked = true;
        msleep(m_holdMs);
        work.commit();
    }

private:
    QString m_dir;
    QString m_code;
    int m_holdMs;
};
} // namespace

TEST_F(DatabaseTest, ASecondWriterWaitsForTheFirst)
{
    create({"Gest.db"});
    {
        LockHolder holder(dir.path(), "T1", 300);
        holder.start();
        while (!holder.locked)
            QThread::msleep(5);
        db.exec("INSERT INTO Gest (Cod) VALUES ('M')"); // waits, then succeeds
        holder.wait();
    }
    EXPECT_EQ(count("Gest"), 2);

    LockHolder holder(dir.path(), "T2", 600);
    holder.start();
    while (!holder.locked)
        QThread::msleep(5);
    db.setBusyTimeout(50);
    try {
        db.exec("INSERT INTO Gest (Cod) VALUES ('N')");
        ADD_FAILURE() << "a write went through another writer's lock";
    } catch (const DbError& e) {
        EXPECT_EQ(e.kind(), DbErrorKind::Busy) << e.what();
    }
    holder.wait();
}

TEST(SqlDialect, TranslatesTableNamesAndConstants)
{
    const SqlDialect d("TSTOCK", "/data/db", {{"TBX_PRIV", "/home/u/TBX_PRIV"}});
    struct Case { const char* in; const char* out; } cases[] = {
        {"SELECT * FROM \"Doc_in.DB\"", "SELECT * FROM \"Doc_in\""},
        {"SELECT * FROM \":TSTOCK:Catalog.DB\" C", "SELECT * FROM \"Catalog\" C"},
        {"SELECT * FROM \":tbx_priv:Answ1\"", "SELECT * FROM \"TBX_PRIV\".\"Answ1\""},
        {"SELECT * FROM \"/home/u/TBX_PRIV/ANSW_ST.DB\"", "SELECT * FROM \"TBX_PRIV\".\"ANSW_ST\""},
        {"SELECT * FROM doc_com.db", "SELECT * FROM \"Doc_Com\""},
        {"SELECT \"Cod fiscal\" FROM F WHERE Serie = \"A'B\"", "SELECT \"Cod fiscal\" FROM F WHERE Serie = 'A''B'"},
        {"SELECT 1 WHERE X IN (\"a\", \"b\") AND Y LIKE \"c%\"", "SELECT 1 WHERE X IN ('a', 'b') AND Y LIKE 'c%'"},
        {"WHERE (EXTRACT(YEAR FROM D.Data) = :An)", "WHERE (CAST(strftime('%Y', D.Data) AS INTEGER) = :An)"},
        {"SELECT 'it''s \"Doc_in.DB\"' -- \"Stoc.DB\"", "SELECT 'it''s \"Doc_in.DB\"' -- \"Stoc.DB\""},
        {"SELECT D1.Cod FROM STOC D, CATALOG D1", "SELECT D1.Cod FROM STOC D, CATALOG D1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(d.translate(QString::fromUtf8(c.in)).toStdString(), std::string(c.out));
}

// The translation for the server, rule by rule, with the places where a rule
// must not apply.
TEST(SqlDialect, TranslatesForTheServer)
{
    SqlDialect d("TSTOCK", "/data/db", {{"TBX_PRIV", "/home/u/TBX_PRIV"}});
    d.setTarget(SqlDialect::Target::Postgres);
    struct Case { const char* in; const char* out; } cases[] = {
        // an integer against a boolean field of a catalog table named by the statement
        {"INSERT INTO Grup (Cod_grupa, Target) VALUES ('G1', 1)",
         R"~(INSERT INTO "grup" (Cod_grupa, Target) VALUES ('G1', TRUE))~"},
        {"INSERT INTO Target (Cod_gest, Target) VALUES ('01', 1)",
         R"~(INSERT INTO "target" (Cod_gest, Target) VALUES ('01', 1))~"},
        {R"~(INSERT INTO "Client.DB" (Cod_client, Lock, Grila) VALUES ('B1', 0, 1))~",
         R"~(INSERT INTO "client" (Cod_client, Lock, Grila) VALUES ('B1', FALSE, 1))~"},
        // every row of a multi-row VALUES list, not only the first
        {R"~(INSERT INTO "Client.DB" (Cod_client, Lock, Grila) VALUES ('B1', 0, 1), ('B2', 1, 0),('B3',1,1))~",
         R"~(INSERT INTO "client" (Cod_client, Lock, Grila) VALUES ('B1', FALSE, 1), ('B2', TRUE, 0),('B3',TRUE,1))~"},
        {"UPDATE Client SET Lock = 0, Grila = 0 WHERE Lock <> 1",
         R"~(UPDATE "client" SET Lock = FALSE, Grila = 0 WHERE Lock <> TRUE)~"},
        {"SELECT COUNT(*) FROM ITEM_IN I WHERE I.Serii = 1 AND 0 = Serii AND I.Contor = 1 AND Serii = 1 + 0",
         R"~(SELECT COUNT(*) AS "COUNT(*)" FROM "item_in" I WHERE I.Serii = TRUE AND FALSE = Serii AND I.Contor = 1 AND Serii = 1 + 0)~"},
        {"SELECT * FROM ANSW WHERE Target = 0",
         "SELECT * FROM ANSW WHERE Target = 0"},
        // an expression without an alias is named by its text, as SQLite names it
        {"SELECT max(Contor_secundar)  from ITEM_IN",
         R"~(SELECT max(Contor_secundar) AS "max(Contor_secundar)"  from "item_in")~"},
        {R"~(SELECT Cod, D.Denumire, D.Cod DenGest, 1, Target + 1, X AS Y, "Cod fiscal", * FROM T D)~",
         R"~(SELECT Cod, D.Denumire, D.Cod DenGest, 1 AS "1", Target + 1 AS "Target + 1", X AS Y, "cod fiscal", * FROM T D)~"},
        {"SELECT A, (SELECT COUNT(*) FROM U) FROM T",
         R"~(SELECT A, (SELECT COUNT(*) AS "COUNT(*)" FROM U) AS "(SELECT COUNT(*) FROM U)" FROM T)~"},
        // a bare column neither grouped nor aggregated
        {"SELECT I.Cod_articol, SUM(I.TVA) as TVA, I.Buget, C.Denumire as Den, Lot FROM ITEM_PROF I, CATALOG C "
         "GROUP BY I.Cod_articol, C.Cod",
         "SELECT I.Cod_articol, SUM(I.TVA) as TVA, MIN(I.Buget) AS Buget, MIN(C.Denumire) AS Den, MIN(Lot) AS Lot "
         R"~(FROM "item_prof" I, "catalog" C GROUP BY I.Cod_articol, C.Cod)~"},
        {"SELECT Q.A, B FROM (SELECT A, C FROM T GROUP BY A) Q GROUP BY Q.A",
         "SELECT Q.A, MIN(B) AS B FROM (SELECT A, MIN(C) AS C FROM T GROUP BY A) Q GROUP BY Q.A"},
        {"SELECT Sum (Target), Cod FROM T", R"~(SELECT Sum (Target) AS "Sum (Target)", MIN(Cod) AS Cod FROM T)~"},
        {"SELECT Cod, Serii FROM ITEM_IN GROUP BY Cod ORDER BY Cod DESC, Lot, Serii",
         R"~(SELECT Cod, BOOL_OR(Serii) AS Serii FROM "item_in" GROUP BY Cod )~"
         "ORDER BY Cod DESC NULLS LAST, MIN(Lot) NULLS FIRST, Serii NULLS FIRST"},
        // empty values first in an ascending order
        {"SELECT A FROM T ORDER BY A NULLS LAST, B ASC",
         "SELECT A FROM T ORDER BY A NULLS LAST, B ASC NULLS FIRST"},
        {"SELECT A, SUM(X) OVER (PARTITION BY A ORDER BY B) FROM T",
         R"~(SELECT A, SUM(X) OVER (PARTITION BY A ORDER BY B NULLS FIRST) AS "SUM(X) OVER (PARTITION BY A ORDER BY B)" FROM T)~"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(d.translate(QString::fromUtf8(c.in)).toStdString(), std::string(c.out)) << c.in;
}

// Two workstations writing: the second unit of work waits for the first, then
// reads what it wrote (no lost update of a counter read and written back);
// held past its wait it gets the busy error, shown as the busy warning, and
// writes nothing.
TEST_P(EngineTest, ASecondUnitOfWorkWaitsForTheFirstOrGetsBusy)
{
    create({"Gest.db", "Counter.DB"});
    db.exec("INSERT INTO COUNTER (NewCounterIn) VALUES (1)");
    {
        LockHolder holder(dir.path(), "T1", 300);
        holder.start();
        while (!holder.locked)
            QThread::msleep(5);
        UnitOfWork work(db); // waits for the holder's commit
        EXPECT_EQ(count("Gest"), 1) << "the first writer's row is seen once the lock is taken";
        const double next = db.scalar("SELECT MAX(NewCounterIn) FROM COUNTER").toDouble() + 1;
        db.exec("UPDATE COUNTER SET NewCounterIn = :c", {{"c", next}});
        work.commit();
        holder.wait();
    }
    EXPECT_EQ(db.scalar("SELECT NewCounterIn FROM COUNTER").toDouble(), 2.0);

    LockHolder holder(dir.path(), "T2", 600);
    holder.start();
    while (!holder.locked)
        QThread::msleep(5);
    db.setBusyTimeout(50);
    try {
        UnitOfWork work(db);
        db.exec("INSERT INTO Gest (Cod) VALUES ('N')");
        work.commit();
        ADD_FAILURE() << "a unit of work went through another writer's lock";
    } catch (const DbError& e) {
        EXPECT_EQ(e.kind(), DbErrorKind::Busy) << e.what();
        EXPECT_EQ(errorText(e), busyMessage());
    }
    holder.wait();
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(count("Gest"), 2) << "T1 and T2, nothing of the refused unit of work";
}
