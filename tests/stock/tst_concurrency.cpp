// Two workstations at once, as two processes on one database directory:
// neither may receive a counter or an invoice number the other received, and
// neither may lose the other's change of a stock row.

#include "stocktest.h"

#include <QProcess>
#include <QSet>

namespace {

class TwoWorkstations : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.setDirectory(dir.path());
        stocktest::createStockTables(db);
    }
    // Starts both workers, waits for them, and returns what each printed.
    QList<QStringList> runBoth(const QStringList& first, const QStringList& second)
    {
        QProcess a, b;
        a.start(QStringLiteral(STOCK_WORKER), QStringList{dir.path()} + first);
        b.start(QStringLiteral(STOCK_WORKER), QStringList{dir.path()} + second);
        QList<QStringList> out;
        for (QProcess* p : {&a, &b}) {
            EXPECT_TRUE(p->waitForFinished(120000));
            EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
            out << QString::fromLatin1(p->readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        }
        return out;
    }

    testsupport::TempDir dir{testsupport::TempDir::Database};
    datastore::Database db;
};

QSet<QString> all(const QList<QStringList>& outputs)
{
    QSet<QString> values;
    for (const QStringList& o : outputs)
        for (const QString& v : o)
            values.insert(v);
    return values;
}

} // namespace

TEST_F(TwoWorkstations, CountersAreNeverGivenTwice)
{
    const QList<QStringList> out = runBoth({"counters", "150"}, {"counters", "150"});
    ASSERT_EQ(out[0].size() + out[1].size(), 300);
    const QSet<QString> values = all(out);
    EXPECT_EQ(values.size(), 300);
    EXPECT_TRUE(values.contains(QStringLiteral("1")) && values.contains(QStringLiteral("300")));
}

TEST_F(TwoWorkstations, InvoiceNumbersAreNeverGivenTwice)
{
    const QList<QStringList> out = runBoth({"invoices", "100", "1"}, {"invoices", "100", "1001"});
    ASSERT_EQ(out[0].size() + out[1].size(), 200);
    const QSet<QString> values = all(out);
    EXPECT_EQ(values.size(), 200);
    EXPECT_FALSE(values.contains(QStringLiteral("-1")));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT MAX(Number) FROM FCTSER")).toInt(), 200);
}

TEST_F(TwoWorkstations, PostingsAgainstOneRowAreBothKept)
{
    db.exec(QStringLiteral("INSERT INTO STOC (Cod_gestiune, Cod_grupa, Cod_articol, Pret_achizitie, Cantitate) "
                           "VALUES ('A', 'G', 'ART', 5, 1000)"));
    db.exec(QStringLiteral("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, "
                           "Pret_achizitie_lei, Cantitate) VALUES (1, 1, 'A', 'G', 'ART', 5, 1000)"));
    const QList<QStringList> out = runBoth({"post", "120", "10"}, {"post", "120", "20"});
    EXPECT_EQ(out[0].size(), 120);
    EXPECT_EQ(out[1].size(), 120);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT Cantitate FROM STOC")).toDouble(), 760);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT SUM(Cantitate) FROM ITEM_OUT")).toDouble(), 240);
}
