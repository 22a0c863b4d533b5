#pragma once
// The table catalog: the definitions of every table of a database directory,
// in the order in which they are validated and created.

#include "tabledef.h"

namespace datastore {

// Every table that the program creates and validates (47 tables), in order.
const QList<TableDef>& databaseTables();
// Tables that are defined but neither created nor validated (TargetA.DB).
const QList<TableDef>& uncheckedTables();
// Looks a table up by name, ignoring case and an optional ".db" extension, in
// both lists; nullptr when unknown.
const TableDef* findTableDef(const QString& name);

} // namespace datastore
