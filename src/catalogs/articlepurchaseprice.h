#pragma once
// The stock lines of one article in one warehouse, from which the output
// documents and the scrapping list choose an acquisition price
// (TPricesDlg shows them).

#include "common/dialogs.h"
#include "datastore/dataset.h"

#include <memory>

namespace catalogs {

// The statement: one row per stock line (price, lot, budget, quantity) with
// the article's name and unit; parameters Gest, Grp, Art.
QString purchasePriceStatement();

// The stock lines of the article, ordered by price and lot. Returns nullptr
// after the warning "Nu exista stoc pentru acest articol!" when there is
// none, or after the error box when the query fails.
std::unique_ptr<datastore::Dataset> openPurchasePrices(datastore::Database& db, common::Dialogs& dialogs,
                                                       const QString& warehouse, const QString& group,
                                                       const QString& article);

} // namespace catalogs
