#pragma once
// The check of an accounting-account symbol, used by every account field
// (articles, suppliers, budgets, parameters, document lines).

#include <QString>

namespace common {

// The warning shown when an account field refuses its text.
inline constexpr const char* kAccountSymbolMessage = "Introduceti simbolul contului în format 999(9).99(9).99(9) !";

struct AccountSymbol {
    bool accepted = false;
    // The pieces of an accepted symbol (all empty when it is refused):
    QString synthetic; // the first 3 characters of the first segment
    QString rest;      // the rest of the first segment
    QString second;    // the segment after the first dot
    QString third;     // the segment after the second dot
};

// An account symbol has at most two dots (three segments); the first segment
// (the whole text when there is no dot) has at most 10 characters, the other
// two at most 20 each. Digits are not enforced and an empty text is accepted.
AccountSymbol CheckAccountSymbol(const QString& text);

} // namespace common
