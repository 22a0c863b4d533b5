#pragma once
// The working tables of reports ("answer tables") in the private directory
// of the workstation: made afresh on every run, read by the report, deleted
// after a successful print. The private directory is per workstation, so two
// workstations running the same report never meet in them.
//
// A table is made in one of three ways, each replacing a table of that name:
//   - from a field list (createFromFields);
//   - by a "CREATE TABLE" statement (createBySql);
//   - as the copy of a query result (copyQuery): the table takes the given
//     field list and the rows of the query are written by one
//     INSERT ... SELECT, never row by row.

#include "datastore/database.h"
#include "datastore/tabledef.h"
#include "reportengine/rowsource.h"

#include <QString>
#include <QStringList>
#include <QVariantHash>

namespace reports {

// Replaces, in the first line of `lines` holding `table` as a whole name
// (letters, digits and "_" on neither side; case ignored), that occurrence
// by the table's file in the private directory: a single quote, the
// directory (a "/" added when it ends in no separator), the name in capitals
// and a single quote. A name already preceded by a path separator leaves the
// line unchanged and stops the scan. Returns whether a replacement was made.
bool QualifyAnswerTable(QStringList& lines, const QString& table, const QString& privateDir);
// The same on a statement's whole text.
bool QualifyAnswerTable(QString& sql, const QString& table, const QString& privateDir);

class AnswerTables {
public:
    // `privateDb`: the connection of the private directory (with the
    // database directory attached as TSTOCK when a query reads it).
    explicit AnswerTables(datastore::Database& privateDb) : m_db(privateDb) {}

    void createFromFields(const datastore::TableDef& def);
    // A "CREATE TABLE" statement; the table of that name is dropped first.
    void createBySql(const QString& createStatement);
    // The table `def` filled with the rows of `select` (its columns in the
    // order of the fields). Returns the rows written. The statement runs on
    // its own (no transaction), so only the private file is written.
    int copyQuery(const datastore::TableDef& def, const QString& select, const QVariantHash& params = {});
    // Appends rows (values in the order of `columns`), a few hundred per
    // statement, each statement on its own: no transaction is opened, so
    // only the private file is locked while writing (a transaction would
    // take the write lock of the attached database directory as well).
    void insertRows(const QString& table, const QStringList& columns, const QList<QVariantList>& rows);
    // Drops the table; an error is ignored when `ignoreErrors`.
    void remove(const QString& table, bool ignoreErrors = false);
    bool exists(const QString& table) { return m_db.tableExists(table); }

    datastore::Database& database() const { return m_db; }

private:
    datastore::Database& m_db;
};

// The rows of a query, read one after the other as the report prints them
// (nothing is held but the current row).
class QueryRows : public reportengine::RowSource {
public:
    explicit QueryRows(datastore::Query query);
    QStringList columnNames() const override { return m_columns; }
    bool next() override;
    QVariant value(int column) const override;

private:
    datastore::Query m_query;
    QStringList m_columns;
};

// a / b, or 0 when b is zero, missing or the quotient is not finite: a
// division by a missing rate prints 0, never "inf".
double divideOrZero(double a, double b);

} // namespace reports
