#include "database.h"

#include "engine.h"
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
#include <system_error>

namespace datastore {

// The engine-free part of a connection: directories, the dialect's
// translation, prepared statements, units of work and savepoints, and the
// catalog's spelling of table names. What depends on the SQL server that holds
// the tables is the Engine's (engine.h; sqliteengine.cpp for SQLite).

namespace {

// A resolved table written back so that resolveTable() finds it again.
QString writtenName(const TableRef& ref)
{
    return (ref.schema.isEmpty() ? QString() : u':' + ref.schema + u':') + ref.name;
}

QString columnList(const Engine& engine, const TableDef& def)
{
    QStringList cols;
    for (const FieldDef& f : def.fields)
        cols << engine.quoteName(f.name);
    return cols.join(QStringLiteral(", "));
}

QString stem(const QString& tableName)
{
    QString n = QFileInfo(QDir::fromNativeSeparators(tableName)).fileName();
    if (n.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
        n.chop(3);
    return n;
}

void bindAll(const Engine& engine, QSqlQuery& query, const QVariantHash& params)
{
    for (auto it = params.cbegin(); it != params.cend(); ++it) {
        const QString name = it.key().startsWith(u':') ? it.key() : u':' + it.key();
        query.bindValue(name, engine.bindable(it.value()));
    }
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

QueryState::~QueryState()
{
    if (owner)
        owner->remove(this);
}

Engine::~Engine() = default;

QString writtenTableName(const TableRef& ref)
{
    return writtenName(ref);
}

Query::Query(std::unique_ptr<QueryState> state) : d(std::move(state)) {}
Query::Query(Query&&) noexcept = default;
Query::~Query() = default;

bool Query::next()
{
    return d->next();
}

QVariant Query::value(int column) const
{
    if (column < 0 || column >= d->names.size())
        return QVariant();
    return d->value(column);
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
      m_connectionName(QStringLiteral("mirafel-%1-%2").arg(m_alias, QUuid::createUuid().toString(QUuid::Id128))),
      m_engine(makeSqliteEngine(*this))
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
    m_engine = onServer() ? makePostgresEngine(*this) : makeSqliteEngine(*this);
}

QString Database::filePath() const { return QDir(m_directory).filePath(QLatin1String(kDatabaseFileName)); }

bool Database::fileExists() const { return !m_directory.isEmpty() && (QFileInfo::exists(filePath()) || onServer()); }

bool Database::onServer() const
{
    return !m_directory.isEmpty() && QFileInfo::exists(QDir(m_directory).filePath(QLatin1String(kServerFileName)));
}

void Database::attach(const QString& alias, const QString& directory)
{
    const QString key = alias.toUpper();
    m_prepared.clear();
    m_translated.clear();
    if (m_live.contains(key) && isOpen()) {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        m_engine->detach(db, key);
    }
    m_live.remove(key);
    m_attached.insert(key, QDir::fromNativeSeparators(directory));
    if (isOpen())
        attachPending();
}

void Database::attachPending()
{
    if (m_live.size() != m_attached.size()) {
        m_prepared.clear(); // names may resolve to other tables once attached
        m_translated.clear();
    }
    // A directory is attached once it holds a store: an empty database
    // directory must stay empty.
    if (m_live.size() == m_attached.size() || m_txDepth > 0) // no ATTACH inside a transaction
        return;
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    for (auto it = m_attached.cbegin(); it != m_attached.cend(); ++it) {
        if (!m_live.contains(it.key()) && m_engine->attach(db, it.key(), it.value()))
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

IntegrityReport checkDatabaseDirectory(const QString& directory, IntegrityDepth depth, const std::atomic_bool* cancel)
{
    if (!QFileInfo(QDir(directory).filePath(QLatin1String(kServerFileName))).isFile())
        return checkDatabaseFile(QDir(directory).filePath(QLatin1String(kDatabaseFileName)), depth, cancel);
    Database db(QStringLiteral("CHECK"));
    db.setDirectory(directory);
    return db.integrityCheck(depth, cancel);
}

IntegrityReport Database::integrityCheck(IntegrityDepth depth, const std::atomic_bool* cancel)
{
    IntegrityReport report;
    if (!isOpen() && !fileExists()) {
        report.problems << QStringLiteral("Nu exista baza de date in directorul %1").arg(QDir::toNativeSeparators(m_directory));
        return report;
    }
    try {
        ensureOpen(false);
    } catch (const DbError& e) {
        report.outcome = m_engine->isDamage(e) ? IntegrityReport::Outcome::Damaged
                                               : IntegrityReport::Outcome::NotChecked;
        report.problems << e.message();
        return report;
    }
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    return m_engine->integrityCheck(db, depth, cancel);
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
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        m_engine->setBusyTimeout(db, ms);
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
        : QSqlDatabase::addDatabase(m_engine->driverName(), m_connectionName);
    m_engine->open(db, m_directory, m_busyTimeoutMs);
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
    SqlDialect dialect(m_alias, m_directory, m_attached);
    dialect.setTarget(m_engine->dialectTarget());
    dialect.setSchemaNames(m_engine->schemaNames());
    return m_translated.insert(sql, dialect.translate(sql)).value();
}

// --- structure --------------------------------------------------------------

QStringList Database::tableNames()
{
    if (!isOpen() && !fileExists())
        return {};
    ensureOpen(false);
    QStringList names;
    for (const QString& name : m_engine->storedTableNames()) {
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
    return !m_engine->storedTableName(resolve(table)).isEmpty();
}

TableDef Database::readTableDef(const QString& table)
{
    ensureOpen(false);
    const TableRef ref = resolve(table);
    const QString name = m_engine->storedTableName(ref);
    if (name.isEmpty())
        throw DbError(DbErrorKind::NoSuchTable, QStringLiteral("Table %1 does not exist").arg(table));
    TableDef def = m_engine->readStoredDef(ref, name);
    const TableDef* known = findTableDef(name);
    def.name = known && stem(known->name) == name ? known->name : name + QStringLiteral(".DB");
    return def;
}

void Database::createTable(const TableDef& def)
{
    ensureOpen(true);
    const TableRef ref = resolve(def.name);
    UnitOfWork work(*this);
    dropTable(def.name);
    m_engine->createTable(ref, def);
    work.commit();
}

void Database::dropTable(const QString& table)
{
    ensureOpen(true);
    const TableRef ref = resolve(table);
    UnitOfWork work(*this);
    m_engine->dropTable(ref);
    work.commit();
}

void Database::renameTable(const QString& from, const QString& to)
{
    ensureOpen(false);
    const TableRef src = resolve(from);
    const TableRef dst = resolve(to);
    UnitOfWork work(*this);
    m_engine->renameTable(src, dst, readTableDef(from));
    work.commit();
}

void Database::addIndex(const QString& table, const IndexDef& index)
{
    ensureOpen(false);
    if (!index.isPrimary()) {
        m_engine->createIndex(resolve(table), index);
        return;
    }
    // A primary key is added by rebuilding the table with it.
    QList<IndexDef> indexes{IndexDef{QString(), index.fields, index.options | IxPrimary | IxUnique}};
    for (const IndexDef& ix : readTableDef(table).indexes)
        if (!ix.isPrimary())
            indexes.append(ix);
    rebuildTable(table, indexes);
}

void Database::dropIndex(const QString& table, const QString& indexName)
{
    ensureOpen(false);
    if (!indexName.isEmpty()) {
        m_engine->dropIndex(resolve(table), indexName);
        return;
    }
    // Dropping the primary key: rebuild the table without it.
    QList<IndexDef> indexes = readTableDef(table).indexes;
    indexes.removeIf([](const IndexDef& ix) { return ix.isPrimary(); });
    rebuildTable(table, indexes);
}

qlonglong Database::autoIncrementValue(const QString& table, const QString& field)
{
    ensureOpen(false);
    const TableRef ref = resolve(table);
    const QString name = m_engine->storedTableName(ref);
    if (name.isEmpty())
        throw DbError(DbErrorKind::NoSuchTable, QStringLiteral("Table %1 does not exist").arg(table));
    return m_engine->autoIncrementValue(ref, name, field);
}

void Database::advanceAutoIncrement(const QString& table, const QString& field, qlonglong last)
{
    ensureOpen(false);
    const TableRef ref = resolve(table);
    const QString name = m_engine->storedTableName(ref);
    if (name.isEmpty())
        throw DbError(DbErrorKind::NoSuchTable, QStringLiteral("Table %1 does not exist").arg(table));
    UnitOfWork work(*this);
    m_engine->advanceAutoIncrement(ref, name, field, last);
    work.commit();
}

void Database::rebuildTable(const QString& table, const QList<IndexDef>& indexes)
{
    const TableRef ref = resolve(table);
    const QString prefix = ref.schema.isEmpty() ? QString() : m_engine->quoteName(ref.schema) + u'.';
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
                                  .arg(prefix, m_engine->quoteName(ref.name + QStringLiteral("__rebuild")), columnList(*m_engine, def), m_engine->quoteName(ref.name)),
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
    if (params.isEmpty() && !m_engine->preparesPlainStatements()) {
        if (!query.exec(sqlText))
            throw m_engine->error(db, query.lastError(), shown);
        return query.numRowsAffected();
    }
    if (!query.prepare(m_engine->withParameterTypes(sqlText, params)))
        throw m_engine->error(db, query.lastError(), shown);
    bindAll(*m_engine, query, params);
    if (!query.exec())
        throw m_engine->error(db, query.lastError(), shown);
    return query.numRowsAffected();
}

int Database::execCached(const QString& original, const QVariantHash& params)
{
    // Windows post the same few statements over and over: keep their
    // translation and their prepared form.
    attachPending();
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    // A server told the types of the values prepares one form per set of types.
    const QString typesKey = m_engine->parameterTypesKey(params);
    const QString key = typesKey.isEmpty() ? original : original + QChar(0) + typesKey;
    auto it = m_prepared.find(key);
    if (it == m_prepared.end()) {
        if (m_prepared.size() >= 128)
            m_prepared.clear();
        QSqlQuery query(db);
        if (!query.prepare(m_engine->withParameterTypes(translate(original), params)))
            throw m_engine->error(db, query.lastError(), original);
        it = m_prepared.insert(key, query);
    }
    QSqlQuery& query = it.value();
    bindAll(*m_engine, query, params);
    if (!query.exec()) {
        const QSqlError e = query.lastError();
        m_prepared.erase(it);
        throw m_engine->error(db, e, original);
    }
    const int affected = query.numRowsAffected();
    query.finish();
    return affected;
}

int Database::execAlterTable(const QString& original, const QString& sqlText)
{
    const auto st = SqlDialect(m_alias, m_directory, m_attached).parseAlterTable(sqlText);
    UnitOfWork work(*this);
    m_engine->alterTable(st, original);
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
    std::unique_ptr<QueryState> state = m_engine->prepareQuery(db, translated, params, sqlText);
    state->owner = &m_openQueries;
    m_openQueries.insert(state.get());
    return Query(std::move(state));
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
        const QStringList statements = m_engine->beginStatements();
        for (int i = 0; i < int(statements.size()); ++i) {
            if (!query.exec(statements[i])) {
                const DbError e = m_engine->error(db, query.lastError(), statements[i]);
                if (i > 0)
                    QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
                throw e;
            }
        }
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
        throw m_engine->error(db, e, QStringLiteral("COMMIT"));
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
