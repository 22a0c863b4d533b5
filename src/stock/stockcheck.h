#pragma once
// Checks of the documents and the stock, read-only and set-based:
//   - the current stock next to what the documents say: for every stock key,
//     the quantity the stock table holds and the quantity the document lines
//     add up to (inputs and the initial stock minus outputs), counting the
//     lines the stock recalculation counts (their header exists, they name an
//     article);
//   - the faults a database can carry: stock rows that differ from the
//     documents, lines without a header, headers without lines, counters of
//     Counter.DB below the largest document counter, series numbers given
//     twice, serial numbers (Serie.DB) of an input line that does not exist.

#include "datastore/database.h"

#include <QList>
#include <QString>

namespace stock {

struct StockComparison {
    QString warehouse, group, article;
    double price = 0;
    QString lot, budget; // empty when none
    double stock = 0;     // Stoc.DB
    double documents = 0; // Item_in.DB - Item_out.DB
    double epsilon = 0.00001;
    // The stock and the documents are more than Epsilon apart (the rule of
    // common/tolerance.h: a row the ledger dropped within Epsilon is no fault).
    bool differs() const;
};

// Every key that has stock or document lines, in key order; keys where both
// are 0 are left out. `epsilon`: the tolerance of differs().
QList<StockComparison> CompareStockWithDocuments(datastore::Database& db, double epsilon = 0.00001);

struct DocumentFault {
    enum class Kind {
        StockDiffers,       // a stock row differs from its documents
        LineWithoutHeader,  // lines of a document counter with no header
        HeaderWithoutLines, // a document without lines (the initial stock's may have none)
        CounterBehind,      // Counter.DB below the largest counter in use
        NumberGivenTwice,   // a series number held by two documents
        SerialWithoutLine,  // serial numbers of an input document or line that does not exist
    };
    Kind kind;
    QString text; // one line, in Romanian
};

// Every fault found, grouped by kind in the order above. Tables that do not
// exist are skipped.
QList<DocumentFault> CheckDocuments(datastore::Database& db, double epsilon = 0.00001);

// The heading of a kind of fault, for reports ("Stocuri diferite de documente").
QString faultHeading(DocumentFault::Kind kind);

} // namespace stock
