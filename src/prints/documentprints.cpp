#include "documentprints.h"

#include "invoiceprints.h"
#include "noteprints.h"
#include "receiptnote.h"
#include "tqrprndlg.h"

#include "datastore/dataset.h"

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
        {QStringLiteral("preprinted-invoice"), QStringLiteral("Factura pretiparita"), BuildPreprintedInvoice},
        {QStringLiteral("daily-food-list"), QStringLiteral("Lista zilnica de alimente"), BuildDailyFoodList},
        {QStringLiteral("hand-over-note"), QStringLiteral("Nota de transfer"), BuildHandOverNote},
        {QStringLiteral("delivery-note"), QStringLiteral("Aviz de insotire"), BuildDeliveryNote},
        {QStringLiteral("preprinted-delivery-note"), QStringLiteral("Aviz de insotire pretiparit"),
         BuildPreprintedDeliveryNote},
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
    return ApplyPrintSettings(*print.report, print.rows.get(), settings, dialogs, owner);
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
