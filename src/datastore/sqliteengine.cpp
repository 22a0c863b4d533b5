#include "engine.h"

#include "tablecatalog.h"

#include "common/rounding.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QStorageInfo>

#include <cmath>
#include <sqlite3.h>

namespace datastore {

// The SQLite engine (see also docs/architecture.md):
//  - a table is a SQLite table named after its file without extension;
//  - each field type has its own declared type (sqldialect.h) so that the
//    definition reads back exactly;
//  - the primary key is the table's PRIMARY KEY constraint; a secondary index
//    is a SQLite index named "<table>.<index>", COLLATE NOCASE when it is
//    case-insensitive;
//  - an empty value is NULL: triggers turn '' into NULL and cut text to its
//    size on every insert and update, and refuse a second row whose key
//    equals another's when the key has empty fields (SQLite lets NULLs repeat
//    in a primary key; here an empty key field is a value like any other);
//  - an autoincrement field left empty on insert takes the next number of its
//    table's counter in the hidden table __autoinc;
//  - another directory's file is ATTACHed under its alias;
//  - ROUND_MONEY(x, d) is common::roundMoney, registered on every connection.
// Names beginning with "__" are the storage's own and never listed.

namespace {

constexpr const char* kAutoIncTable = "__autoinc";

QString q(const QString& ident)
{
    QString s = ident;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

// "SCHEMA". before the names of an attached file's objects; empty for the own file.
QString schemaPrefix(const TableRef& ref)
{
    return ref.schema.isEmpty() ? QString() : q(ref.schema) + u'.';
}

DbErrorKind classify(const QString& text, int extended)
{
    const int primary = extended & 0xff;
    if (extended == SQLITE_CONSTRAINT_PRIMARYKEY || extended == SQLITE_CONSTRAINT_UNIQUE
        || text.contains(QLatin1String("UNIQUE constraint failed")))
        return DbErrorKind::KeyViolation;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED || text.contains(QLatin1String("database is locked")))
        return DbErrorKind::Busy;
    if (text.contains(QLatin1String("no such table")))
        return DbErrorKind::NoSuchTable;
    if (text.contains(QLatin1String("syntax error")) || text.contains(QLatin1String("no such column")))
        return DbErrorKind::Syntax;
    if (primary == SQLITE_CANTOPEN || primary == SQLITE_IOERR || primary == SQLITE_READONLY
        || primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB || primary == SQLITE_FULL)
        return DbErrorKind::Io;
    return DbErrorKind::Other;
}

// ROUND_MONEY(x, d): x rounded to d decimals (0..9, a fraction cut off) as
// common::roundMoney rounds it; NULL when either is NULL.
void roundMoneyFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const double decimals = std::trunc(sqlite3_value_double(argv[1]));
    const int places = decimals < 0 ? 0 : decimals > 9 ? 9 : static_cast<int>(decimals);
    sqlite3_result_double(context, common::roundMoney(sqlite3_value_double(argv[0]), places));
}

DbErrorKind classify(const QSqlError& e, int extended)
{
    return classify(e.databaseText(), extended);
}

sqlite3* sqliteHandle(const QSqlDatabase& db)
{
    const QVariant v = db.driver()->handle();
    if (v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0)
        return *static_cast<sqlite3* const*>(v.constData());
    return nullptr;
}

DbError errorOf(const QSqlDatabase& db, const QSqlError& e, const QString& statement)
{
    sqlite3* h = sqliteHandle(db);
    const int extended = h ? sqlite3_extended_errcode(h) : e.nativeErrorCode().toInt();
    QString text = e.databaseText();
    if (text.isEmpty())
        text = e.text();
    return DbError(classify(e, extended), text, statement, QString::number(extended));
}

[[noreturn]] void raise(const QSqlDatabase& db, const QSqlError& e, const QString& statement)
{
    throw errorOf(db, e, statement);
}

bool isNetworkFileSystem(const QString& dir)
{
    const QByteArray fs = QStorageInfo(dir).fileSystemType().toLower();
    static const QList<QByteArray> network = {"nfs", "nfs4", "cifs", "smb", "smb2", "smb3", "smbfs",
                                              "fuse.sshfs", "9p", "afs", "ncpfs", "davfs", "fuse.davfs2"};
    return network.contains(fs);
}

enum class ColumnKind { Raw, Text, Int, Float, Bool, Date };

ColumnKind kindOfDeclared(const char* decl)
{
    if (!decl)
        return ColumnKind::Raw;
    const auto f = fieldFromDeclaredType(QStringLiteral("x"), QString::fromUtf8(decl));
    if (!f)
        return ColumnKind::Raw;
    switch (f->type) {
    case FieldType::Text:
    case FieldType::Memo: return ColumnKind::Text;
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::AutoIncrement: return ColumnKind::Int;
    case FieldType::Float: return ColumnKind::Float;
    case FieldType::Boolean: return ColumnKind::Bool;
    case FieldType::Date: return ColumnKind::Date;
    }
    return ColumnKind::Raw;
}

bool isCorruption(int code)
{
    const int primary = code & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

// Runs the engine's check on an open connection.
IntegrityReport runIntegrityCheck(sqlite3* handle, IntegrityDepth depth)
{
    IntegrityReport report;
    const char* sql = depth == IntegrityDepth::Quick ? "PRAGMA quick_check(100)" : "PRAGMA integrity_check(100)";
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(handle, sql, -1, &stmt, nullptr);
    if (rc == SQLITE_OK) {
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            const QString line = QString::fromUtf8(text ? text : "");
            if (line != QLatin1String("ok"))
                report.problems << line;
        }
    }
    const QString engineText = QString::fromUtf8(sqlite3_errmsg(handle));
    sqlite3_finalize(stmt);
    if (rc == SQLITE_DONE) {
        report.outcome = report.problems.isEmpty() ? IntegrityReport::Outcome::Sound : IntegrityReport::Outcome::Damaged;
    } else if ((rc & 0xff) == SQLITE_INTERRUPT) {
        report.outcome = IntegrityReport::Outcome::Cancelled;
    } else {
        // The schema or a page the check needed could not be read.
        report.outcome = isCorruption(rc) ? IntegrityReport::Outcome::Damaged : IntegrityReport::Outcome::NotChecked;
        report.problems << engineText;
    }
    return report;
}
// Rows are read straight from a statement prepared on the connection's own
// handle: it sees the connection's open transaction, and values go from the
// engine to their type without an intermediate copy of each row.
struct SqliteQueryState final : QueryState {
    sqlite3* handle = nullptr;
    sqlite3_stmt* stmt = nullptr;
    QList<ColumnKind> kinds;
    bool done = false;

    ~SqliteQueryState() override { finalize(); }
    void finalize() override
    {
        if (stmt)
            sqlite3_finalize(stmt);
        stmt = nullptr;
        done = true;
    }
    [[noreturn]] void fail() const
    {
        const int extended = sqlite3_extended_errcode(handle);
        const QString text = QString::fromUtf8(sqlite3_errmsg(handle));
        throw DbError(classify(text, extended), text, statement, QString::number(extended));
    }
    bool next() override
    {
        if (done || !stmt)
            return false;
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW)
            return true;
        done = true;
        if (rc == SQLITE_DONE)
            return false;
        fail();
    }
    QVariant value(int column) const override;
};

QVariant SqliteQueryState::value(int column) const
{
    sqlite3_stmt* st = stmt;
    if (!st)
        return QVariant();
    const int type = sqlite3_column_type(st, column);
    if (type == SQLITE_NULL)
        return QVariant();
    auto text = [&] {
        const auto* chars = reinterpret_cast<const char16_t*>(sqlite3_column_text16(st, column));
        return QString::fromUtf16(chars, sqlite3_column_bytes16(st, column) / 2);
    };
    switch (kinds[column]) {
    case ColumnKind::Text:
        return text();
    case ColumnKind::Int:
        return type == SQLITE_TEXT ? QVariant(text().toInt()) : QVariant(sqlite3_column_int(st, column));
    case ColumnKind::Float:
        return type == SQLITE_TEXT ? QVariant(text().toDouble()) : QVariant(sqlite3_column_double(st, column));
    case ColumnKind::Bool:
        return sqlite3_column_int(st, column) != 0;
    case ColumnKind::Date: {
        const QDate date = QDate::fromString(text().left(10), Qt::ISODate);
        return date.isValid() ? QVariant(date) : QVariant();
    }
    case ColumnKind::Raw:
        break;
    }
    switch (type) {
    case SQLITE_INTEGER: return QVariant(static_cast<qlonglong>(sqlite3_column_int64(st, column)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(st, column));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(st, column)),
                                   sqlite3_column_bytes(st, column)));
    default: return text();
    }
}
QString indexColumns(const IndexDef& ix)
{
    QStringList cols;
    for (const QString& f : ix.fieldList()) {
        QString c = q(f);
        if (ix.options & IxCaseInsensitive)
            c += QStringLiteral(" COLLATE NOCASE");
        if (ix.options & IxDescending)
            c += QStringLiteral(" DESC");
        cols << c;
    }
    return cols.join(QStringLiteral(", "));
}
class SqliteEngine final : public Engine {
public:
    using Engine::Engine;

    QString driverName() const override { return QStringLiteral("QSQLITE"); }
    void open(QSqlDatabase& db, const QString& directory, int busyTimeoutMs) override;
    void setBusyTimeout(QSqlDatabase& db, int ms) override
    {
        if (sqlite3* h = sqliteHandle(db))
            sqlite3_busy_timeout(h, ms);
    }
    SqlDialect::Target dialectTarget() const override { return SqlDialect::Target::Sqlite; }
    bool preparesPlainStatements() const override { return true; }
    QString quoteName(const QString& name) const override { return q(name); }
    // IMMEDIATE takes the write lock now: two writers wait for each other
    // (busy timeout) instead of failing when one upgrades its lock.
    QStringList beginStatements() const override { return {QStringLiteral("BEGIN IMMEDIATE")}; }
    QVariant bindable(const QVariant& v) const override;
    DbError error(const QSqlDatabase& db, const QSqlError& e, const QString& statement) const override
    {
        return errorOf(db, e, statement);
    }
    bool attach(QSqlDatabase& db, const QString& alias, const QString& directory) override;
    void detach(QSqlDatabase& db, const QString& alias) override
    {
        QSqlQuery(db).exec(QStringLiteral("DETACH DATABASE %1").arg(q(alias)));
    }

    QStringList storedTableNames() override;
    QString storedTableName(const TableRef& ref) override;
    TableDef readStoredDef(const TableRef& ref, const QString& storedName) override;
    void createTable(const TableRef& ref, const TableDef& def) override;
    void dropTable(const TableRef& ref) override;
    void renameTable(const TableRef& from, const TableRef& to, const TableDef& def) override;
    void createIndex(const TableRef& ref, const IndexDef& index) override
    {
        run(QStringLiteral("CREATE %1INDEX %2%3 ON %4 (%5)")
                .arg(index.options & IxUnique ? QStringLiteral("UNIQUE ") : QString(), schemaPrefix(ref),
                     q(sqlIndexName(ref.name, index.name)), q(ref.name), indexColumns(index)));
    }
    void dropIndex(const TableRef& ref, const QString& indexName) override
    {
        run(QStringLiteral("DROP INDEX %1%2").arg(schemaPrefix(ref), q(sqlIndexName(ref.name, indexName))));
    }
    void alterTable(const SqlDialect::AlterTableStmt& st, const QString& original) override;
    qlonglong autoIncrementValue(const TableRef& ref, const QString& storedName, const QString& field) override;
    void advanceAutoIncrement(const TableRef& ref, const QString& storedName, const QString& field, qlonglong last) override;

    std::unique_ptr<QueryState> prepareQuery(QSqlDatabase& db, const QString& translated, const QVariantHash& params,
                                             const QString& original) override;

    IntegrityReport integrityCheck(QSqlDatabase& db, IntegrityDepth depth, const std::atomic_bool*) override
    {
        return runIntegrityCheck(sqliteHandle(db), depth);
    }
    bool isDamage(const DbError& e) const override { return isCorruption(e.nativeCode().toInt()); }

private:
    void installTableSupport(const TableRef& ref, const TableDef& def); // triggers kept in step with the definition
    void dropTableSupport(const TableRef& ref);
};

} // namespace

QVariant SqliteEngine::bindable(const QVariant& v) const
{
    switch (v.typeId()) {
    case QMetaType::QDate:
        return v.toDate().isValid() ? QVariant(v.toDate().toString(Qt::ISODate)) : QVariant();
    case QMetaType::QDateTime:
        return v.toDateTime().isValid() ? QVariant(v.toDateTime().date().toString(Qt::ISODate)) : QVariant();
    case QMetaType::Bool:
        return QVariant(v.toBool() ? 1 : 0);
    default:
        return v;
    }
}

void SqliteEngine::open(QSqlDatabase& db, const QString& directory, int busyTimeoutMs)
{
    db.setDatabaseName(QDir(directory).filePath(QLatin1String(kDatabaseFileName)));
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
    if (!db.open())
        throw DbError(DbErrorKind::Io, db.lastError().databaseText().isEmpty() ? db.lastError().text()
                                                                                : db.lastError().databaseText(),
                      db.databaseName());
    // The functions the dialect offers beside SQLite's own (sqldialect.h).
    if (sqlite3* handle = sqliteHandle(db);
        !handle
        || sqlite3_create_function_v2(handle, "ROUND_MONEY", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                                      nullptr, roundMoneyFunction, nullptr, nullptr, nullptr)
               != SQLITE_OK) {
        const QString text = handle ? QString::fromUtf8(sqlite3_errmsg(handle)) : QStringLiteral("no SQLite handle");
        db.close();
        throw DbError(DbErrorKind::Other, text, db.databaseName());
    }
    QSqlQuery query(db);
    // A network share cannot hold a write-ahead log: use the rollback journal there.
    const QString mode = isNetworkFileSystem(directory) ? QStringLiteral("DELETE") : QStringLiteral("WAL");
    const QStringList pragmas = {QStringLiteral("PRAGMA journal_mode=%1").arg(mode),
                                 QStringLiteral("PRAGMA synchronous=FULL"),
                                 QStringLiteral("PRAGMA recursive_triggers=OFF"),
                                 QStringLiteral("PRAGMA foreign_keys=OFF")};
    for (const QString& p : pragmas) {
        if (!query.exec(p)) {
            const QSqlError e = query.lastError();
            db.close();
            raise(db, e, p);
        }
    }
}

bool SqliteEngine::attach(QSqlDatabase& db, const QString& alias, const QString& directory)
{
    // A file is attached once it exists: attaching a missing one would create
    // it, and an empty database directory must stay empty.
    const QString file = QDir(directory).filePath(QLatin1String(kDatabaseFileName));
    if (!QFileInfo::exists(file))
        return false;
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("ATTACH DATABASE '%1' AS %2")
                        .arg(QString(file).replace(u'\'', QStringLiteral("''")), q(alias))))
        raise(db, query.lastError(), query.lastQuery());
    return true;
}

QStringList SqliteEngine::storedTableNames()
{
    QStringList names;
    Query found = rows(QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
        "AND name NOT LIKE '\\_\\_%' ESCAPE '\\' ORDER BY rowid"));
    while (found.next())
        names << found.value(0).toString();
    return names;
}

QString SqliteEngine::storedTableName(const TableRef& ref)
{
    const QString master = ref.schema.isEmpty() ? QStringLiteral("sqlite_master") : q(ref.schema) + QStringLiteral(".sqlite_master");
    QSqlDatabase db = connection();
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT name FROM %1 WHERE type = 'table' AND name = ? COLLATE NOCASE").arg(master));
    query.addBindValue(ref.name);
    if (!query.exec())
        raise(db, query.lastError(), query.lastQuery());
    return query.next() ? query.value(0).toString() : QString();
}

TableDef SqliteEngine::readStoredDef(const TableRef& ref, const QString& name)
{
    const QString prefix = schemaPrefix(ref);
    QSqlDatabase db = connection();
    QSqlQuery query(db);
    TableDef def;

    if (!query.exec(QStringLiteral("PRAGMA %1table_info(%2)").arg(prefix, q(name))))
        raise(db, query.lastError(), query.lastQuery());
    while (query.next()) {
        const QString fname = query.value(1).toString();
        auto f = fieldFromDeclaredType(fname, query.value(2).toString());
        FieldDef field = f ? *f : FieldDef{fname, FieldType::Text, 255, false};
        field.required = query.value(3).toInt() != 0;
        def.fields.append(field);
    }

    // Indexes in the order they were made; the primary key first.
    QStringList indexNames;
    query.prepare(QStringLiteral("SELECT name FROM %1sqlite_master WHERE type = 'index' AND tbl_name = ? ORDER BY rowid").arg(prefix));
    query.addBindValue(name);
    if (!query.exec())
        raise(db, query.lastError(), query.lastQuery());
    while (query.next())
        indexNames << query.value(0).toString();
    QHash<QString, std::pair<bool, QString>> listInfo; // name -> unique, origin
    if (!query.exec(QStringLiteral("PRAGMA %1index_list(%2)").arg(prefix, q(name))))
        raise(db, query.lastError(), query.lastQuery());
    while (query.next())
        listInfo.insert(query.value(1).toString(), {query.value(2).toInt() != 0, query.value(3).toString()});

    for (const QString& ixName : indexNames) {
        const auto info = listInfo.value(ixName);
        IndexDef ix;
        const bool primary = info.second == QLatin1String("pk");
        if (!query.exec(QStringLiteral("PRAGMA %1index_xinfo(%2)").arg(prefix, q(ixName))))
            raise(db, query.lastError(), query.lastQuery());
        QStringList fields;
        bool anyDesc = false;
        bool allNoCase = true;
        bool expression = false;
        while (query.next()) {
            if (query.value(5).toInt() == 0) // auxiliary column (rowid)
                continue;
            if (query.value(1).toInt() == -2)
                expression = true;
            fields << query.value(2).toString();
            anyDesc = anyDesc || query.value(3).toInt() != 0;
            allNoCase = allNoCase && query.value(4).toString().compare(QLatin1String("NOCASE"), Qt::CaseInsensitive) == 0;
        }
        ix.fields = fields.join(u';');
        if (primary)
            ix.options |= IxPrimary | IxUnique;
        else if (info.first)
            ix.options |= IxUnique;
        if (anyDesc)
            ix.options |= IxDescending;
        if (allNoCase && !fields.isEmpty())
            ix.options |= IxCaseInsensitive;
        if (expression)
            ix.options |= IxExpression;
        if (!primary) {
            const QString p = name + u'.';
            ix.name = ixName.startsWith(p, Qt::CaseInsensitive) ? ixName.mid(p.size()) : ixName;
            def.indexes.append(ix);
        } else {
            def.indexes.prepend(ix);
        }
    }
    return def;
}
void SqliteEngine::createTable(const TableRef& ref, const TableDef& def)
{
    const QString table = SqlDialect::quoted(ref);
    QStringList cols;
    for (const FieldDef& f : def.fields)
        cols << q(f.name) + u' ' + declaredType(f) + (f.required ? QStringLiteral(" NOT NULL") : QString());
    if (const IndexDef* pk = def.primaryKey())
        cols << QStringLiteral("PRIMARY KEY (%1)").arg(indexColumns(IndexDef{QString(), pk->fields, pk->options & IxCaseInsensitive}));
    run(QStringLiteral("CREATE TABLE %1 (%2)").arg(table, cols.join(QStringLiteral(", "))));
    for (const IndexDef& ix : def.indexes)
        if (!ix.isPrimary())
            createIndex(ref, ix);
    installTableSupport(ref, def);
}

void SqliteEngine::dropTableSupport(const TableRef& ref)
{
    const QString prefix = schemaPrefix(ref);
    QSqlDatabase db = connection();
    QStringList triggers;
    {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("SELECT name FROM %1sqlite_master WHERE type = 'trigger' AND tbl_name = ? COLLATE NOCASE").arg(prefix));
        query.addBindValue(ref.name);
        if (!query.exec())
            raise(db, query.lastError(), query.lastQuery());
        while (query.next())
            triggers << query.value(0).toString();
    }
    for (const QString& t : triggers)
        run(QStringLiteral("DROP TRIGGER IF EXISTS %1%2").arg(prefix, q(t)));
}

void SqliteEngine::installTableSupport(const TableRef& ref, const TableDef& def)
{
    const QString prefix = schemaPrefix(ref);
    const QString table = q(ref.name); // triggers name their table without schema
    const QString name = ref.name;
    dropTableSupport(ref);

    // The value a field will hold once stored: text cut to its size, '' as NULL.
    auto stored = [](const FieldDef& f, const QString& row) {
        const QString col = row + u'.' + q(f.name);
        if (f.type == FieldType::Text)
            return QStringLiteral("NULLIF(substr(%1, 1, %2), '')").arg(col).arg(f.size);
        if (f.type == FieldType::Memo)
            return QStringLiteral("NULLIF(%1, '')").arg(col);
        return col;
    };

    // 1. Fit text: cut to size, empty as NULL.
    QStringList needsFit;
    QStringList sets;
    for (const FieldDef& f : def.fields) {
        const QString col = QStringLiteral("NEW.") + q(f.name);
        if (f.type == FieldType::Text) {
            needsFit << QStringLiteral("length(%1) > %2 OR %1 = ''").arg(col).arg(f.size);
            sets << QStringLiteral("%1 = NULLIF(substr(%1, 1, %2), '')").arg(q(f.name)).arg(f.size);
        } else if (f.type == FieldType::Memo) {
            needsFit << QStringLiteral("%1 = ''").arg(col);
            sets << QStringLiteral("%1 = NULLIF(%1, '')").arg(q(f.name));
        }
    }
    if (!sets.isEmpty()) {
        for (const char* event : {"INSERT", "UPDATE"}) {
            run(QStringLiteral("CREATE TRIGGER %1%2 AFTER %3 ON %4 WHEN %5 BEGIN UPDATE %4 SET %6 WHERE rowid = NEW.rowid; END")
                               .arg(prefix, q(name + QStringLiteral("#fit_") + QString::fromLatin1(event).toLower()),
                                    QLatin1String(event), table, needsFit.join(QStringLiteral(" OR ")),
                                    sets.join(QStringLiteral(", "))));
        }
    }

    // 2. Keys with empty fields are unique too.
    if (const IndexDef* pk = def.primaryKey()) {
        QStringList anyEmpty;
        QStringList sameKey;
        QString autoField;
        QStringList keyCols;
        for (const QString& k : pk->fieldList()) {
            const FieldDef* f = def.field(k);
            if (!f)
                continue;
            keyCols << q(f->name);
            if (f->type == FieldType::AutoIncrement) {
                autoField = f->name;
                continue;
            }
            anyEmpty << QStringLiteral("%1 IS NULL").arg(stored(*f, QStringLiteral("NEW")));
            sameKey << QStringLiteral("%1 IS %2").arg(q(f->name), stored(*f, QStringLiteral("NEW")));
        }
        if (!anyEmpty.isEmpty()) {
            QString when = u'(' + anyEmpty.join(QStringLiteral(" OR ")) + u')';
            if (!autoField.isEmpty())
                when = QStringLiteral("NEW.%1 IS NOT NULL AND %2").arg(q(autoField), when);
            const QString message = QStringLiteral("UNIQUE constraint failed: %1 primary key").arg(name);
            run(QStringLiteral("CREATE TRIGGER %1%2 BEFORE INSERT ON %3 WHEN %4 BEGIN "
                                          "SELECT RAISE(ABORT, '%5') WHERE EXISTS (SELECT 1 FROM %3 WHERE %6); END")
                               .arg(prefix, q(name + QStringLiteral("#key_insert")), table, when, message,
                                    sameKey.join(QStringLiteral(" AND "))));
            run(QStringLiteral("CREATE TRIGGER %1%2 BEFORE UPDATE OF %3 ON %4 WHEN %5 BEGIN "
                                          "SELECT RAISE(ABORT, '%6') WHERE EXISTS (SELECT 1 FROM %4 WHERE %7 AND rowid <> OLD.rowid); END")
                               .arg(prefix, q(name + QStringLiteral("#key_update")), keyCols.join(QStringLiteral(", ")), table,
                                    when, message, sameKey.join(QStringLiteral(" AND "))));
        }
    }

    // 3. Autoincrement fields.
    for (const FieldDef& f : def.fields) {
        if (f.type != FieldType::AutoIncrement)
            continue;
        const QString seq = prefix + q(QLatin1String(kAutoIncTable));
        run(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (tbl TEXT NOT NULL, fld TEXT NOT NULL, "
                                                 "last INTEGER NOT NULL, PRIMARY KEY (tbl, fld))").arg(seq));
        run(QStringLiteral("INSERT OR IGNORE INTO %1 (tbl, fld, last) SELECT '%2', '%3', COALESCE(MAX(%4), 0) FROM %5%6")
                                      .arg(seq, name, f.name, q(f.name), prefix, table));
        run(QStringLiteral("UPDATE %1 SET last = (SELECT COALESCE(MAX(%4), 0) FROM %5%6) WHERE tbl = '%2' AND fld = '%3' "
                                                 "AND last < (SELECT COALESCE(MAX(%4), 0) FROM %5%6)")
                                      .arg(seq, name, f.name, q(f.name), prefix, table));
        const QString seqInTrigger = q(QLatin1String(kAutoIncTable));
        run(QStringLiteral("CREATE TRIGGER %1%2 AFTER INSERT ON %3 WHEN NEW.%4 IS NULL BEGIN "
                                      "UPDATE %5 SET last = last + 1 WHERE tbl = '%6' AND fld = '%7'; "
                                      "UPDATE %3 SET %4 = (SELECT last FROM %5 WHERE tbl = '%6' AND fld = '%7') WHERE rowid = NEW.rowid; END")
                           .arg(prefix, q(name + QStringLiteral("#auto_") + f.name), table, q(f.name), seqInTrigger, name, f.name));
        run(QStringLiteral("CREATE TRIGGER %1%2 AFTER INSERT ON %3 WHEN NEW.%4 IS NOT NULL BEGIN "
                                      "UPDATE %5 SET last = NEW.%4 WHERE tbl = '%6' AND fld = '%7' AND last < NEW.%4; END")
                           .arg(prefix, q(name + QStringLiteral("#seen_") + f.name), table, q(f.name), seqInTrigger, name, f.name));
    }
}
void SqliteEngine::dropTable(const TableRef& ref)
{
    const QString prefix = schemaPrefix(ref);
    run(QStringLiteral("DROP TABLE IF EXISTS %1").arg(SqlDialect::quoted(ref)));
    const QVariant hasSeq = value(QStringLiteral("SELECT 1 FROM %1sqlite_master WHERE type = 'table' AND name = '%2'")
                                       .arg(prefix, QLatin1String(kAutoIncTable)));
    if (hasSeq.isValid()) {
        QSqlDatabase db = connection();
        QSqlQuery query(db);
        query.prepare(QStringLiteral("DELETE FROM %1%2 WHERE tbl = ? COLLATE NOCASE").arg(prefix, q(QLatin1String(kAutoIncTable))));
        query.addBindValue(ref.name);
        if (!query.exec())
            raise(db, query.lastError(), query.lastQuery());
    }
}
void SqliteEngine::renameTable(const TableRef& src, const TableRef& dst, const TableDef& original)
{
    TableDef def = original;
    dropTableSupport(src);
    const QString prefix = schemaPrefix(src);
    for (const IndexDef& ix : def.indexes)
        if (!ix.isPrimary())
            run(QStringLiteral("DROP INDEX %1%2").arg(prefix, q(sqlIndexName(src.name, ix.name))));
    run(QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(SqlDialect::quoted(src), q(dst.name)));
    for (const IndexDef& ix : def.indexes)
        if (!ix.isPrimary())
            run(QStringLiteral("CREATE %1INDEX %2%3 ON %4 (%5)")
                                          .arg(ix.options & IxUnique ? QStringLiteral("UNIQUE ") : QString(), prefix,
                                               q(sqlIndexName(dst.name, ix.name)), q(dst.name), indexColumns(ix)));
    const QVariant hasSeq = value(QStringLiteral("SELECT 1 FROM %1sqlite_master WHERE type = 'table' AND name = '%2'")
                                       .arg(prefix, QLatin1String(kAutoIncTable)));
    if (hasSeq.isValid())
        run(QStringLiteral("UPDATE %1%2 SET tbl = :To WHERE tbl = :From COLLATE NOCASE").arg(prefix, q(QLatin1String(kAutoIncTable))),
             {{QStringLiteral("To"), dst.name}, {QStringLiteral("From"), src.name}});
    def.name = readDef(writtenTableName(dst)).name;
    installTableSupport(dst, def);
}
void SqliteEngine::alterTable(const SqlDialect::AlterTableStmt& st, const QString& original)
{
    const QString table = SqlDialect::quoted(st.table);
    dropTableSupport(st.table);
    for (const auto& action : st.actions) {
        if (action.add)
            runFor(original, QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3").arg(table, q(action.field.name), declaredType(action.field)));
        else
            runFor(original, QStringLiteral("ALTER TABLE %1 DROP COLUMN %2").arg(table, q(action.field.name)));
    }
    installTableSupport(st.table, readDef(writtenTableName(st.table)));
}
qlonglong SqliteEngine::autoIncrementValue(const TableRef& ref, const QString& name, const QString& field)
{
    // The counter, or the largest number stored when a row was written past it.
    const QString prefix = schemaPrefix(ref);
    qlonglong last = value(QStringLiteral("SELECT COALESCE(MAX(%1), 0) FROM %2%3").arg(q(field), prefix, q(name))).toLongLong();
    const QVariant hasSeq = value(QStringLiteral("SELECT 1 FROM %1sqlite_master WHERE type = 'table' AND name = '%2'")
                                       .arg(prefix, QLatin1String(kAutoIncTable)));
    if (hasSeq.isValid())
        last = std::max(last, value(QStringLiteral("SELECT last FROM %1%2 WHERE tbl = :Table COLLATE NOCASE AND fld = :Field COLLATE NOCASE")
                                        .arg(prefix, q(QLatin1String(kAutoIncTable))),
                                    {{QStringLiteral("Table"), name}, {QStringLiteral("Field"), field}})
                                  .toLongLong());
    return last;
}

void SqliteEngine::advanceAutoIncrement(const TableRef& ref, const QString& name, const QString& field, qlonglong last)
{
    run(QStringLiteral("UPDATE %1%2 SET last = :Last WHERE tbl = :Table COLLATE NOCASE AND fld = :Field COLLATE NOCASE "
                       "AND last < :Floor")
            .arg(schemaPrefix(ref), q(QLatin1String(kAutoIncTable))),
        {{QStringLiteral("Last"), last}, {QStringLiteral("Floor"), last}, {QStringLiteral("Table"), name},
         {QStringLiteral("Field"), field}});
}

std::unique_ptr<QueryState> SqliteEngine::prepareQuery(QSqlDatabase& db, const QString& translated,
                                                     const QVariantHash& params, const QString& sqlText)
{
    auto impl = std::make_unique<SqliteQueryState>();
    impl->handle = sqliteHandle(db);
    impl->statement = sqlText;
    if (!impl->handle)
        throw DbError(DbErrorKind::Io, QStringLiteral("Nu este deschisa nicio baza de date"), sqlText);
    const QByteArray utf8 = translated.toUtf8();
    if (sqlite3_prepare_v2(impl->handle, utf8.constData(), int(utf8.size()), &impl->stmt, nullptr) != SQLITE_OK)
        impl->fail();
    for (auto it = params.cbegin(); it != params.cend(); ++it) {
        const QByteArray name = (it.key().startsWith(u':') ? it.key() : u':' + it.key()).toUtf8();
        const int index = sqlite3_bind_parameter_index(impl->stmt, name.constData());
        if (index == 0)
            continue; // a value the statement does not use
        const QVariant v = bindable(it.value());
        int rc = SQLITE_OK;
        if (!v.isValid() || v.isNull()) {
            rc = sqlite3_bind_null(impl->stmt, index);
        } else {
            switch (v.typeId()) {
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
            case QMetaType::Short:
            case QMetaType::UShort:
                rc = sqlite3_bind_int64(impl->stmt, index, v.toLongLong());
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(impl->stmt, index, v.toDouble());
                break;
            case QMetaType::QByteArray: {
                const QByteArray bytes = v.toByteArray();
                rc = sqlite3_bind_blob(impl->stmt, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
                break;
            }
            default: {
                const QString text = v.toString();
                rc = sqlite3_bind_text16(impl->stmt, index, text.utf16(), int(text.size() * 2), SQLITE_TRANSIENT);
                break;
            }
            }
        }
        if (rc != SQLITE_OK)
            impl->fail();
    }
    const int columns = sqlite3_column_count(impl->stmt);
    for (int i = 0; i < columns; ++i) {
        impl->names << QString::fromUtf8(sqlite3_column_name(impl->stmt, i));
        impl->kinds << kindOfDeclared(sqlite3_column_decltype(impl->stmt, i));
    }
    return impl;
}
IntegrityReport checkDatabaseFile(const QString& filePath, IntegrityDepth depth, const std::atomic_bool* cancel)
{
    IntegrityReport report;
    if (!QFileInfo(filePath).isFile()) {
        report.problems << QStringLiteral("Fisierul %1 nu exista").arg(QDir::toNativeSeparators(filePath));
        return report;
    }
    sqlite3* handle = nullptr;
    // Read and write when the file allows it (the engine opens a protected
    // file for reading only); never created.
    const int rc = sqlite3_open_v2(filePath.toUtf8().constData(), &handle, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        report.outcome = isCorruption(rc) ? IntegrityReport::Outcome::Damaged : IntegrityReport::Outcome::NotChecked;
        report.problems << QString::fromUtf8(handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc));
        sqlite3_close(handle);
        return report;
    }
    if (cancel) {
        // Stopped between steps of the check, and while it waits for another
        // process's lock (at most 10 s, like every connection).
        void* flag = const_cast<std::atomic_bool*>(cancel);
        sqlite3_progress_handler(
            handle, 1000, [](void* f) { return static_cast<const std::atomic_bool*>(f)->load() ? 1 : 0; }, flag);
        sqlite3_busy_handler(
            handle,
            [](void* f, int waits) {
                if (static_cast<const std::atomic_bool*>(f)->load() || waits >= 200)
                    return 0;
                sqlite3_sleep(50);
                return 1;
            },
            flag);
    } else {
        sqlite3_busy_timeout(handle, 10000);
    }
    report = runIntegrityCheck(handle, depth);
    sqlite3_close(handle);
    return report;
}
std::unique_ptr<Engine> makeSqliteEngine(Database& db)
{
    return std::make_unique<SqliteEngine>(db);
}

} // namespace datastore
