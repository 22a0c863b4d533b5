#pragma once
// Finding documents by one criterion at a time, as the input and output
// document windows do with "&Prima aparitie..." and "&Urmatoarea": the
// document number, an article code on a line, a text in the explanation, the
// acquisition price of a line, or (input documents) a serial number. Documents
// are visited in ascending counter order within the registration-date period
// the window shows; the initial stock (counter -1) is never found.

#include "datastore/database.h"

#include <QDate>
#include <QString>

namespace stock {

// DOC_IN/ITEM_IN (price Pret_Achizitie_lei) or DOC_OUT/ITEM_OUT (Pret_Achizitie).
enum class DocumentSide { Input, Output };

enum class SearchCriterion { Number = 1, Article = 2, Explanation = 3, Price = 4, Serial = 5 };

// One per document window, kept as long as the window.
struct SearchState {
    SearchCriterion criterion = SearchCriterion::Number;
    double number = 0;
    QString article;
    QString explanation;
    double price = 0;
    double serial = 0;
    double lastFound = -1; // counter of the last document found; -1 at the start of a search
};

struct SearchHit {
    bool found = false;
    double contor = 0;
    double lineNumber = 0; // serial criterion: ContorSec of the line carrying the serial
};

// The first date of "no period" (1 January 1800) and the last (1 January 2500).
QDate searchPeriodStart();
QDate searchPeriodEnd();

// The next document after state.lastFound (ascending Contor) matching the
// criterion whose registration date lies in [first, last]; an invalid first
// or last date means no period. An empty article or explanation, and the
// serial criterion on output documents, find nothing. Does not change state.
SearchHit FindNextDocument(datastore::Database& db, DocumentSide side, const SearchState& state,
                           const QDate& first, const QDate& last);

// The search state after a hit: the hit's counter becomes the last found.
inline void rememberHit(SearchState& state, const SearchHit& hit)
{
    if (hit.found)
        state.lastFound = hit.contor;
}

} // namespace stock
