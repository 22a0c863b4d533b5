#pragma once
// The totals of a document as its print shows them: every line's value
// rounded once (common::lineValue), every total the sum of the rounded line
// values above it. An invoice prints one line for the document lines of the
// same article at the same sale price (quantities, VAT and excise summed), and
// that printed line is what gets rounded; the other documents print every
// line. The document windows (totals, "achitat integral", the paid-amount
// check) and the prints compute their figures here, so they agree to the ban.

#include <QList>
#include <QString>

namespace common {

struct PricedLine {
    QString group;       // Cod_grupa
    QString article;     // Cod_articol
    double price = 0;    // the price the line is valued at
    double quantity = 0;
    double vat = 0;      // TVA as stored on the line (already rounded)
    double excise = 0;   // Acciza as stored on the line
    double vatRate = 0;  // the article's VAT rate, percent (for the breakdown by rate)
};

struct TotalLine : PricedLine {
    double value = 0;    // lineValue(quantity, price)
};

// One printed line per document line, valued.
QList<TotalLine> valuedLines(const QList<PricedLine>& lines, int decimals);
// The invoice's printed lines: document lines of the same group, article,
// price and VAT rate merged, in the order of their first appearance, valued
// on the merged quantity.
QList<TotalLine> mergedInvoiceLines(const QList<PricedLine>& lines, int decimals);

struct RateTotal {
    double rate = 0;  // percent
    double base = 0;  // Σ value of the lines at this rate
    double vat = 0;   // Σ VAT of those lines
};

struct DocumentTotals {
    double value = 0;   // Σ rounded line values
    double vat = 0;     // Σ line VAT
    double excise = 0;  // Σ line excise
    QList<RateTotal> byRate; // ascending rate
    double total() const; // value + vat: "Total de plata"
};

DocumentTotals totalsOf(const QList<TotalLine>& printed);

} // namespace common
