// The limits of the dialect translation: field sizes of CREATE TABLE and
// ALTER TABLE, nested EXTRACT, long statements (many comparisons, long IN
// lists) translated as their parts are, and the context rules around
// parentheses that decide how a constant or a blank comparison is read.

#include <gtest/gtest.h>

#include "datastore/database.h"
#include "datastore/sqldialect.h"
#include "testsupport.h"

#include <QStringList>

using namespace datastore;

namespace {

std::string str(const QString& s)
{
    return s.toStdString();
}

DbErrorKind kindOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const DbError& e) {
        return e.kind();
    }
    ADD_FAILURE() << "no error";
    return DbErrorKind::Other;
}

const SqlDialect& dialect()
{
    static const SqlDialect d("TSTOCK", "/data/db", {{"TBX_PRIV", "/home/u/TBX_PRIV"}});
    return d;
}

} // namespace

TEST(DialectLimits, FieldSizesOutOfRangeAreRefused)
{
    testsupport::TempDir tmp;
    Database db;
    db.setDirectory(tmp.path());
    db.exec("CREATE TABLE Baza (Cod CHAR(4))");

    struct Case { const char* type; int size; }; // size 0: refused
    const Case cases[] = {
        {"CHAR(99999999999999999999)", 0},
        {"CHAR(4294967297)", 0},
        {"CHAR(2147483648)", 0},
        {"CHAR(65536)", 0},
        {"CHAR(0)", 0},
        {"CHAR(000)", 0},
        {"CHAR(-5)", 0},
        {"VARCHAR(4294967296)", 0},
        {"MEMO(0)", 0},
        {"BLOB(99999999999,1)", 0},
        {"CHAR(1)", 1},
        {"char ( 30 )", 30},
        {"CHAR(65535)", 65535},
        {"MEMO(240)", 240},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        const QString table = QStringLiteral("T%1").arg(++n);
        const QString create = QStringLiteral("CREATE TABLE %1 (Cod CHAR(4), Nume %2)").arg(table, c.type);
        const QString alter = QStringLiteral("ALTER TABLE Baza ADD Nume%1 %2").arg(n).arg(c.type);
        if (c.size == 0) {
            EXPECT_EQ(kindOf([&] { db.exec(create); }), DbErrorKind::Syntax);
            EXPECT_FALSE(db.tableExists(table));
            EXPECT_EQ(kindOf([&] { db.exec(alter); }), DbErrorKind::Syntax);
            continue;
        }
        ASSERT_NO_THROW(db.exec(create));
        ASSERT_NO_THROW(db.exec(alter));
        EXPECT_EQ(db.readTableDef(table).field("Nume")->size, c.size);
        EXPECT_EQ(db.readTableDef("Baza").field(QStringLiteral("Nume%1").arg(n))->size, c.size);
        // What is stored there stays (cut to the size).
        db.exec(QStringLiteral("INSERT INTO %1 (Cod, Nume) VALUES ('A', 'abc')").arg(table));
        EXPECT_EQ(str(db.scalar(QStringLiteral("SELECT Nume FROM %1").arg(table)).toString()),
                  str(QStringLiteral("abc").left(c.size)));
    }
    // The refused ALTER statements left the table as it was, with the accepted ones.
    EXPECT_EQ(db.readTableDef("Baza").fields.size(), 1 + 4);

    // The message names the field and the size.
    try {
        db.exec("CREATE TABLE Z (Denumire CHAR(4294967297))");
        ADD_FAILURE() << "accepted";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains("Denumire") && e.message().contains("4294967297")) << str(e.message());
    }
}

TEST(DialectLimits, NestedExtractIsBounded)
{
    auto nested = [](int depth) {
        QString sql = QStringLiteral("Data");
        for (int i = 0; i < depth; ++i)
            sql = QStringLiteral("EXTRACT(YEAR FROM %1)").arg(sql);
        return QStringLiteral("SELECT ") + sql + QStringLiteral(" FROM Doc_in");
    };
    EXPECT_EQ(str(dialect().translate(nested(2))),
              "SELECT CAST(strftime('%Y', CAST(strftime('%Y', Data) AS INTEGER)) AS INTEGER) FROM Doc_in");
    const QString deepest = dialect().translate(nested(SqlDialect::kMaxExtractNesting));
    EXPECT_EQ(deepest.count("strftime"), SqlDialect::kMaxExtractNesting);
    for (const int depth : {SqlDialect::kMaxExtractNesting + 1, 4000, 20000}) {
        SCOPED_TRACE(depth);
        EXPECT_EQ(kindOf([&] { dialect().translate(nested(depth)); }), DbErrorKind::Syntax);
    }
    // Side by side they are not nested.
    QStringList many;
    for (int i = 0; i < 1000; ++i)
        many << QStringLiteral("EXTRACT(MONTH FROM D%1)").arg(i);
    EXPECT_EQ(dialect().translate("SELECT " + many.join(", ")).count("strftime('%m'"), 1000);
}

// A long statement is translated exactly as its parts are, one by one.
TEST(DialectLimits, LongStatementsTranslateAsTheirParts)
{
    const char* parts[] = {R"(Lot = '')", R"(Agent <> "")", R"(Serie = "AB")", R"(Data < '2/3/2004')",
                           R"(Cont LIKE "371%")", R"((Tip = "FCT" OR Tip != ''))"};
    QStringList written;
    QStringList translated;
    for (int i = 0; i < 8000; ++i) {
        const QString part = QString::fromUtf8(parts[i % std::size(parts)]);
        written << part;
        translated << dialect().translate(part);
    }
    EXPECT_EQ(str(translated[0]), "Lot IS NULL");
    EXPECT_EQ(str(translated[5]), "(Tip = 'FCT' OR Tip IS NOT NULL)");
    EXPECT_EQ(dialect().translate("SELECT * FROM \"Doc_out.DB\" WHERE " + written.join(" AND ")),
              "SELECT * FROM \"Doc_out\" WHERE " + translated.join(" AND "));

    // An assignment of a blank stays one, however long the SET list.
    QStringList sets;
    for (int i = 0; i < 4000; ++i)
        sets << QStringLiteral("F%1 = ''").arg(i);
    EXPECT_EQ(dialect().translate("UPDATE T SET " + sets.join(", ") + " WHERE " + written.mid(0, 3).join(" AND ")),
              "UPDATE T SET " + sets.join(", ") + " WHERE " + translated.mid(0, 3).join(" AND "));

    QStringList values;
    QStringList constants;
    for (int i = 0; i < 16000; ++i) {
        values << QStringLiteral("\"A%1\"").arg(i);
        constants << QStringLiteral("'A%1'").arg(i);
    }
    EXPECT_EQ(dialect().translate("SELECT Cod FROM Catalog WHERE Cod IN (" + values.join(", ") + ") ORDER BY \"Cod\""),
              "SELECT Cod FROM Catalog WHERE Cod IN (" + constants.join(", ") + ") ORDER BY \"Cod\"");
}

TEST(DialectLimits, LongStatementsRunOnARealDatabase)
{
    testsupport::TempDir tmp;
    Database db;
    db.setDirectory(tmp.path());
    db.exec("CREATE TABLE Catalog (Grupa CHAR(8), Cod CHAR(30), Descriere CHAR(255), PRIMARY KEY (Grupa, Cod))");
    {
        UnitOfWork work(db);
        for (int i = 0; i < 300; ++i)
            db.exec("INSERT INTO Catalog (Grupa, Cod, Descriere) VALUES ('G', :Cod, :D)",
                    {{"Cod", QStringLiteral("A%1").arg(i)}, {"D", i % 3 ? QVariant("x") : QVariant()}});
        work.commit();
    }
    QStringList values;
    for (int i = 0; i < 16000; i += 2)
        values << QStringLiteral("\"A%1\"").arg(i);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Catalog WHERE Cod IN (" + values.join(", ") + ")").toInt(), 150);

    QStringList blanks;
    for (int i = 0; i < 400; ++i)
        blanks << (i % 2 ? QStringLiteral("Descriere = ''") : QStringLiteral("Grupa <> \"\""));
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Catalog WHERE " + blanks.join(" AND ")).toInt(), 100);
}

// Whether a constant, a blank comparison or a path is read as such depends on
// the parentheses around it: a list of IN, a clause of its own, or none.
TEST(DialectLimits, ContextRulesFollowTheParentheses)
{
    struct Case { const char* in; const char* out; } cases[] = {
        {R"(WHERE X IN (SELECT Y FROM B WHERE Z = "q") AND W IN ("a", (1), "b"))",
         R"(WHERE X IN (SELECT Y FROM B WHERE Z = 'q') AND W IN ('a', (1), 'b'))"},
        {R"(SELECT F("a", "b") FROM T WHERE K IN ("c", F("d"), "e"))",
         R"(SELECT F("a", "b") FROM T WHERE K IN ('c', F("d"), 'e'))"},
        {R"(UPDATE T SET A = (CASE WHEN B = '' THEN 1 END), C = '' WHERE D = '')",
         R"(UPDATE T SET A = (CASE WHEN B IS NULL THEN 1 END), C = '' WHERE D IS NULL)"},
        {R"(UPDATE T SET A = (SELECT 1 FROM U WHERE V = ''), B = "" WHERE C <> '')",
         R"(UPDATE T SET A = (SELECT 1 FROM U WHERE V IS NULL), B = '' WHERE C IS NOT NULL)"},
        {R"(SELECT * FROM (SELECT 1 FROM A, '/home/u/TBX_PRIV\ANSW' D1) Q, '/data/db\Catalog' C)",
         R"(SELECT * FROM (SELECT 1 FROM A, "TBX_PRIV"."ANSW" D1) Q, "Catalog" C)"},
        {R"(SELECT 'a/b', (SELECT 'c/d' FROM A), 'e/f' FROM T)",
         R"(SELECT 'a/b', (SELECT 'c/d' FROM A), 'e/f' FROM T)"},
        {R"(SELECT EXTRACT(YEAR FROM Data), "G" FROM T WHERE EXTRACT(MONTH FROM Data) IN ("1", "2"))",
         R"(SELECT CAST(strftime('%Y', Data) AS INTEGER), "G" FROM T WHERE CAST(strftime('%m', Data) AS INTEGER) IN ('1', '2'))"},
        {R"(WHERE EXTRACT(HOUR FROM D) = '' AND EXTRACT(YEAR FROM (D)) = "2001")",
         R"(WHERE EXTRACT(HOUR FROM D) IS NULL AND CAST(strftime('%Y', (D)) AS INTEGER) = '2001')"},
        // a parenthesis closed without one opened hides the clause before it
        {R"(UPDATE T SET A = 1) , B = '')", R"(UPDATE T SET A = 1) , B IS NULL)"},
        {R"(WHERE K IN ("a") , "b")", R"(WHERE K IN ('a') , "b")"},
        {R"(WHERE K IN ("a", "b"), "c")", R"(WHERE K IN ('a', 'b'), "c")"},
        // an unclosed EXTRACT stays as written
        {R"(SELECT EXTRACT(YEAR FROM D FROM T)", R"(SELECT EXTRACT(YEAR FROM D FROM T)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(str(dialect().translate(QString::fromUtf8(c.in))), std::string(c.out)) << c.in;
}
