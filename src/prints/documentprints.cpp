#include "documentprints.h"

#include "receiptnote.h"

namespace prints {

namespace {

DocumentPrint receiptNote(const PrintRequest& request)
{
    ReceiptNote note = BuildReceiptNote(request.db, request.parameters, request.formats, request.contor,
                                        request.registrationDate);
    return DocumentPrint{std::move(note.report), std::move(note.rows)};
}

} // namespace

const std::vector<DocumentPrintKind>& documentPrintKinds()
{
    static const std::vector<DocumentPrintKind> kinds{
        {QStringLiteral("receipt-note"), QStringLiteral("Nota de receptie"), receiptNote},
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
