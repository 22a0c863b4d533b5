// The pieces every report shares: selection strings, answer-table names,
// the crosstab table, the division by a rate.

#include "reportstest.h"

#include "reports/answertables.h"
#include "reports/crosstab.h"
#include "reports/selection.h"

#include <cmath>

using namespace reports;
using reportstest::ReportFixture;

namespace {

TEST(SelectionStrings, QuotedListsRoundTrip)
{
    const QList<QStringList> cases{{}, {"01"}, {"01", "05"}, {"a\"b", "c,d", ""}};
    for (const QStringList& values : cases)
        EXPECT_EQ(parseQuotedList(quotedList(values)), values) << qPrintable(quotedList(values));
    EXPECT_EQ(quotedList({"01", "05"}), "\"01\",\"05\"");
    EXPECT_EQ(parseQuotedList("01, 05"), (QStringList{"01", "05"}));
}

TEST(SelectionStrings, ArticlesArePairs)
{
    const ArticleSelection s = ArticleSelection::fromKeys({{"ALIM", "F1", "Faina"}, {"BIRO", "H1", "Hartie"}});
    EXPECT_EQ(s.groups, "\"ALIM\",\"BIRO\"");
    EXPECT_EQ(s.keys(), (QList<ArticleKey>{{"ALIM", "F1", "Faina"}, {"BIRO", "H1", "Hartie"}}));
    EXPECT_TRUE(ArticleSelection{}.isEmpty());
}

TEST(QualifyAnswerTableTest, ReplacesTheFirstWholeName)
{
    struct Case {
        QStringList lines;
        QString table;
        bool replaced;
        QStringList expected;
    };
    const QString dir = "/home/u/TBX_PRIV";
    const QList<Case> cases{
        {{"SELECT *", "FROM answ_st A"}, "ANSW_ST", true, {"SELECT *", "FROM '/home/u/TBX_PRIV/ANSW_ST' A"}},
        // ANSW must not be found inside ANSW_ST or XANSW.
        {{"FROM ANSW_ST A, XANSW B", "JOIN ANSW C"}, "ANSW", true, {"FROM ANSW_ST A, XANSW B", "JOIN '/home/u/TBX_PRIV/ANSW' C"}},
        {{"FROM ANSW_ST A"}, "ANSW", false, {"FROM ANSW_ST A"}},
        // Already qualified: unchanged.
        {{"FROM '/home/u/TBX_PRIV/ANSW_ST' A"}, "ANSW_ST", false, {"FROM '/home/u/TBX_PRIV/ANSW_ST' A"}},
        {{"FROM 'C:\\App\\TBX_PRIV\\ANSW_ST' A"}, "ANSW_ST", false, {"FROM 'C:\\App\\TBX_PRIV\\ANSW_ST' A"}},
    };
    for (Case c : cases) {
        SCOPED_TRACE(qPrintable(c.lines.join(" | ")));
        EXPECT_EQ(QualifyAnswerTable(c.lines, c.table, dir), c.replaced);
        EXPECT_EQ(c.lines, c.expected);
    }
    QStringList withSlash{"FROM ANSW"};
    QualifyAnswerTable(withSlash, "ANSW", dir + "/");
    EXPECT_EQ(withSlash.first(), "FROM '/home/u/TBX_PRIV/ANSW'");
}

TEST(DivideOrZero, MissingOrZeroRatesGiveZero)
{
    EXPECT_EQ(divideOrZero(10, 4), 2.5);
    EXPECT_EQ(divideOrZero(10, 0), 0);
    EXPECT_EQ(divideOrZero(10, NAN), 0);
    EXPECT_EQ(divideOrZero(1e308, 1e-308), 0);
}

class AnswerTablesTest : public ReportFixture {};

TEST_F(AnswerTablesTest, EveryWayReplacesTheTableAndTheMainDatabaseJoinsIt)
{
    AnswerTables t(privateDb);
    using namespace datastore;
    const TableDef def{"Answ1", {text("Cod_grupa", 8), text("Cod_articol", 30), floating("Ctot")}, {}};
    EXPECT_EQ(t.copyQuery(def, "SELECT Grupa, Cod, 2 FROM \":TSTOCK:Catalog.DB\""), 4);
    EXPECT_EQ(t.copyQuery(def, "SELECT Grupa, Cod, 3 FROM \":TSTOCK:Catalog.DB\" WHERE Grupa = 'BIRO'"), 2);
    QString sql = "SELECT SUM(A.Ctot) FROM Answ1 A, CATALOG C WHERE (A.Cod_articol = C.Cod)";
    ASSERT_TRUE(QualifyAnswerTable(sql, "Answ1", priv.path()));
    EXPECT_EQ(db.scalar(sql).toDouble(), 6.0);
    t.createBySql("CREATE TABLE TotalInOut (Cod_grupa char(8), TotalIn numeric, PRIMARY KEY (Cod_grupa))");
    t.createBySql("CREATE TABLE TotalInOut (Cod_grupa char(8), TotalIn numeric, PRIMARY KEY (Cod_grupa))");
    t.insertRows("TotalInOut", {"Cod_grupa", "TotalIn"}, {{"A", 1}, {"B", 2}});
    EXPECT_EQ(privateDb.scalar("SELECT SUM(TotalIn) FROM TotalInOut").toDouble(), 3.0);
    t.remove("TotalInOut");
    EXPECT_FALSE(t.exists("TotalInOut"));
    EXPECT_FALSE(db.tableNames().contains("Answ1.DB")); // never in the database directory
}

TEST_F(AnswerTablesTest, TwoWorkstationsKeepTheirOwnTables)
{
    testsupport::TempDir otherPriv;
    datastore::Database otherPrivate{"TBX_PRIV"};
    datastore::Database otherDb{"TSTOCK"};
    otherDb.setDirectory(dir.path());
    otherPrivate.setDirectory(otherPriv.path());
    connectPrivateDirectory(otherDb, otherPrivate, dir.path() + "/", otherPriv.path() + "/");
    using namespace datastore;
    const TableDef def{"ANSW", {text("Cod", 30)}, {}};
    AnswerTables(privateDb).copyQuery(def, "SELECT Cod FROM \":TSTOCK:Catalog.DB\" WHERE Grupa = 'ALIM'");
    AnswerTables(otherPrivate).copyQuery(def, "SELECT Cod FROM \":TSTOCK:Catalog.DB\"");
    EXPECT_EQ(privateDb.scalar("SELECT COUNT(*) FROM ANSW").toInt(), 2);
    EXPECT_EQ(otherPrivate.scalar("SELECT COUNT(*) FROM ANSW").toInt(), 4);
}

class CrossTabTest : public ReportFixture {
protected:
    void source(const QList<QVariantList>& rows)
    {
        using namespace datastore;
        AnswerTables t(privateDb);
        t.createFromFields({"SRC", {text("Grupa", 8), text("Gest", 4), floating("Q"), text("Den", 10)}, {}});
        t.insertRows("SRC", {"Grupa", "Gest", "Q", "Den"}, rows);
    }
    QStringList result(TCrossTab& ct)
    {
        QStringList out;
        const datastore::TableDef def = privateDb.readTableDef(ct.TableName);
        QStringList names;
        for (const auto& f : def.fields)
            names << f.name;
        out << names.join(" ");
        datastore::Query q = privateDb.query("SELECT * FROM " + ct.TableName + " ORDER BY 1");
        while (q.next()) {
            QStringList values;
            for (int i = 0; i < q.columnCount(); ++i)
                values << q.value(i).toString();
            out << values.join(" ");
        }
        return out;
    }
};

TEST_F(CrossTabTest, RowsBecomeColumnsWithRequiredLabelsOnce)
{
    source({{"A", "01", 2}, {"A", "01", 3}, {"A", "05", 1}, {"B", "05", 4}});
    TCrossTab ct(privateDb);
    ct.SourceTable = "SRC";
    ct.RowLabelFields = "Grupa";
    ct.ColLabelField = "Gest";
    ct.ValueFields = "Q";
    ct.RequiredColLabels = {"05", "09"};
    ct.Open();
    ASSERT_EQ(ct.ColLabelCount(), 3);
    EXPECT_EQ(result(ct), (QStringList{"Grupa Q.01 Q.05 Q.09", "A 5 1 ", "B  4 "}));
}

TEST_F(CrossTabTest, LabelsThatDifferOnlyInCaseAddIntoOneCell)
{
    source({{"A", "ab", 2}, {"A", "AB", 3}, {"A", "Ab", 4}, {"B", "cd", 1}});
    TCrossTab ct(privateDb);
    ct.SourceTable = "SRC";
    ct.RowLabelFields = "Grupa";
    ct.ColLabelField = "Gest";
    ct.ValueFields = "Q";
    ct.FieldSeparator = "_";
    ct.Open();
    EXPECT_EQ(ct.ColLabelCount(), 2);
    const QStringList r = result(ct);
    ASSERT_EQ(r.size(), 3);
    EXPECT_EQ(r.at(1), "A 9 ");
    ct.Operation = ctCount;
    ct.Open();
    EXPECT_EQ(result(ct).at(1), "A 3 "); // no row of B: an empty cell
}

TEST_F(CrossTabTest, EmptySourceAndDefinitionErrors)
{
    source({});
    TCrossTab ct(privateDb);
    ct.SourceTable = "SRC";
    ct.RowLabelFields = "Grupa";
    ct.ColLabelField = "Gest";
    ct.ValueFields = "Q";
    ct.RequiredColLabels = {"01"};
    ct.Open();
    EXPECT_EQ(result(ct), (QStringList{"Grupa Q.01"}));
    struct Case {
        QString rows, column, values;
        TCrossTabOperations op;
        QString message;
    };
    const QList<Case> cases{
        {"Nimic", "Gest", "Q", ctSum, "Absent field in crosstab definition: <Nimic>"},
        {"Grupa", "Gest", "Den", ctSum, "Invalid operation on field <Den>"},
    };
    for (const Case& c : cases) {
        ct.RowLabelFields = c.rows;
        ct.ColLabelField = c.column;
        ct.ValueFields = c.values;
        ct.Operation = c.op;
        try {
            ct.Open();
            ADD_FAILURE() << "no error for " << qPrintable(c.message);
        } catch (const ECrossTab& e) {
            EXPECT_EQ(e.message(), c.message);
        }
    }
    ct.ValueFields = "Den";
    ct.Operation = ctMax;
    EXPECT_NO_THROW(ct.Open());
}

TEST_F(CrossTabTest, TooManyColumnsAreRefused)
{
    QList<QVariantList> rows;
    for (int i = 0; i < 300; ++i)
        rows.append({"A", QString::number(1000 + i), 1});
    source(rows);
    TCrossTab ct(privateDb);
    ct.SourceTable = "SRC";
    ct.RowLabelFields = "Grupa";
    ct.ColLabelField = "Gest";
    ct.ValueFields = "Q";
    EXPECT_THROW(ct.Open(), ECrossTab);
}

} // namespace
