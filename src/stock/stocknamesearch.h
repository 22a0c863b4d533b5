#pragma once
// "&Cauta denumire:" of the current stock window and of the stock picker:
// typing a name finds the article by its name, whatever order the list is
// shown in.

#include "datastore/dataset.h"

#include <QString>

namespace stock {

// A text as the name search compares it: upper and lower case alike, and
// the Romanian letters with their marks (ă â î ș ț, and ş ţ written with a
// cedilla) alike with the plain ones, as every other accented letter.
QString foldForSearch(const QString& text);

// The first row of `list` whose `Denumire` begins with `text`, else the
// first whose name holds it (compared folded); -1 when none does or the text
// is empty.
int findStockName(const datastore::Dataset& list, const QString& text);

} // namespace stock
