// "Listeaza...": the print set a document starts with, the rules of the
// print boxes and their options, the invoice footer and dispatch files, the
// parameter CodProdusPeFact, and the window itself.

#include "prints/chooseprints.h"
#include "prints/chooseprintslogic.h"
#include "prints/invoicefiles.h"
#include "prints/tchooseprintsdlg.h"

#include "common/parameters.h"
#include "common/scripteddialogs.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <map>
#include <vector>

using namespace prints;
using common::ScriptedDialogs;

namespace {

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

// The three files the dialog may write, by name; a missing file is absent.
using Snapshot = std::map<QString, QByteArray>;

Snapshot snapshot(const QString& dir)
{
    Snapshot s;
    for (const char* name : {common::kDefinitionFileName, kInvoiceFooterFileName, kTransportFileName}) {
        const QString path = invoiceFilePath(dir, name);
        if (QFile::exists(path))
            s[QLatin1String(name)] = contents(path);
    }
    return s;
}

const char* kDefinition = "[Default]\r\nCLot=1\r\n; keep me\r\nCodProdusPeFact=1\r\n[Series]\r\nSerFact=ABC\r\n";

} // namespace

// ---------------------------------------------------------------------------
// The print set a document starts with

TEST(InitialPrintSetTest, FollowsTheDocumentType)
{
    const struct {
        const char* type;
        bool paid;
        int set;
    } cases[] = {
        {"FCT", false, PrintInvoiceBit},   {"FCT", true, PrintInvoiceWithReceiptBit},
        {"AE", false, PrintDeliveryNoteBit}, {"AE", true, PrintDeliveryNoteBit},
        {"NPR", false, PrintTransferNoteBit}, {"BT", false, PrintTransferNoteBit},
        {"BMC", false, PrintConsumptionNoteBit}, {"BLZ", false, PrintDailyListNoteBit},
        {"CSR", false, PrintScrappingBit},  {" fct ", true, PrintInvoiceWithReceiptBit},
        {"LZ", false, 0},                   {"NIR", true, 0},
        {"", false, 0},                     {"FCTX", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.type << "\" paid " << c.paid);
        EXPECT_EQ(InitialPrintSet(QString::fromLatin1(c.type), c.paid), c.set);
    }
}

// ---------------------------------------------------------------------------
// The rules of the boxes

class ChoosePrintsTest : public ::testing::Test {
protected:
    ChoosePrintsContext context() { return ChoosePrintsContext{params, dialogs, tmp.path()}; }
    QString path(const char* name) const { return invoiceFilePath(tmp.path(), name); }

    testsupport::TempDir tmp;
    common::Parameters params;
    ScriptedDialogs dialogs;
};

TEST_F(ChoosePrintsTest, OpensOnTheDocumentsPrintSet)
{
    const struct {
        const char* type;
        bool paid;
        bool preprinted;
        bool storedComment;
        int boxes;          // the ticked boxes
        bool includeCode;   // CodProdusPeFact is on in the parameters
        bool comment;
        bool commentEnabled;
        bool note;
        bool explanation;
    } cases[] = {
        // Plain paper.
        {"FCT", false, false, true, PrintInvoiceBit, true, true, true, true, false},
        {"FCT", false, false, false, PrintInvoiceBit, true, false, true, false, false},
        {"FCT", true, false, true, PrintInvoiceWithReceiptBit, true, true, true, true, false},
        {"AE", false, false, true, PrintDeliveryNoteBit, true, false, false, false, false},
        {"NPR", false, false, true, PrintTransferNoteBit, true, false, false, false, false},
        {"BT", false, false, false, PrintTransferNoteBit, true, false, false, false, false},
        {"BMC", false, false, true, PrintConsumptionNoteBit, false, false, false, false, true},
        {"BLZ", false, false, false, PrintDailyListNoteBit, false, false, false, false, true},
        {"CSR", false, false, true, PrintScrappingBit, true, false, false, false, false},
        {"LZ", false, false, true, 0, true, false, false, false, false},
        // Pre-printed forms: the comment opens ticked and stays enabled; an
        // invoice with receipt is the invoice.
        {"FCT", false, true, false, PrintInvoiceBit, true, true, true, true, false},
        {"FCT", true, true, false, PrintInvoiceBit, true, true, true, true, false},
        {"AE", false, true, false, PrintDeliveryNoteBit, true, true, true, false, false},
        {"BT", false, true, true, PrintTransferNoteBit, true, true, true, false, false},
        {"BMC", false, true, false, PrintConsumptionNoteBit, false, true, true, false, true},
        {"CSR", false, true, false, PrintScrappingBit, true, true, true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " paid " << c.paid << " preprinted " << c.preprinted
                                        << " comment " << c.storedComment);
        params.PreprintedInvoice = c.preprinted;
        params.CodProdusPeFact = true;
        PrintOptions stored;
        stored.comment = c.storedComment;
        stored.explanation = true; // given back only: the dialog does not open on them
        stored.description = true;
        const ChoosePrintsLogic logic(context(), InitialPrintSet(QString::fromLatin1(c.type), c.paid), stored);
        EXPECT_EQ(logic.printSet(), c.boxes);
        EXPECT_EQ(logic.includeCode(), c.includeCode);
        EXPECT_EQ(logic.comment(), c.comment);
        EXPECT_EQ(logic.commentEnabled(), c.commentEnabled);
        EXPECT_EQ(logic.commentNoteVisible(), c.note);
        EXPECT_EQ(logic.explanation(), c.explanation);
        EXPECT_FALSE(logic.description());
        EXPECT_EQ(logic.isEnabled(PrintChoice::InvoiceWithReceipt), !c.preprinted);
        EXPECT_EQ(logic.caption(PrintChoice::Invoice), c.preprinted ? "&Factura pretiparita" : "&Factura");
    }
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(ChoosePrintsTest, BoxesExcludeEachOtherAndMoveTheCommentOption)
{
    using PC = PrintChoice;
    struct Click {
        PC choice;
        bool on;
    };
    const struct {
        const char* name;
        bool preprinted;
        int start;
        std::vector<Click> clicks;
        int boxes;
        bool commentEnabled;
        bool note;
    } cases[] = {
        {"transfer note clears the invoice", false, PrintInvoiceBit, {{PC::TransferNote, true}},
         PrintTransferNoteBit, false, false},
        {"receipt clears the invoice", false, PrintInvoiceBit, {{PC::InvoiceWithReceipt, true}},
         PrintInvoiceWithReceiptBit, true, true},
        // The stored comment counts only when the dialog opens on an invoice.
        {"invoice clears the transfer note", false, PrintTransferNoteBit, {{PC::Invoice, true}}, PrintInvoiceBit,
         true, false},
        {"back to the invoice", false, PrintInvoiceBit, {{PC::TransferNote, true}, {PC::Invoice, true}},
         PrintInvoiceBit, true, true},
        {"no invoice left", false, PrintInvoiceWithReceiptBit, {{PC::InvoiceWithReceipt, false}}, 0, false, false},
        {"the other prints go along", false, PrintDeliveryNoteBit,
         {{PC::Invoice, true}, {PC::ConsumptionNote, true}, {PC::DailyListNote, true}, {PC::Scrapping, true}},
         PrintInvoiceBit | PrintDeliveryNoteBit | PrintConsumptionNoteBit | PrintDailyListNoteBit | PrintScrappingBit,
         true, false},
        {"a delivery note keeps the invoice", false, PrintInvoiceBit, {{PC::DeliveryNote, true}},
         PrintInvoiceBit | PrintDeliveryNoteBit, true, true},
        {"pre-printed: no receipt", true, PrintDeliveryNoteBit, {{PC::InvoiceWithReceipt, true}},
         PrintDeliveryNoteBit, true, false},
        {"pre-printed: the comment stays", true, PrintInvoiceBit, {{PC::TransferNote, true}},
         PrintTransferNoteBit, true, false},
        {"pre-printed: receipt cannot clear the invoice", true, PrintInvoiceBit,
         {{PC::InvoiceWithReceipt, true}}, PrintInvoiceBit, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        params.PreprintedInvoice = c.preprinted;
        PrintOptions stored;
        stored.comment = true;
        ChoosePrintsLogic logic(context(), c.start, stored);
        for (const Click& click : c.clicks)
            logic.setChecked(click.choice, click.on);
        EXPECT_EQ(logic.printSet(), c.boxes);
        EXPECT_EQ(logic.commentEnabled(), c.commentEnabled);
        EXPECT_EQ(logic.commentNoteVisible(), c.note);
    }
}

TEST_F(ChoosePrintsTest, TheCommentFollowsItsBoxOnlyWhileEnabled)
{
    ChoosePrintsLogic logic(context(), PrintInvoiceBit, PrintOptions{});
    logic.setComment(true);
    EXPECT_TRUE(logic.commentNoteVisible());
    logic.setComment(false);
    EXPECT_FALSE(logic.commentNoteVisible());
    logic.setComment(true);

    // A disabled option keeps its tick, and the flag is given back as it stands.
    logic.setChecked(PrintChoice::TransferNote, true);
    logic.setComment(false);
    EXPECT_TRUE(logic.comment());
    EXPECT_FALSE(logic.commentNoteVisible());

    logic.setDescription(true);
    logic.setExplanation(true);
    const PrintOptions options = logic.options();
    EXPECT_TRUE(options.comment);
    EXPECT_TRUE(options.explanation);
    EXPECT_TRUE(options.description);
}

// ---------------------------------------------------------------------------
// TRANSPORT.TXT

TEST_F(ChoosePrintsTest, TransportRoundTrip)
{
    TransportDetails d;
    d.include = true;
    d.name = QStringLiteral("Ștefan Pop");
    d.idSeries = "MS";
    d.idNumber = "123456";
    d.vehicle = "MS-01-ABC";
    d.date = "03.02.2024";
    ASSERT_TRUE(WriteTransport(tmp.path(), d));
    EXPECT_EQ(contents(path(kTransportFileName)),
              QByteArray("[Expeditie]\r\nInclude=1\r\nNume=") + QStringLiteral("Ștefan Pop").toUtf8() +
                  "\r\nSerieBI=MS\r\nNrBI=123456\r\nMijlocTransport=MS-01-ABC\r\nDataTransport=03.02.2024\r\n");
    const TransportFile back = ReadTransport(tmp.path());
    EXPECT_TRUE(back.isReadable());
    EXPECT_EQ(back.details, d);

    // Line breaks and blanks around a value cannot be read back: they are not written.
    d.name = " Ion\r\nPop ";
    ASSERT_TRUE(WriteTransport(tmp.path(), d));
    EXPECT_EQ(ReadTransport(tmp.path()).details.name, "Ion  Pop");
}

TEST_F(ChoosePrintsTest, TransportWithoutIncludeWritesAndReadsNoOtherKey)
{
    // A new file holds Include only.
    TransportDetails d;
    d.include = false;
    d.name = "Ion";
    d.vehicle = "MS-01-ABC";
    ASSERT_TRUE(WriteTransport(tmp.path(), d));
    EXPECT_EQ(contents(path(kTransportFileName)), "[Expeditie]\r\nInclude=0\r\n");
    EXPECT_EQ(ReadTransport(tmp.path()).details, TransportDetails{});

    // The values of an earlier dispatch stay in the file and are not read.
    const QByteArray earlier = "[Expeditie]\r\nInclude=1\r\nNume=Ion\r\nSerieBI=MS\r\nNrBI=1\r\n"
                               "MijlocTransport=B-1\r\nDataTransport=1.1.2024\r\n";
    writeBytes(path(kTransportFileName), earlier);
    ASSERT_TRUE(WriteTransport(tmp.path(), d));
    QByteArray expected = earlier;
    expected.replace("Include=1", "Include=0");
    EXPECT_EQ(contents(path(kTransportFileName)), expected);
    EXPECT_EQ(ReadTransport(tmp.path()).details, TransportDetails{});
}

TEST_F(ChoosePrintsTest, TransportFileAsOlderProgramsWroteIt)
{
    // windows-1250 bytes (0xAA is Ş), other sections and comments kept.
    const QByteArray older = "; dispatch\n[Alte]\nX=1\n[EXPEDITIE]\ninclude=1\nNume=\xAAtefan\nSerieBI=\nNrBI= 7 \n"
                             "MijlocTransport=MS-01\nDataTransport=1.2.2024\n";
    writeBytes(path(kTransportFileName), older);
    const TransportFile file = ReadTransport(tmp.path());
    EXPECT_TRUE(file.details.include);
    EXPECT_EQ(file.details.name, QStringLiteral("Ştefan"));
    EXPECT_EQ(file.details.idSeries, "");
    EXPECT_EQ(file.details.idNumber, "7");
    EXPECT_EQ(file.details.vehicle, "MS-01");
    EXPECT_EQ(file.details.date, "1.2.2024");

    // The same details again: the file is not touched.
    ASSERT_TRUE(WriteTransport(tmp.path(), file.details));
    EXPECT_EQ(contents(path(kTransportFileName)), older);

    // A changed value rewrites its line only.
    TransportDetails changed = file.details;
    changed.vehicle = "MS-02";
    ASSERT_TRUE(WriteTransport(tmp.path(), changed));
    QByteArray expected = older;
    expected.replace("MS-01", "MS-02");
    EXPECT_EQ(contents(path(kTransportFileName)), expected);
    EXPECT_EQ(ReadTransport(tmp.path()).details, changed);
}

TEST_F(ChoosePrintsTest, UnreadableTextFilesAreNeverWrittenOver)
{
    ASSERT_TRUE(QDir(tmp.path()).mkdir(QLatin1String(kTransportFileName)));
    ASSERT_TRUE(QDir(tmp.path()).mkdir(QLatin1String(kInvoiceFooterFileName)));
    const TransportFile transport = ReadTransport(tmp.path());
    EXPECT_FALSE(transport.isReadable());
    EXPECT_EQ(transport.readError, "este un director");
    EXPECT_FALSE(WriteTransport(tmp.path(), TransportDetails{}));
    const InvoiceFooter footer = ReadInvoiceFooter(tmp.path());
    EXPECT_EQ(footer.readError, "este un director");
    EXPECT_FALSE(WriteInvoiceFooter(tmp.path(), "x"));
    EXPECT_TRUE(QFileInfo(path(kTransportFileName)).isDir());
    EXPECT_TRUE(QFileInfo(path(kInvoiceFooterFileName)).isDir());

    // The window shows why and leaves them alone.
    writeBytes(path(common::kDefinitionFileName), kDefinition);
    ChoosePrintsLogic logic(context(), PrintInvoiceBit, PrintOptions{});
    EXPECT_FALSE(logic.footerEditable());
    EXPECT_FALSE(logic.transportEditable());
    EXPECT_EQ(logic.footerProblem(),
              QStringLiteral("Fisierul %1 nu poate fi citit: este un director.")
                  .arg(QDir::toNativeSeparators(path(kInvoiceFooterFileName))));
    EXPECT_TRUE(logic.transportProblem().contains("TRANSPORT.TXT nu poate fi citit: este un director."));
    logic.setFooterText("nou");
    TransportDetails d;
    d.include = true;
    logic.setTransport(d);
    EXPECT_FALSE(logic.footerEdited());
    EXPECT_FALSE(logic.transport().include);
    EXPECT_TRUE(logic.accept());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

// ---------------------------------------------------------------------------
// INVFOOT.TXT

TEST_F(ChoosePrintsTest, FooterRoundTrip)
{
    const struct {
        const char* name;
        QByteArray file;
        QString text;
        QByteArray lineEnd;
    } cases[] = {
        {"CR LF, a last line end", "Marfa a fost\r\nlivrata.\r\n", "Marfa a fost\nlivrata.\n", "\r\n"},
        {"LF, no last line end", "unu\ndoi", "unu\ndoi", "\n"},
        {"byte-order mark", "\xEF\xBB\xBF" "Total\r\n", "Total\n", "\r\n"},
        {"windows-1250 and UTF-8 lines", "\xAA" "antier\r\n" "\xC8\x98" "antier\r\n",
         QStringLiteral("Şantier\nȘantier\n"), "\r\n"},
        {"empty file", "", "", "\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(path(kInvoiceFooterFileName), c.file);
        const InvoiceFooter footer = ReadInvoiceFooter(tmp.path());
        EXPECT_TRUE(footer.isReadable());
        EXPECT_EQ(footer.text, c.text);
        EXPECT_EQ(footer.lineEnd, c.lineEnd);
        ASSERT_TRUE(WriteInvoiceFooter(tmp.path(), footer.text + "nou", footer.lineEnd));
        EXPECT_EQ(ReadInvoiceFooter(tmp.path()).text, c.text + "nou");
    }
    // What is written is UTF-8 with the file's line end.
    ASSERT_TRUE(WriteInvoiceFooter(tmp.path(), QStringLiteral("Şantier\nDe plată\n"), "\n"));
    EXPECT_EQ(contents(path(kInvoiceFooterFileName)), QStringLiteral("Şantier\nDe plată\n").toUtf8());

    QFile::remove(path(kInvoiceFooterFileName));
    const InvoiceFooter missing = ReadInvoiceFooter(tmp.path());
    EXPECT_TRUE(missing.isReadable());
    EXPECT_TRUE(missing.text.isEmpty());
}

TEST_F(ChoosePrintsTest, FooterIsWrittenBackOnlyWhenEdited)
{
    const QByteArray older = "\xAA" "antier\r\nSemnatura\r\n"; // windows-1250: stays so unless edited
    writeBytes(path(kInvoiceFooterFileName), older);
    {
        ChoosePrintsLogic logic(context(), PrintInvoiceBit, PrintOptions{});
        EXPECT_EQ(logic.footerText(), QStringLiteral("Şantier\nSemnatura\n"));
        logic.setFooterText("altceva");
        logic.setFooterText(QStringLiteral("Şantier\nSemnatura\n")); // typed back
        EXPECT_FALSE(logic.footerEdited());
        ASSERT_TRUE(logic.accept());
        EXPECT_EQ(contents(path(kInvoiceFooterFileName)), older);
    }
    {
        ChoosePrintsLogic logic(context(), PrintInvoiceBit, PrintOptions{});
        logic.setFooterText(QStringLiteral("Şantier\nSemnatura si stampila\n"));
        EXPECT_TRUE(logic.footerEdited());
        ASSERT_TRUE(logic.accept());
        EXPECT_EQ(contents(path(kInvoiceFooterFileName)),
                  QStringLiteral("Şantier\r\nSemnatura si stampila\r\n").toUtf8());
    }
    // A missing file that was not edited is not created.
    QFile::remove(path(kInvoiceFooterFileName));
    {
        ChoosePrintsLogic logic(context(), PrintInvoiceBit, PrintOptions{});
        ASSERT_TRUE(logic.accept());
        EXPECT_FALSE(QFile::exists(path(kInvoiceFooterFileName)));
    }
}

// ---------------------------------------------------------------------------
// "Listeaza" and "&Renunta" on disk

TEST_F(ChoosePrintsTest, CodProdusPeFactIsWrittenToTheDefinitionFile)
{
    writeBytes(path(common::kDefinitionFileName), kDefinition);
    params.CodProdusPeFact = true;
    ChoosePrintsLogic logic(context(), PrintConsumptionNoteBit, PrintOptions{}); // clears the box
    ASSERT_TRUE(logic.accept());
    EXPECT_FALSE(params.CodProdusPeFact);
    QByteArray expected = kDefinition;
    expected.replace("CodProdusPeFact=1", "CodProdusPeFact=0");
    EXPECT_EQ(contents(path(common::kDefinitionFileName)), expected);
    common::Parameters loaded;
    common::Formats formats;
    common::LoadParameters(loaded, formats, path(common::kDefinitionFileName));
    EXPECT_FALSE(loaded.CodProdusPeFact);

    // Ticked again: a file without the key receives it in section Default.
    writeBytes(path(common::kDefinitionFileName), "[Default]\r\nCLot=1\r\n\r\n[Series]\r\nSerFact=ABC\r\n");
    ChoosePrintsLogic again(context(), PrintInvoiceBit, PrintOptions{});
    EXPECT_FALSE(again.includeCode());
    again.setIncludeCode(true);
    ASSERT_TRUE(again.accept());
    EXPECT_TRUE(params.CodProdusPeFact);
    EXPECT_EQ(contents(path(common::kDefinitionFileName)),
              "[Default]\r\nCLot=1\r\nCodProdusPeFact=1\r\n\r\n[Series]\r\nSerFact=ABC\r\n");

    // A file that already holds the value is not touched.
    const QByteArray spaced = "[Default]\r\nCodProdusPeFact = 1 \r\n";
    writeBytes(path(common::kDefinitionFileName), spaced);
    ChoosePrintsLogic same(context(), PrintInvoiceBit, PrintOptions{});
    ASSERT_TRUE(same.accept());
    EXPECT_EQ(contents(path(common::kDefinitionFileName)), spaced);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(ChoosePrintsTest, AnUnreadableDefinitionFileIsReportedAndThePrintGoesOn)
{
    ASSERT_TRUE(QDir(tmp.path()).mkdir(QLatin1String(common::kDefinitionFileName)));
    params.CodProdusPeFact = true;
    ChoosePrintsLogic logic(context(), PrintInvoiceBit, PrintOptions{});
    logic.setIncludeCode(false);
    EXPECT_TRUE(logic.accept());
    EXPECT_FALSE(params.CodProdusPeFact) << "holds in memory";
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.last().icon, common::Icon::Error);
    EXPECT_TRUE(dialogs.last().text.startsWith("Fisierul de parametri ")) << dialogs.last().text.toStdString();
}

TEST_F(ChoosePrintsTest, AFooterThatCannotBeWrittenKeepsTheDialogOpenAndWritesNothing)
{
    writeBytes(path(common::kDefinitionFileName), kDefinition);
    writeBytes(path(kInvoiceFooterFileName), "vechi\r\n");
    writeBytes(path(kTransportFileName), "[Expeditie]\r\nInclude=0\r\n");
    params.CodProdusPeFact = true;
    ChoosePrintsLogic logic(context(), PrintInvoiceBit, PrintOptions{});
    logic.setFooterText("nou");
    TransportDetails d;
    d.include = true;
    d.name = "Ion";
    logic.setTransport(d);
    logic.setIncludeCode(false);

    // Something else takes the footer's place after it was read.
    ASSERT_TRUE(QFile::remove(path(kInvoiceFooterFileName)));
    ASSERT_TRUE(QDir(tmp.path()).mkdir(QLatin1String(kInvoiceFooterFileName)));
    const Snapshot before = snapshot(tmp.path());
    EXPECT_FALSE(logic.accept());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.last().icon, common::Icon::Error);
    EXPECT_EQ(dialogs.last().text, QStringLiteral("Nu pot scrie fisierul %1!")
                                       .arg(QDir::toNativeSeparators(path(kInvoiceFooterFileName))));
    EXPECT_EQ(snapshot(tmp.path()), before);
    EXPECT_TRUE(params.CodProdusPeFact);

    // Once the place is free again, the same choice is written.
    ASSERT_TRUE(QDir(tmp.path()).rmdir(QLatin1String(kInvoiceFooterFileName)));
    EXPECT_TRUE(logic.accept());
    EXPECT_EQ(contents(path(kInvoiceFooterFileName)), "nou");
    EXPECT_EQ(ReadTransport(tmp.path()).details, d);
    EXPECT_FALSE(params.CodProdusPeFact);
}

TEST_F(ChoosePrintsTest, ADispatchFileThatCannotBeWrittenKeepsTheDialogOpen)
{
    // The directory went away (a network share that dropped): nothing can be written.
    const QString dir = tmp.file("db");
    ASSERT_TRUE(QDir().mkpath(dir));
    ChoosePrintsLogic logic(ChoosePrintsContext{params, dialogs, dir}, PrintInvoiceBit, PrintOptions{});
    TransportDetails d;
    d.include = true;
    logic.setTransport(d);
    ASSERT_TRUE(QDir(dir).removeRecursively());
    EXPECT_FALSE(logic.accept());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.last().text.startsWith("Nu pot scrie fisierul ")) << dialogs.last().text.toStdString();
    EXPECT_TRUE(dialogs.last().text.endsWith("TRANSPORT.TXT!"));
    EXPECT_FALSE(QFileInfo::exists(dir));
}

// ---------------------------------------------------------------------------
// The window

TEST_F(ChoosePrintsTest, WindowShowsWhatTheRulesKeep)
{
    writeBytes(path(kInvoiceFooterFileName), "Multumim!\r\n");
    writeBytes(path(kTransportFileName),
               "[Expeditie]\r\nInclude=1\r\nNume=Ion Pop\r\nSerieBI=MS\r\nNrBI=7\r\nMijlocTransport=MS-01\r\n"
               "DataTransport=03.02.2024\r\n");
    writeBytes(path(common::kDefinitionFileName), kDefinition);
    PrintOptions stored;
    stored.comment = true;
    TChoosePrintsDlg dlg(context(), PrintInvoiceBit, stored);
    EXPECT_EQ(dlg.windowTitle(), "Listeaza...");
    ASSERT_EQ(dlg.pages()->count(), 2);
    EXPECT_EQ(dlg.pages()->tabText(0), "Tip factura");
    EXPECT_EQ(dlg.pages()->tabText(1), "Expeditie");
    const char* captions[] = {"&Factura", "Factura si &chitanta", "Nota de transfer", "&Aviz de expeditie",
                              "&Bon de consum", "Bon consum lista zilnica", "Casare"};
    for (int i = 0; i < kPrintChoiceCount; ++i)
        EXPECT_EQ(dlg.printBox(PrintChoice(i))->text(), captions[i]);
    EXPECT_EQ(dlg.includeCodeBox()->text(), "Include si codul produsului in descriere");
    EXPECT_EQ(dlg.descriptionBox()->text(), "Include descrierea alaturi de denumire");
    EXPECT_EQ(dlg.commentBox()->text(), "Include comentariu la baza facturii pretiparite/");
    EXPECT_EQ(dlg.commentNote()->text(), "deplaseaza totalul la factura fiscala/proforma");
    EXPECT_EQ(dlg.explanationBox()->text(), "Include expl. docum. (pt. NRP sau BMC)");
    EXPECT_EQ(dlg.printButton()->text(), "Listeaza");
    EXPECT_EQ(dlg.cancelButton()->text(), "&Renunta");

    EXPECT_TRUE(dlg.printBox(PrintChoice::Invoice)->isChecked());
    EXPECT_TRUE(dlg.includeCodeBox()->isChecked());
    EXPECT_TRUE(dlg.commentBox()->isChecked());
    EXPECT_TRUE(dlg.commentBox()->isEnabled());
    EXPECT_FALSE(dlg.commentNote()->isHidden());
    EXPECT_EQ(dlg.footerEdit()->toPlainText(), "Multumim!\n");
    EXPECT_TRUE(dlg.transportBox()->isChecked());
    EXPECT_EQ(dlg.delegateEdit()->text(), "Ion Pop");
    EXPECT_EQ(dlg.idSeriesEdit()->text(), "MS");
    EXPECT_EQ(dlg.idNumberEdit()->text(), "7");
    EXPECT_EQ(dlg.vehicleEdit()->text(), "MS-01");
    EXPECT_EQ(dlg.dispatchDateEdit()->text(), "03.02.2024");

    dlg.printBox(PrintChoice::TransferNote)->click();
    EXPECT_FALSE(dlg.printBox(PrintChoice::Invoice)->isChecked());
    EXPECT_FALSE(dlg.commentBox()->isEnabled());
    EXPECT_TRUE(dlg.commentNote()->isHidden());
    dlg.printBox(PrintChoice::InvoiceWithReceipt)->click();
    EXPECT_FALSE(dlg.printBox(PrintChoice::TransferNote)->isChecked());
    EXPECT_TRUE(dlg.commentBox()->isEnabled());
    EXPECT_FALSE(dlg.commentNote()->isHidden());
    dlg.printBox(PrintChoice::DeliveryNote)->click();
    dlg.descriptionBox()->click();
    dlg.includeCodeBox()->click();

    dlg.transportBox()->click();
    EXPECT_FALSE(dlg.delegateEdit()->isEnabled());
    dlg.transportBox()->click();
    EXPECT_TRUE(dlg.delegateEdit()->isEnabled());
    dlg.vehicleEdit()->setText("MS-02");
    dlg.footerEdit()->setPlainText("Va multumim!\n");

    dlg.printButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.logic().printSet(), PrintInvoiceWithReceiptBit | PrintDeliveryNoteBit);
    EXPECT_TRUE(dlg.logic().options().description);
    EXPECT_EQ(contents(path(kInvoiceFooterFileName)), "Va multumim!\r\n");
    EXPECT_EQ(ReadTransport(tmp.path()).details.vehicle, "MS-02");
    EXPECT_EQ(ReadTransport(tmp.path()).details.name, "Ion Pop");
    EXPECT_TRUE(contents(path(common::kDefinitionFileName)).contains("CodProdusPeFact=0"));
    EXPECT_FALSE(params.CodProdusPeFact);
}

TEST_F(ChoosePrintsTest, WindowOnPreprintedForms)
{
    params.PreprintedInvoice = true;
    TChoosePrintsDlg dlg(context(), PrintInvoiceWithReceiptBit, PrintOptions{});
    EXPECT_EQ(dlg.printBox(PrintChoice::Invoice)->text(), "&Factura pretiparita");
    EXPECT_TRUE(dlg.printBox(PrintChoice::Invoice)->isChecked());
    EXPECT_FALSE(dlg.printBox(PrintChoice::InvoiceWithReceipt)->isEnabled());
    EXPECT_FALSE(dlg.printBox(PrintChoice::InvoiceWithReceipt)->isChecked());
    EXPECT_TRUE(dlg.commentBox()->isChecked());
    EXPECT_FALSE(dlg.commentNote()->isHidden());
    dlg.printBox(PrintChoice::TransferNote)->click();
    EXPECT_TRUE(dlg.commentBox()->isEnabled());
    EXPECT_FALSE(dlg.transportBox()->isChecked());
    EXPECT_FALSE(dlg.delegateEdit()->isEnabled());
}

TEST_F(ChoosePrintsTest, CancellingChangesNothing)
{
    writeBytes(path(common::kDefinitionFileName), kDefinition);
    writeBytes(path(kInvoiceFooterFileName), "vechi\r\n");
    writeBytes(path(kTransportFileName), "[Expeditie]\r\nInclude=0\r\n");
    const Snapshot before = snapshot(tmp.path());
    params.CodProdusPeFact = true;
    int printSet = PrintInvoiceBit;
    PrintOptions options;
    options.comment = true;

    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<TChoosePrintsDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->printBox(PrintChoice::Scrapping)->click();
        dlg->includeCodeBox()->click();
        dlg->commentBox()->click();
        dlg->descriptionBox()->click();
        dlg->footerEdit()->setPlainText("nou");
        dlg->transportBox()->click();
        dlg->delegateEdit()->setText("Ion");
        dlg->cancelButton()->click();
    });
    EXPECT_FALSE(ChoosePrints(nullptr, context(), printSet, options));
    EXPECT_EQ(printSet, PrintInvoiceBit);
    EXPECT_TRUE(options.comment);
    EXPECT_FALSE(options.description);
    EXPECT_TRUE(params.CodProdusPeFact);
    EXPECT_EQ(snapshot(tmp.path()), before);
    EXPECT_TRUE(dialogs.messages.isEmpty());

    // The same choice with "Listeaza" comes back.
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<TChoosePrintsDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->printBox(PrintChoice::Scrapping)->click();
        dlg->commentBox()->click();
        dlg->descriptionBox()->click();
        dlg->printButton()->click();
    });
    EXPECT_TRUE(ChoosePrints(nullptr, context(), printSet, options));
    EXPECT_EQ(printSet, PrintInvoiceBit | PrintScrappingBit);
    EXPECT_FALSE(options.comment);
    EXPECT_TRUE(options.description);
    EXPECT_FALSE(options.explanation);
}

// A picture of both pages for a look by eye: written only when
// MIRAFEL_SHOTS_DIR names a folder.
TEST_F(ChoosePrintsTest, Screenshots)
{
    if (testsupport::shotsDir().isEmpty())
        GTEST_SKIP() << "MIRAFEL_SHOTS_DIR not set";
    writeBytes(path(kInvoiceFooterFileName), "Marfa se livreaza franco depozit beneficiar.\r\nTermen de plata: 30 zile.\r\n");
    writeBytes(path(kTransportFileName),
               "[Expeditie]\r\nInclude=1\r\nNume=Ion Popescu\r\nSerieBI=MS\r\nNrBI=123456\r\n"
               "MijlocTransport=MS-01-ABC\r\nDataTransport=03.02.2024\r\n");
    PrintOptions stored;
    stored.comment = true;
    TChoosePrintsDlg dlg(context(), PrintInvoiceBit, stored);
    dlg.show();
    QApplication::processEvents();
    EXPECT_TRUE(testsupport::saveShot(dlg, "chooseprints_tip.png"));
    dlg.pages()->setCurrentIndex(1);
    QApplication::processEvents();
    EXPECT_TRUE(testsupport::saveShot(dlg, "chooseprints_expeditie.png"));

    params.PreprintedInvoice = true;
    TChoosePrintsDlg preprinted(context(), PrintConsumptionNoteBit, PrintOptions{});
    preprinted.show();
    QApplication::processEvents();
    EXPECT_TRUE(testsupport::saveShot(preprinted, "chooseprints_pretiparita.png"));
}
