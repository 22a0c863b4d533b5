#pragma once
// The current stock next to what the documents say: for every stock key, the
// quantity the stock table holds and the quantity the document lines add up
// to (inputs and the initial stock minus outputs), read in one set-based pass.

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
    bool differs() const;
};

// Every key that has stock or document lines, in key order; keys where both
// are 0 are left out.
QList<StockComparison> CompareStockWithDocuments(datastore::Database& db);

} // namespace stock
