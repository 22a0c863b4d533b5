#include "engine.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QSqlQuery>
#include <QSqlRecord>

namespace datastore {

// The PostgreSQL engine. The directory's kServerFileName names the server,
// the database and the schema that holds the directory's tables:
//  - a table is a table of that schema named after its file without
//    extension, in lower case like every name on the server (a name written
//    bare is folded so); the names' own spelling is kept in the comments of
//    the table, its columns and its indexes;
//  - a field's type is the server's nearest (text and memo -> text, small
//    integer -> smallint, integer and autoincrement -> integer, boolean,
//    float -> double precision, date), and its declared type (CHAR(20),
//    MEMOTEXT(240), AUTOINC, ...) heads the column's comment, so that the
//    definition reads back exactly; an index's comment holds its options;
//  - the primary key is a unique index "<table>#pk" with NULLS NOT DISTINCT:
//    an empty key field is a value like any other, and a server primary key
//    would refuse empty fields; a secondary index is "<table>.<index>";
//    case-insensitive indexes use the schema's collation "nocase";
//  - one BEFORE INSERT OR UPDATE trigger per table ("<table>#fit") cuts text
//    to its size, stores '' as NULL and gives an autoincrement field left
//    empty the next number of its sequence "<table>#<field>" (a sequence
//    never gives a number twice; a number written by hand moves it on).
// Names containing '#' are the storage's own and never listed. A parameter
// the server cannot type from where it stands is cast to its value's type.
// ROUND_MONEY(x, d) of the dialect is pg_temp.round_money, made by every
// connection for itself (kRoundMoneyFunction).

namespace {

// The first key of the advisory write locks of this storage ("MiRa").
constexpr int kWriteLockClass = 0x4d695261;

QString q(const QString& ident)
{
    QString s = ident;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

QString literal(const QString& text)
{
    QString s = text;
    s.replace(u'\'', QStringLiteral("''"));
    return u'\'' + s + u'\'';
}

DbErrorKind classify(const QString& state)
{
    if (state == QLatin1String("23505"))
        return DbErrorKind::KeyViolation;
    if (state == QLatin1String("55P03") || state == QLatin1String("40P01") || state == QLatin1String("40001")
        || state == QLatin1String("57014"))
        return DbErrorKind::Busy;
    if (state == QLatin1String("42P01"))
        return DbErrorKind::NoSuchTable;
    if (state.startsWith(QLatin1String("42")))
        return DbErrorKind::Syntax;
    if (state.startsWith(QLatin1String("08")) || state.startsWith(QLatin1String("53"))
        || state.startsWith(QLatin1String("58")) || state == QLatin1String("XX001") || state == QLatin1String("XX002"))
        return DbErrorKind::Io;
    return DbErrorKind::Other;
}

DbError errorOf(const QSqlError& e, const QString& statement)
{
    QString text = e.databaseText();
    if (text.isEmpty())
        text = e.text();
    const QString state = e.nativeErrorCode();
    return DbError(classify(state), text.trimmed(), statement, state);
}

[[noreturn]] void raise(const QSqlError& e, const QString& statement)
{
    throw errorOf(e, statement);
}

// common::roundMoney in PL/pgSQL, step by step in double precision as the
// C++ computes it: x times 10^d, its floor, and the fraction above the floor;
// a fraction within 1e-7 of a half is the half, which goes to the even
// neighbour. d is cut to a whole number and kept within 0..9. A function of
// the connection's temporary schema: every connection finds it, whichever
// schema it works in, and no shared object has to be kept up to date.
constexpr const char* kRoundMoneyFunction = R"(CREATE OR REPLACE FUNCTION pg_temp.round_money(x double precision, d double precision)
RETURNS double precision LANGUAGE plpgsql IMMUTABLE STRICT AS $rm$
DECLARE
    p double precision := power(10::double precision, least(greatest(trunc(d), 0), 9));
    s double precision;
    b double precision;
    f double precision;
BEGIN
    IF x IN ('Infinity'::double precision, '-Infinity'::double precision, 'NaN'::double precision) THEN
        RETURN x;
    END IF;
    s := x * p;
    b := floor(s);
    f := s - b;
    IF f < '0.5'::double precision - '1e-7'::double precision THEN
        RETURN b / p;
    ELSIF f > '0.5'::double precision + '1e-7'::double precision THEN
        RETURN (b + 1) / p;
    ELSIF floor(b / 2) * 2 = b THEN
        RETURN b / p;
    END IF;
    RETURN (b + 1) / p;
END
$rm$)";

QString serverOf(const QSettings& settings)
{
    return settings.value(QStringLiteral("host")).toString() + u'|' + settings.value(QStringLiteral("port")).toString()
        + u'|' + settings.value(QStringLiteral("database")).toString();
}

QString serverType(const FieldDef& f)
{
    switch (f.type) {
    case FieldType::Text:
    case FieldType::Memo: return QStringLiteral("text");
    case FieldType::SmallInt: return QStringLiteral("smallint");
    case FieldType::Integer:
    case FieldType::AutoIncrement: return QStringLiteral("integer");
    case FieldType::Boolean: return QStringLiteral("boolean");
    case FieldType::Float: return QStringLiteral("double precision");
    case FieldType::Date: return QStringLiteral("date");
    }
    return QStringLiteral("text");
}

// A column made by someone else, without a declared type in its comment.
FieldDef fieldFromServerType(const QString& name, const QString& type)
{
    const auto declared = fieldFromDeclaredType(name, type);
    if (declared)
        return *declared;
    if (type == QLatin1String("double precision") || type == QLatin1String("real"))
        return floating(name);
    if (type == QLatin1String("bigint"))
        return integer(name);
    return FieldDef{name, FieldType::Text, 255, false};
}

struct PostgresQueryState final : QueryState {
    QSqlQuery query;
    bool done = false;

    explicit PostgresQueryState(const QSqlDatabase& db) : query(db) {}
    ~PostgresQueryState() override { finalize(); }
    void finalize() override
    {
        query.finish();
        done = true;
    }
    bool next() override
    {
        if (done)
            return false;
        if (query.next())
            return true;
        done = true;
        if (query.lastError().isValid())
            raise(query.lastError(), statement);
        return false;
    }
    QList<int> columns; // the server's column of each column shown
    QVariant value(int column) const override
    {
        const QVariant v = query.value(columns.value(column, column));
        if (v.isNull())
            return QVariant();
        if (v.typeId() == QMetaType::QDateTime)
            return v.toDateTime().date();
        return v;
    }
};

// The server's type for a bound value; empty when the server is best left
// to infer it (an empty value, a type it has no cast for).
QString serverTypeOf(const QVariant& v)
{
    if (v.isNull())
        return {};
    switch (v.typeId()) {
    case QMetaType::Bool: return QStringLiteral("boolean");
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort: return QStringLiteral("integer");
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: return QStringLiteral("bigint");
    case QMetaType::Double:
    case QMetaType::Float: return QStringLiteral("double precision");
    case QMetaType::QString: return QStringLiteral("text");
    case QMetaType::QDate:
    case QMetaType::QDateTime: return QStringLiteral("date");
    default: return {};
    }
}

// The server prepares a statement before it sees the values and types each
// parameter from where it stands: "Cod = :Cod" takes the field's type, but
// "-:Eps", ":Coef * X" or ":Contor" alone in a select list leave it unknown
// ("operator is not unique", "could not determine data type"). A parameter
// is cast to its value's type unless it stands next to a comparison or is a
// whole item of a VALUES or IN list: there the field beside it gives the type,
// which also holds when the value's type differs (a number bound against a
// text field, a date written as text), as SQLite compares them.
QString typedParameters(const QString& sql, const QVariantHash& params)
{
    const QList<SqlToken> tokens = tokenizeSql(sql);
    auto significant = [&](int i, int step) -> const SqlToken* {
        for (int j = i + step; j >= 0 && j < tokens.size(); j += step)
            if (tokens[j].kind != SqlToken::Space)
                return &tokens[j];
        return nullptr;
    };
    auto isPunct = [](const SqlToken* t, std::initializer_list<const char*> texts) {
        if (!t || t->kind != SqlToken::Punct)
            return false;
        for (const char* p : texts)
            if (t->text == QLatin1String(p))
                return true;
        return false;
    };
    auto isWord = [](const SqlToken* t, std::initializer_list<const char*> words) {
        if (!t || t->kind != SqlToken::Word)
            return false;
        for (const char* w : words)
            if (t->text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0)
                return true;
        return false;
    };
    const auto comparisons = {"=", "==", "<>", "!=", "<", ">", "<=", ">="};
    const auto likes = {"LIKE", "ILIKE", "IN", "BETWEEN", "IS"};
    QList<bool> lists{false}; // per parenthesis: the list of a VALUES or IN
    QString out;
    out.reserve(sql.size() + 32);
    for (int i = 0; i < tokens.size(); ++i) {
        const SqlToken& t = tokens[i];
        if (t.kind == SqlToken::Punct && t.text == QLatin1String("(")) {
            lists.append(isWord(significant(i, -1), {"VALUES", "IN"}));
        } else if (t.kind == SqlToken::Punct && t.text == QLatin1String(")")) {
            if (lists.size() > 1)
                lists.removeLast();
        } else if (t.kind == SqlToken::Param) {
            const SqlToken* before = significant(i, -1);
            const SqlToken* after = significant(i, 1);
            const bool placed = isPunct(before, comparisons) || isPunct(after, comparisons) || isWord(before, likes)
                || (lists.back() && isPunct(before, {"(", ","}) && isPunct(after, {",", ")"}));
            const QString name = t.text.mid(1);
            const QString type = placed ? QString() : serverTypeOf(params.contains(name) ? params.value(name) : params.value(t.text));
            if (!type.isEmpty()) {
                out += QStringLiteral("CAST(%1 AS %2)").arg(t.text, type);
                continue;
            }
        }
        out += t.kind == SqlToken::Quoted ? q(t.text) : t.text;
    }
    return out;
}

class PostgresEngine final : public Engine {
public:
    using Engine::Engine;

    QString driverName() const override { return QStringLiteral("QPSQL"); }
    void open(QSqlDatabase& db, const QString& directory, int busyTimeoutMs) override;
    void setBusyTimeout(QSqlDatabase& db, int ms) override
    {
        // Waiting for another connection's lock ends with the busy error.
        QSqlQuery(db).exec(QStringLiteral("SET lock_timeout = %1").arg(ms));
    }
    SqlDialect::Target dialectTarget() const override { return SqlDialect::Target::Postgres; }
    QString quoteName(const QString& name) const override { return id(name); }
    bool preparesPlainStatements() const override { return false; }
    // A write transaction takes the database's write lock first (an advisory
    // lock of the transaction, keyed by the schema): writers of one database
    // take turns as they do on SQLite (BEGIN IMMEDIATE), each statement after
    // the lock sees what the previous writer committed (READ COMMITTED takes
    // a snapshot per statement), and a writer that waits longer than
    // lock_timeout gets the busy error. Readers never wait.
    QStringList beginStatements() const override
    {
        return {QStringLiteral("BEGIN"),
                QStringLiteral("SELECT pg_advisory_xact_lock(%1, hashtext(%2))").arg(kWriteLockClass).arg(literal(m_schema))};
    }
    QVariant bindable(const QVariant& v) const override
    {
        // A whole number goes as text, which the server reads as whatever the
        // parameter is: a number, a text, or a boolean (0, 1) as SQLite stores it.
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            return v.isNull() ? v : QVariant(v.toString());
        default: break;
        }
        if (v.typeId() == QMetaType::QDateTime)
            return v.toDateTime().isValid() ? QVariant(v.toDateTime().date()) : QVariant(QMetaType(QMetaType::QDate));
        return v;
    }
    QString withParameterTypes(const QString& translated, const QVariantHash& params) const override
    {
        if (params.isEmpty())
            return translated;
        const QString key = translated + QChar(0) + parameterTypesKey(params);
        if (const auto it = m_typed.constFind(key); it != m_typed.cend())
            return it.value();
        if (m_typed.size() >= 256)
            m_typed.clear();
        return m_typed.insert(key, typedParameters(translated, params)).value();
    }
    QString parameterTypesKey(const QVariantHash& params) const override
    {
        QStringList names = params.keys();
        names.sort();
        QString key;
        for (const QString& name : names)
            key += name + u'=' + serverTypeOf(params.value(name)) + u';';
        return key;
    }
    DbError error(const QSqlDatabase&, const QSqlError& e, const QString& statement) const override
    {
        return errorOf(e, statement);
    }
    bool attach(QSqlDatabase& db, const QString& alias, const QString& directory) override;
    void detach(QSqlDatabase&, const QString& alias) override { m_aliasSchemas.remove(alias.toUpper()); }
    QHash<QString, QString> schemaNames() const override { return m_aliasSchemas; }

    QStringList storedTableNames() override;
    QString storedTableName(const TableRef& ref) override;
    TableDef readStoredDef(const TableRef& ref, const QString& storedName) override;
    void createTable(const TableRef& ref, const TableDef& def) override;
    void dropTable(const TableRef& ref) override;
    void renameTable(const TableRef& from, const TableRef& to, const TableDef& def) override;
    void createIndex(const TableRef& ref, const IndexDef& index) override;
    void dropIndex(const TableRef& ref, const QString& indexName) override
    {
        ddl(QStringLiteral("DROP INDEX %1").arg(qualified(sqlIndexName(ref.name, indexName))));
    }
    void alterTable(const SqlDialect::AlterTableStmt& st, const QString& original) override;
    qlonglong autoIncrementValue(const TableRef& ref, const QString& storedName, const QString& field) override;
    void advanceAutoIncrement(const TableRef& ref, const QString& storedName, const QString& field, qlonglong last) override;

    std::unique_ptr<QueryState> prepareQuery(QSqlDatabase& db, const QString& translated, const QVariantHash& params,
                                             const QString& original) override;

    IntegrityReport integrityCheck(QSqlDatabase& db, IntegrityDepth depth, const std::atomic_bool* cancel) override;
    // The server's own words for a page it cannot read: data or index corrupted.
    bool isDamage(const DbError& e) const override
    {
        return e.nativeCode() == QLatin1String("XX001") || e.nativeCode() == QLatin1String("XX002");
    }

private:
    static QString id(const QString& name) { return q(name.toLower()); }
    QString qualified(const QString& name) const { return q(m_schema) + u'.' + id(name); }
    void describeIndex(const QString& ixName, const IndexDef& ix);
    QStringList checkTable(const QString& table, IntegrityDepth depth, const QString& amcheckSchema,
                           const std::atomic_bool* cancel);
    void ddl(const QString& sql);
    QSqlQuery select(const QString& sql, const QVariantList& values);
    void installTableSupport(const QString& table, const TableDef& def);
    QString indexColumns(const TableDef& def, const IndexDef& ix) const;
    qlonglong tableOid(const QString& schema, const QString& table);

    QString schemaOf(const TableRef& ref) const
    {
        return ref.schema.isEmpty() ? m_schema : m_aliasSchemas.value(ref.schema.toUpper(), m_schema);
    }

    QString m_schema = QStringLiteral("public");
    QString m_server; // host, port and database of the connection, to compare with another directory's
    QHash<QString, QString> m_aliasSchemas; // alias (upper) -> schema of an attached directory
    mutable QHash<QString, QString> m_typed; // translated statement and value types -> statement prepared
};

} // namespace

void PostgresEngine::open(QSqlDatabase& db, const QString& directory, int busyTimeoutMs)
{
    const QString file = QDir(directory).filePath(QLatin1String(kServerFileName));
    QSettings settings(file, QSettings::IniFormat);
    db.setHostName(settings.value(QStringLiteral("host")).toString());
    if (const int port = settings.value(QStringLiteral("port")).toInt(); port > 0)
        db.setPort(port);
    db.setDatabaseName(settings.value(QStringLiteral("database")).toString());
    db.setUserName(settings.value(QStringLiteral("user")).toString());
    m_schema = settings.value(QStringLiteral("schema"), QStringLiteral("public")).toString();
    m_server = serverOf(settings);
    m_aliasSchemas.clear();
    if (!db.open())
        throw DbError(DbErrorKind::Io, db.lastError().databaseText().isEmpty() ? db.lastError().text()
                                                                                : db.lastError().databaseText(),
                      file);
    QSqlQuery query(db);
    const QStringList settingsSql = {
        QStringLiteral("SET search_path TO %1").arg(q(m_schema)),
        QStringLiteral("SET lock_timeout = %1").arg(busyTimeoutMs),
        QStringLiteral("SET client_min_messages TO warning"),
        QStringLiteral("SET DateStyle TO ISO"),
    };
    for (const QString& s : settingsSql) {
        if (!query.exec(s)) {
            const QSqlError e = query.lastError();
            db.close();
            raise(e, s);
        }
    }
    // A server that refuses temporary objects still opens: only a statement
    // that rounds money then fails, with the server's message.
    [[maybe_unused]] const bool made = query.exec(QString::fromLatin1(kRoundMoneyFunction));
}

bool PostgresEngine::attach(QSqlDatabase&, const QString& alias, const QString& directory)
{
    // Another directory's tables are reachable when they live on the same
    // server database: its schema stands for its alias in statements.
    const QString file = QDir(directory).filePath(QLatin1String(kServerFileName));
    if (!QFileInfo::exists(file))
        return false;
    const QSettings settings(file, QSettings::IniFormat);
    if (serverOf(settings) != m_server)
        throw DbError(DbErrorKind::Io,
                      QStringLiteral("Directorul %1 are tabelele pe alt server").arg(QDir::toNativeSeparators(directory)), file);
    m_aliasSchemas.insert(alias.toUpper(), settings.value(QStringLiteral("schema"), QStringLiteral("public")).toString());
    return true;
}

void PostgresEngine::ddl(const QString& sql)
{
    QSqlDatabase db = connection();
    QSqlQuery query(db);
    if (!query.exec(sql))
        raise(query.lastError(), sql);
}

QSqlQuery PostgresEngine::select(const QString& sql, const QVariantList& values)
{
    QSqlDatabase db = connection();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        raise(query.lastError(), sql);
    for (const QVariant& v : values)
        query.addBindValue(v);
    if (!query.exec())
        raise(query.lastError(), sql);
    return query;
}

QStringList PostgresEngine::storedTableNames()
{
    QStringList names;
    QSqlQuery query = select(QStringLiteral("SELECT COALESCE(obj_description(c.oid, 'pg_class'), c.relname) "
                                            "FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
                                            "WHERE n.nspname = ? AND c.relkind IN ('r', 'p') AND strpos(c.relname, '#') = 0 "
                                            "ORDER BY c.oid"),
                             {m_schema});
    while (query.next())
        names << query.value(0).toString();
    return names;
}

QString PostgresEngine::storedTableName(const TableRef& ref)
{
    QSqlQuery query = select(QStringLiteral("SELECT COALESCE(obj_description(c.oid, 'pg_class'), c.relname) "
                                            "FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
                                            "WHERE n.nspname = ? AND c.relkind IN ('r', 'p') AND c.relname = ?"),
                             {schemaOf(ref), ref.name.toLower()});
    return query.next() ? query.value(0).toString() : QString();
}

qlonglong PostgresEngine::tableOid(const QString& schema, const QString& table)
{
    QSqlQuery query = select(QStringLiteral("SELECT CAST(c.oid AS bigint) FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
                                            "WHERE n.nspname = ? AND c.relname = ?"),
                             {schema, table.toLower()});
    if (!query.next())
        throw DbError(DbErrorKind::NoSuchTable, QStringLiteral("Table %1 does not exist").arg(table));
    return query.value(0).toLongLong();
}

TableDef PostgresEngine::readStoredDef(const TableRef& ref, const QString& name)
{
    const qlonglong oid = tableOid(schemaOf(ref), name);
    TableDef def;
    QHash<int, QString> byNumber;
    QSqlQuery cols = select(QStringLiteral("SELECT a.attnum, a.attname, COALESCE(col_description(a.attrelid, a.attnum), ''), "
                                           "format_type(a.atttypid, a.atttypmod), a.attnotnull FROM pg_attribute a "
                                           "WHERE a.attrelid = ? AND a.attnum > 0 AND NOT a.attisdropped AND a.attname <> 'rowid' ORDER BY a.attnum"),
                            {oid});
    while (cols.next()) {
        // The comment: the declared type, a line break, the name as spelt.
        const QStringList comment = cols.value(2).toString().split(u'\n');
        const QString declared = comment.value(0);
        const QString fname = comment.size() > 1 ? comment[1] : cols.value(1).toString();
        FieldDef field = declared.isEmpty() ? fieldFromServerType(fname, cols.value(3).toString())
                                            : fieldFromDeclaredType(fname, declared).value_or(FieldDef{fname, FieldType::Text, 255, false});
        field.required = cols.value(4).toBool();
        byNumber.insert(cols.value(0).toInt(), fname);
        def.fields.append(field);
    }

    // Indexes in the order they were made; the primary key first.
    QSqlQuery ixs = select(QStringLiteral("SELECT i.relname, x.indisunique, CAST(x.indkey AS text), CAST(x.indoption AS text), "
                                          "ARRAY_TO_STRING(ARRAY(SELECT COALESCE(cl.collname, '') FROM unnest(x.indcollation) "
                                          "WITH ORDINALITY AS u(coll, n) LEFT JOIN pg_collation cl ON cl.oid = u.coll ORDER BY u.n), ' '), "
                                          "x.indexprs IS NOT NULL, COALESCE(obj_description(i.oid, 'pg_class'), '') "
                                          "FROM pg_index x JOIN pg_class i ON i.oid = x.indexrelid WHERE x.indrelid = ? ORDER BY i.oid"),
                           {oid});
    const QString pkName = (name + QStringLiteral("#pk")).toLower();
    while (ixs.next()) {
        const QString ixName = ixs.value(0).toString();
        // The comment: the options, a line break, the name as spelt.
        const QStringList comment = ixs.value(6).toString().split(u'\n');
        const QStringList keys = ixs.value(2).toString().split(u' ', Qt::SkipEmptyParts);
        const QStringList directions = ixs.value(3).toString().split(u' ', Qt::SkipEmptyParts);
        const QStringList collations = ixs.value(4).toString().split(u' ');
        IndexDef ix;
        QStringList fields;
        bool anyDesc = false;
        bool allNoCase = !keys.isEmpty();
        for (int k = 0; k < keys.size(); ++k) {
            const int number = keys[k].toInt();
            if (number == 0)
                ix.options |= IxExpression;
            fields << byNumber.value(number);
            anyDesc = anyDesc || (directions.value(k).toInt() & 1);
            allNoCase = allNoCase && collations.value(k) == QLatin1String("nocase");
        }
        ix.fields = fields.join(u';');
        const bool primary = ixName == pkName;
        if (primary)
            ix.options |= IxPrimary | IxUnique;
        else if (ixs.value(1).toBool())
            ix.options |= IxUnique;
        if (anyDesc)
            ix.options |= IxDescending;
        if (allNoCase)
            ix.options |= IxCaseInsensitive;
        bool described = false;
        const uint options = comment.value(0).toUInt(&described);
        if (described) // a case-insensitive index may have no text field for the collation to show
            ix.options = (ix.options & ~IndexOptions(IxCaseInsensitive)) | (options & IxCaseInsensitive);
        if (primary) {
            def.indexes.prepend(ix);
        } else {
            const QString p = name.toLower() + u'.';
            ix.name = comment.size() > 1 ? comment[1] : ixName.startsWith(p) ? ixName.mid(p.size()) : ixName;
            def.indexes.append(ix);
        }
    }
    return def;
}

QString PostgresEngine::indexColumns(const TableDef& def, const IndexDef& ix) const
{
    QStringList cols;
    for (const QString& f : ix.fieldList()) {
        QString c = id(f);
        const FieldDef* field = def.field(f);
        const bool text = !field || field->type == FieldType::Text || field->type == FieldType::Memo;
        if ((ix.options & IxCaseInsensitive) && text)
            c += QStringLiteral(" COLLATE %1").arg(qualified(QStringLiteral("nocase")));
        if (ix.options & IxDescending)
            c += QStringLiteral(" DESC");
        cols << c;
    }
    return cols.join(QStringLiteral(", "));
}

void PostgresEngine::createTable(const TableRef& ref, const TableDef& def)
{
    ddl(QStringLiteral("CREATE SCHEMA IF NOT EXISTS %1").arg(q(m_schema)));
    // Case-insensitive comparison in indexes (letters equal whatever their case).
    QSqlQuery hasCollation = select(QStringLiteral("SELECT 1 FROM pg_collation c JOIN pg_namespace n ON n.oid = c.collnamespace "
                                                   "WHERE n.nspname = ? AND c.collname = 'nocase'"),
                                    {m_schema});
    if (!hasCollation.next())
        ddl(QStringLiteral("CREATE COLLATION %1 (provider = icu, locale = 'und-u-ks-level2', deterministic = false)")
                .arg(qualified(QStringLiteral("nocase"))));

    const QString table = qualified(ref.name);
    QStringList cols;
    for (const FieldDef& f : def.fields)
        cols << id(f.name) + u' ' + serverType(f) + (f.required ? QStringLiteral(" NOT NULL") : QString());
    // The row's own number, as SQLite's rowid: never shown as a field.
    cols << QStringLiteral("rowid bigint GENERATED BY DEFAULT AS IDENTITY");
    ddl(QStringLiteral("CREATE TABLE %1 (%2)").arg(table, cols.join(QStringLiteral(", "))));
    ddl(QStringLiteral("COMMENT ON TABLE %1 IS %2").arg(table, literal(ref.name)));
    for (const FieldDef& f : def.fields)
        ddl(QStringLiteral("COMMENT ON COLUMN %1.%2 IS %3").arg(table, id(f.name), literal(declaredType(f) + u'\n' + f.name)));
    if (const IndexDef* pk = def.primaryKey()) {
        ddl(QStringLiteral("CREATE UNIQUE INDEX %1 ON %2 (%3) NULLS NOT DISTINCT")
                .arg(id(ref.name + QStringLiteral("#pk")), table, indexColumns(def, *pk)));
        describeIndex(ref.name + QStringLiteral("#pk"), *pk);
    }
    for (const IndexDef& ix : def.indexes)
        if (!ix.isPrimary())
            createIndex(ref, ix);
    installTableSupport(ref.name, def);
}

void PostgresEngine::createIndex(const TableRef& ref, const IndexDef& index)
{
    const bool unique = index.options & IxUnique;
    const QString stored = storedTableName(ref);
    const TableDef def = readStoredDef(ref, stored.isEmpty() ? ref.name : stored);
    ddl(QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)%5")
            .arg(unique ? QStringLiteral("UNIQUE ") : QString(), id(sqlIndexName(ref.name, index.name)),
                 qualified(ref.name), indexColumns(def, index), unique ? QStringLiteral(" NULLS NOT DISTINCT") : QString()));
    describeIndex(sqlIndexName(ref.name, index.name), index);
}

void PostgresEngine::describeIndex(const QString& ixName, const IndexDef& ix)
{
    ddl(QStringLiteral("COMMENT ON INDEX %1 IS %2").arg(qualified(ixName), literal(QString::number(ix.options) + u'\n' + ix.name)));
}

void PostgresEngine::installTableSupport(const QString& table, const TableDef& def)
{
    QStringList body;
    QStringList onInsert;
    for (const FieldDef& f : def.fields) {
        const QString col = QStringLiteral("NEW.") + id(f.name);
        if (f.type == FieldType::Text)
            body << QStringLiteral("%1 := NULLIF(left(%1, %2), '');").arg(col).arg(f.size);
        else if (f.type == FieldType::Memo)
            body << QStringLiteral("%1 := NULLIF(%1, '');").arg(col);
        else if (f.type == FieldType::AutoIncrement) {
            const QString seq = qualified(table + u'#' + f.name);
            ddl(QStringLiteral("CREATE SEQUENCE IF NOT EXISTS %1 AS integer MINVALUE 0 START 1 OWNED BY %2.%3")
                    .arg(seq, qualified(table), id(f.name)));
            const QString seqText = literal(seq);
            onInsert << QStringLiteral("IF %1 IS NULL THEN %1 := nextval(%2); "
                                       "ELSIF %1 >= (SELECT CASE WHEN is_called THEN last_value + 1 ELSE last_value END FROM %3) "
                                       "THEN PERFORM setval(%2, %1); END IF;")
                            .arg(col, seqText, seq);
        }
    }
    const QString function = qualified(table + QStringLiteral("#fit"));
    ddl(QStringLiteral("DROP TRIGGER IF EXISTS %1 ON %2").arg(id(table + QStringLiteral("#fit")), qualified(table)));
    ddl(QStringLiteral("DROP FUNCTION IF EXISTS %1()").arg(function));
    // The number of the row inserted last, for last_insert_rowid().
    onInsert << QStringLiteral("PERFORM set_config('mirafel.rowid', CAST(NEW.rowid AS text), false);");
    QString text = QStringLiteral("BEGIN ") + body.join(u' ');
    if (!onInsert.isEmpty())
        text += QStringLiteral(" IF TG_OP = 'INSERT' THEN ") + onInsert.join(u' ') + QStringLiteral(" END IF;");
    text += QStringLiteral(" RETURN NEW; END");
    ddl(QStringLiteral("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS $fit$ %2 $fit$").arg(function, text));
    ddl(QStringLiteral("CREATE TRIGGER %1 BEFORE INSERT OR UPDATE ON %2 FOR EACH ROW EXECUTE FUNCTION %3()")
            .arg(id(table + QStringLiteral("#fit")), qualified(table), function));
}

void PostgresEngine::dropTable(const TableRef& ref)
{
    // The sequences go with the table (OWNED BY), the function does not.
    ddl(QStringLiteral("DROP TABLE IF EXISTS %1").arg(qualified(ref.name)));
    ddl(QStringLiteral("DROP FUNCTION IF EXISTS %1()").arg(qualified(ref.name + QStringLiteral("#fit"))));
}

void PostgresEngine::renameTable(const TableRef& from, const TableRef& to, const TableDef& def)
{
    const QString stored = storedTableName(from);
    ddl(QStringLiteral("DROP TRIGGER IF EXISTS %1 ON %2").arg(id(stored + QStringLiteral("#fit")), qualified(stored)));
    ddl(QStringLiteral("DROP FUNCTION IF EXISTS %1()").arg(qualified(stored + QStringLiteral("#fit"))));
    ddl(QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(qualified(stored), id(to.name)));
    ddl(QStringLiteral("COMMENT ON TABLE %1 IS %2").arg(qualified(to.name), literal(to.name)));
    if (def.primaryKey())
        ddl(QStringLiteral("ALTER INDEX %1 RENAME TO %2").arg(qualified(stored + QStringLiteral("#pk")), id(to.name + QStringLiteral("#pk"))));
    for (const IndexDef& ix : def.indexes)
        if (!ix.isPrimary())
            ddl(QStringLiteral("ALTER INDEX %1 RENAME TO %2")
                    .arg(qualified(sqlIndexName(stored, ix.name)), id(sqlIndexName(to.name, ix.name))));
    for (const FieldDef& f : def.fields)
        if (f.type == FieldType::AutoIncrement)
            ddl(QStringLiteral("ALTER SEQUENCE %1 RENAME TO %2").arg(qualified(stored + u'#' + f.name), id(to.name + u'#' + f.name)));
    installTableSupport(to.name, def);
}

void PostgresEngine::alterTable(const SqlDialect::AlterTableStmt& st, const QString& original)
{
    const QString stored = storedTableName(st.table);
    if (stored.isEmpty())
        throw DbError(DbErrorKind::NoSuchTable, QStringLiteral("no such table: %1").arg(st.table.name), original);
    const QString table = qualified(stored);
    ddl(QStringLiteral("DROP TRIGGER IF EXISTS %1 ON %2").arg(id(stored + QStringLiteral("#fit")), table));
    for (const auto& action : st.actions) {
        QString sql;
        if (action.add) {
            sql = QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3").arg(table, id(action.field.name), serverType(action.field));
            runFor(original, sql);
            ddl(QStringLiteral("COMMENT ON COLUMN %1.%2 IS %3")
                    .arg(table, id(action.field.name), literal(declaredType(action.field) + u'\n' + action.field.name)));
        } else {
            runFor(original, QStringLiteral("ALTER TABLE %1 DROP COLUMN %2").arg(table, id(action.field.name)));
        }
    }
    installTableSupport(stored, readDef(stored));
}

qlonglong PostgresEngine::autoIncrementValue(const TableRef& ref, const QString& name, const QString& field)
{
    // The sequence, or the largest number stored when a row was written past it.
    const QString schema = q(schemaOf(ref)) + u'.';
    QSqlQuery seq = select(QStringLiteral("SELECT CASE WHEN is_called THEN last_value ELSE last_value - 1 END FROM %1")
                               .arg(schema + id(name + u'#' + field)),
                           {});
    qlonglong last = seq.next() ? seq.value(0).toLongLong() : 0;
    QSqlQuery stored = select(QStringLiteral("SELECT COALESCE(MAX(%1), 0) FROM %2").arg(id(field), schema + id(name)), {});
    if (stored.next())
        last = std::max(last, stored.value(0).toLongLong());
    return last;
}

void PostgresEngine::advanceAutoIncrement(const TableRef& ref, const QString& name, const QString& field, qlonglong last)
{
    if (last <= autoIncrementValue(ref, name, field))
        return;
    select(QStringLiteral("SELECT setval(CAST(? AS regclass), ?)"), {q(schemaOf(ref)) + u'.' + id(name + u'#' + field), last});
}

std::unique_ptr<QueryState> PostgresEngine::prepareQuery(QSqlDatabase& db, const QString& translated,
                                                         const QVariantHash& params, const QString& original)
{
    auto state = std::make_unique<PostgresQueryState>(db);
    state->statement = original;
    QSqlQuery& query = state->query;
    // Not forward-only: the driver would read row by row and lose the rest
    // of the rows when the connection runs another statement meanwhile, as
    // the windows and reports do while they read; the rows of a result are
    // received whole instead.
    query.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    if (!query.prepare(withParameterTypes(translated, params)))
        raise(query.lastError(), original);
    for (auto it = params.cbegin(); it != params.cend(); ++it) {
        const QString name = it.key().startsWith(u':') ? it.key() : u':' + it.key();
        query.bindValue(name, bindable(it.value()));
    }
    if (!query.exec())
        raise(query.lastError(), original);
    // The row number every table carries is SQLite's hidden rowid: a
    // statement sees it only when it names it ("SELECT *" does not).
    static const QRegularExpression namesRowid(QStringLiteral("\\browid\\b"), QRegularExpression::CaseInsensitiveOption);
    const bool hideRowid = !translated.contains(namesRowid);
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i) {
        if (hideRowid && record.fieldName(i) == QLatin1String("rowid"))
            continue;
        state->names << record.fieldName(i);
        state->columns << i;
    }
    return state;
}

// The check of the server's tables. The quick check reads a row of every
// table; the full check reads every row of every table, reads every index
// from end to end and compares its entries with the table's rows, looks for
// rows repeating a unique key, and, where the database has the server's
// amcheck extension, has it verify every B-tree index against its table.
// Stopped between statements when `cancel` becomes true.
IntegrityReport PostgresEngine::integrityCheck(QSqlDatabase& db, IntegrityDepth depth, const std::atomic_bool* cancel)
{
    IntegrityReport report;
    const auto stopped = [cancel] { return cancel && cancel->load(); };
    // A failure to read: damage when the server says its pages are corrupt,
    // otherwise the check could not go on (connection lost, lock held).
    bool damaged = false;
    const auto fail = [&](const DbError& e, const QString& what) {
        report.problems << (what.isEmpty() ? e.message() : what + QStringLiteral(": ") + e.message());
        damaged = damaged || isDamage(e);
        return isDamage(e);
    };
    QStringList tables;
    QString amcheckSchema;
    try {
        tables = storedTableNames();
        if (depth == IntegrityDepth::Full) {
            QSqlQuery ext = select(QStringLiteral("SELECT n.nspname FROM pg_extension e JOIN pg_namespace n ON n.oid = e.extnamespace "
                                                  "WHERE e.extname = 'amcheck'"),
                                   {});
            if (ext.next())
                amcheckSchema = ext.value(0).toString();
        }
    } catch (const DbError& e) {
        fail(e, QString());
        return report;
    }
    // Every row is read from the table and every index from the index: the
    // planner is told so for the time of the check.
    QSqlQuery(db).exec(QStringLiteral("SET jit = off"));
    for (const QString& table : std::as_const(tables)) {
        if (stopped())
            break;
        try {
            const QStringList found = checkTable(table, depth, amcheckSchema, cancel);
            report.problems << found;
            damaged = damaged || !found.isEmpty();
        } catch (const DbError& e) {
            if (!fail(e, QStringLiteral("Tabela %1 nu poate fi citita").arg(table))) {
                report.outcome = IntegrityReport::Outcome::NotChecked;
                break;
            }
        }
        if (report.problems.size() >= 100)
            break;
    }
    for (const char* setting : {"jit", "enable_seqscan", "enable_indexscan", "enable_indexonlyscan", "enable_bitmapscan", "enable_sort"})
        QSqlQuery(db).exec(QStringLiteral("RESET ") + QLatin1String(setting));
    report.problems = report.problems.mid(0, 100);
    if (stopped())
        report.outcome = IntegrityReport::Outcome::Cancelled;
    else if (damaged)
        report.outcome = IntegrityReport::Outcome::Damaged;
    else if (report.problems.isEmpty())
        report.outcome = IntegrityReport::Outcome::Sound;
    return report;
}

QStringList PostgresEngine::checkTable(const QString& table, IntegrityDepth depth, const QString& amcheckSchema,
                                       const std::atomic_bool* cancel)
{
    const QString t = qualified(table);
    if (depth == IntegrityDepth::Quick) {
        select(QStringLiteral("SELECT 1 FROM %1 LIMIT 1").arg(t), {});
        return {};
    }
    const auto number = [this](const QString& sql) {
        QSqlQuery query = select(sql, {});
        return query.next() ? query.value(0).toLongLong() : 0;
    };
    const auto scansOnly = [this](bool tables) {
        const QString on = tables ? QStringLiteral("on") : QStringLiteral("off");
        const QString off = tables ? QStringLiteral("off") : QStringLiteral("on");
        ddl(QStringLiteral("SET enable_seqscan = %1").arg(on));
        ddl(QStringLiteral("SET enable_sort = %1").arg(on));
        for (const char* index : {"enable_indexscan", "enable_indexonlyscan", "enable_bitmapscan"})
            ddl(QStringLiteral("SET %1 = %2").arg(QLatin1String(index), off));
    };
    QStringList problems;
    // Every row, every value (text of any length read back in full).
    scansOnly(true);
    const qlonglong rows = number(QStringLiteral("SELECT count(*), sum(octet_length(CAST(x AS text))) FROM %1 x").arg(t));
    const TableDef def = readStoredDef(TableRef{}, table);
    for (const IndexDef& ix : def.indexes) {
        if (cancel && cancel->load())
            break;
        if (ix.options & IxExpression)
            continue;
        const QString shown = ix.isPrimary() ? QStringLiteral("cheia primara") : QStringLiteral("indexul %1").arg(ix.name);
        if (ix.options & IxUnique) {
            // Compared on the rows themselves: a damaged index lets a repeated key in.
            QStringList key;
            for (const QString& f : ix.fieldList()) {
                const FieldDef* field = def.field(f);
                const bool text = !field || field->type == FieldType::Text || field->type == FieldType::Memo;
                key << id(f) + ((ix.options & IxCaseInsensitive) && text
                                    ? QStringLiteral(" COLLATE %1").arg(qualified(QStringLiteral("nocase")))
                                    : QString());
            }
            scansOnly(true);
            const qlonglong repeated = number(QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM %1 GROUP BY %2 HAVING count(*) > 1) d")
                                                  .arg(t, key.join(QStringLiteral(", "))));
            if (repeated > 0)
                problems << QStringLiteral("Tabela %1: %2 are %3 valori repetate").arg(table, shown).arg(repeated);
        }
        // The index read from end to end holds one entry per row.
        scansOnly(false);
        const qlonglong entries = number(QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM %1 ORDER BY %2) e").arg(t, indexColumns(def, ix)));
        if (entries != rows)
            problems << QStringLiteral("Tabela %1: %2 are %3 intrari, tabela are %4 randuri").arg(table, shown).arg(entries).arg(rows);
    }
    scansOnly(true);
    if (!amcheckSchema.isEmpty()) {
        select(QStringLiteral("SELECT %1.bt_index_check(x.indexrelid, true) FROM pg_index x JOIN pg_class i ON i.oid = x.indexrelid "
                              "JOIN pg_am a ON a.oid = i.relam WHERE x.indrelid = ? AND a.amname = 'btree'")
                   .arg(q(amcheckSchema)),
               {tableOid(m_schema, table)});
    }
    return problems;
}

std::unique_ptr<Engine> makePostgresEngine(Database& db)
{
    return std::make_unique<PostgresEngine>(db);
}

} // namespace datastore
