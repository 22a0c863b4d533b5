#pragma once
// The stock cards: for each stock line of each warehouse, a card with the
// opening stock at the first day of an interval and every input and output
// line of the interval with the running stock after it.
//
//   StockCard     "Fisa de magazie" (quantities)
//   AccountCard   "Fisa de cont analitic cu valori" (quantities and their
//                 values at the line's acquisition price)
//
// The card lines are computed into ANSW_BF of the private directory by one
// statement: the opening quantity of each key (inputs before the first day,
// undated input documents included, minus dated outputs before it), the
// input and output lines of the interval, and the running stock as a sum
// over each card in card order. A card is one stock key (warehouse, group,
// article, acquisition price, budget, lot). Within a card the opening line
// comes first, then the lines by registration date, inputs before outputs on
// one day, then by document date, number, type, document and line. The
// document counter is part of the key, so two documents alike in every
// other field (two transfers made from one output) keep all their lines.
//
// An opening outside +-Epsilon is kept, a negative one too, so a card's last
// stock is the stock at the interval's last day (BuildStockAtDate). A key
// that moved within the interval gets a card even when its opening is 0.
// ANSW_BF stays in the private directory until the next run.
//
// Every page shows the firm above the card; dates print as dd.mm.yyyy; the
// values of the account card are each line's price times its quantity,
// rounded once to "Nr zecimale lei" in the report's statement (ROUND_MONEY).

#include "reportrun.h"

#include "common/parameters.h"
#include "datastore/database.h"
#include "datastore/tabledef.h"

#include <QDate>
#include <QString>

namespace reports {

inline constexpr const char* kCardTable = "ANSW_BF";
inline constexpr const char* kOpeningLine = "Stoc initial";

struct StockCardRequest {
    QDate first;
    QDate last;
    QString warehouses; // quoted list; empty: every warehouse
};

// The definition of ANSW_BF.
datastore::TableDef stockCardTableDef();

// Builds ANSW_BF (replacing it) without asking anything; returns the card
// lines written. Throws the storage's errors.
int BuildStockCards(datastore::Database& privateDb, const common::Parameters& parameters,
                    const StockCardRequest& request);

enum class CardKind { Quantities, Values };

// The commands: SelectArticles, SelectWarehouses and SelectInterval, the
// print settings; then the cards of the selected articles (all when none is
// selected), one card per page. False when a question was cancelled, an
// error ended it, or nothing was shown or printed.
bool StockCards(ReportContext& ctx, CardKind kind);
inline bool StockCard(ReportContext& ctx) { return StockCards(ctx, CardKind::Quantities); }
inline bool AccountCard(ReportContext& ctx) { return StockCards(ctx, CardKind::Values); }

} // namespace reports
