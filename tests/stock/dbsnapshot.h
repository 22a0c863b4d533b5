#pragma once
// Every row of every table of a database as text, for tests that must find
// the database exactly as it was after a failed operation; and a trigger that
// makes the Nth insert into a table fail, as a full disk or a lost server
// would in the middle of a write.

#include "datastore/database.h"

#include <QStringList>

namespace stocktest {

// The rows of a query, each as "v1|v2|..." (an empty value as "").
inline QStringList queryRows(datastore::Database& db, const QString& sql, const QVariantHash& params = {})
{
    QStringList result;
    datastore::Query q = db.query(sql, params);
    while (q.next()) {
        QStringList values;
        for (int i = 0; i < q.columnCount(); ++i)
            values << q.value(i).toString();
        result << values.join(u'|');
    }
    return result;
}

// "Table: v1|v2|..." for every row, rows sorted within their table.
inline QStringList databaseSnapshot(datastore::Database& db)
{
    QStringList all;
    for (const QString& table : db.tableNames()) {
        QStringList rows;
        datastore::Query q = db.query(QStringLiteral("SELECT * FROM \"%1\"").arg(table));
        while (q.next()) {
            QStringList values;
            for (int i = 0; i < q.columnCount(); ++i)
                values << (q.value(i).isNull() ? QStringLiteral("<null>") : q.value(i).toString());
            rows << table + QStringLiteral(": ") + values.join(u'|');
        }
        rows.sort();
        all << rows;
    }
    return all;
}

// The insert into `table` (as SQLite names it: "Item_in", "Stoc") of a row
// for which `condition` holds (over NEW) fails with "disk I/O error
// (injected)".
inline void failInsertWhen(datastore::Database& db, const QString& table, const QString& condition)
{
    db.exec(QStringLiteral("CREATE TRIGGER injected_fault BEFORE INSERT ON \"%1\" WHEN %2 "
                           "BEGIN SELECT RAISE(ABORT, 'disk I/O error (injected)'); END")
                .arg(table, condition));
}

// The insert that would make `table` hold more than `rowsBefore` rows fails.
inline void failInsertAfter(datastore::Database& db, const QString& table, int rowsBefore)
{
    failInsertWhen(db, table, QStringLiteral("(SELECT COUNT(*) FROM \"%1\") >= %2").arg(table).arg(rowsBefore));
}

inline void removeFault(datastore::Database& db)
{
    db.exec(QStringLiteral("DROP TRIGGER IF EXISTS injected_fault"));
}

} // namespace stocktest
