#include "outputprints.h"

#include "prints/invoiceprints.h"
#include "prints/noteprints.h"

namespace stock {

QString outputPrintName(OutputPrint kind)
{
    switch (kind) {
    case OutputPrint::Invoice:
        return QStringLiteral("invoice");
    case OutputPrint::InvoiceWithReceipt:
        return QStringLiteral("invoice-with-receipt");
    case OutputPrint::PreprintedInvoice:
        return QStringLiteral("preprinted-invoice");
    case OutputPrint::HandOverNote:
        return QStringLiteral("hand-over-note");
    case OutputPrint::DeliveryNote:
        return QStringLiteral("delivery-note");
    case OutputPrint::PreprintedDeliveryNote:
        return QStringLiteral("preprinted-delivery-note");
    case OutputPrint::ConsumptionNote:
        return QStringLiteral("consumption-note");
    case OutputPrint::DailyListNote:
        return QStringLiteral("daily-list-voucher"); // the canteen's voucher, not built yet
    case OutputPrint::Scrapping:
        break;
    }
    return QStringLiteral("scrapping-list");
}

QString outputPrintCaption(OutputPrint kind)
{
    switch (kind) {
    case OutputPrint::Invoice:
        return QStringLiteral("Factura");
    case OutputPrint::InvoiceWithReceipt:
        return QStringLiteral("Factura si chitanta");
    case OutputPrint::PreprintedInvoice:
        return QStringLiteral("Factura pretiparita");
    case OutputPrint::HandOverNote:
        return QStringLiteral("Nota de transfer");
    case OutputPrint::DeliveryNote:
        return QStringLiteral("Aviz de expeditie");
    case OutputPrint::PreprintedDeliveryNote:
        return QStringLiteral("Aviz de expeditie pretiparit");
    case OutputPrint::ConsumptionNote:
        return QStringLiteral("Bon de consum");
    case OutputPrint::DailyListNote:
        return QStringLiteral("Bon consum lista zilnica");
    case OutputPrint::Scrapping:
        break;
    }
    return QStringLiteral("Casare");
}

const prints::DocumentPrintKind* outputPrintKind(OutputPrint kind)
{
    return prints::findDocumentPrintKind(outputPrintName(kind));
}

prints::PrintSettings& outputPrintSettings(prints::PrintSettingsStore& store, OutputPrint kind)
{
    return prints::documentPrintSettings(store, outputPrintName(kind));
}

QString unavailablePrintMessage(OutputPrint kind)
{
    return QStringLiteral("Listarea \"%1\" nu este disponibila in aceasta versiune.").arg(outputPrintCaption(kind));
}

prints::PrintRequest outputPrintRequest(const OutputPrintContext& context, const OutputPrintJob& job)
{
    prints::PrintRequest request{context.database, context.parameters, context.formats, context.definitionDir};
    request.contor = job.contor;
    request.registrationDate = job.registrationDate;
    request.seriesNumber = job.seriesNumber;
    request.receiptNumber = job.receiptNumber;
    request.explanation = job.explanation;
    request.warehouseName = job.warehouseName;
    request.beneficiary = job.beneficiary;
    request.options = job.options;
    request.layoutDir = context.layoutDir;
    return request;
}

bool PrintOutputDocument(QWidget* owner, const OutputPrintContext& context, const OutputPrintJob& job)
{
    const prints::PrintRequest request = outputPrintRequest(context, job);
    prints::PrintSettings& settings = outputPrintSettings(context.printSettings, job.kind);
    // A pre-printed form shows the print setup on the page of its layout file.
    if (job.kind == OutputPrint::PreprintedInvoice)
        return prints::PrintPreprintedInvoice(owner, request, settings, context.dialogs);
    if (job.kind == OutputPrint::PreprintedDeliveryNote)
        return prints::PrintPreprintedDeliveryNote(owner, request, settings, context.dialogs);
    if (!outputPrintKind(job.kind)) {
        context.dialogs.information(unavailablePrintMessage(job.kind));
        return false;
    }
    return prints::PrintDocumentKind(owner, outputPrintName(job.kind), request, settings, context.dialogs);
}

} // namespace stock
