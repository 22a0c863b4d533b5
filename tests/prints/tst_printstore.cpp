// Every print keeps its own print settings: it starts from the page it is
// designed for, the user's choice in its print setup stays with it alone and
// comes back from the application INI file at the next start; only the
// printer is shared.

#include "prints/documentprints.h"
#include "prints/printsettings.h"
#include "prints/printstore.h"
#include "prints/tqrprndlg.h"

#include "printstest.h"

#include "common/scripteddialogs.h"
#include "datastore/tablecatalog.h"
#include "datastore/tabledef.h"
#include "reportengine/output.h"
#include "testsupport.h"

#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace {

using namespace prints;
using printstest::FakePrinters;
using reportengine::Orientation;

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A school with one document of each kind the sequence prints: a consumption
// note (32), an invoice (40), a receipt note (12) and a scrapping list (33).
class PrintStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.setDirectory(dir.path());
        for (const datastore::TableDef& t : datastore::databaseTables())
            db.createTable(t);
        using namespace datastore;
        db.createTable({QStringLiteral("LZilnica.DB"),
                        {floating(QStringLiteral("Cod")), floating(QStringLiteral("NrPersR")),
                         floating(QStringLiteral("DrepturiR")), floating(QStringLiteral("ConsumatR")),
                         floating(QStringLiteral("NrPers")), floating(QStringLiteral("Drepturi")),
                         floating(QStringLiteral("Consumat"))},
                        {}});
        db.createTable({QStringLiteral("Etichete.DB"),
                        {text(QStringLiteral("DenGest"), 30), text(QStringLiteral("Cod_gestiune"), 4),
                         text(QStringLiteral("Cod_grupa"), 8), text(QStringLiteral("Cod_articol"), 30),
                         text(QStringLiteral("Denumire"), 255), text(QStringLiteral("Lot"), 30)},
                        {}});
        db.exec("INSERT INTO FIRMDATA (Cod, Denumire, ORC, \"Cod fiscal\", Adresa, Judet) "
                "VALUES (0, 'Scoala Gimnaziala nr. 1', 'J26/1/2001', 'RO123', 'Str. Lunga 3', 'Mures')");
        db.exec("INSERT INTO FURN (Cod_furnizor, Nume_furnizor, Adresa, Cod_fiscal) VALUES ('S1', 'Papetaria SRL', "
                "'Brasov', 'RO77')");
        db.exec("INSERT INTO GEST (Cod, Denumire, Gestionar) VALUES ('A', 'Magazie centrala', 'Marin Elena')");
        db.exec("INSERT INTO CLIENT (Cod_client, Nume_client) VALUES ('B1', 'Buget local'), ('C1', 'Scoala nr. 2')");
        db.exec("INSERT INTO GRUP (Cod_material, Cod_grupa, Denumire) VALUES ('M', 'G', 'Rechizite')");
        db.exec("INSERT INTO CATALOG (Grupa, Cod, Denumire, Descriere, Unitate_masura, Coef_TVA) VALUES "
                "('G', 'HA4', 'Hartie copiator', 'A4 80 g', 'top', 19), ('G', 'PIX', 'Pix cu gel albastru', NULL, "
                "'buc', 19)");
        db.exec("INSERT INTO DOC_IN (Contor, Data_inregistrarii, Numar, Tip, Data, Furnizor) "
                "VALUES (12, '2026-03-10', 4711, 'FCT', '2026-03-09', 'S1')");
        db.exec("INSERT INTO ITEM_IN (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
                "Pret_achizitie_lei, TVA, Agent, Lot) VALUES (12, 1, 'A', 'G', 'HA4', 250, 22.68, 1077.3, 'B1', "
                "'L-2026-03'), (12, 2, 'A', 'G', 'PIX', 1000, 1.43, 271.7, 'B1', NULL)");
        db.exec("INSERT INTO DOC_OUT (Contor, Data_inregistrarii, Numar, Tip, Data, Client, Explicatie) VALUES "
                "(32, '2026-04-04', 9, 'BMC', '2026-04-04', NULL, 'Consum luna aprilie'), "
                "(33, '2026-04-05', 3, 'CSR', '2026-04-05', NULL, NULL), "
                "(40, '2026-04-06', 41, 'FCT', '2026-04-06', 'C1', NULL)");
        db.exec("INSERT INTO ITEM_OUT (Contor, Contor_secundar, Cod_gestiune, Cod_grupa, Cod_articol, Cantitate, "
                "Pret_achizitie, Pret_vinzare, TVA, Agent, Lot) VALUES "
                "(32, 1, 'A', 'G', 'HA4', 12, 22.68, 22.68, 51.71, 'B1', 'L-2026-03'), "
                "(32, 2, 'A', 'G', 'PIX', 150, 1.43, 1.43, 40.76, 'B1', NULL), "
                "(33, 1, 'A', 'G', 'HA4', 1, 22.68, 22.68, 0, 'B1', '2019-05-01'), "
                "(40, 1, 'A', 'G', 'HA4', 20, 22.68, 30, 114, 'C1', NULL)");
    }

    PrintRequest request(double contor) const
    {
        PrintRequest r{const_cast<datastore::Database&>(db), parameters, formats, dir.path()};
        r.contor = contor;
        r.registrationDate = QDate(2026, 3, 10);
        r.seriesNumber = QStringLiteral("AB 41");
        r.options.explanation = true;
        return r;
    }

    // The print setup of `name` on its own settings: `choose` changes what the
    // user changes; the dialog is confirmed.
    PrintSettings& setUp(PrintSettingsStore& store, const QString& name,
                         const std::function<void(PrintSetupLogic&)>& choose = {})
    {
        PrintSettings& settings = documentPrintSettings(store, name);
        PrintSetupLogic logic(settings, printers, dialogs);
        if (choose)
            choose(logic);
        EXPECT_TRUE(logic.print()) << name.toStdString();
        return settings;
    }

    // The print of `name` laid out with `settings`, as ApplyPrintSettings sends it to the printer.
    reportengine::PageList laidOut(const QString& name, double contor, const PrintSettings& settings) const
    {
        DocumentPrint print = findDocumentPrintKind(name)->build(request(contor));
        const PrinterChoice choice{printers.resolve(settings.printer), settings.paperSize, settings.orientation};
        applyPageSettings(*print.report, settings, printers.paperIndex(choice), printers.limits(choice));
        reportengine::PageList pages = print.layout();
        if (!testsupport::shotsDir().isEmpty())
            reportengine::writePdf(pages, testsupport::shotsDir() + QStringLiteral("/sequence-%1.pdf").arg(name));
        return pages;
    }

    // The texts of the pages that do not lie wholly on the paper.
    static QStringList offThePaper(const reportengine::PageList& pages)
    {
        QStringList off;
        for (const reportengine::Page& page : pages.pages)
            for (const reportengine::PageItem& item : page.items)
                if (item.kind == reportengine::PageItem::Text && !item.text.trimmed().isEmpty()
                    && item.textX + item.textWidth > pages.setup.paper.width() + 0.01)
                    off << item.text;
        return off;
    }

    static QStringList texts(const reportengine::PageList& pages)
    {
        QStringList all;
        for (int p = 0; p < pages.pageCount(); ++p)
            all << pages.texts(p);
        return all;
    }

    testsupport::TempDir dir;
    datastore::Database db;
    common::Parameters parameters;
    common::Formats formats;
    FakePrinters printers;
    common::ScriptedDialogs dialogs;
};

struct Expected {
    const char* name;
    double contor;
    Orientation orientation;
    QSizeF paper; // as printed, mm
};

// Printed one after the other, each print comes out on its own orientation,
// font and paper: the consumption note on landscape with every column on the
// paper, the invoice after it on portrait, the receipt note on landscape in
// Arial 8, the scrapping list on A4 portrait in Arial 8.
TEST_F(PrintStore, PrintsInASequenceEachComeOutOnTheirOwnPage)
{
    PrintSettingsStore store;
    // The print before them was a landscape one, the user's choice for it.
    setUp(store, "labels", [](PrintSetupLogic& l) { l.setOrientation(PageOrientation::Landscape); });

    const Expected sequence[] = {
        {"consumption-note", 32, Orientation::Landscape, {297, 210}},
        {"invoice", 40, Orientation::Portrait, {210, 297}},
        {"receipt-note", 12, Orientation::Landscape, {297, 210}},
        {"scrapping-list", 33, Orientation::Portrait, {210, 297}},
    };
    for (const Expected& e : sequence) {
        SCOPED_TRACE(e.name);
        PrintSettings& settings = documentPrintSettings(store, e.name);
        {
            PrintSetupLogic logic(settings, printers, dialogs);
            EXPECT_EQ(logic.fontText(), "Arial   8");
            EXPECT_EQ(logic.orientation() == PageOrientation::Landscape, e.orientation == Orientation::Landscape);
            ASSERT_TRUE(logic.print());
        }
        const reportengine::PageList pages = laidOut(e.name, e.contor, settings);
        EXPECT_EQ(pages.setup.orientation, e.orientation);
        EXPECT_EQ(pages.setup.paperIndex, kA4PaperSize);
        EXPECT_EQ(pages.setup.paper, e.paper);
        EXPECT_EQ(pages.setup.font.family(), "Arial");
        EXPECT_EQ(pages.setup.font.pointSizeF(), 8);
        EXPECT_FALSE(QFontInfo(pages.setup.font).fixedPitch()) << QFontInfo(pages.setup.font).family().toStdString();
        const QStringList off = offThePaper(pages);
        EXPECT_TRUE(off.isEmpty()) << "off the paper: " << off.join(" | ").toStdString();
    }
    // The consumption note's last columns and totals are on its landscape page.
    const QStringList note = texts(laidOut("consumption-note", 32, documentPrintSettings(store, "consumption-note")));
    for (const char* column : {"Valoare", "TVA", "Observatii"})
        EXPECT_TRUE(note.contains(QString::fromLatin1(column))) << column;

    // The font the prints ask for is there, or the one with its metrics.
    const QString family = QFontInfo(QFont(QString::fromLatin1(kDefaultFontName))).family();
    EXPECT_TRUE(family == "Arial" || family == "Liberation Sans") << family.toStdString();
}

// A choice in one print's setup stays with that print, in this run and,
// through the INI file, at the next.
TEST_F(PrintStore, AChoiceStaysWithItsPrintAcrossARestart)
{
    const QString path = dir.file("mirafel.INI");
    {
        common::IniFile ini(path);
        PrintSettingsStore store(ini);
        setUp(store, "invoice", [](PrintSetupLogic& l) {
            l.setOrientation(PageOrientation::Landscape);
            l.setFont("Tahoma", 9, FontPitch::Variable);
            l.setMargin(MarginSide::Top, 25);
        });
        const PrintSettings& note = documentPrintSettings(store, "consumption-note");
        EXPECT_EQ(note.orientation, PageOrientation::Landscape);
        EXPECT_EQ(note.fontName, "Arial");
        EXPECT_FALSE(note.userChoice);
        const PrintSettings& nir = documentPrintSettings(store, "receipt-note");
        EXPECT_EQ(nir.orientation, PageOrientation::Landscape);
        EXPECT_EQ(nir.topMargin, 10);
        EXPECT_EQ(documentPrintSettings(store, "invoice").fontName, "Tahoma") << "the same settings while the store lives";
        ASSERT_TRUE(store.write());
    }
    // Only the print the user chose for has a section.
    const common::IniFile written(path);
    EXPECT_EQ(written.sections(), (QStringList{"PrinterSettings", "Print invoice"}));
    EXPECT_EQ(written.keys("Print invoice"),
              (QStringList{"FontName", "FontSize", "FontPitch", "PageOrientation", "PaperSize", "TopMargin",
                           "LeftMargin", "BottomMargin", "RightMargin"}));

    common::IniFile ini(path);
    PrintSettingsStore restarted(ini);
    const PrintSettings& invoice = documentPrintSettings(restarted, "invoice");
    EXPECT_TRUE(invoice.userChoice);
    EXPECT_EQ(invoice.orientation, PageOrientation::Landscape);
    EXPECT_EQ(invoice.fontName, "Tahoma");
    EXPECT_EQ(invoice.fontSize, 9);
    EXPECT_EQ(invoice.fontPitch, FontPitch::Variable);
    EXPECT_EQ(invoice.topMargin, 25);
    EXPECT_EQ(invoice.leftMargin, 10);
    const PrintSettings& receipt = documentPrintSettings(restarted, "invoice-with-receipt");
    EXPECT_EQ(receipt, designedSettings(documentPage())) << "another print, on its design";
    EXPECT_EQ(laidOut("invoice", 40, invoice).setup.orientation, Orientation::Landscape);
}

// The printer is the one thing all prints share: chosen in one print's
// setup, every print goes to it, and it is kept in PrinterSettings.
TEST_F(PrintStore, ThePrinterIsShared)
{
    const QString path = dir.file("mirafel.INI");
    {
        common::IniFile ini(path);
        PrintSettingsStore store(ini);
        documentPrintSettings(store, "invoice");
        setUp(store, "consumption-note", [](PrintSetupLogic& l) { l.setPrinter("Matrix"); });
        EXPECT_EQ(documentPrintSettings(store, "invoice").printer, "Matrix") << "a print used before";
        EXPECT_EQ(documentPrintSettings(store, "labels").printer, "Matrix") << "a print used after";
        EXPECT_EQ(store.printer(), "Matrix");
        ASSERT_TRUE(store.write());
    }
    common::IniFile ini(path);
    EXPECT_EQ(ini.readString("PrinterSettings", "Printer"), "Matrix");
    EXPECT_FALSE(ini.valueExists("Print consumption-note", "Printer"));
    PrintSettingsStore restarted(ini);
    EXPECT_EQ(documentPrintSettings(restarted, "scrapping-list").printer, "Matrix");
}

// The single set of earlier versions held the page of the last print and,
// most often, the printer's fixed-pitch font: no print takes them over;
// only the printer is kept, and the old keys go at the first exit.
TEST_F(PrintStore, TheFormerSingleSetGivesOnlyThePrinter)
{
    const QString path = dir.file("mirafel.INI");
    writeBytes(path, "[Options]\r\nRefresh=30\r\n"
                                 "[PrinterSettings]\r\nFontName=Courier 10cpi\r\nFontSize=10\r\nPrinter=Matrix\r\n"
                                 "FontPitch=2\r\nPageOrientation=1\r\nPaperSize=0\r\nTopMargin=5\r\nLeftMargin=5\r\n"
                                 "BottomMargin=5\r\nRightMargin=5\r\n");
    common::IniFile ini(path);
    PrintSettingsStore store(ini);
    for (const char* name : {"receipt-note", "invoice", "scrapping-list"}) {
        PrintSettings expected = designedSettings(findDocumentPrintKind(QString::fromLatin1(name))->design);
        expected.printer = "Matrix";
        EXPECT_EQ(documentPrintSettings(store, name), expected) << name;
    }
    ASSERT_TRUE(store.write());
    EXPECT_EQ(contents(path), "[Options]\r\nRefresh=30\r\n[PrinterSettings]\r\nPrinter=Matrix\r\n");
}

// A pre-printed form's page is its layout file's: its section keeps the font only.
TEST_F(PrintStore, APreprintedFormKeepsOnlyItsFont)
{
    const QString path = dir.file("mirafel.INI");
    {
        common::IniFile ini(path);
        PrintSettingsStore store(ini);
        PrintSettings& form = documentPrintSettings(store, "preprinted-invoice");
        form.fontName = "Tahoma";
        form.orientation = PageOrientation::Landscape;
        form.userChoice = true;
        ASSERT_TRUE(store.write());
    }
    common::IniFile ini(path);
    EXPECT_EQ(ini.keys("Print preprinted-invoice"), (QStringList{"FontName", "FontSize", "FontPitch"}));
    ini.writeInteger("Print preprinted-invoice", "PageOrientation", 1); // written by hand: not read
    PrintSettingsStore restarted(ini);
    const PrintSettings& form = documentPrintSettings(restarted, "preprinted-invoice");
    EXPECT_EQ(form.fontName, "Tahoma");
    EXPECT_EQ(form.orientation, PageOrientation::Portrait);
    EXPECT_TRUE(findDocumentPrintKind("preprinted-invoice")->design.pageFromLayoutFile);
    EXPECT_TRUE(findDocumentPrintKind("preprinted-delivery-note")->design.pageFromLayoutFile);

    // Laid out, the form stays on the page of its layout file and takes the font chosen.
    writeBytes(dir.file("Factura.INI"), "[Margini]\r\nSus=20\r\nStinga=8\r\nDreapta=8\r\nJos=10\r\n"
                                        "[Pagina]\r\nFormat=11\r\n");
    PrintRequest r = request(40);
    r.layoutDir = dir.path();
    const DocumentPrintKind& kind = *findDocumentPrintKind("preprinted-invoice");
    DocumentPrint print = kind.build(r);
    PrintSettings chosen = form;
    chosen.orientation = PageOrientation::Landscape;
    chosen.paperSize = kA4PaperSize;
    applyPrintPage(print, kind, chosen);
    EXPECT_EQ(print.report->paperIndex(), 11);
    EXPECT_EQ(print.report->pageOrientation(), Orientation::Portrait);
    EXPECT_EQ(print.report->pageMargins(), QMarginsF(8, 20, 8, 10));
    EXPECT_EQ(print.report->reportFont().family(), "Tahoma");
}

// The page each print declares is the page its report is built on, so that
// its defaults are the print as designed.
TEST_F(PrintStore, EachPrintIsDeclaredOnThePageItIsBuiltFor)
{
    for (const DocumentPrintKind& kind : documentPrintKinds()) {
        if (kind.design.pageFromLayoutFile)
            continue;
        SCOPED_TRACE(kind.name.toStdString());
        PrintRequest r = request(kind.name == "receipt-note" ? 12 : kind.name == "invoice" ? 40 : 32);
        r.layoutDir = dir.path();
        const DocumentPrint print = kind.build(r);
        const reportengine::Report& report = *print.report;
        const PageDesign& d = kind.design;
        EXPECT_EQ(report.pageOrientation(), d.orientation == PageOrientation::Landscape ? Orientation::Landscape
                                                                                         : Orientation::Portrait);
        EXPECT_EQ(report.paperIndex(), d.paperSize);
        EXPECT_EQ(report.pageMargins(), QMarginsF(d.leftMargin, d.topMargin, d.rightMargin, d.bottomMargin));
        EXPECT_EQ(report.reportFont().family(), d.fontName);
        EXPECT_EQ(report.reportFont().pointSizeF(), d.fontSize);
    }
}

// The print setup shows the name of the print its settings are for.
TEST_F(PrintStore, TheSetupNamesItsPrint)
{
    PrintSettingsStore store;
    const struct {
        const char* name;
        const char* shot;
        bool landscape;
    } prints[] = {{"consumption-note", "printsetup-consumption-note.png", true},
                  {"invoice", "printsetup-invoice.png", false}};
    for (const auto& p : prints) {
        TQRPrnDlg dlg(documentPrintSettings(store, p.name), printers, dialogs);
        dlg.setPrintCaption(findDocumentPrintKind(p.name)->caption);
        dlg.show();
        QApplication::processEvents();
        EXPECT_EQ(dlg.printCaptionLabel()->text(), findDocumentPrintKind(p.name)->caption);
        EXPECT_TRUE(dlg.printCaptionLabel()->isVisible());
        EXPECT_EQ(dlg.windowTitle(), "Setari pentru listarea rapoarte");
        dlg.pages()->setCurrentIndex(1);
        EXPECT_EQ(dlg.landscapeButton()->isChecked(), p.landscape) << p.name;
        testsupport::saveShot(dlg, QString::fromLatin1(p.shot));
    }
    TQRPrnDlg plain(documentPrintSettings(store, "invoice"), printers, dialogs);
    plain.show();
    EXPECT_FALSE(plain.printCaptionLabel()->isVisible());
}

} // namespace
