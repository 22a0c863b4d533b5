#pragma once
// The engine behind a Database: everything that depends on the SQL server
// that holds the tables. Database keeps the engine-free part (directories,
// the dialect's translation, the prepared-statement cache, units of work and
// savepoints, the table catalog's spelling of names) and asks its Engine for
// the rest: how to open the connection, how a table is made, read back and
// dropped, how rows are read, what a failure means, how the store is checked.
//
// Internal to src/datastore: nothing outside this library includes it.

#include "database.h"
#include "dberror.h"
#include "sqldialect.h"
#include "tabledef.h"

#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <atomic>
#include <memory>

namespace datastore {

// The rows of one SELECT as an engine reads them. Values come back typed as
// Query promises (text as QString, numbers, QDate, bool, empty as null).
struct QueryState {
    virtual ~QueryState();
    virtual bool next() = 0;                        // throws DbError
    virtual QVariant value(int column) const = 0;   // column is in range
    virtual void finalize() = 0;                    // frees the statement; next() is false afterwards

    QStringList names;
    QString statement;                  // as written, for errors
    QSet<QueryState*>* owner = nullptr; // the connection's list of open statements
};

class Engine {
public:
    explicit Engine(Database& db) : m_db(db) {}
    virtual ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // --- connection ------------------------------------------------------
    // The Qt SQL driver ("QSQLITE").
    virtual QString driverName() const = 0;
    // Opens `db` (made with driverName()) on the store of `directory` and
    // applies the connection's settings. Throws DbError.
    virtual void open(QSqlDatabase& db, const QString& directory, int busyTimeoutMs) = 0;
    // Applies a new wait for other processes' locks to the open connection.
    virtual void setBusyTimeout(QSqlDatabase& db, int ms) = 0;
    // The dialect's translation for this engine.
    virtual SqlDialect::Target dialectTarget() const = 0;
    // Whether a statement without values is prepared before it runs (a server
    // that cannot prepare DDL or SAVEPOINT runs such statements directly).
    virtual bool preparesPlainStatements() const = 0;
    // A table or field name quoted in the engine's spelling.
    virtual QString quoteName(const QString& name) const = 0;
    // The statements that start a write transaction, in order: the first
    // opens it, the others take the locks that make writers wait for each
    // other (a failure of any of them leaves no transaction open).
    virtual QStringList beginStatements() const = 0;
    // A value as bound to a statement (dates, booleans in the stored form).
    virtual QVariant bindable(const QVariant& v) const = 0;
    // The translated statement as it is prepared for these values: a server
    // that cannot tell a parameter's type from where it stands is told the
    // type of its value. The same text for values of the same types.
    virtual QString withParameterTypes(const QString& translated, const QVariantHash& params) const
    {
        Q_UNUSED(params);
        return translated;
    }
    // What withParameterTypes depends on in `params` (empty when nothing).
    virtual QString parameterTypesKey(const QVariantHash& params) const
    {
        Q_UNUSED(params);
        return {};
    }
    // A failed statement as a DbError of the right kind.
    virtual DbError error(const QSqlDatabase& db, const QSqlError& e, const QString& statement) const = 0;
    // Makes another directory's tables visible under `alias` on the open
    // connection; false (and nothing done) while that directory has no store.
    virtual bool attach(QSqlDatabase& db, const QString& alias, const QString& directory) = 0;
    virtual void detach(QSqlDatabase& db, const QString& alias) = 0;
    // What an attached alias is called in statements, where the server names
    // it otherwise (alias upper case -> name); empty when aliases serve as they are.
    virtual QHash<QString, QString> schemaNames() const { return {}; }

    // --- structure -------------------------------------------------------
    // Tables of the connection's own store, as stored, in creation order;
    // the storage's own ("__...") are left out.
    virtual QStringList storedTableNames() = 0;
    // The stored name of a table in its own letter case; empty when absent.
    virtual QString storedTableName(const TableRef& ref) = 0;
    // Fields and indexes of an existing table (primary key first); the name
    // of the result is left empty for Database to fill in.
    virtual TableDef readStoredDef(const TableRef& ref, const QString& storedName) = 0;
    // The following run inside a unit of work opened by Database.
    // Creates the table (none of that name exists) with its indexes and
    // everything that keeps the stored values in step with the definition.
    virtual void createTable(const TableRef& ref, const TableDef& def) = 0;
    virtual void dropTable(const TableRef& ref) = 0; // no error when absent
    // `def` is the table's definition as read before the rename.
    virtual void renameTable(const TableRef& from, const TableRef& to, const TableDef& def) = 0;
    virtual void createIndex(const TableRef& ref, const IndexDef& index) = 0; // not the primary key
    virtual void dropIndex(const TableRef& ref, const QString& indexName) = 0;  // not the primary key
    virtual void alterTable(const SqlDialect::AlterTableStmt& st, const QString& original) = 0;
    // The last number an autoincrement field of the table has given (0 when
    // none), and a counter moved on so that the next number is above `last`
    // (never moved back).
    virtual qlonglong autoIncrementValue(const TableRef& ref, const QString& storedName, const QString& field) = 0;
    virtual void advanceAutoIncrement(const TableRef& ref, const QString& storedName, const QString& field, qlonglong last) = 0;

    // --- rows ------------------------------------------------------------
    // Prepares a translated SELECT on the open connection and binds `params`
    // (names with or without ':'; values the statement does not use are ignored).
    virtual std::unique_ptr<QueryState> prepareQuery(QSqlDatabase& db, const QString& translated,
                                                     const QVariantHash& params, const QString& original) = 0;

    // --- checks ----------------------------------------------------------
    // The engine's check of the connection's store (Database has opened it);
    // stopped (outcome Cancelled) when `cancel` becomes true, where the engine can.
    virtual IntegrityReport integrityCheck(QSqlDatabase& db, IntegrityDepth depth, const std::atomic_bool* cancel) = 0;
    // Whether an error met while opening means the store is damaged.
    virtual bool isDamage(const DbError& e) const = 0;

protected:
    // Database's own helpers, for the engines.
    int run(const QString& sql, const QVariantHash& params = {}) { return m_db.execTranslated(QString(), sql, params); }
    // The same, with the statement as the user wrote it shown in errors.
    int runFor(const QString& original, const QString& sql) { return m_db.execTranslated(original, sql, {}); }
    Query rows(const QString& sql, const QVariantHash& params = {}) { return m_db.query(sql, params); }
    QVariant value(const QString& sql, const QVariantHash& params = {}) { return m_db.scalar(sql, params); }
    TableDef readDef(const QString& written) { return m_db.readTableDef(written); }
    QSqlDatabase connection() { return m_db.sql(); }
    Database& database() { return m_db; }

private:
    Database& m_db;
};

// The engine of a directory holding kDatabaseFileName.
std::unique_ptr<Engine> makeSqliteEngine(Database& db);
// The engine of a directory holding kServerFileName (postgresengine.cpp).
std::unique_ptr<Engine> makePostgresEngine(Database& db);

// "ALIAS:Name" as written in statements, so that the dialect finds the table again.
QString writtenTableName(const TableRef& ref);

} // namespace datastore
