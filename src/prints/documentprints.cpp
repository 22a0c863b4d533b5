#include "documentprints.h"

#include "invoiceprints.h"
#include "noteprints.h"
#include "receiptnote.h"
#include "tqrprndlg.h"

#include "datastore/dataset.h"

#include <QDir>

namespace prints {

namespace {

DocumentPrint receiptNote(const PrintRequest& request)
{
    ReceiptNote note = BuildReceiptNote(request.db, request.parameters, request.formats, request.contor,
                                        request.registrationDate);
    return DocumentPrint{std::move(note.report), std::move(note.rows), nullptr};
}

} // namespace

const std::vector<DocumentPrintKind>& documentPrintKinds()
{
    const PageDesign portrait = documentPage(PageOrientation::Portrait);
    const PageDesign landscape = documentPage(PageOrientation::Landscape);
    const PageDesign form = layoutFilePage();
    static const std::vector<DocumentPrintKind> kinds{
        {QStringLiteral("receipt-note"), QStringLiteral("Nota de receptie"), receiptNote, landscape},
        {QStringLiteral("invoice"), QStringLiteral("Factura"), BuildInvoice, portrait},
        {QStringLiteral("invoice-with-receipt"), QStringLiteral("Factura si chitanta"), BuildInvoiceWithReceipt,
         portrait},
        {QStringLiteral("preprinted-invoice"), QStringLiteral("Factura pretiparita"), BuildPreprintedInvoice, form,
         QString::fromLatin1(kInvoiceLayoutFileName)},
        {QStringLiteral("daily-food-list"), QStringLiteral("Lista zilnica de alimente"), BuildDailyFoodList, landscape},
        {QStringLiteral("hand-over-note"), QStringLiteral("Nota de transfer"), BuildHandOverNote, portrait},
        {QStringLiteral("delivery-note"), QStringLiteral("Aviz de insotire"), BuildDeliveryNote, portrait},
        {QStringLiteral("preprinted-delivery-note"), QStringLiteral("Aviz de insotire pretiparit"),
         BuildPreprintedDeliveryNote, form, QString::fromLatin1(kDeliveryNoteLayoutFileName)},
        {QStringLiteral("consumption-note"), QStringLiteral("Bon consum materiale"), BuildConsumptionNote, landscape},
        {QStringLiteral("scrapping-list"), QStringLiteral("Lista obiectelor de inventar casate"), BuildScrappingList,
         portrait},
        {QStringLiteral("labels"), QStringLiteral("Etichete"), BuildLabels, portrait},
    };
    return kinds;
}

const DocumentPrintKind* findDocumentPrintKind(const QString& name)
{
    for (const DocumentPrintKind& kind : documentPrintKinds())
        if (kind.name == name)
            return &kind;
    return nullptr;
}

PrintSettings& documentPrintSettings(PrintSettingsStore& store, const QString& name)
{
    const DocumentPrintKind* kind = findDocumentPrintKind(name);
    return store.settings(printSection(name), kind ? kind->design : documentPage());
}

namespace {

// A print on a pre-printed form keeps the page its layout file gave its report.
PrintSettings onItsPage(const DocumentPrintKind& kind, const reportengine::Report& report, PrintSettings settings)
{
    if (!kind.design.pageFromLayoutFile)
        return settings;
    settings.orientation = report.pageOrientation() == reportengine::Orientation::Landscape
                               ? PageOrientation::Landscape
                               : PageOrientation::Portrait;
    settings.paperSize = report.paperIndex();
    const QMarginsF m = report.pageMargins();
    settings.leftMargin = qRound(m.left());
    settings.topMargin = qRound(m.top());
    settings.rightMargin = qRound(m.right());
    settings.bottomMargin = qRound(m.bottom());
    return settings;
}

} // namespace

void applyPrintPage(DocumentPrint& print, const DocumentPrintKind& kind, const PrintSettings& settings)
{
    const PrintSettings s = onItsPage(kind, *print.report, settings);
    applyPageSettings(*print.report, s, paperSizeOf(s.paperSize) ? s.paperSize : kA4PaperSize, PrinterLimits{});
}

bool ShowDocumentPrint(QWidget* owner, const DocumentPrint& print, const PrintSettings& settings,
                       common::Dialogs& dialogs)
{
    if (!ApplyPrintSettings(*print.report, print.rows.get(), settings, dialogs, owner))
        return false;
    keepPrintedPage(print, dialogs);
    return true;
}

bool keepPrintedPage(const DocumentPrint& print, common::Dialogs& dialogs)
{
    if (!print.keepPage || print.keepPage())
        return true;
    dialogs.error(QStringLiteral("Nu pot scrie fisierul %1!").arg(QDir::toNativeSeparators(print.layoutFile)));
    return false;
}

bool PrintPreprintedForm(const QString& name, const PrintRequest& request, PrintSettings& settings,
                         common::Dialogs& dialogs, const FormPrintSteps& steps)
{
    const DocumentPrintKind* kind = findDocumentPrintKind(name);
    if (!kind || kind->layoutFile.isEmpty()) {
        dialogs.information(QStringLiteral("Listarea \"%1\" nu este disponibila in aceasta versiune.").arg(name));
        return false;
    }
    const QString path = QDir(request.layoutDirectory()).filePath(kind->layoutFile);
    PrintSettings used = layoutPageSettings(common::IniFile(path), settings);
    if (!steps.setup(used))
        return false;
    // The page belongs to the form; the rest of the choice stays for the next prints.
    const PrintSettings remembered = settings;
    settings = used;
    settings.topMargin = remembered.topMargin;
    settings.leftMargin = remembered.leftMargin;
    settings.bottomMargin = remembered.bottomMargin;
    settings.rightMargin = remembered.rightMargin;
    settings.paperSize = remembered.paperSize;
    settings.orientation = remembered.orientation;

    DocumentPrint print;
    try {
        print = kind->build(request);
    } catch (const std::exception& e) {
        dialogs.error(QStringLiteral("Eroare de acces la baza de date!\r<%1>").arg(datastore::errorText(e)));
        return false;
    }
    if (!steps.show(print, used))
        return false;
    keepPrintedPage(print, dialogs);
    return true;
}

bool PrintPreprintedForm(QWidget* owner, const QString& name, const PrintRequest& request, PrintSettings& settings,
                         common::Dialogs& dialogs)
{
    FormPrintSteps steps;
    steps.setup = [&](PrintSettings& s) { return ShowPrintSetup(owner, s, dialogs); };
    steps.show = [&](const DocumentPrint& print, const PrintSettings& s) {
        return ApplyPrintSettings(*print.report, print.rows.get(), s, dialogs, owner);
    };
    return PrintPreprintedForm(name, request, settings, dialogs, steps);
}

bool PrintDocumentKind(QWidget* owner, const QString& name, const PrintRequest& request,
                       const PrintSettings& settings, common::Dialogs& dialogs)
{
    const DocumentPrintKind* kind = findDocumentPrintKind(name);
    if (!kind) {
        dialogs.information(QStringLiteral("Listarea \"%1\" nu este disponibila in aceasta versiune.").arg(name));
        return false;
    }
    DocumentPrint print;
    try {
        print = kind->build(request);
    } catch (const std::exception& e) {
        dialogs.error(QStringLiteral("Eroare de acces la baza de date!\r<%1>").arg(datastore::errorText(e)));
        return false;
    }
    return ShowDocumentPrint(owner, print, onItsPage(*kind, *print.report, settings), dialogs);
}

} // namespace prints
