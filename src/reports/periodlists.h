#pragma once
// Two lists over whole warehouses:
//
//   InputsOutputsList     "Lista intrari/iesiri in perioada": per article, what
//                         came in and went out in an interval (TotalInOut)
//   InventoryCentraliser  "Centralizator inventar": the value of the stock of
//                         every warehouse at a date, at acquisition prices: the
//                         sum of its stock lines' values, each rounded once
//
// Both return true after the report was shown or printed, false when a
// question was cancelled or an error ended it (after its message).

#include "reportrun.h"

#include "datastore/database.h"
#include "datastore/tabledef.h"

#include <QDate>
#include <QString>

namespace reports {

inline constexpr const char* kInOutTable = "TotalInOut";

// The definition of TotalInOut: one row per article (group, code, catalog name).
datastore::TableDef inputsOutputsTableDef();

// Builds TotalInOut (replacing it) from the input and output lines
// registered within [first, last], of one budget when `budget` is not empty:
// per article (group and code, named from the catalog by both; an article
// missing from the catalog keeps its lines, without a name) the sum of its
// inputs and the sum of its outputs over every budget. Returns the rows
// written. Throws the storage's errors.
int BuildInputsOutputs(datastore::Database& privateDb, const QDate& first, const QDate& last, const QString& budget);

bool InputsOutputsList(ReportContext& ctx);
bool InventoryCentraliser(ReportContext& ctx);

} // namespace reports
