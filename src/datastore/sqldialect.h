#pragma once
// The SQL dialect that windows and reports write, and its translation into
// SQLite's. Statements are written the way users of indexed flat-file tables
// write them:
//   - a table is named by its file name in double quotes ("Doc_in.DB"), bare
//     in any letter case (STOC, Item_in), bare with its extension (Stoc.DB),
//     qualified by a connection (":TSTOCK:Catalog.DB", ":TBX_PRIV:Answ1") or
//     by the full path of its file in a connected directory, in double quotes
//     or, where a table is named (FROM, JOIN, a FROM list), in single quotes
//     ('C:\App\TBX_PRIV\ANSW_ST'); "\" and "/" both separate a path;
//   - EXTRACT(YEAR|MONTH|DAY FROM expr) reads a part of a date;
//   - ROUND_MONEY(x, d) is x rounded to d decimals (a whole number 0..9) exactly
//     as common::roundMoney rounds it: halves to the even neighbour, a figure
//     within 1e-7 of a unit of the last place from a half counting as the half;
//     NULL when x or d is NULL. The value of a line is rounded once with it and
//     totals are sums of such values (SUM(ROUND_MONEY(Cantitate * Pret, :Dec))).
//     SQLite runs the C++ function itself (registered on every connection); on
//     the server it is the PL/pgSQL function pg_temp.round_money, which every
//     connection makes for itself when it opens;
//   - a double-quoted text after a comparison (=, <>, <, >, <=, >=, LIKE) or
//     inside IN (...) is a string constant ("WHERE Serie = "AB""); elsewhere
//     a double-quoted name is a field ("Cod fiscal"), and a name that is no
//     field falls back to a string constant ("1. APROVIZIONARE" AS Grup);
//   - text constants 'MM/DD/YYYY' are dates ('01/01/2001'), 'TRUE' and 'FALSE'
//     booleans;
//   - an empty text is a blank field: X = "" (or '') asks whether X is blank,
//     X <> "" whether it is not (blank fields are stored empty, see engine.h);
//   - DDL: CREATE TABLE with char(n), numeric, Date, ...; ALTER TABLE with
//     several ADD/DROP actions; CREATE INDEX; DROP INDEX Table.Index; DROP TABLE.
// The translation works on tokens, not on a full grammar, in one forward pass.
// For a PostgreSQL server (setTarget) it also writes what SQLite does by
// itself: integers against boolean fields as TRUE/FALSE, the names of
// unaliased select-list expressions, loose columns of grouped SELECTs, the
// place of empty values in ORDER BY (docs/architecture.md lists the rules).

#include "tabledef.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace datastore {

struct SqlToken {
    enum Kind { Space, Word, Quoted, String, Param, Number, Punct };
    Kind kind;
    QString text; // for Quoted: the name without quotes; otherwise the source text
};

QList<SqlToken> tokenizeSql(const QString& sql);

// A reference to a table as written in a statement, resolved.
struct TableRef {
    QString schema; // empty for the connection's own file, else an attached alias
    QString name;   // SQLite table name (file name without directory and extension)
};

// How table references are resolved for one connection.
class SqlDialect {
public:
    // ownAlias: the connection's alias ("TSTOCK"); ownDir: its directory;
    // attached: other aliases (upper case) -> their directories.
    SqlDialect(QString ownAlias, QString ownDir, QHash<QString, QString> attached);

    // The SQL server the translation is for (SQLite unless told otherwise).
    enum class Target { Sqlite, Postgres };
    void setTarget(Target target) { m_target = target; }
    // The server's names of attached aliases (upper case -> name), where they differ.
    void setSchemaNames(QHash<QString, QString> names) { m_schemaNames = std::move(names); }

    // Resolves a table name as written ("Doc_in.DB", ":TSTOCK:Catalog.DB",
    // "STOC", "/path/TBX_PRIV/ANSW_ST.DB"). Throws DbError for an unknown alias.
    TableRef resolveTable(const QString& written) const;
    // The SQLite text for a resolved table: "Name" or "ALIAS"."Name".
    static QString quoted(const TableRef& ref);
    // The same in the target's spelling (lower case on PostgreSQL).
    QString quotedTable(const TableRef& ref) const;

    // Translates a SELECT / INSERT / UPDATE / DELETE statement.
    QString translate(const QString& sql) const;

    // Statement kinds the storage runs itself (DDL with structure bookkeeping).
    enum class Ddl { None, CreateTable, AlterTable, CreateIndex, DropIndex, DropTable };
    static Ddl ddlKind(const QString& sql);

    struct CreateTableStmt { TableRef table; TableDef def; };
    struct AlterAction { bool add; FieldDef field; }; // drop: field.name only
    struct AlterTableStmt { TableRef table; QList<AlterAction> actions; };
    struct CreateIndexStmt { TableRef table; IndexDef index; };
    struct DropIndexStmt { TableRef table; QString index; };
    struct DropTableStmt { TableRef table; };

    // Parsers for the DDL statements; throw DbError(Syntax) when malformed.
    CreateTableStmt parseCreateTable(const QString& sql) const;
    AlterTableStmt parseAlterTable(const QString& sql) const;
    CreateIndexStmt parseCreateIndex(const QString& sql) const;
    DropIndexStmt parseDropIndex(const QString& sql) const;
    DropTableStmt parseDropTable(const QString& sql) const;

    // EXTRACT inside EXTRACT deeper than this is refused with a DbError (Syntax).
    static constexpr int kMaxExtractNesting = 200;

private:
    struct Tokens {
        const QList<SqlToken>& tokens;
        const QList<int>& closing; // index of the ')' closing each '(', else -1
        const QString& sql;
    };
    QString translateTokens(const Tokens& all, int from, int to, int nesting) const;

    QString m_ownAlias;
    QString m_ownDir;
    Target m_target = Target::Sqlite;
    QHash<QString, QString> m_schemaNames;
    QHash<QString, QString> m_attached;
};

// Field types and SQLite declared types. Every field type has one declared
// type, so that a table's definition reads back exactly as it was created:
//   text n -> CHAR(n), memo k -> MEMOTEXT(k), small integer -> SMALLINT,
//   integer -> INT, boolean -> BOOLEAN, float -> FLOAT, date -> DATE,
//   autoincrement -> AUTOINC.
QString declaredType(const FieldDef& field);
// The largest size of a text or memo field; CREATE TABLE and ALTER TABLE refuse
// sizes outside 1..kMaxFieldSize with a DbError (Syntax).
inline constexpr int kMaxFieldSize = 65535;
// Reads a declared type (also the spellings accepted in CREATE/ALTER TABLE:
// char(n), varchar(n), numeric, decimal(p,s), integer, blob(n,1), ...).
std::optional<FieldDef> fieldFromDeclaredType(const QString& name, const QString& declared);

// The SQLite name of an index: "<table>.<index>" (index names belong to their table).
QString sqlIndexName(const QString& table, const QString& index);

} // namespace datastore
