#pragma once
// The storage of a database directory.
//
// A database directory holds one SQLite file (kDatabaseFileName) with every
// table of the catalog, or the connection file kServerFileName of a
// PostgreSQL server that holds them, plus TBXDEF.INI. A Database is one named connection
// to such a directory ("TSTOCK" for the database, "TBX_PRIV" for the private
// directory of a workstation). Statements are written in the dialect the
// windows and reports use (see SqlDialect): tables named by file name
// ("Doc_in.DB"), bare (STOC) or qualified by connection (":TSTOCK:Catalog.DB"),
// EXTRACT(YEAR FROM ...), ALTER TABLE ... ADD/DROP, DROP INDEX Table.Index.
//
// Table passwords, the engine's idle-time call and its creation options (table
// level, block size, language driver, fill factor) have no meaning here:
// the validator keeps them as properties and this layer ignores them.

#include "dberror.h"
#include "sqldialect.h"
#include "tabledef.h"

#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <atomic>
#include <memory>

namespace datastore {

inline constexpr const char* kDatabaseFileName = "gestiune.db";
// In place of kDatabaseFileName: the tables live on a PostgreSQL server. An
// INI file with the keys host (a name, an address or a socket folder), port,
// database, user and schema (default "public"); never a password (libpq's
// password file or PGPASSWORD serve).
inline constexpr const char* kServerFileName = "gestiune.pg";
inline constexpr const char* kDatabaseAlias = "TSTOCK";
inline constexpr const char* kPrivateAlias = "TBX_PRIV";

class Query;
struct QueryState; // the statement a Query reads
class Engine;      // the SQL server behind a Database (engine.h)

// The engine's own check of a database file. The quick check walks every
// table and index page (about a second per million document lines); the full
// check also compares every index with its table. On a server the quick
// check reads a row of every table, the full check every row and every index,
// and that no unique key repeats.
enum class IntegrityDepth { Quick, Full };

struct IntegrityReport {
    enum class Outcome {
        Sound,      // the engine found nothing wrong
        Damaged,    // the engine found faults; `problems` lists them
        NotChecked, // the file could not be read (absent, locked, gone); `problems` says why
        Cancelled,  // stopped before its end
    };
    Outcome outcome = Outcome::NotChecked;
    QStringList problems; // the engine's own lines, at most 100

    bool sound() const { return outcome == Outcome::Sound; }
    bool damaged() const { return outcome == Outcome::Damaged; }
};

// Checks the database file at `filePath` on a connection of its own, made and
// closed here, so that any thread may call it. Never creates the file. When
// `cancel` becomes true the check stops (outcome Cancelled).
IntegrityReport checkDatabaseFile(const QString& filePath, IntegrityDepth depth,
                                  const std::atomic_bool* cancel = nullptr);
// The same for a database directory, wherever its tables are: its file, or
// its tables on the server (kServerFileName) through a connection of its own.
IntegrityReport checkDatabaseDirectory(const QString& directory, IntegrityDepth depth,
                                       const std::atomic_bool* cancel = nullptr);

class Database {
public:
    // alias: the connection name used in qualified table names (":TSTOCK:...").
    explicit Database(QString alias = kDatabaseAlias);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& alias() const { return m_alias; }

    // The directory; setting it closes the connection. The file is opened on
    // first use and created only by operations that create tables.
    QString directory() const { return m_directory; }
    void setDirectory(const QString& dir);
    QString filePath() const; // directory + kDatabaseFileName
    // Whether the directory holds a database: its file, or kServerFileName.
    bool fileExists() const;
    // Whether the directory's tables live on a server (kServerFileName).
    bool onServer() const;

    // Another connection's file made visible under its alias, so that one
    // statement can join both (":TBX_PRIV:Answ1" from "TSTOCK" and back).
    void attach(const QString& alias, const QString& directory);

    void close();
    bool isOpen() const;

    // Why the directory or its database file cannot be reached, in Romanian;
    // empty when the directory can be listed and the file is either absent
    // (no entry of any kind) or a regular file. A dangling link, a directory
    // or anything else in place of the file is a problem, and so is a
    // directory that cannot be listed.
    QString accessProblem() const;

    // The engine's check of this connection's file or server tables (see
    // IntegrityReport); on the server it stops between statements when
    // `cancel` becomes true.
    IntegrityReport integrityCheck(IntegrityDepth depth = IntegrityDepth::Full, const std::atomic_bool* cancel = nullptr);

    // --- structure -------------------------------------------------------
    // Table names with the ".DB" extension (the catalog's spelling for known
    // tables); empty when the file does not exist yet.
    QStringList tableNames();
    bool tableExists(const QString& table);
    // Field and index definitions as stored (primary key first, named "").
    TableDef readTableDef(const QString& table);
    // Creates the table from the definition, replacing a table of that name.
    void createTable(const TableDef& def);
    void dropTable(const QString& table);
    void renameTable(const QString& from, const QString& to);
    void addIndex(const QString& table, const IndexDef& index); // a primary index rebuilds the table
    void dropIndex(const QString& table, const QString& indexName);
    // The last number the autoincrement field `field` of `table` has given, 0
    // when none: numbers of deleted rows count, they are never given again.
    qlonglong autoIncrementValue(const QString& table, const QString& field);
    // Moves the field's counter on so that the next number given is above
    // `last`; a counter already past it stays where it is.
    void advanceAutoIncrement(const QString& table, const QString& field, qlonglong last);

    // --- statements ------------------------------------------------------
    // Runs a statement with named parameters (":Contor"); returns rows affected.
    int exec(const QString& sql, const QVariantHash& params = {});
    // Prepares a query to read rows from.
    Query query(const QString& sql, const QVariantHash& params = {});
    // First column of the first row; an invalid QVariant when there is no row,
    // a valid but null one when the row holds an empty value.
    QVariant scalar(const QString& sql, const QVariantHash& params = {});

    // --- transactions ----------------------------------------------------
    // Use UnitOfWork rather than these.
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return m_txDepth > 0; }

    // Milliseconds a statement waits for another process's lock (default 10000).
    void setBusyTimeout(int ms);

    QSqlDatabase sql(); // opens on demand; for the dataset layer

    // Translation of one statement into the engine's dialect (exposed for tests).
    QString translate(const QString& sql) const;

private:
    friend class Query;
    friend class UnitOfWork;
    friend class Savepoint;
    friend class Engine;
    void ensureOpen(bool create);
    void rebuildTable(const QString& table, const QList<IndexDef>& indexes);
    int execTranslated(const QString& original, const QString& sql, const QVariantHash& params);
    int execCached(const QString& original, const QVariantHash& params);
    int execAlterTable(const QString& original, const QString& sql);
    TableRef resolve(const QString& table) const; // where a table named as written lives

    QString m_alias;
    QString m_directory;
    QString m_connectionName;
    std::unique_ptr<Engine> m_engine;
    void attachPending();
    QHash<QString, QString> m_attached; // alias (upper) -> directory
    QSet<QString> m_live;               // aliases attached on the open connection
    QHash<QString, QSqlQuery> m_prepared; // statement as written -> prepared translation
    QSet<QueryState*> m_openQueries;      // finalized when the connection closes
    mutable QHash<QString, QString> m_translated; // statement as written -> SQLite text
    int m_txDepth = 0;
    int m_savepoints = 0; // savepoints made so far, for their names
    bool m_rollbackOnly = false;
    int m_busyTimeoutMs = 10000;
};

// Rows of a SELECT. Values come back typed: text as QString, numbers as
// double/int, dates as QDate, booleans as bool, empty as a null QVariant.
class Query {
public:
    Query(Query&&) noexcept;
    ~Query();
    bool next();
    QVariant value(int column) const;
    QVariant value(const QString& field) const; // case-insensitive
    int columnCount() const;
    QString columnName(int column) const;
    QStringList columnNames() const;

private:
    friend class Database;
    explicit Query(std::unique_ptr<QueryState> state);
    std::unique_ptr<QueryState> d;
};

// A unit of work: begins a write transaction (or joins the one already open on
// the same Database) and rolls it back unless commit() is called. Nested units
// share the outermost transaction; a nested unit that is not committed marks
// the whole transaction for rollback.
class UnitOfWork {
public:
    explicit UnitOfWork(Database& db);
    ~UnitOfWork();
    UnitOfWork(const UnitOfWork&) = delete;
    UnitOfWork& operator=(const UnitOfWork&) = delete;
    void commit();

private:
    Database& m_db;
    bool m_done = false;
};

// A part of the open transaction that can be undone on its own: the changes
// made after it are rolled back when it goes away without release(), and the
// transaction around it goes on. Needs an open UnitOfWork.
class Savepoint {
public:
    explicit Savepoint(Database& db);
    ~Savepoint();
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;
    void release();

private:
    Database& m_db;
    QString m_name;
    bool m_done = false;
};

} // namespace datastore
