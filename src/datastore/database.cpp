#include "database.h"

#include "sqldialect.h"
#include "tablecatalog.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <QStorageInfo>
#include <QUuid>

#include <filesystem>
#include <sqlite3.h>
#include <system_error>

namespace datastore {

// Storage mapping (see also docs/architecture.md):
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
//    table's counter in the hidden table __autoinc.
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

// A resolved table written back so that resolveTable() finds it again.
QString writtenName(const TableRef& ref)
{
    return (ref.schema.isEmpty() ? QString() : u':' + ref.schema + u':') + ref.name;
}

QString stem(const QString& tableName)
{
    QString n = QFileInfo(QDir::fromNativeSeparators(tableName)).fileName();
    if (n.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
        n.chop(3);
    return n;
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

[[noreturn]] void raise(const QSqlDatabase& db, const QSqlError& e, const QString& statement)
{
    sqlite3* h = sqliteHandle(db);
    const int extended = h ? sqlite3_extended_errcode(h) : e.nativeErrorCode().toInt();
    QString text = e.databaseText();
    if (text.isEmpty())
        text = e.text();
    throw DbError(classify(e, extended), text, statement, QString::number(extended));
}

QVariant bindable(const QVariant& v)
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

void bindAll(QSqlQuery& query, const QVariantHash& params)
{
    for (auto it = params.cbegin(); it != params.cend(); ++it) {
        const QString name = it.key().startsWith(u':') ? it.key() : u':' + it.key();
        query.bindValue(name, bindable(it.value()));
    }
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

std::filesystem::path fsPath(const QString& path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

QString qtPath(const std::filesystem::path& path)
{
#ifdef Q_OS_WIN
    return QString::fromStdWString(path.wstring());
#else
    return QFile::decodeName(path.string().c_str());
#endif
}

QString systemText(const std::error_code& ec)
{
    return QString::fromLocal8Bit(ec.message().c_str());
}

} // namespace

// ---------------------------------------------------------------------------
// Query

// Rows are read straight from a statement prepared on the connection's own
// handle: it sees the connection's open transaction, and values go from the
// engine to their type without an intermediate copy of each row.
struct QueryState {
    sqlite3* handle = nullptr;
    sqlite3_stmt* stmt = nullptr;
    QList<ColumnKind> kinds;
    QStringList names;
    QString statement;
    bool done = false;
    QSet<QueryState*>* owner = nullptr; // the connection's list of open statements

    ~QueryState()
    {
        finalize();
        if (owner)
            owner->remove(this);
    }
    void finalize()
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
};

Query::Query(std::unique_ptr<QueryState> state) : d(std::move(state)) {}
Query::Query(Query&&) noexcept = default;
Query::~Query() = default;

bool Query::next()
{
    if (d->done || !d->stmt)
        return false;
    const int rc = sqlite3_step(d->stmt);
    if (rc == SQLITE_ROW)
        return true;
    d->done = true;
    if (rc == SQLITE_DONE)
        return false;
    d->fail();
}

QVariant Query::value(int column) const
{
    sqlite3_stmt* st = d->stmt;
    if (!st || column < 0 || column >= d->names.size())
        return QVariant();
    const int type = sqlite3_column_type(st, column);
    if (type == SQLITE_NULL)
        return QVariant();
    auto text = [&] {
        const auto* chars = reinterpret_cast<const char16_t*>(sqlite3_column_text16(st, column));
        return QString::fromUtf16(chars, sqlite3_column_bytes16(st, column) / 2);
    };
    switch (d->kinds[column]) {
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

QVariant Query::value(const QString& field) const
{
    for (int i = 0; i < d->names.size(); ++i)
        if (d->names[i].compare(field, Qt::CaseInsensitive) == 0)
            return value(i);
    throw DbError(DbErrorKind::Other, QStringLiteral("Field '%1' not found").arg(field), d->statement);
}

int Query::columnCount() const { return int(d->names.size()); }
QString Query::columnName(int column) const { return d->names.value(column); }
QStringList Query::columnNames() const { return d->names; }

// ---------------------------------------------------------------------------
// Database

Database::Database(QString alias)
    : m_alias(std::move(alias)),
      m_connectionName(QStringLiteral("mirafel-%1-%2").arg(m_alias, QUuid::createUuid().toString(QUuid::Id128)))
{
}

Database::~Database() { close(); }

void Database::setDirectory(const QString& dir)
{
    close();
    m_translated.clear(); // paths in statements resolve against the directory
    QString d = QDir::fromNativeSeparators(dir);
    while (d.size() > 1 && d.endsWith(u'/'))
        d.chop(1);
    m_directory = d;
}

QString Database::filePath() const { return QDir(m_directory).filePath(QLatin1String(kDatabaseFileName)); }

bool Database::fileExists() const { return !m_directory.isEmpty() && QFileInfo::exists(filePath()); }

void Database::attach(const QString& alias, const QString& directory)
{
    const QString key = alias.toUpper();
    m_prepared.clear();
    m_translated.clear();
    if (m_live.contains(key) && isOpen()) {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        QSqlQuery(db).exec(QStringLiteral("DETACH DATABASE %1").arg(q(key)));
    }
    m_live.remove(key);
    m_attached.insert(key, QDir::fromNativeSeparators(directory));
    if (isOpen())
        attachPending();
}

void Database::attachPending()
{
    if (m_live.size() != m_attached.size())
        m_prepared.clear(); // names may resolve to other tables once attached
    // A file is attached once it exists: attaching a missing one would create
    // it, and an empty database directory must stay empty.
    if (m_live.size() == m_attached.size() || m_txDepth > 0) // no ATTACH inside a transaction
        return;
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    QSqlQuery query(db);
    for (auto it = m_attached.cbegin(); it != m_attached.cend(); ++it) {
        if (m_live.contains(it.key()))
            continue;
        const QString file = QDir(it.value()).filePath(QLatin1String(kDatabaseFileName));
        if (!QFileInfo::exists(file))
            continue;
        if (!query.exec(QStringLiteral("ATTACH DATABASE '%1' AS %2")
                            .arg(QString(file).replace(u'\'', QStringLiteral("''")), q(it.key()))))
            raise(db, query.lastError(), query.lastQuery());
        m_live.insert(it.key());
    }
}

bool Database::isOpen() const
{
    return QSqlDatabase::contains(m_connectionName) && QSqlDatabase::database(m_connectionName, false).isOpen();
}

QString Database::accessProblem() const
{
    namespace fs = std::filesystem;
    if (m_directory.isEmpty())
        return QStringLiteral("Nu este deschisa nicio baza de date");
    const QString shownDir = QDir::toNativeSeparators(m_directory);
    const QString dirProblem = QStringLiteral("Directorul bazei de date %1 nu este accesibil.\r<%2>");
    std::error_code ec;
    const fs::path dir = fsPath(m_directory);
    const fs::file_status dirStatus = fs::status(dir, ec);
    if (ec)
        return dirProblem.arg(shownDir, systemText(ec));
    if (!fs::is_directory(dirStatus))
        return dirProblem.arg(shownDir, QStringLiteral("nu este un director"));
    fs::directory_iterator listing(dir, ec); // a directory that cannot be listed cannot be told empty
    if (ec)
        return dirProblem.arg(shownDir, systemText(ec));

    const QString shownFile = QDir::toNativeSeparators(filePath());
    const QString fileProblem = QStringLiteral("Fisierul bazei de date %1 nu poate fi deschis.\r<%2>");
    const fs::path file = fsPath(filePath());
    const fs::file_status entry = fs::symlink_status(file, ec);
    if (entry.type() == fs::file_type::not_found)
        return QString(); // absent: nothing in the way of a new database
    if (ec)
        return fileProblem.arg(shownFile, systemText(ec));
    const fs::file_status target = fs::status(file, ec);
    if (target.type() == fs::file_type::not_found && fs::is_symlink(entry)) {
        std::error_code linkError;
        const fs::path to = fs::read_symlink(file, linkError);
        return fileProblem.arg(shownFile, QStringLiteral("legatura catre %1, care nu exista")
                                              .arg(QDir::toNativeSeparators(qtPath(to))));
    }
    if (ec)
        return fileProblem.arg(shownFile, systemText(ec));
    if (!fs::is_regular_file(target))
        return fileProblem.arg(shownFile, QStringLiteral("nu este un fisier obisnuit"));
    return QString();
}

IntegrityReport Database::integrityCheck(IntegrityDepth depth)
{
    IntegrityReport report;
    if (!isOpen() && !fileExists()) {
        report.problems << QStringLiteral("Nu exista baza de date in directorul %1").arg(QDir::toNativeSeparators(m_directory));
        return report;
    }
    try {
        ensureOpen(false);
    } catch (const DbError& e) {
        report.outcome = isCorruption(e.nativeCode().toInt()) ? IntegrityReport::Outcome::Damaged
                                                              : IntegrityReport::Outcome::NotChecked;
        report.problems << e.message();
        return report;
    }
    return runIntegrityCheck(sqliteHandle(QSqlDatabase::database(m_connectionName, false)), depth);
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

void Database::close()
{
    m_prepared.clear();
    // Statements still being read are finished first: the engine does not
    // close a connection that has any.
    for (QueryState* q : std::as_const(m_openQueries)) {
        q->finalize();
        q->owner = nullptr;
    }
    m_openQueries.clear();
    if (!QSqlDatabase::contains(m_connectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        if (db.isOpen()) {
            if (m_txDepth > 0) {
                QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            }
            db.close();
        }
    }
    m_txDepth = 0;
    m_rollbackOnly = false;
    m_live.clear();
    m_prepared.clear();
    QSqlDatabase::removeDatabase(m_connectionName);
}

void Database::setBusyTimeout(int ms)
{
    m_busyTimeoutMs = ms;
    if (isOpen()) {
        if (sqlite3* h = sqliteHandle(QSqlDatabase::database(m_connectionName, false)))
            sqlite3_busy_timeout(h, ms);
    }
}

void Database::ensureOpen(bool create)
{
    if (isOpen())
        return;
    if (m_directory.isEmpty())
        throw DbError(DbErrorKind::Io, QStringLiteral("Nu este deschisa nicio baza de date"));
    if (!create && !fileExists())
        throw DbError(DbErrorKind::NoSuchTable,
                      QStringLiteral("Nu exista baza de date in directorul %1").arg(QDir::toNativeSeparators(m_directory)));
    if (!QDir(m_directory).exists())
        throw DbError(DbErrorKind::Io,
                      QStringLiteral("Directorul %1 nu exista").arg(QDir::toNativeSeparators(m_directory)));

    QSqlDatabase db = QSqlDatabase::contains(m_connectionName)
        ? QSqlDatabase::database(m_connectionName, false)
        : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(filePath());
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(m_busyTimeoutMs));
    if (!db.open())
        throw DbError(DbErrorKind::Io, db.lastError().databaseText().isEmpty() ? db.lastError().text()
                                                                                : db.lastError().databaseText(),
                      filePath());
    QSqlQuery query(db);
    // A network share cannot hold a write-ahead log: use the rollback journal there.
    const QString mode = isNetworkFileSystem(m_directory) ? QStringLiteral("DELETE") : QStringLiteral("WAL");
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
    m_live.clear();
    attachPending();
}

QSqlDatabase Database::sql()
{
    ensureOpen(false);
    return QSqlDatabase::database(m_connectionName, false);
}

TableRef Database::resolve(const QString& table) const
{
    return SqlDialect(m_alias, m_directory, m_attached).resolveTable(table);
}

QString Database::translate(const QString& sql) const
{
    // Windows read with the same few statements on every refresh: translate each once.
    if (const auto it = m_translated.constFind(sql); it != m_translated.cend())
        return it.value();
    if (m_translated.size() >= 256)
        m_translated.clear();
    return m_translated.insert(sql, SqlDialect(m_alias, m_directory, m_attached).translate(sql)).value();
}

// --- structure --------------------------------------------------------------

QStringList Database::tableNames()
{
    if (!isOpen() && !fileExists())
        return {};
    ensureOpen(false);
    QStringList names;
    Query rows = query(QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
        "AND name NOT LIKE '\\_\\_%' ESCAPE '\\' ORDER BY rowid"));
    while (rows.next()) {
        const QString name = rows.value(0).toString();
        const TableDef* def = findTableDef(name);
        names << (def && stem(def->name).compare(name, Qt::CaseInsensitive) == 0 ? def->name : name + QStringLiteral(".DB"));
    }
    return names;
}

bool Database::tableExists(const QString& table)
{
    if (!isOpen() && !fileExists())
        return false;
    ensureOpen(false);
    const TableRef ref = resolve(table);
    const QString master = ref.schema.isEmpty() ? QStringLiteral("sqlite_master") : q(ref.schema) + QStringLiteral(".sqlite_master");
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT 1 FROM %1 WHERE type = 'table' AND name = ? COLLATE NOCASE").arg(master));
    query.addBindValue(ref.name);
    if (!query.exec())
        raise(db, query.lastError(), query.lastQuery());
    return query.next();
}

TableDef Database::readTableDef(const QString& table)
{
    ensureOpen(false);
    const TableRef ref = resolve(table);
    const QString prefix = schemaPrefix(ref);
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    QSqlQuery query(db);

    // The table's stored name, in its own letter case.
    query.prepare(QStringLiteral("SELECT name FROM %1sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE").arg(prefix));
    query.addBindValue(ref.name);
    if (!query.exec())
        raise(db, query.lastError(), query.lastQuery());
    if (!query.next())
        throw DbError(DbErrorKind::NoSuchTable, QStringLiteral("Table %1 does not exist").arg(table));
    const QString name = query.value(0).toString();

    TableDef def;
    const TableDef* known = findTableDef(name);
    def.name = known && stem(known->name) == name ? known->name : name + QStringLiteral(".DB");

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

namespace {

QString columnList(const TableDef& def)
{
    QStringList cols;
    for (const FieldDef& f : def.fields)
        cols << q(f.name);
    return cols.join(QStringLiteral(", "));
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

} // namespace

void Database::createTable(const TableDef& def)
{
    ensureOpen(true);
    const TableRef ref = resolve(def.name);
    const QString table = SqlDialect::quoted(ref);
    const QString prefix = schemaPrefix(ref);

    QStringList cols;
    for (const FieldDef& f : def.fields)
        cols << q(f.name) + u' ' + declaredType(f) + (f.required ? QStringLiteral(" NOT NULL") : QString());
    if (const IndexDef* pk = def.primaryKey())
        cols << QStringLiteral("PRIMARY KEY (%1)").arg(indexColumns(IndexDef{QString(), pk->fields, pk->options & IxCaseInsensitive}));

    UnitOfWork work(*this);
    dropTable(def.name);
    execTranslated(QString(), QStringLiteral("CREATE TABLE %1 (%2)").arg(table, cols.join(QStringLiteral(", "))), {});
    for (const IndexDef& ix : def.indexes) {
        if (ix.isPrimary())
            continue;
        execTranslated(QString(), QStringLiteral("CREATE %1INDEX %2%3 ON %4 (%5)")
                                      .arg(ix.options & IxUnique ? QStringLiteral("UNIQUE ") : QString(), prefix,
                                           q(sqlIndexName(ref.name, ix.name)), q(ref.name), indexColumns(ix)),
                       {});
    }
    TableDef stored = def;
    installTableSupport(stored);
    work.commit();
}

void Database::dropTableSupport(const QString& table)
{
    const TableRef ref = resolve(table);
    const QString prefix = schemaPrefix(ref);
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
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
        execTranslated(QString(), QStringLiteral("DROP TRIGGER IF EXISTS %1%2").arg(prefix, q(t)), {});
}

void Database::installTableSupport(const TableDef& def)
{
    const TableRef ref = resolve(def.name);
    const QString prefix = schemaPrefix(ref);
    const QString table = q(ref.name); // triggers name their table without schema
    const QString name = ref.name;
    dropTableSupport(def.name);

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
            execTranslated(QString(),
                           QStringLiteral("CREATE TRIGGER %1%2 AFTER %3 ON %4 WHEN %5 BEGIN UPDATE %4 SET %6 WHERE rowid = NEW.rowid; END")
                               .arg(prefix, q(name + QStringLiteral("#fit_") + QString::fromLatin1(event).toLower()),
                                    QLatin1String(event), table, needsFit.join(QStringLiteral(" OR ")),
                                    sets.join(QStringLiteral(", "))),
                           {});
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
            execTranslated(QString(),
                           QStringLiteral("CREATE TRIGGER %1%2 BEFORE INSERT ON %3 WHEN %4 BEGIN "
                                          "SELECT RAISE(ABORT, '%5') WHERE EXISTS (SELECT 1 FROM %3 WHERE %6); END")
                               .arg(prefix, q(name + QStringLiteral("#key_insert")), table, when, message,
                                    sameKey.join(QStringLiteral(" AND "))),
                           {});
            execTranslated(QString(),
                           QStringLiteral("CREATE TRIGGER %1%2 BEFORE UPDATE OF %3 ON %4 WHEN %5 BEGIN "
                                          "SELECT RAISE(ABORT, '%6') WHERE EXISTS (SELECT 1 FROM %4 WHERE %7 AND rowid <> OLD.rowid); END")
                               .arg(prefix, q(name + QStringLiteral("#key_update")), keyCols.join(QStringLiteral(", ")), table,
                                    when, message, sameKey.join(QStringLiteral(" AND "))),
                           {});
        }
    }

    // 3. Autoincrement fields.
    for (const FieldDef& f : def.fields) {
        if (f.type != FieldType::AutoIncrement)
            continue;
        const QString seq = prefix + q(QLatin1String(kAutoIncTable));
        execTranslated(QString(), QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (tbl TEXT NOT NULL, fld TEXT NOT NULL, "
                                                 "last INTEGER NOT NULL, PRIMARY KEY (tbl, fld))").arg(seq), {});
        execTranslated(QString(), QStringLiteral("INSERT OR IGNORE INTO %1 (tbl, fld, last) SELECT '%2', '%3', COALESCE(MAX(%4), 0) FROM %5%6")
                                      .arg(seq, name, f.name, q(f.name), prefix, table), {});
        execTranslated(QString(), QStringLiteral("UPDATE %1 SET last = (SELECT COALESCE(MAX(%4), 0) FROM %5%6) WHERE tbl = '%2' AND fld = '%3' "
                                                 "AND last < (SELECT COALESCE(MAX(%4), 0) FROM %5%6)")
                                      .arg(seq, name, f.name, q(f.name), prefix, table), {});
        const QString seqInTrigger = q(QLatin1String(kAutoIncTable));
        execTranslated(QString(),
                       QStringLiteral("CREATE TRIGGER %1%2 AFTER INSERT ON %3 WHEN NEW.%4 IS NULL BEGIN "
                                      "UPDATE %5 SET last = last + 1 WHERE tbl = '%6' AND fld = '%7'; "
                                      "UPDATE %3 SET %4 = (SELECT last FROM %5 WHERE tbl = '%6' AND fld = '%7') WHERE rowid = NEW.rowid; END")
                           .arg(prefix, q(name + QStringLiteral("#auto_") + f.name), table, q(f.name), seqInTrigger, name, f.name),
                       {});
        execTranslated(QString(),
                       QStringLiteral("CREATE TRIGGER %1%2 AFTER INSERT ON %3 WHEN NEW.%4 IS NOT NULL BEGIN "
                                      "UPDATE %5 SET last = NEW.%4 WHERE tbl = '%6' AND fld = '%7' AND last < NEW.%4; END")
                           .arg(prefix, q(name + QStringLiteral("#seen_") + f.name), table, q(f.name), seqInTrigger, name, f.name),
                       {});
    }
}

void Database::dropTable(const QString& table)
{
    ensureOpen(true);
    const TableRef ref = resolve(table);
    const QString prefix = schemaPrefix(ref);
    UnitOfWork work(*this);
    execTranslated(QString(), QStringLiteral("DROP TABLE IF EXISTS %1").arg(SqlDialect::quoted(ref)), {});
    const QVariant hasSeq = scalar(QStringLiteral("SELECT 1 FROM %1sqlite_master WHERE type = 'table' AND name = '%2'")
                                       .arg(prefix, QLatin1String(kAutoIncTable)));
    if (hasSeq.isValid()) {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        QSqlQuery query(db);
        query.prepare(QStringLiteral("DELETE FROM %1%2 WHERE tbl = ? COLLATE NOCASE").arg(prefix, q(QLatin1String(kAutoIncTable))));
        query.addBindValue(ref.name);
        if (!query.exec())
            raise(db, query.lastError(), query.lastQuery());
    }
    work.commit();
}

void Database::renameTable(const QString& from, const QString& to)
{
    ensureOpen(false);
    const SqlDialect dialect(m_alias, m_directory, m_attached);
    const TableRef src = dialect.resolveTable(from);
    const TableRef dst = dialect.resolveTable(to);
    UnitOfWork work(*this);
    TableDef def = readTableDef(from);
    dropTableSupport(from);
    const QString prefix = schemaPrefix(src);
    for (const IndexDef& ix : def.indexes)
        if (!ix.isPrimary())
            execTranslated(QString(), QStringLiteral("DROP INDEX %1%2").arg(prefix, q(sqlIndexName(src.name, ix.name))), {});
    execTranslated(QString(), QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(SqlDialect::quoted(src), q(dst.name)), {});
    for (const IndexDef& ix : def.indexes)
        if (!ix.isPrimary())
            execTranslated(QString(), QStringLiteral("CREATE %1INDEX %2%3 ON %4 (%5)")
                                          .arg(ix.options & IxUnique ? QStringLiteral("UNIQUE ") : QString(), prefix,
                                               q(sqlIndexName(dst.name, ix.name)), q(dst.name), indexColumns(ix)),
                           {});
    const QVariant hasSeq = scalar(QStringLiteral("SELECT 1 FROM %1sqlite_master WHERE type = 'table' AND name = '%2'")
                                       .arg(prefix, QLatin1String(kAutoIncTable)));
    if (hasSeq.isValid())
        exec(QStringLiteral("UPDATE %1%2 SET tbl = :To WHERE tbl = :From COLLATE NOCASE").arg(prefix, q(QLatin1String(kAutoIncTable))),
             {{QStringLiteral("To"), dst.name}, {QStringLiteral("From"), src.name}});
    def.name = readTableDef(to).name;
    installTableSupport(def);
    work.commit();
}

void Database::addIndex(const QString& table, const IndexDef& index)
{
    ensureOpen(false);
    const TableRef ref = resolve(table);
    const QString prefix = schemaPrefix(ref);
    if (!index.isPrimary()) {
        execTranslated(QString(), QStringLiteral("CREATE %1INDEX %2%3 ON %4 (%5)")
                                      .arg(index.options & IxUnique ? QStringLiteral("UNIQUE ") : QString(), prefix,
                                           q(sqlIndexName(ref.name, index.name)), q(ref.name), indexColumns(index)),
                       {});
        return;
    }
    // A primary key cannot be added to a SQLite table: rebuild the table with it.
    QList<IndexDef> indexes{IndexDef{QString(), index.fields, index.options | IxPrimary | IxUnique}};
    for (const IndexDef& ix : readTableDef(table).indexes)
        if (!ix.isPrimary())
            indexes.append(ix);
    rebuildTable(table, indexes);
}

void Database::dropIndex(const QString& table, const QString& indexName)
{
    ensureOpen(false);
    const TableRef ref = resolve(table);
    const QString prefix = schemaPrefix(ref);
    if (!indexName.isEmpty()) {
        execTranslated(QString(), QStringLiteral("DROP INDEX %1%2").arg(prefix, q(sqlIndexName(ref.name, indexName))), {});
        return;
    }
    // Dropping the primary key: rebuild the table without it.
    QList<IndexDef> indexes = readTableDef(table).indexes;
    indexes.removeIf([](const IndexDef& ix) { return ix.isPrimary(); });
    rebuildTable(table, indexes);
}

void Database::rebuildTable(const QString& table, const QList<IndexDef>& indexes)
{
    const TableRef ref = resolve(table);
    const QString prefix = schemaPrefix(ref);
    UnitOfWork work(*this);
    const TableDef def = readTableDef(table);
    TableDef temp = def;
    temp.name = writtenName(TableRef{ref.schema, ref.name + QStringLiteral("__rebuild")});
    temp.indexes.clear();
    for (const IndexDef& ix : indexes)
        if (ix.isPrimary())
            temp.indexes.append(ix);
    createTable(temp);
    // A duplicate key fails here and the whole rebuild is rolled back.
    execTranslated(QString(), QStringLiteral("INSERT INTO %1%2 (%3) SELECT %3 FROM %1%4")
                                  .arg(prefix, q(ref.name + QStringLiteral("__rebuild")), columnList(def), q(ref.name)),
                   {});
    dropTable(writtenName(ref));
    renameTable(temp.name, writtenName(TableRef{ref.schema, stem(def.name)}));
    for (const IndexDef& ix : indexes)
        if (!ix.isPrimary())
            addIndex(writtenName(ref), ix);
    work.commit();
}

// --- statements -------------------------------------------------------------

int Database::execTranslated(const QString& original, const QString& sqlText, const QVariantHash& params)
{
    attachPending();
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    QSqlQuery query(db);
    const QString shown = original.isEmpty() ? sqlText : original;
    if (!query.prepare(sqlText))
        raise(db, query.lastError(), shown);
    bindAll(query, params);
    if (!query.exec())
        raise(db, query.lastError(), shown);
    return query.numRowsAffected();
}

int Database::execCached(const QString& original, const QVariantHash& params)
{
    // Windows post the same few statements over and over: keep their
    // translation and their prepared form.
    attachPending();
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    auto it = m_prepared.find(original);
    if (it == m_prepared.end()) {
        if (m_prepared.size() >= 128)
            m_prepared.clear();
        QSqlQuery query(db);
        if (!query.prepare(translate(original)))
            raise(db, query.lastError(), original);
        it = m_prepared.insert(original, query);
    }
    QSqlQuery& query = it.value();
    bindAll(query, params);
    if (!query.exec()) {
        const QSqlError e = query.lastError();
        m_prepared.erase(it);
        raise(db, e, original);
    }
    const int affected = query.numRowsAffected();
    query.finish();
    return affected;
}

int Database::execAlterTable(const QString& original, const QString& sqlText)
{
    const SqlDialect dialect(m_alias, m_directory, m_attached);
    const auto st = dialect.parseAlterTable(sqlText);
    const QString table = SqlDialect::quoted(st.table);
    const QString written = writtenName(st.table);
    UnitOfWork work(*this);
    dropTableSupport(written);
    for (const auto& action : st.actions) {
        if (action.add)
            execTranslated(original, QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3").arg(table, q(action.field.name), declaredType(action.field)), {});
        else
            execTranslated(original, QStringLiteral("ALTER TABLE %1 DROP COLUMN %2").arg(table, q(action.field.name)), {});
    }
    installTableSupport(readTableDef(written));
    work.commit();
    return 0;
}

int Database::exec(const QString& sqlText, const QVariantHash& params)
{
    if (isOpen() && m_prepared.contains(sqlText))
        return execCached(sqlText, params);
    const SqlDialect dialect(m_alias, m_directory, m_attached);
    switch (SqlDialect::ddlKind(sqlText)) {
    case SqlDialect::Ddl::CreateTable: {
        ensureOpen(true);
        auto st = dialect.parseCreateTable(sqlText);
        if (tableExists(writtenName(st.table)))
            throw DbError(DbErrorKind::Other, QStringLiteral("Table %1 already exists").arg(st.def.name), sqlText);
        if (!st.table.schema.isEmpty())
            st.def.name = writtenName(st.table) + QStringLiteral(".DB");
        createTable(st.def);
        return 0;
    }
    case SqlDialect::Ddl::AlterTable:
        ensureOpen(false);
        return execAlterTable(sqlText, sqlText);
    case SqlDialect::Ddl::CreateIndex: {
        ensureOpen(false);
        const auto st = dialect.parseCreateIndex(sqlText);
        addIndex(writtenName(st.table), st.index);
        return 0;
    }
    case SqlDialect::Ddl::DropIndex: {
        ensureOpen(false);
        const auto st = dialect.parseDropIndex(sqlText);
        dropIndex(writtenName(st.table), st.index);
        return 0;
    }
    case SqlDialect::Ddl::DropTable: {
        ensureOpen(false);
        const auto st = dialect.parseDropTable(sqlText);
        const QString written = writtenName(st.table);
        if (!tableExists(written))
            throw DbError(DbErrorKind::NoSuchTable, QStringLiteral("no such table: %1").arg(st.table.name), sqlText);
        dropTable(written);
        return 0;
    }
    case SqlDialect::Ddl::None: break;
    }
    ensureOpen(false);
    return execCached(sqlText, params);
}

Query Database::query(const QString& sqlText, const QVariantHash& params)
{
    ensureOpen(false);
    attachPending();
    const QString translated = translate(sqlText);
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    auto impl = std::make_unique<QueryState>();
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
    impl->owner = &m_openQueries;
    m_openQueries.insert(impl.get());
    return Query(std::move(impl));
}

QVariant Database::scalar(const QString& sqlText, const QVariantHash& params)
{
    Query rows = query(sqlText, params);
    if (!rows.next())
        return QVariant();
    const QVariant v = rows.value(0);
    return v.isValid() ? v : QVariant(QMetaType(QMetaType::QString)); // a row whose value is empty
}

// --- transactions ------------------------------------------------------------

void Database::begin()
{
    ensureOpen(true);
    if (m_txDepth == 0) {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        QSqlQuery query(db);
        // IMMEDIATE takes the write lock now: two writers wait for each other
        // (busy timeout) instead of failing when one upgrades its lock.
        if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
            raise(db, query.lastError(), QStringLiteral("BEGIN IMMEDIATE"));
        m_rollbackOnly = false;
    }
    ++m_txDepth;
}

void Database::commit()
{
    if (m_txDepth == 0)
        return;
    if (--m_txDepth > 0)
        return;
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    QSqlQuery query(db);
    if (m_rollbackOnly) {
        query.exec(QStringLiteral("ROLLBACK"));
        m_rollbackOnly = false;
        throw DbError(DbErrorKind::Other, QStringLiteral("The transaction was rolled back by an inner unit of work"));
    }
    if (!query.exec(QStringLiteral("COMMIT"))) {
        const QSqlError e = query.lastError();
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        raise(db, e, QStringLiteral("COMMIT"));
    }
}

void Database::rollback()
{
    if (m_txDepth == 0)
        return;
    if (--m_txDepth > 0) {
        m_rollbackOnly = true;
        return;
    }
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    m_rollbackOnly = false;
}

UnitOfWork::UnitOfWork(Database& db) : m_db(db) { m_db.begin(); }

UnitOfWork::~UnitOfWork()
{
    if (!m_done)
        m_db.rollback();
}

void UnitOfWork::commit()
{
    m_done = true;
    m_db.commit();
}

Savepoint::Savepoint(Database& db) : m_db(db)
{
    if (!m_db.inTransaction())
        throw DbError(DbErrorKind::Other, QStringLiteral("A savepoint needs an open transaction"));
    m_name = QStringLiteral("sp%1").arg(++m_db.m_savepoints);
    m_db.execTranslated(QString(), QStringLiteral("SAVEPOINT %1").arg(m_name), {});
}

Savepoint::~Savepoint()
{
    if (m_done)
        return;
    try {
        m_db.execTranslated(QString(), QStringLiteral("ROLLBACK TO %1").arg(m_name), {});
        m_db.execTranslated(QString(), QStringLiteral("RELEASE %1").arg(m_name), {});
    } catch (const DbError&) {
        m_db.m_rollbackOnly = true; // the transaction cannot be trusted any more
    }
}

void Savepoint::release()
{
    m_db.execTranslated(QString(), QStringLiteral("RELEASE %1").arg(m_name), {});
    m_done = true;
}

// ---------------------------------------------------------------------------

DbError::DbError(DbErrorKind kind, QString engineText, QString statement, QString nativeCode)
    : std::runtime_error(engineText.toStdString()),
      m_kind(kind),
      m_engineText(std::move(engineText)),
      m_statement(std::move(statement)),
      m_nativeCode(std::move(nativeCode))
{
}

} // namespace datastore
