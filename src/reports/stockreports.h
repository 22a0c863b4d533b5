#pragma once
// The stock reports: what each warehouse holds at a date, computed from the
// documents (ComputeStockAtDate, ANSW_ST), read joined with the catalog.
//
//   InventoryList          "&Lista de inventar la data..." (landscape, signed by the commission)
//   StockSituation         "Stocuri la data..." (portrait, articles selected first)
//   StockInCurrency        stock per warehouse, group, article and price at sale prices, in lei
//                          and in the reference currency
//   StockPerLot            stock per lot with the sale value and the mark-up ("in Lei")
//   StockPerLotInCurrency  as StockInCurrency, one line per lot
//   StockPerBudget         stock per budget (the lines' Agent is their budget), with or
//                          without the lot; the budget chosen in SelectBudget
//   StockTotals            totals per article across warehouses, split into warehouse
//                          columns or not, sorted in the order chosen in "Ordinea de sortare"
//   CriticalStocks         articles whose current stock lies below their minimum
//
// Each returns true after the report was shown or printed, false when a
// question was cancelled, there was nothing to print, or an error ended it
// (after its message).

#include "reportrun.h"

namespace reports {

bool InventoryList(ReportContext& ctx);
bool StockSituation(ReportContext& ctx);
bool StockInCurrency(ReportContext& ctx);
bool StockPerLot(ReportContext& ctx);
bool StockPerLotInCurrency(ReportContext& ctx);
bool StockPerBudget(ReportContext& ctx, bool withLot);
bool StockTotals(ReportContext& ctx, bool splitByWarehouse);
bool CriticalStocks(ReportContext& ctx);

// What a stock report at a date does before it prints: the stock at the
// chosen date and warehouses (ANSW_ST), the print setup, "Listez...", then
// the budget (kept in the selection). False when a step was cancelled or failed.
bool PrepareStockAtDatePrint(ReportContext& ctx, QString& budget);

// The catalog fields an article group may be sorted by in the stock totals.
QStringList stockTotalsSortFields(); // "Denumire", "Descriere"

} // namespace reports
