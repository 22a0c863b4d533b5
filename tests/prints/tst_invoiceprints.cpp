// The three invoice prints over a small database: what each prints (golden
// text of every page), the lines that must never be lost or split, the
// totals of the pre-printed form and its layout file.

#include "prints/amountinwords.h"
#include "prints/documentprints.h"
#include "prints/invoicefiles.h"
#include "prints/invoiceprints.h"
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
        // Three VAT rates, an article sold at two prices, one line split in two,
        // a name long enough to wrap and an article gone from the catalog.
        db.exec("INSERT INTO CATALOG (Grupa, Cod, Denumire, Descriere, Unitate_masura, Coef_TVA) VALUES "
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
                "(22, '2026-04-03', 18, 'FCT', '2026-04-03', 'C1')");
        // The VAT of a line is stored rounded to the ban, as the documents keep it.
        int n = 0;
        auto line = [&](double contor, const QString& article, double quantity, double price, double vatRate,
                        double excise = 0) {
            db.exec("INSERT INTO ITEM_OUT (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, "
                    "Cantitate, Pret_vinzare, TVA, Acciza) VALUES (:c, :n, 'A', 'G', :a, :q, :p, :t, :e)",
                    {{"c", contor}, {"n", ++n}, {"a", article}, {"q", quantity}, {"p", price},
                     {"t", std::round(quantity * price * vatRate) / 100}, {"e", excise}});
        };
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
        db.exec("INSERT INTO CLNPAY (Cod_client, Contor_document, Data_platii, Suma) "
                "VALUES ('C1', 22, '2026-04-03', 150.5)");

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

    testsupport::TempDir dir;
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

TEST_F(InvoicePrints, PlainInvoiceGoesOverTwoPagesAndLosesNoLine)
{
    const reportengine::PageList pages = printed("invoice", request(21));
    ASSERT_EQ(pages.pageCount(), 2);
    const QString text = reportengine::plainText(pages);
    EXPECT_TRUE(testsupport::matchesGolden(QStringLiteral("print-invoice-multivat.txt"), text));
    keepPdf(pages, QStringLiteral("invoice.pdf"));

    // Lines of the same article and price are one; another price is another line.
    EXPECT_EQ(linesContaining(text, "A01 - Hirtie"),
              QStringList({"1 A01 - Hirtie copiator top 15 20,00 300,00 57,00",
                           "2 A01 - Hirtie copiator top 2 22,50 45,00 8,55"}));
    // The article gone from the catalog still prints, with its code.
    EXPECT_EQ(linesContaining(text, "Z99"), QStringList({"62 Z99 1 100,00 100,00 19,00"}));
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
    EXPECT_EQ(linesContaining(without, "Hirtie copiator").value(0), "1 Hirtie copiator top 15 20,00 300,00 57,00");
    EXPECT_EQ(linesContaining(without, "Z99"), QStringList({"62 Z99 1 100,00 100,00 19,00"}));
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
    EXPECT_EQ(linesContaining(text, "Hirtie copiator").value(0).section(' ', 0, 5), "1 A01 - Hirtie copiator A4");
    // The dispatch details print in the footer of each page.
    EXPECT_EQ(linesContaining(text, "Pop Ioan").size(), 2);

    // Every element wrote its place into the file; the keys already there stay.
    common::IniFile ini(dir.file("Factura.INI"));
    EXPECT_EQ(ini.readInteger("Pozitie factura", "Den_ext", 0), 60);
    EXPECT_EQ(ini.readInteger("Antet factura", "Numar_stinga", 0), 40);
    for (const auto& [section, key] : std::vector<std::pair<const char*, const char*>>{
             {"Antet firma", "Capital_stinga"}, {"Antet client", "ORC_Client_sus"}, {"Antet factura", "Data_latime"},
             {"Pozitie factura", "Pret_stings"}, {"Baza factura", "Sum_ext"}, {"Baza factura", "DataExpeditie_sus"}})
        EXPECT_TRUE(ini.valueExists(section, key)) << section << " " << key;
}

TEST_F(InvoicePrints, PreprintedTotalsArePerPageAndTheDocumentsOnTheLastPage)
{
    // Without excise or dispatch details: the footer holds the totals only.
    db.exec("UPDATE ITEM_OUT SET Acciza = 0");
    ASSERT_TRUE(prints::WriteTransport(dir.path(), prints::TransportDetails{}));
    {
        common::IniFile ini(dir.file("Factura.INI"));
        ASSERT_TRUE(ini.writeInteger("Antet+cap tabel", "Inaltime", 70));
        ASSERT_TRUE(ini.writeInteger("Baza Factura", "Inaltime", 30));
    }
    double value = 0, vat = 0;
    {
        datastore::Query q = db.query("SELECT SUM(Cantitate * Pret_vinzare), SUM(TVA) FROM ITEM_OUT WHERE Contor = 21");
        ASSERT_TRUE(q.next());
        value = q.value(0).toDouble();
        vat = q.value(1).toDouble();
    }
    const reportengine::PageList pages = printed("preprinted-invoice", request(21));
    ASSERT_GE(pages.pageCount(), 2);

    // The four totals stand at the foot of each page, in the page footer.
    auto footer = [&](int page) {
        QStringList texts;
        for (const reportengine::PageItem& item : pages.pages[page].items)
            if (item.band == reportengine::BandKind::PageFooter && item.kind == reportengine::PageItem::Text
                && !item.text.isEmpty())
                texts << item.text;
        return texts;
    };
    const int last = pages.pageCount() - 1;
    const QStringList end = footer(last);
    EXPECT_EQ(end, QStringList({common::formatFloat("#,##0.00", value, formats),
                                common::formatFloat("#,##0.00", vat, formats),
                                common::formatFloat("#,##0.00", value + vat, formats)}));
    // An earlier page has the figures of its own lines.
    const QStringList first = footer(0);
    ASSERT_EQ(first.size(), 3);
    auto number = [](QString text) { return text.remove(u'.').replace(u',', u'.').toDouble(); };
    double pageValue = 0;
    double pageVat = 0;
    QSet<int> rows;
    for (const reportengine::PageItem& item : pages.pages[0].items) {
        if (item.band != reportengine::BandKind::Detail || item.kind != reportengine::PageItem::Text)
            continue;
        rows.insert(qRound(item.box.top() * 10));
        // The value column ends 178 mm from the paper's edge, the VAT column 201 mm.
        if (qAbs(item.box.right() - 178) < 0.5)
            pageValue += number(item.text);
        else if (qAbs(item.box.right() - 201) < 0.5)
            pageVat += number(item.text);
    }
    EXPECT_GT(rows.size(), 10);
    EXPECT_NEAR(number(first.at(0)), pageValue, 0.005);
    EXPECT_NEAR(number(first.at(1)), pageVat, 0.005);
    EXPECT_NEAR(number(first.at(2)), pageValue + pageVat, 0.02);
    EXPECT_LT(pageValue, value);
}

TEST_F(InvoicePrints, ThePageOfThePreprintedInvoiceGoesBackToItsLayoutFile)
{
    common::IniFile ini(dir.file("Factura.INI"));
    // A new file: the defaults.
    prints::PrintSettings s = prints::preprintedInvoiceSettings(ini, prints::PrintSettings{});
    EXPECT_EQ(std::vector<int>({s.topMargin, s.leftMargin, s.rightMargin, s.bottomMargin, s.paperSize}),
              std::vector<int>({10, 8, 8, 10, 9}));
    ASSERT_TRUE(ini.writeInteger("Margini", "Stinga", 15));
    ASSERT_TRUE(ini.writeInteger("Pagina", "Format", 11));
    s.orientation = prints::PageOrientation::Landscape;
    s = prints::preprintedInvoiceSettings(ini, s);
    EXPECT_EQ(s.leftMargin, 15);
    EXPECT_EQ(s.paperSize, 11);
    EXPECT_EQ(s.orientation, prints::PageOrientation::Portrait);

    // What was used is written back: margins, paper and both heights.
    prints::DocumentPrint print = prints::BuildPreprintedInvoice(request(22));
    print.report->margins(12, 9, 7, 11).page(9);
    print.report->findBand(reportengine::BandKind::PageFooter)->setHeight(33);
    ASSERT_TRUE(prints::writePreprintedInvoicePage(ini, *print.report));
    common::IniFile back(dir.file("Factura.INI"));
    EXPECT_EQ(std::vector<int>({back.readInteger("Margini", "Sus", 0), back.readInteger("Margini", "Stinga", 0),
                                back.readInteger("Margini", "Dreapta", 0), back.readInteger("Margini", "Jos", 0),
                                back.readInteger("Pagina", "Format", 0),
                                back.readInteger("Antet+cap tabel", "Inaltime", 0),
                                back.readInteger("Baza Factura", "Inaltime", 0)}),
              std::vector<int>({9, 12, 7, 11, 9, 65, 33}));
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
