#pragma once
// A whole database copied from one directory to another, whatever holds the
// tables on either side: SQLite to a PostgreSQL server when an institution
// grows, back for a backup, or between two directories of the same kind.
//
// Every table of the source (the catalog's and any other stored), with its
// definition as read back (fields, sizes, indexes), is made in the target and
// its rows are copied in batches of bound values, read one by one from the
// source so that memory does not grow with a table. Autoincrement fields keep
// their numbers and their counters are moved past the source's, so no number
// is ever given twice. The whole copy is one unit of work on the target: any
// failure leaves the target as it was (a SQLite file made for the copy is
// removed again). Before the unit of work commits, the row count of every
// table is compared on both sides and the caller's check runs on the copy.

#include "database.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace datastore {

struct TableCopy {
    QString table; // the catalog's spelling ("Doc_in.DB")
    qint64 rows = 0;
};

struct CopyReport {
    bool ok = false;
    QString error;           // why the copy failed, in Romanian; empty when ok
    QList<TableCopy> tables; // tables copied, in the source's order
    qint64 rows = 0;         // rows of all tables
    qint64 milliseconds = 0; // the whole copy, checks included
};

// Told after each batch: the table being copied, its rows copied so far and its rows in all.
using CopyProgress = std::function<void(const QString& table, qint64 copied, qint64 total)>;
// A check of the copy on the target before it is committed (the target sees
// the rows copied, the source is open as well): the problems found, in
// Romanian; any problem undoes the copy.
using CopyCheck = std::function<QStringList(Database& from, Database& to)>;

// Copies the database of directory `from` into directory `to`. The target
// must hold no table: a directory with no database (made when missing; the
// copy is then a SQLite file) or with a connection file naming an empty
// schema. Throws nothing: a failure is reported in CopyReport::error.
CopyReport copyDatabase(const QString& from, const QString& to, const CopyProgress& progress = {},
                        const CopyCheck& check = {});

} // namespace datastore
