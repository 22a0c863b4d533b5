// Each print of an output document reaches its entry of the document prints by name.

#include "stock/outputprints.h"

#include <gtest/gtest.h>

using stock::OutputPrint;

TEST(OutputPrints, EachPrintHasItsNameInTheTableOfDocumentPrints)
{
    const QList<std::pair<OutputPrint, const char*>> cases{
        {OutputPrint::Invoice, "invoice"},
        {OutputPrint::InvoiceWithReceipt, "invoice-with-receipt"},
        {OutputPrint::PreprintedInvoice, "preprinted-invoice"},
        {OutputPrint::HandOverNote, "hand-over-note"},
        {OutputPrint::DeliveryNote, "delivery-note"},
        {OutputPrint::PreprintedDeliveryNote, "preprinted-delivery-note"},
        {OutputPrint::ConsumptionNote, "consumption-note"},
        {OutputPrint::DailyListNote, "daily-list-voucher"},
        {OutputPrint::Scrapping, "scrapping-list"},
    };
    QStringList captions;
    for (const auto& [kind, name] : cases) {
        EXPECT_EQ(stock::outputPrintName(kind), QString::fromLatin1(name));
        captions << stock::outputPrintCaption(kind);
    }
    EXPECT_EQ(captions.removeDuplicates(), 0);
    // Every print of an output document is in the table, except the canteen's voucher.
    for (const auto& [kind, name] : cases)
        EXPECT_EQ(prints::findDocumentPrintKind(stock::outputPrintName(kind)) != nullptr,
                  kind != OutputPrint::DailyListNote)
            << name;
}
