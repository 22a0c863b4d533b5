#pragma once
// The serial rows (Serie.DB) of an input line: one row per unit received
// while the line's flag Serii is set, each with the supplier's serial number
// (SerieFurn, typed in the serial window) and an internal number (Serie).
//
// The rows follow the line inside the unit of work that writes it:
//   - the flag set            -> one row per unit is appended;
//   - the quantity changed    -> the rows that remain (the first n, by their
//                                internal number) keep their supplier numbers;
//                                only the difference is appended or removed;
//   - the article changed     -> the rows follow it;
//   - the flag cleared, or the line deleted -> the rows are deleted.
// A new row takes the largest internal number plus 1, inside the write, so
// two workstations never give the same one and the search by serial number
// finds every row.

#include "datastore/database.h"

#include <QString>

namespace stock {

// A line as its serial rows see it.
struct SerialLine {
    double contor = 0;         // document counter
    double lineNumber = 0;     // Contor_secundar
    QString group;
    QString article;
    bool flag = false;         // Serii
    double quantity = 0;
};

// The most rows one line may own.
inline constexpr int kMaxSerialRows = 65535;

// The number of rows a quantity stands for: brought to the nearest integer,
// halves to the even neighbour (2.5 -> 2, 3.5 -> 4; common::roundHalfEven,
// whatever the rounding mode); 0 for a quantity of zero or below (a line
// giving goods back has no unit to number); -1 when it exceeds
// kMaxSerialRows or is not a finite number.
int serialRowCount(double quantity);

// "Cantitatea ... depaseste ..." for a line whose quantity has too many units.
QString tooManySerialsMessage(double quantity);

// Brings the line's serial rows in line with `now`, given the line as it was
// when its editing began (`before`; a new line: flag false). Must run inside
// the unit of work that writes the line, after its number is known.
void SyncSerialRows(datastore::Database& db, const SerialLine& before, const SerialLine& now);

// DELETE FROM "Serie.db" WHERE (Contor = :C) AND (ContorSec = :CS)
void DeleteSerialRows(datastore::Database& db, double contor, double lineNumber);

} // namespace stock
