#pragma once
// Text as a search compares it: what a user types into a search box meets
// the stored text whatever its case and its diacritics. Romanian text is
// written with ă â î ș ț, and older data holds ş ţ (with a cedilla) for the
// last two; all of them meet the plain letters, so "ser", "ȘER" and "şer"
// all find "Șervetele".

#include <QString>

namespace common {

// `text` folded for a search: decomposed, its combining marks (diacritics)
// removed, then in lower case by Unicode rules. "Șervetele" -> "servetele",
// "ŢUICĂ" -> "tuica", "Crème" -> "creme".
QString foldForSearch(const QString& text);

// The same folding as an expression of the windows' SQL dialect, for a list
// ordered the way a search over it compares: the Romanian letters (both forms
// of ș and ț) replaced by their plain letters, then LOWER. It gives the same
// text on both engines for Romanian text and ASCII; other accented letters
// keep their accent (SQLite's LOWER folds ASCII only).
QString foldForSearchSql(const QString& expression);

} // namespace common
