#include "documentprints.h"

#include "noteprints.h"
#include "receiptnote.h"

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
        {QStringLiteral("daily-list-note"), QStringLiteral("Lista zilnica de alimente"), BuildDailyFoodList},
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

} // namespace prints
