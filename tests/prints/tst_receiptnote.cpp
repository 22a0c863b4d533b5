// The receipt note of an input document: what is printed where, and a real
// PDF of it.

#include "prints/receiptnote.h"
#include "reportengine/canvas.h"
#include "reportengine/output.h"

#include "datastore/tablecatalog.h"
#include "testsupport.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

class ReceiptNoteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.setDirectory(dir.path());
        for (const char* t : {"Doc_in.DB", "Item_in.DB", "Catalog.DB", "Furn.DB", "Gest.db", "Firmdata.DB"})
            db.createTable(*datastore::findTableDef(QString::fromLatin1(t)));
        db.exec("INSERT INTO FIRMDATA (Cod, Denumire, Adresa, \"Cod fiscal\", Comisia1, Comisia2) "
                "VALUES (0, 'Scoala Gimnaziala nr. 1', 'Str. Lunga 3', 'RO123', 'Pop Ana', 'Ion Vasile')");
        db.exec("INSERT INTO FURN (Cod_furnizor, Nume_furnizor, Adresa, Cod_fiscal) VALUES ('S1', 'Papetaria SRL', 'Brasov', 'RO77')");
        db.exec("INSERT INTO \"Gest.db\" (Cod, Denumire, Gestionar) VALUES ('A', 'Magazie', 'Marin Elena')");
        db.exec("INSERT INTO CATALOG (Grupa, Cod, Denumire, Descriere, Unitate_masura) VALUES "
                "('G', 'HA4', 'Hartie', 'A4', 'top'), ('G', 'PIX', 'Pix', NULL, 'buc')");
        db.exec("INSERT INTO DOC_IN (Contor, Data_inregistrarii, Numar, Tip, Data, Furnizor, Explicatie) "
                "VALUES (12, '2026-03-10', 4711, 'FCT', '2026-03-09', 'S1', 'Rechizite')");
        db.exec("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
                "Pret_achizitie_lei, TVA, Agent, Lot) VALUES "
                "(12, 1, 'A', 'G', 'HA4', 10, 23.8, 38, 'B1', NULL), (12, 2, 'A', 'G', 'PIX', 100, 1.43, 23, 'B1', '7')");
    }
    testsupport::TempDir dir{testsupport::TempDir::Database};
    datastore::Database db;
    common::Parameters parameters;
    common::Formats formats;
};

TEST_F(ReceiptNoteTest, PrintsTheDocumentItsLinesAndTotals)
{
    prints::ReceiptNote note = prints::BuildReceiptNote(db, parameters, formats, 12, QDate(2026, 3, 10));
    const reportengine::PageList pages = note.report->layout(*note.rows);
    const reportengine::TextCapture text = reportengine::capture(pages);
    ASSERT_EQ(text.pageCount, 1);
    const QStringList printed = text.textsOn(0);
    const QString all = printed.join(u'|');
    for (const char* expected : {"Scoala Gimnaziala nr. 1", "Nota de receptie", "Nr. : 12  din data 10.03.2026",
                                 "la documentul nr. 4711  data 09.03.2026", "Papetaria SRL", "C.F. RO77", "Rechizite",
                                 "Hartie A4", "Pix", "top", "238,00", "143,00", "38,00", "23,00",
                                 "381,00", "61,00", "442,00", "Marin Elena", "Pop Ana", "Ion Vasile"})
        EXPECT_TRUE(printed.contains(QString::fromUtf8(expected))) << expected << "\n" << all.toStdString();
    // The running count of the lines.
    QStringList counts;
    for (const reportengine::TextCapture::Text& t : text.onPage(0, reportengine::BandKind::Detail))
        if (t.x < 19)
            counts << t.text;
    EXPECT_EQ(counts, QStringList({"1", "2"}));

    // Kept for a look when MIRAFEL_SHOTS_DIR names a folder.
    const QString pdf = testsupport::shotsDir().isEmpty() ? dir.file("nota.pdf")
                                                         : testsupport::shotsDir() + QStringLiteral("/receipt_note.pdf");
    ASSERT_TRUE(reportengine::writePdf(pages, pdf));
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(5).startsWith("%PDF"));
}

// A note printed without a date of its own (the command line without
// --date) is dated on its document's registration date.
TEST_F(ReceiptNoteTest, WithoutADateTheNoteTakesItsDocumentsRegistrationDate)
{
    prints::ReceiptNote note = prints::BuildReceiptNote(db, parameters, formats, 12, QDate());
    const QStringList printed = reportengine::capture(note.report->layout(*note.rows)).textsOn(0);
    EXPECT_TRUE(printed.contains(QStringLiteral("Nr. : 12  din data 10.03.2026"))) << printed.join(u'|').toStdString();
    EXPECT_EQ(printed.count(QStringLiteral("10.03.2026")), 1) << "received into the warehouse that day";
}

TEST_F(ReceiptNoteTest, ADocumentWithoutSupplierOrLinesStillPrints)
{
    db.exec("INSERT INTO DOC_IN (Contor, Data_inregistrarii, Numar, Tip, Data) VALUES (13, '2026-03-11', 1, 'NR', '2026-03-11')");
    prints::ReceiptNote note = prints::BuildReceiptNote(db, parameters, formats, 13, QDate(2026, 3, 11));
    const reportengine::TextCapture text = reportengine::capture(note.report->layout(*note.rows));
    EXPECT_TRUE(text.textsOn(0).contains("Nota de receptie"));
    EXPECT_TRUE(text.onPage(0, reportengine::BandKind::Detail).isEmpty());
}

// The input side of a transfer names no supplier of the catalog (or none at
// all): the note still prints its header, every line and the totals.
TEST_F(ReceiptNoteTest, ADocumentWhoseSupplierIsNotInTheCatalogPrintsWhole)
{
    const struct {
        const char* supplier; // nullptr: none
    } cases[] = {{"B"}, {nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.supplier ? c.supplier : "(none)");
        db.exec("DELETE FROM DOC_IN WHERE Contor = 14");
        db.exec("DELETE FROM ITEM_IN WHERE Contor = 14");
        db.exec("INSERT INTO DOC_IN (Contor, Data_inregistrarii, Numar, Tip, Data, Furnizor, Explicatie) "
                "VALUES (14, '2026-03-12', 31, 'NR', '2026-03-12', :f, 'Transfer din magazie')",
                {{"f", c.supplier ? QVariant(QString::fromLatin1(c.supplier)) : QVariant()}});
        db.exec("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
                "Pret_achizitie_lei, TVA, Agent) VALUES (14, 1, 'A', 'G', 'PIX', 4, 1.5, 0, 'B1'), "
                "(14, 2, 'A', 'G', 'GONE', 1, 2, 0, 'B1')");
        prints::ReceiptNote note = prints::BuildReceiptNote(db, parameters, formats, 14, QDate(2026, 3, 12));
        const reportengine::TextCapture text = reportengine::capture(note.report->layout(*note.rows));
        const QStringList printed = text.textsOn(0);
        for (const char* expected : {"la documentul nr. 31  data 12.03.2026", "Transfer din magazie", "Pix", "GONE",
                                     "6,00", "2,00", "8,00", "Marin Elena"})
            EXPECT_TRUE(printed.contains(QString::fromLatin1(expected))) << expected;
        EXPECT_EQ(text.onPage(0, reportengine::BandKind::Detail).size() > 0, true);
    }
}

} // namespace
