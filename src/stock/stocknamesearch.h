#pragma once
// "&Cauta denumire:" of the current stock window and of the stock picker:
// typing a name finds the article by its name, whatever order the list is
// shown in.

#include "datastore/dataset.h"

#include <QString>

namespace stock {

// The first row of `list` whose `Denumire` begins with `text`, else the
// first whose name holds it (compared as common::foldForSearch folds them:
// no case, no diacritics, ş/ș and ţ/ț alike); -1 when none does or the text
// is empty.
int findStockName(const datastore::Dataset& list, const QString& text);

} // namespace stock
