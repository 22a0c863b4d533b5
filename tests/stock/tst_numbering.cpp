// Document numbers: counters given and given back, line numbers, the
// proposals for a document's number, and the invoice, delivery note and
// receipt series with their limits and messages.

#include "stocktest.h"

#include "datastore/dberror.h"

using namespace stock;

namespace {

class Numbering : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.setDirectory(dir.path());
        stocktest::createStockTables(db);
        p.SerFact = QStringLiteral("AB");
        p.FactN1 = 1001;
        p.FactN2 = 2000;
        p.SerAE = QStringLiteral("AE");
        p.AEN1 = 1;
        p.AEN2 = 500;
        p.ChN1 = 300;
    }
    void storedInvoice(double contor, const QString& series, double number)
    {
        db.exec(QStringLiteral("INSERT INTO FCTSER (Contor, Serie, Number) VALUES (:c, :s, :n)"),
                {{"c", contor}, {"s", series}, {"n", number}});
    }
    int rows(const QString& table) { return db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)).toInt(); }

    testsupport::TempDir dir{testsupport::TempDir::Database};
    datastore::Database db;
    common::Parameters p;
    common::ScriptedDialogs dialogs;
};

} // namespace

TEST_F(Numbering, InvoiceSeriesLimitsAndWarnings)
{
    const struct {
        const char* name;
        double largest; // of series AB; 0 for an empty table
        bool ok;
        double number;
        const char* warning;
    } cases[] = {
        {"first invoice ever", 0, true, 1001, nullptr},
        {"fifty left", 1950, true, 1951, "Mai puteti emite 50 facturi pina la epuizarea seriei!"},
        {"a hundred left", 1900, true, 1901, nullptr},
        {"one left", 1999, true, 2000, "Mai puteti emite 1 facturi pina la epuizarea seriei!"},
        {"exhausted", 2000, false, 0, "Actuala serie de numere de factura s-a epuizat!"},
        {"below the first number", 12, true, 1001, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        db.exec(QStringLiteral("DELETE FROM FCTSER"));
        dialogs.clear();
        if (c.largest > 0) {
            storedInvoice(1, QStringLiteral("AB"), c.largest);
            storedInvoice(2, QStringLiteral("ZZ"), 1999); // another series does not count
        }
        const int before = rows(QStringLiteral("FCTSER"));
        const SeriesNumber n = GetInvoiceNumber(db, p, dialogs, 77);
        EXPECT_EQ(n.ok, c.ok);
        EXPECT_EQ(rows(QStringLiteral("FCTSER")), before + (c.ok ? 1 : 0));
        if (c.ok) {
            EXPECT_EQ(n.series, QStringLiteral("AB"));
            EXPECT_EQ(n.number, c.number);
        }
        EXPECT_EQ(dialogs.texts(), c.warning ? QStringList{QString::fromUtf8(c.warning)} : QStringList());
    }
}

TEST_F(Numbering, ADocumentKeepsItsSeriesNumber)
{
    const SeriesNumber first = GetInvoiceNumber(db, p, dialogs, 5);
    p.SerFact = QStringLiteral("CD"); // a new series since
    const SeriesNumber again = GetInvoiceNumber(db, p, dialogs, 5);
    EXPECT_EQ(again.series, first.series);
    EXPECT_EQ(again.number, first.number);
    EXPECT_EQ(rows(QStringLiteral("FCTSER")), 1);
    // The new series starts at its first number; the old one continues after its largest.
    EXPECT_EQ(GetInvoiceNumber(db, p, dialogs, 6).number, 1001);
    p.SerFact = QStringLiteral("AB");
    EXPECT_EQ(GetInvoiceNumber(db, p, dialogs, 7).number, 1002);
    EXPECT_EQ(formatSeriesNumber(QStringLiteral("AB"), 1002), QStringLiteral("AB 1002        "));
}

TEST_F(Numbering, ASeriesTextIsAValueNotPartOfTheStatement)
{
    p.SerFact = QStringLiteral("A\"B'");
    EXPECT_EQ(GetInvoiceNumber(db, p, dialogs, 1).number, 1001);
    EXPECT_EQ(GetInvoiceNumber(db, p, dialogs, 2).number, 1002);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(Numbering, DeliveryNoteSeries)
{
    db.exec(QStringLiteral("INSERT INTO AESER (Contor, Serie, Number) VALUES (1, 'AE', 450)"));
    const SeriesNumber n = GetDeliveryNoteNumber(db, p, dialogs, 9);
    EXPECT_TRUE(n.ok);
    EXPECT_EQ(n.number, 451);
    EXPECT_EQ(dialogs.texts(), QStringList{"Mai puteti emite 50 avize de expeditie pîna la epuizarea seriei!"});
    db.exec(QStringLiteral("UPDATE AESER SET Number = 500 WHERE Contor = 1"));
    dialogs.clear();
    EXPECT_FALSE(GetDeliveryNoteNumber(db, p, dialogs, 10).ok);
    EXPECT_EQ(dialogs.texts(), QStringList{"Actuala serie de numere de avize de expeditie s-a epuizat!"});
}

TEST_F(Numbering, ReceiptNumbers)
{
    const QDate d1(2024, 3, 1), d2(2024, 3, 2);
    EXPECT_EQ(GetReceiptNumber(db, p, dialogs, 1, d1).number, 300); // empty table: the first number
    EXPECT_EQ(GetReceiptNumber(db, p, dialogs, 2, d1).number, 301);
    EXPECT_EQ(GetReceiptNumber(db, p, dialogs, 1, d2).number, 302); // another collection of the same document
    const SeriesNumber again = GetReceiptNumber(db, p, dialogs, 1, d1);
    EXPECT_TRUE(again.ok);
    EXPECT_EQ(again.number, 300);
    p.ChN1 = 1000; // a first number above the largest
    EXPECT_EQ(GetReceiptNumber(db, p, dialogs, 3, d1).number, 1000);
    EXPECT_EQ(rows(QStringLiteral("CHSER")), 4);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(Numbering, DatabaseErrorsAreReportedAndGiveNoNumber)
{
    db.dropTable(QStringLiteral("Fctser.DB"));
    db.dropTable(QStringLiteral("Chser.db"));
    EXPECT_FALSE(GetInvoiceNumber(db, p, dialogs, 1).ok);
    EXPECT_FALSE(GetReceiptNumber(db, p, dialogs, 1, QDate(2024, 1, 1)).ok);
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(
        "Eroare de acces la baza de date!\rNu pot determina urmatorul numar de serie de factura!\r<"));
    EXPECT_TRUE(dialogs.messages[0].text.endsWith(u'>'));
    EXPECT_TRUE(dialogs.messages[1].text.startsWith(
        "Eroare de acces la baza de date!\rNu pot determina urmatorul numar de chitanta!\r<"));
    EXPECT_EQ(dialogs.messages[0].icon, common::Icon::Error);
}

TEST_F(Numbering, CountersAreGivenBackOnlyByTheNewestDocument)
{
    EXPECT_EQ(TakeCounter(db, CounterField::In), 1);
    EXPECT_EQ(TakeCounter(db, CounterField::In), 2);
    EXPECT_EQ(TakeCounter(db, CounterField::Out), 1); // each kind counts on its own
    GiveBackCounter(db, CounterField::In, 2);
    EXPECT_EQ(TakeCounter(db, CounterField::In), 2); // reused
    EXPECT_EQ(TakeCounter(db, CounterField::In), 3);
    GiveBackCounter(db, CounterField::In, 2); // not the newest: lost
    EXPECT_EQ(TakeCounter(db, CounterField::In), 4);
    EXPECT_EQ(rows(QStringLiteral("COUNTER")), 1);
}

TEST_F(Numbering, LineNumbersAndDocumentNumberProposals)
{
    EXPECT_EQ(NextLineNumber(db, QStringLiteral("ITEM_OUT"), 7), 1);
    db.exec(QStringLiteral("INSERT INTO ITEM_OUT (Contor, Contor_secundar) VALUES (7, 1), (7, 4), (8, 9)"));
    EXPECT_EQ(NextLineNumber(db, QStringLiteral("ITEM_OUT"), 7), 5);

    db.exec(QStringLiteral("INSERT INTO DOC_OUT (Contor, Data_inregistrarii, Numar, Tip) VALUES "
                           "(1, :d1, 14, 'AE'), (2, :d2, 90, 'FF'), (3, :d3, 50, 'AE'), (4, :d1, 3, 'AE')"),
            {{"d1", QDate(2024, 5, 1)}, {"d2", QDate(2024, 6, 1)}, {"d3", QDate(2023, 12, 31)}});
    EXPECT_EQ(ProposeOutputNumber(db, 2024, QStringLiteral("AE")), 15);
    EXPECT_EQ(ProposeOutputNumber(db, 2025, QStringLiteral("AE")), 1);

    db.exec(QStringLiteral("INSERT INTO DOC_IN (Contor, Data_inregistrarii, Numar, Tip) VALUES "
                           "(1, :d1, 8, 'LZ'), (2, :d1, 30, 'NR')"),
            {{"d1", QDate(2024, 5, 1)}});
    EXPECT_EQ(ProposeLzNumber(db, 2024), 9);
}
