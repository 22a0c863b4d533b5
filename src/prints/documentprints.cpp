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
    static const std::vector<DocumentPrintKind> kinds{
        {QStringLiteral("receipt-note"), QStringLiteral("Nota de receptie"), receiptNote},
        {QStringLiteral("invoice"), QStringLiteral("Factura"), BuildInvoice},
        {QStringLiteral("invoice-with-receipt"), QStringLiteral("Factura si chitanta"), BuildInvoiceWithReceipt},
        {QStringLiteral("preprinted-invoice"), QStringLiteral("Factura pretiparita"), BuildPreprintedInvoice,
         QString::fromLatin1(kInvoiceLayoutFileName)},
        {QStringLiteral("daily-food-list"), QStringLiteral("Lista zilnica de alimente"), BuildDailyFoodList},
        {QStringLiteral("hand-over-note"), QStringLiteral("Nota de transfer"), BuildHandOverNote},
        {QStringLiteral("delivery-note"), QStringLiteral("Aviz de insotire"), BuildDeliveryNote},
        {QStringLiteral("preprinted-delivery-note"), QStringLiteral("Aviz de insotire pretiparit"),
         BuildPreprintedDeliveryNote, QString::fromLatin1(kDeliveryNoteLayoutFileName)},
        {QStringLiteral("consumption-note"), QStringLiteral("Bon consum materiale"), BuildConsumptionNote},
        {QStringLiteral("scrapping-list"), QStringLiteral("Lista obiectelor de inventar casate"), BuildScrappingList},
        {QStringLiteral("labels"), QStringLiteral("Etichete"), BuildLabels},
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
    return ShowDocumentPrint(owner, print, settings, dialogs);
}

} // namespace prints
