#include "reportlist.h"

#include "balance.h"
#include "periodlists.h"
#include "stockcard.h"
#include "stockreports.h"

namespace reports {

const std::vector<ReportKind>& reportKinds()
{
    static const std::vector<ReportKind> kinds{
        {QStringLiteral("inventory-list"), QStringLiteral("&Lista de inventar la data..."), InventoryList},
        {QStringLiteral("stock-at-date"), QStringLiteral("Stocuri la data..."), StockSituation},
        {QStringLiteral("stock-currency"), QStringLiteral("in Valuta"), StockInCurrency},
        {QStringLiteral("stock-lot"), QStringLiteral("in Lei"), StockPerLot},
        {QStringLiteral("stock-lot-currency"), QStringLiteral("in Valuta"), StockPerLotInCurrency},
        {QStringLiteral("stock-budget"), QStringLiteral("Beneficiari/Gestionari"),
         [](ReportContext& ctx) { return StockPerBudget(ctx, false); }},
        {QStringLiteral("stock-budget-lot"), QStringLiteral("Agenti"),
         [](ReportContext& ctx) { return StockPerBudget(ctx, true); }},
        {QStringLiteral("stock-totals-split"), QStringLiteral("Defalcat pe gestiuni"),
         [](ReportContext& ctx) { return StockTotals(ctx, true); }},
        {QStringLiteral("stock-totals"), QStringLiteral("Fara defalcare pe gestiuni"),
         [](ReportContext& ctx) { return StockTotals(ctx, false); }},
        {QStringLiteral("critical-stocks"), QStringLiteral("Stocul minim"), CriticalStocks},
        {QStringLiteral("balance"), QStringLiteral("&Balanta"), TurnoverBalance},
        {QStringLiteral("verification-balance"), QStringLiteral("Balanta de &verificare"), VerificationBalance},
        {QStringLiteral("stock-card"), QStringLiteral("Fisa de magazie"), StockCard},
        {QStringLiteral("inputs-outputs"), QStringLiteral("Lista intrari/iesiri in perioada"), InputsOutputsList},
        {QStringLiteral("account-card"), QStringLiteral("Fisa de cont analitic cu valori"), AccountCard},
        {QStringLiteral("inventory-centraliser"), QStringLiteral("Centralizator inventar"), InventoryCentraliser},
    };
    return kinds;
}

prints::PrintSettings& reportPrintSettings(prints::PrintSettingsStore& store, const ReportKind& kind)
{
    return store.settings(prints::reportSection(kind.name), prints::reportPage());
}

QString reportPrintCaption(const ReportKind& kind)
{
    QString caption = kind.caption;
    caption.remove(u'&');
    while (caption.endsWith(u'.'))
        caption.chop(1);
    return caption.trimmed();
}

const ReportKind* findReportKind(const QString& name)
{
    for (const ReportKind& k : reportKinds())
        if (k.name == name)
            return &k;
    return nullptr;
}

} // namespace reports
