// The invoice prints and the delivery notes over a small database: what each
// prints (golden text of every page), the lines that must never be lost or
// split, totals that are the sums of the printed lines, the VAT of each rate,
// the pages after the first, the pre-printed forms and their layout files.

#include "prints/amountinwords.h"
#include "prints/documentprints.h"
#include "prints/invoicefiles.h"
#include "prints/invoiceprints.h"
#include "prints/noteprints.h"
#include "printstest.h"
#include "reportengine/canvas.h"
#include "reportengine/exportfilters.h"
#include "reportengine/output.h"

#include "common/inifile.h"
#include "common/scripteddialogs.h"
#include "datastore/tablecatalog.h"
#include "testsupport.h"

#include <QFile>
#include <QSet>
#include <cmath>
#include <gtest/gtest.h>

namespace {

class InvoicePrints : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.setDirectory(dir.path());
        for (const char* t : {"Doc_out.DB", "Item_out.DB", "Catalog.DB", "Client.DB", "Clnpay.DB", "Firmdata.DB"})
            db.createTable(*datastore::findTableDef(QString::fromLatin1(t)));
        db.exec("INSERT INTO FIRMDATA (Cod, Denumire, ORC, \"Cod fiscal\", Adresa, Judet, Cont, Banca, Capital_text) "
                "VALUES (0, 'Liceul Teoretic Mures', 'J26/1/2001', 'RO4321', 'Tirgu Mures, Str. Scolii 5', 'Mures', "
                "'RO49TREZ4765', 'Trezoreria Tirgu Mures', '1000')");
        db.exec("INSERT INTO CLIENT (Cod_client, Nume_client, Adresa, Judetul, Banca, Cont_bancar, Cod_fiscal, ORC) "
                "VALUES ('C1', 'Cantina Veche SRL', 'Reghin', 'Mures', 'BCR Reghin', 'RO12RNCB0001', 'RO999', "
                "'J26/77/1999')");
        // Four VAT rates, an article sold at two prices, one line split in two,
        // a name long enough to wrap and an article gone from the catalog.
        db.exec("INSERT INTO CATALOG (Grupa, Cod, Denumire, Descriere, Unitate_masura, Coef_TVA) VALUES "
                "('G', 'A00', 'Abonament revista', NULL, 'buc', 0), "
                "('G', 'A01', 'Hirtie copiator', 'A4 80g', 'top', 19), "
                "('G', 'A02', 'Paine alba', NULL, 'buc', 9), "
                "('G', 'A03', 'Carte scolara', 'manual', 'buc', 5), "
                "('G', 'A04', 'Detergent pentru vase cu balsam de lamiie, ambalaj economic de cinci litri', "
                "NULL, 'l', 19)");
        for (int i = 5; i <= 60; ++i)
            db.exec("INSERT INTO CATALOG (Grupa, Cod, Denumire, Unitate_masura, Coef_TVA) VALUES "
                    "('G', :c, :n, 'buc', :t)",
                    {{"c", QStringLiteral("A%1").arg(i, 2, 10, QChar(u'0'))},
                     {"n", QStringLiteral("Articol de birou %1").arg(i)},
                     {"t", i % 3 == 0 ? 9 : 19}});
        db.exec("INSERT INTO DOC_OUT (Contor, Data_inregistrarii, Numar, Tip, Data, Client) VALUES "
                "(21, '2026-04-02', 17, 'FCT', '2026-04-02', 'C1'), "
                "(22, '2026-04-03', 18, 'FCT', '2026-04-03', 'C1'), "
                "(23, '2026-04-04', 19, 'FCT', '2026-04-04', 'C1'), "
                "(24, '2026-04-05', 20, 'FCT', '2026-04-05', 'C1')");
        // The VAT of a line is stored rounded to the ban, as the documents keep it.
        int n = 0;
        auto line = [&](double contor, const QString& article, double quantity, double price, double vatRate,
                        double excise = 0) {
            db.exec("INSERT INTO ITEM_OUT (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, "
                    "Cantitate, Pret_vinzare, TVA, Acciza) VALUES (:c, :n, 'A', 'G', :a, :q, :p, :t, :e)",
                    {{"c", contor}, {"n", ++n}, {"a", article}, {"q", quantity}, {"p", price},
                     {"t", std::round(quantity * price * vatRate) / 100}, {"e", excise}});
        };
        line(21, "A00", 2, 40, 0);
        line(21, "A01", 10, 20, 19);
        line(21, "A01", 5, 20, 19); // the same article and price: one printed line of 15
        line(21, "A01", 2, 22.5, 19); // another price: a line of its own
        line(21, "A02", 40, 1.5, 9, 1.2);
        line(21, "A03", 3, 35, 5);
        line(21, "A04", 6, 11.25, 19);
        line(21, "Z99", 1, 100, 19); // no longer in the catalog
        for (int i = 5; i <= 60; ++i)
            line(21, QStringLiteral("A%1").arg(i, 2, 10, QChar(u'0')), i % 4 + 1, 2.5 + i,
                 i % 3 == 0 ? 9 : 19);
        line(22, "A02", 100, 1.5, 9);
        line(22, "A03", 1, 12, 5);
        // Values that are not whole bani, all at 19 %: three lines of 3,333 lei
        // print 3,33 each; two lines of 0,335 of one article print as one of 0,67.
        for (const char* article : {"A05", "A07", "A08"})
            line(23, article, 1, 3.333, 19);
        line(23, "A10", 1, 0.335, 19);
        line(23, "A10", 1, 0.335, 19);
        // An amount close to the largest the program takes.
        line(24, "A01", 1000, 45678901234.57, 19);
        db.exec("INSERT INTO CLNPAY (Cod_client, Contor_document, Data_platii, Suma) "
                "VALUES ('C1', 22, '2026-04-03', 150.5), ('C1', 24, '2026-04-05', 54357892469138.3)");

        QFile footer(dir.file(QString::fromLatin1(prints::kInvoiceFooterFileName)));
        ASSERT_TRUE(footer.open(QIODevice::WriteOnly));
        footer.write("Marfa se livreaza din depozitul central.\r\nPlata in 15 zile.\r\n");
        footer.close();
        prints::TransportDetails transport{true, "Pop Ioan", "MS", "123456", "MS-01-ABC", "02.04.2026"};
        ASSERT_TRUE(prints::WriteTransport(dir.path(), transport));
    }

    prints::PrintRequest request(double contor)
    {
        prints::PrintRequest r{db, parameters, formats, dir.path()};
        r.contor = contor;
        r.seriesNumber = QStringLiteral("ABC 17          ");
        r.options.comment = true;
        return r;
    }

    // The print of that kind, laid out.
    reportengine::PageList printed(const char* kind, const prints::PrintRequest& r)
    {
        const prints::DocumentPrintKind* k = prints::findDocumentPrintKind(QString::fromLatin1(kind));
        EXPECT_NE(k, nullptr) << kind;
        if (!k)
            return {};
        return k->build(r).layout();
    }

    testsupport::TempDir dir{testsupport::TempDir::Database};
    datastore::Database db;
    common::Parameters parameters;
    common::Formats formats;
};

// Kept as PDF for a look when MIRAFEL_SHOTS_DIR names a folder.
void keepPdf(const reportengine::PageList& pages, const QString& name)
{
    if (!testsupport::shotsDir().isEmpty()) {
        EXPECT_TRUE(reportengine::writePdf(pages, testsupport::shotsDir() + u'/' + name));
    }
}

// The lines of the plain text that hold `piece`, their blanks squeezed.
QStringList linesContaining(const QString& text, const QString& piece)
{
    QStringList found;
    for (const QString& line : text.split(u'\n'))
        if (line.contains(piece))
            found << line.simplified();
    return found;
}

// A printed amount ("5.563,50") as a number.
double amount(QString text)
{
    return text.remove(u'.').replace(u',', u'.').toDouble();
}

// The texts of a band on a page, in printing order.
QStringList textsOf(const reportengine::TextCapture& c, int page, reportengine::BandKind band)
{
    QStringList texts;
    for (const reportengine::TextCapture::Text& t : c.onPage(page, band))
        if (!t.text.isEmpty())
            texts << t.text;
    return texts;
}

TEST_F(InvoicePrints, PlainInvoiceGoesOverTwoPagesAndLosesNoLine)
{
    const reportengine::PageList pages = printed("invoice", request(21));
    ASSERT_EQ(pages.pageCount(), 2);
    const QString text = reportengine::plainText(pages);
    EXPECT_TRUE(testsupport::matchesGolden(QStringLiteral("print-invoice-multivat.txt"), text));
    keepPdf(pages, QStringLiteral("invoice.pdf"));

    // Lines of the same article and price are one; another price is another line.
    EXPECT_EQ(linesContaining(text, "A01 - Hirtie"),
              QStringList({"2 A01 - Hirtie copiator top 15 20,00 300,00 19 57,00",
                           "3 A01 - Hirtie copiator top 2 22,50 45,00 19 8,55"}));
    // The article gone from the catalog still prints, with its code and the rate its VAT shows.
    EXPECT_EQ(linesContaining(text, "Z99"), QStringList({"63 Z99 1 100,00 100,00 19 19,00"}));
    // The capital is a text: the number mask does not make it "1.000,00".
    EXPECT_EQ(linesContaining(text, "1000").size(), 1);
    EXPECT_TRUE(linesContaining(text, "1.000,00").isEmpty());
    // The footer text when the comment is chosen.
    EXPECT_EQ(linesContaining(text, "Plata in 15 zile.").size(), 1);

    // Without the comment and without codes.
    prints::PrintRequest plain = request(21);
    plain.options.comment = false;
    parameters.CodProdusPeFact = false;
    const QString without = reportengine::plainText(printed("invoice", plain));
    EXPECT_TRUE(linesContaining(without, "Plata in 15 zile.").isEmpty());
    EXPECT_EQ(linesContaining(without, "Hirtie copiator").value(0), "2 Hirtie copiator top 15 20,00 300,00 19 57,00");
    EXPECT_EQ(linesContaining(without, "Z99"), QStringList({"63 Z99 1 100,00 100,00 19 19,00"}));
}

// Every figure under the lines is the sum of the figures printed in them,
// each line's value rounded once: 3 x 3,333 lei print 3,33 each and add up to
// 9,99, not to 10,00; two document lines of 0,335 print as one of 0,67.
TEST_F(InvoicePrints, EveryTotalIsTheSumOfThePrintedLines)
{
    const struct {
        const char* kind;
        QStringList totals; // the figures under the lines, in printing order
    } cases[] = {
        {"invoice", {"10,66", "2,01", "10,66", "2,01", "12,67"}},
        {"invoice-with-receipt", {"10,66", "2,01", "10,66", "2,01", "12,67"}},
        {"preprinted-invoice", {"10,66", "2,01", "10,66", "2,01", "12,67"}},
        {"delivery-note", {"10,66"}},
        {"preprinted-delivery-note", {"10,66"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const reportengine::TextCapture printedTexts = reportengine::capture(printed(c.kind, request(23)));
        ASSERT_EQ(printedTexts.pageCount, 1);
        // The prices and the values of the lines.
        const QStringList lines = textsOf(printedTexts, 0, reportengine::BandKind::Detail);
        EXPECT_EQ(lines.count("3,33"), 6);
        EXPECT_EQ(lines.count("0,67"), 1);
        QStringList totals;
        for (const reportengine::BandKind band : {reportengine::BandKind::Summary, reportengine::BandKind::PageFooter})
            for (const QString& t : textsOf(printedTexts, 0, band))
                if (!t.isEmpty() && (t.front().isDigit()) && t.contains(u','))
                    totals << t;
        EXPECT_EQ(totals, c.totals);
    }
}

// An invoice with lines at 0, 5, 9 and 19 % states the rate of each line and,
// under the totals, the base and the VAT of each rate; the heading states a
// rate only when every line has it.
TEST_F(InvoicePrints, EachLineStatesItsRateAndEachRateItsBaseAndVat)
{
    // The heading's rate, beside the column's title "Cota TVA" / "%".
    const auto statedRate = [](const QString& text) {
        QStringList found;
        for (const QString& line : linesContaining(text, "Cota TVA"))
            if (line.endsWith(u'%'))
                found << line;
        return found;
    };
    const QString multi = reportengine::plainText(printed("invoice", request(21)));
    EXPECT_TRUE(statedRate(multi).isEmpty());
    const QStringList rates = linesContaining(multi, "cota ");
    ASSERT_EQ(rates.size(), 4);
    const QStringList captions{"din care cota 0 %:", "cota 5 %:", "cota 9 %:", "cota 19 %:"};
    double base = 0;
    double vat = 0;
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(rates.at(i).startsWith(captions.at(i))) << rates.at(i).toStdString();
        const QStringList figures = rates.at(i).section(u':', 1).split(u' ', Qt::SkipEmptyParts);
        ASSERT_EQ(figures.size(), 2);
        base += amount(figures.at(0));
        vat += amount(figures.at(1));
    }
    EXPECT_EQ(rates.at(0), "din care cota 0 %: 80,00 0,00");
    const QStringList total = linesContaining(multi, "Total:").value(0).split(u' ');
    ASSERT_EQ(total.size(), 3);
    EXPECT_NEAR(base, amount(total.at(1)), 0.001);
    EXPECT_NEAR(vat, amount(total.at(2)), 0.001);

    // One rate on every line: the heading states it.
    const QString single = reportengine::plainText(printed("invoice", request(23)));
    EXPECT_EQ(statedRate(single), QStringList({"Cota TVA 19 %"}));
    EXPECT_EQ(linesContaining(single, "cota "), QStringList({"din care cota 19 %: 10,66 2,01"}));

    // The pre-printed form: the heading's rate only for one rate, the rate on every line.
    auto headingRate = [&](double contor) {
        const reportengine::PageList pages = printed("preprinted-invoice", request(contor));
        QStringList found;
        for (const reportengine::TextCapture::Text& t : reportengine::capture(pages).onPage(0, reportengine::BandKind::PageHeader))
            if (qAbs(t.box.left() - (150 + 8)) < 0.5)
                found << t.text;
        return found.join(u'|');
    };
    EXPECT_EQ(headingRate(21), "");
    EXPECT_EQ(headingRate(23), "19");
    const QString form = reportengine::plainText(printed("preprinted-invoice", request(21)));
    EXPECT_EQ(linesContaining(form, "A00 - Abonament"), QStringList({"1 A00 - Abonament revista buc 2 40,00 80,00 0 0,00"}));
}

TEST_F(InvoicePrints, InvoiceWithReceiptRestatesThePaymentInWords)
{
    prints::PrintRequest r = request(22);
    r.receiptNumber = 300;
    const reportengine::PageList pages = printed("invoice-with-receipt", r);
    ASSERT_EQ(pages.pageCount(), 1);
    const QString text = reportengine::plainText(pages);
    EXPECT_TRUE(testsupport::matchesGolden(QStringLiteral("print-invoice-with-receipt.txt"), text));
    keepPdf(pages, QStringLiteral("invoice_with_receipt.pdf"));
    EXPECT_EQ(linesContaining(text, "CHITANTA NR.").value(0), "CHITANTA NR. 300 Data 03.04.2026");
    EXPECT_EQ(linesContaining(text, "Suma de lei"), QStringList({"Suma de lei 150,50"}));
    EXPECT_EQ(linesContaining(text, "adica").value(0),
              ("adica " + prints::AmountInWords(150.5)).simplified());
    // The receipt invoice prints the catalog name without the code.
    EXPECT_FALSE(linesContaining(text, "Paine alba").value(0).contains("A02"));
}

// The sum in words of an amount of tens of trillions takes two lines; what
// follows it moves down instead of being written over.
TEST_F(InvoicePrints, TheSumInWordsTakesTheLinesItNeeds)
{
    prints::PrintRequest r = request(24);
    r.receiptNumber = 301;
    r.options.comment = false;
    const reportengine::PageList pages = printed("invoice-with-receipt", r);
    const QString text = reportengine::plainText(pages);
    EXPECT_TRUE(testsupport::matchesGolden(QStringLiteral("print-invoice-with-receipt-large.txt"), text));
    keepPdf(pages, QStringLiteral("invoice_with_receipt_large.pdf"));
    EXPECT_EQ(linesContaining(text, "Suma de lei"), QStringList({"Suma de lei 54.357.892.469.138,30"}));
    EXPECT_EQ(linesContaining(text, "Total de plata:"), QStringList({"Total de plata: 54.357.892.469.138,30"}));

    // The words take two lines, and no text of the receipt lies over another.
    const reportengine::TextCapture c = reportengine::capture(pages);
    QList<reportengine::TextCapture::Text> receipt;
    for (const reportengine::TextCapture::Text& t : c.texts)
        if (t.band == reportengine::BandKind::Child && !t.text.isEmpty())
            receipt << t;
    qsizetype words = -1;
    qsizetype after = -1;
    for (qsizetype i = 0; i < receipt.size(); ++i) {
        if (receipt.at(i).text.startsWith("adica"))
            words = i;
        if (receipt.at(i).text.startsWith("reprezent"))
            after = i;
        for (qsizetype j = 0; j < i; ++j) {
            const QRectF a(receipt.at(i).x, receipt.at(i).y, receipt.at(i).width, receipt.at(i).box.height());
            const QRectF b(receipt.at(j).x, receipt.at(j).y, receipt.at(j).width, receipt.at(j).box.height());
            EXPECT_FALSE(a.intersects(b)) << receipt.at(i).text.toStdString() << " / " << receipt.at(j).text.toStdString();
        }
    }
    ASSERT_GE(words, 0);
    EXPECT_EQ(after - words, 2);
}

// The payment belongs to the document: an invoice without a client still
// prints its sum, and another document's payment of the same client never.
TEST_F(InvoicePrints, TheReceiptTakesThePaymentOfItsDocument)
{
    db.exec("UPDATE DOC_OUT SET Client = NULL WHERE Contor = 22");
    db.exec("UPDATE CLNPAY SET Cod_client = NULL WHERE Contor_document = 22");
    db.exec("INSERT INTO CLNPAY (Cod_client, Contor_document, Data_platii, Suma) VALUES ('C1', 21, '2026-04-01', 999)");
    prints::PrintRequest r = request(22);
    r.receiptNumber = 301;
    const QString text = reportengine::plainText(printed("invoice-with-receipt", r));
    EXPECT_EQ(linesContaining(text, "Suma de lei"), QStringList({"Suma de lei 150,50"}));
}

// A page after the first names its document: series, number and date.
TEST_F(InvoicePrints, ThePagesAfterTheFirstNameTheDocument)
{
    const struct {
        const char* kind;
        const char* heading;
    } cases[] = {
        {"invoice", "FACTURA FISCALA Seria ABC 17 Nr. 17 data 02.04.26"},
        {"invoice-with-receipt", "FACTURA FISCALA Seria ABC 17 Nr. 17 data 02.04.26"},
        {"delivery-note", "AVIZ DE INSOTIRE A MARFII Seria ABC 17 Nr. 17 data 02.04.26"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const reportengine::PageList pages = printed(c.kind, request(21));
        keepPdf(pages, QString::fromLatin1(c.kind) + QStringLiteral("_continued.pdf"));
        const reportengine::TextCapture texts = reportengine::capture(pages);
        ASSERT_GE(texts.pageCount, 2);
        EXPECT_TRUE(textsOf(texts, 0, reportengine::BandKind::PageHeader).isEmpty());
        for (int page = 1; page < texts.pageCount; ++page) {
            const QStringList heading = textsOf(texts, page, reportengine::BandKind::PageHeader);
            ASSERT_EQ(heading.size(), 1);
            EXPECT_EQ(heading.first().simplified(), QString::fromLatin1(c.heading));
        }
    }
    // Without a series number, the heading has none.
    prints::PrintRequest r = request(21);
    r.seriesNumber.clear();
    const reportengine::TextCapture texts = reportengine::capture(printed("delivery-note", r));
    EXPECT_EQ(textsOf(texts, 1, reportengine::BandKind::PageHeader).value(0).simplified(),
              "AVIZ DE INSOTIRE A MARFII Nr. 17 data 02.04.26");
}

TEST_F(InvoicePrints, PreprintedInvoiceTakesItsPlacesFromTheLayoutFile)
{
    {
        common::IniFile ini(dir.file("Factura.INI"));
        ASSERT_TRUE(ini.writeInteger("Antet+cap tabel", "Inaltime", 70));
        ASSERT_TRUE(ini.writeInteger("Baza Factura", "Inaltime", 30));
        ASSERT_TRUE(ini.writeInteger("Pozitie factura", "Den_ext", 60));
        ASSERT_TRUE(ini.writeInteger("Antet factura", "Numar_stinga", 40));
    }
    prints::PrintRequest r = request(21);
    r.options.description = true;
    const reportengine::PageList pages = printed("preprinted-invoice", r);
    ASSERT_EQ(pages.pageCount(), 2);
    const QString text = reportengine::plainText(pages);
    EXPECT_TRUE(testsupport::matchesGolden(QStringLiteral("print-invoice-preprinted.txt"), text));
    keepPdf(pages, QStringLiteral("invoice_preprinted.pdf"));

    // The description follows the name when chosen.
    EXPECT_EQ(linesContaining(text, "Hirtie copiator").value(0).section(' ', 0, 5), "2 A01 - Hirtie copiator A4");
    // The dispatch details print in the footer of each page.
    EXPECT_EQ(linesContaining(text, "Pop Ioan").size(), 2);

    // Every element wrote its place into the file; the keys already there stay.
    common::IniFile ini(dir.file("Factura.INI"));
    EXPECT_EQ(ini.readInteger("Pozitie factura", "Den_ext", 0), 60);
    EXPECT_EQ(ini.readInteger("Antet factura", "Numar_stinga", 0), 40);
    for (const auto& [section, key] : std::vector<std::pair<const char*, const char*>>{
             {"Antet firma", "Capital_stinga"}, {"Antet client", "ORC_Client_sus"}, {"Antet factura", "Data_latime"},
             {"Pozitie factura", "Pret_stings"}, {"Pozitie factura", "Cota_dreapta"}, {"Baza factura", "Sum_ext"},
             {"Baza factura", "DataExpeditie_sus"}})
        EXPECT_TRUE(ini.valueExists(section, key)) << section << " " << key;
    // The rates' breakdown has no place of its own until the file gives it one.
    EXPECT_FALSE(ini.valueExists("Baza factura", "Cote_stinga"));
}

// At the foot of each page of a form the figures of its own lines; on the
// last page the document's, the sums of every line printed.
TEST_F(InvoicePrints, PreprintedFormsTotalEachPageAndTheDocumentOnTheLast)
{
    // Without excise or dispatch details: the footer holds the totals only.
    db.exec("UPDATE ITEM_OUT SET Acciza = 0");
    ASSERT_TRUE(prints::WriteTransport(dir.path(), prints::TransportDetails{}));
    {
        common::IniFile ini(dir.file("Factura.INI"));
        ASSERT_TRUE(ini.writeInteger("Antet+cap tabel", "Inaltime", 70));
        ASSERT_TRUE(ini.writeInteger("Baza Factura", "Inaltime", 30));
    }
    const struct {
        const char* kind;
        std::vector<double> columns; // right edges of the figures' columns on the paper
        const char* golden;
    } cases[] = {
        {"preprinted-invoice", {166, 201}, nullptr},
        {"preprinted-delivery-note", {197}, "print-delivery-note-preprinted.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        prints::PrintRequest r = request(21);
        r.options.comment = false;
        const reportengine::PageList pages = printed(c.kind, r);
        ASSERT_GE(pages.pageCount(), 2);
        if (c.golden) {
            EXPECT_TRUE(testsupport::matchesGolden(QString::fromLatin1(c.golden), reportengine::plainText(pages)));
            keepPdf(pages, QStringLiteral("delivery_note_preprinted.pdf"));
        }
        const reportengine::TextCapture texts = reportengine::capture(pages);
        std::vector<double> document(c.columns.size(), 0.0);
        for (int page = 0; page < texts.pageCount; ++page) {
            std::vector<double> own(c.columns.size(), 0.0);
            int rows = 0;
            for (const reportengine::TextCapture::Text& t : texts.onPage(page, reportengine::BandKind::Detail))
                for (std::size_t k = 0; k < c.columns.size(); ++k)
                    if (qAbs(t.box.right() - c.columns[k]) < 0.5) {
                        own[k] += amount(t.text);
                        rows += k == 0;
                    }
            EXPECT_GT(rows, 10);
            for (std::size_t k = 0; k < own.size(); ++k)
                document[k] += own[k];
            const bool last = page == texts.pageCount - 1;
            const std::vector<double>& expected = last ? document : own;
            const QStringList foot = textsOf(texts, page, reportengine::BandKind::PageFooter);
            ASSERT_EQ(foot.size(), c.columns.size() == 2 ? 3 : 1) << foot.join(u'|').toStdString();
            double sum = 0;
            for (std::size_t k = 0; k < expected.size(); ++k) {
                EXPECT_NEAR(amount(foot.at(qsizetype(k))), expected[k], 0.001) << "page " << page;
                sum += expected[k];
            }
            if (c.columns.size() == 2) {
                EXPECT_NEAR(amount(foot.at(2)), sum, 0.001) << "page " << page;
            }
        }
    }
}

// The base and VAT of each rate on the pre-printed invoice: under the last
// line, in the columns of the values and of the VAT, while Factura.INI has no
// place for them; where it places them, at the foot of the last page only.
TEST_F(InvoicePrints, ThePreprintedBreakdownGoesWhereTheLayoutFilePlacesIt)
{
    prints::PrintRequest r = request(21);
    r.options.comment = false;
    reportengine::TextCapture texts = reportengine::capture(printed("preprinted-invoice", r));
    int last = texts.pageCount - 1;
    QList<reportengine::TextCapture::Text> under = texts.onPage(last, reportengine::BandKind::Summary);
    QStringList found;
    for (const reportengine::TextCapture::Text& t : under)
        found << t.text;
    EXPECT_EQ(found.mid(0, 4), QStringList({"din care cota 0 %:", "cota 5 %:", "cota 9 %:", "cota 19 %:"}));
    EXPECT_EQ(found.mid(4, 1), QStringList({"80,00"}));
    EXPECT_NEAR(under.at(4).box.right(), 166, 0.5); // the values' column
    EXPECT_NEAR(under.at(8).box.right(), 201, 0.5); // the VAT's column
    EXPECT_EQ(under.at(8).text, "0,00");

    {
        common::IniFile ini(dir.file("Factura.INI"));
        ASSERT_TRUE(ini.writeInteger("Baza factura", "Cote_stinga", 60));
        ASSERT_TRUE(ini.writeInteger("Baza factura", "Cote_sus", 262));
    }
    texts = reportengine::capture(printed("preprinted-invoice", r));
    last = texts.pageCount - 1;
    EXPECT_TRUE(texts.onPage(last, reportengine::BandKind::Summary).isEmpty());
    for (int page = 0; page < texts.pageCount; ++page) {
        const QStringList foot = textsOf(texts, page, reportengine::BandKind::PageFooter);
        EXPECT_EQ(foot.contains("19 %"), page == last) << foot.join(u'|').toStdString();
    }
    const QList<reportengine::TextCapture::Text> rate = texts.find("0 %");
    ASSERT_EQ(rate.size(), 1);
    EXPECT_NEAR(rate.first().x, 60 + 8, 0.01);
    EXPECT_NEAR(rate.first().y, 262, 0.5);
    // The keys it lacked were written from the design.
    common::IniFile ini(dir.file("Factura.INI"));
    EXPECT_TRUE(ini.valueExists("Baza factura", "BazaCote_dreapta"));
    EXPECT_TRUE(ini.valueExists("Baza factura", "TVACote_sus"));
}

// A pre-printed form from its document window: the print setup opens on the
// page its layout file keeps, the form prints on the page chosen there, and
// that page goes back into the file; the remembered settings keep their own.
TEST_F(InvoicePrints, ThePageOfAPreprintedFormGoesBackToItsLayoutFile)
{
    const struct {
        const char* kind;
        const char* file;
        const char* footerSection; // where the footer's height goes
    } cases[] = {
        {"preprinted-invoice", "Factura.INI", "Baza Factura"},
        {"preprinted-delivery-note", "Aviz.INI", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const QString path = dir.file(QString::fromLatin1(c.file));
        {
            common::IniFile ini(path);
            ASSERT_TRUE(ini.writeInteger("Margini", "Sus", 20));
            ASSERT_TRUE(ini.writeInteger("Margini", "Stinga", 15));
            ASSERT_TRUE(ini.writeInteger("Pagina", "Format", 11));
        }
        prints::PrintSettings remembered;
        remembered.orientation = prints::PageOrientation::Landscape;
        common::ScriptedDialogs dialogs;
        printstest::FakePrinters printers;
        prints::PrintSettings opened;
        prints::PrintSettings used;
        prints::FormPrintSteps steps;
        steps.setup = [&](prints::PrintSettings& s) {
            opened = s;
            s.leftMargin = 14;
            s.copies = 3;
            return true;
        };
        steps.show = [&](const prints::DocumentPrint& print, const prints::PrintSettings& s) {
            used = s;
            const prints::PrinterChoice choice{s.printer, s.paperSize, s.orientation};
            prints::applyPageSettings(*print.report, s, printers.paperIndex(choice), printers.limits(choice));
            print.layout();
            return true;
        };
        ASSERT_TRUE(prints::PrintPreprintedForm(QString::fromLatin1(c.kind), request(21), remembered, dialogs, steps));
        EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join(u'|').toStdString();

        // The setup opened on the form's page, not on the remembered one.
        EXPECT_EQ(std::vector<int>({opened.topMargin, opened.leftMargin, opened.rightMargin, opened.bottomMargin,
                                    opened.paperSize}),
                  std::vector<int>({20, 15, 8, 10, 11}));
        EXPECT_EQ(opened.orientation, prints::PageOrientation::Portrait);
        EXPECT_EQ(used.leftMargin, 14);
        // The page went back into the file; the remembered settings kept theirs and took the rest.
        common::IniFile back(path);
        EXPECT_EQ(std::vector<int>({back.readInteger("Margini", "Sus", 0), back.readInteger("Margini", "Stinga", 0),
                                    back.readInteger("Margini", "Dreapta", 0), back.readInteger("Margini", "Jos", 0),
                                    back.readInteger("Pagina", "Format", 0)}),
                  std::vector<int>({20, 14, 8, 10, 11}));
        EXPECT_TRUE(back.valueExists("Antet+cap tabel", "Inaltime"));
        if (c.footerSection) {
            EXPECT_TRUE(back.valueExists(QString::fromLatin1(c.footerSection), "Inaltime"));
        }
        EXPECT_EQ(std::vector<int>({remembered.topMargin, remembered.leftMargin, remembered.paperSize, remembered.copies}),
                  std::vector<int>({5, 5, 0, 3}));
        EXPECT_EQ(remembered.orientation, prints::PageOrientation::Landscape);

        // Closing the setup prints nothing and writes nothing.
        ASSERT_TRUE(common::IniFile(path).writeInteger("Margini", "Stinga", 15));
        steps.setup = [](prints::PrintSettings& s) {
            s.leftMargin = 30;
            return false;
        };
        EXPECT_FALSE(prints::PrintPreprintedForm(QString::fromLatin1(c.kind), request(21), remembered, dialogs, steps));
        EXPECT_EQ(common::IniFile(path).readInteger("Margini", "Stinga", 0), 15);
    }
}

// Printed without the windows, the form keeps the page it was printed on too.
TEST_F(InvoicePrints, APrintOfAFormKeepsItsPage)
{
    common::IniFile ini(dir.file("Factura.INI"));
    ASSERT_TRUE(ini.writeInteger("Margini", "Stinga", 15));
    prints::DocumentPrint print = prints::BuildPreprintedInvoice(request(22));
    ASSERT_TRUE(print.keepPage);
    print.report->margins(12, 9, 7, 11).page(9);
    print.report->findBand(reportengine::BandKind::PageFooter)->setHeight(33);
    ASSERT_TRUE(print.keepPage());
    common::IniFile back(dir.file("Factura.INI"));
    EXPECT_EQ(std::vector<int>({back.readInteger("Margini", "Sus", 0), back.readInteger("Margini", "Stinga", 0),
                                back.readInteger("Margini", "Dreapta", 0), back.readInteger("Margini", "Jos", 0),
                                back.readInteger("Pagina", "Format", 0),
                                back.readInteger("Antet+cap tabel", "Inaltime", 0),
                                back.readInteger("Baza Factura", "Inaltime", 0)}),
              std::vector<int>({9, 12, 7, 11, 9, 65, 33}));
    EXPECT_FALSE(prints::BuildInvoice(request(22)).keepPage);
}

TEST_F(InvoicePrints, AnUnknownPrintOrUnreadableTablesEndInAMessage)
{
    common::ScriptedDialogs dialogs;
    prints::PrintSettings settings;
    EXPECT_FALSE(prints::PrintDocumentKind(nullptr, "no-such-print", request(21), settings, dialogs));
    ASSERT_EQ(dialogs.texts().size(), 1);
    EXPECT_TRUE(dialogs.texts().first().contains("nu este disponibila")) << dialogs.texts().first().toStdString();

    dialogs.clear();
    db.exec("DROP TABLE ITEM_OUT");
    EXPECT_FALSE(prints::PrintDocumentKind(nullptr, "invoice", request(21), settings, dialogs));
    ASSERT_EQ(dialogs.texts().size(), 1);
    EXPECT_TRUE(dialogs.texts().first().startsWith("Eroare de acces la baza de date!\r<"))
        << dialogs.texts().first().toStdString();
}

} // namespace
