#include "answertables.h"

#include "datastore/dberror.h"

#include <algorithm>
#include <cmath>

namespace reports {

namespace {

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// The position of `name` as a whole name in `line` from `from`, or -1.
qsizetype findWholeName(const QString& line, const QString& name, qsizetype from = 0)
{
    for (qsizetype at = line.indexOf(name, from, Qt::CaseInsensitive); at >= 0;
         at = line.indexOf(name, at + 1, Qt::CaseInsensitive)) {
        const qsizetype end = at + name.size();
        if ((at == 0 || !isNameChar(line.at(at - 1))) && (end >= line.size() || !isNameChar(line.at(end))))
            return at;
    }
    return -1;
}

} // namespace

bool QualifyAnswerTable(QStringList& lines, const QString& table, const QString& privateDir)
{
    if (table.isEmpty())
        return false;
    for (QString& line : lines) {
        const qsizetype at = findWholeName(line, table);
        if (at < 0)
            continue;
        if (at > 0 && (line.at(at - 1) == u'\\' || line.at(at - 1) == u'/'))
            return false;
        QString dir = privateDir;
        if (!dir.endsWith(u'/') && !dir.endsWith(u'\\'))
            dir += u'/';
        line.replace(at, table.size(), u'\'' + dir + table.toUpper() + u'\'');
        return true;
    }
    return false;
}

bool QualifyAnswerTable(QString& sql, const QString& table, const QString& privateDir)
{
    QStringList lines = sql.split(u'\n');
    const bool done = QualifyAnswerTable(lines, table, privateDir);
    sql = lines.join(u'\n');
    return done;
}

void AnswerTables::createFromFields(const datastore::TableDef& def)
{
    m_db.createTable(def);
}

void AnswerTables::createBySql(const QString& createStatement)
{
    const datastore::SqlDialect::CreateTableStmt stmt =
        datastore::SqlDialect(m_db.alias(), m_db.directory(), {}).parseCreateTable(createStatement);
    remove(stmt.table.name, true);
    m_db.exec(createStatement);
}

int AnswerTables::copyQuery(const datastore::TableDef& def, const QString& select, const QVariantHash& params)
{
    m_db.createTable(def);
    QStringList columns;
    for (const datastore::FieldDef& f : def.fields)
        columns << u'"' + f.name + u'"';
    return m_db.exec(QStringLiteral("INSERT INTO \"%1\" (%2) %3").arg(def.name, columns.join(QStringLiteral(", ")), select),
                     params);
}

void AnswerTables::insertRows(const QString& table, const QStringList& columns, const QList<QVariantList>& rows)
{
    if (rows.isEmpty() || columns.isEmpty())
        return;
    QStringList quotedColumns;
    for (const QString& c : columns)
        quotedColumns << u'"' + c + u'"';
    // At most about 30 000 bound values per statement.
    const qsizetype chunk = std::max<qsizetype>(1, std::min<qsizetype>(500, 30000 / columns.size()));
    for (qsizetype first = 0; first < rows.size(); first += chunk) {
        QStringList tuples;
        QVariantHash params;
        for (qsizetype r = first; r < std::min(rows.size(), first + chunk); ++r) {
            QStringList names;
            for (qsizetype c = 0; c < columns.size(); ++c) {
                const QString name = QStringLiteral("v%1_%2").arg(r - first).arg(c);
                names << u':' + name;
                params.insert(name, rows.at(r).value(c));
            }
            tuples << u'(' + names.join(QStringLiteral(", ")) + u')';
        }
        m_db.exec(QStringLiteral("INSERT INTO \"%1\" (%2) VALUES %3")
                      .arg(table, quotedColumns.join(QStringLiteral(", ")), tuples.join(QStringLiteral(", "))),
                  params);
    }
}

void AnswerTables::remove(const QString& table, bool ignoreErrors)
{
    try {
        if (m_db.tableExists(table))
            m_db.dropTable(table);
    } catch (const datastore::DbError&) {
        if (!ignoreErrors)
            throw;
    }
}

QueryRows::QueryRows(datastore::Query query) : m_query(std::move(query)), m_columns(m_query.columnNames()) {}

bool QueryRows::next()
{
    return m_query.next();
}

QVariant QueryRows::value(int column) const
{
    return m_query.value(column);
}

double divideOrZero(double a, double b)
{
    if (b == 0 || !std::isfinite(b))
        return 0;
    const double q = a / b;
    return std::isfinite(q) ? q : 0;
}

} // namespace reports
