#include "selection.h"

#include "answertables.h"
#include "datastore/tabledef.h"

namespace reports {


QString quotedList(const QStringList& values)
{
    QStringList quoted;
    quoted.reserve(values.size());
    for (const QString& v : values)
        quoted << u'"' + QString(v).replace(u'"', QStringLiteral("\"\"")) + u'"';
    return quoted.join(u',');
}

QStringList parseQuotedList(const QString& list)
{
    QStringList values;
    const qsizetype n = list.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && list.at(i).isSpace())
            ++i;
        if (i >= n)
            break;
        QString value;
        if (list.at(i) == u'"') {
            ++i;
            while (i < n) {
                if (list.at(i) == u'"') {
                    if (i + 1 < n && list.at(i + 1) == u'"') {
                        value += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += list.at(i++);
            }
            while (i < n && list.at(i) != u',')
                ++i;
        } else {
            const qsizetype comma = list.indexOf(u',', i);
            const qsizetype end = comma < 0 ? n : comma;
            value = list.mid(i, end - i).trimmed();
            i = end;
        }
        values << value;
        if (i < n && list.at(i) == u',')
            ++i;
    }
    return values;
}

QList<ArticleKey> ArticleSelection::keys() const
{
    const QStringList g = parseQuotedList(groups);
    const QStringList c = parseQuotedList(codes);
    const QStringList d = parseQuotedList(names);
    QList<ArticleKey> result;
    for (qsizetype i = 0; i < c.size(); ++i)
        result.append({g.value(i), c.at(i), d.value(i)});
    return result;
}

ArticleSelection ArticleSelection::fromKeys(const QList<ArticleKey>& keys)
{
    QStringList g, c, d;
    for (const ArticleKey& k : keys) {
        g << k.group;
        c << k.code;
        d << k.name;
    }
    return {quotedList(g), quotedList(c), quotedList(d)};
}

ReportSelection ReportSelection::initial(const QDate& today)
{
    ReportSelection s;
    s.from = today.addDays(-30);
    s.to = today;
    s.stockDate = today;
    return s;
}

bool SelectionTables::writeWarehouses(const QString& list)
{
    const QStringList codes = parseQuotedList(list);
    if (codes.isEmpty())
        return false;
    using namespace datastore;
    m_db.createTable(TableDef{QString::fromLatin1(kWarehouseTable), {text(QStringLiteral("Cod"), 4)}, {}});
    QList<QVariantList> rows;
    for (const QString& code : codes)
        rows.append({code});
    AnswerTables(m_db).insertRows(QStringLiteral("SELGEST"), {QStringLiteral("Cod")}, rows);
    return true;
}

bool SelectionTables::writeArticles(const ArticleSelection& articles)
{
    const QList<ArticleKey> keys = articles.keys();
    if (keys.isEmpty())
        return false;
    using namespace datastore;
    m_db.createTable(TableDef{QString::fromLatin1(kArticleTable),
                              {text(QStringLiteral("Grupa"), 8), text(QStringLiteral("Cod"), 30)}, {}});
    QList<QVariantList> rows;
    for (const ArticleKey& k : keys)
        rows.append({k.group, k.code});
    AnswerTables(m_db).insertRows(QStringLiteral("SELART"), {QStringLiteral("Grupa"), QStringLiteral("Cod")}, rows);
    return true;
}

bool SelectionTables::writeValues(const QString& table, const QString& list, int size)
{
    const QStringList values = parseQuotedList(list);
    if (values.isEmpty())
        return false;
    using namespace datastore;
    m_db.createTable(TableDef{table, {text(QStringLiteral("Cod"), size)}, {}});
    QList<QVariantList> rows;
    for (const QString& v : values)
        rows.append({v.isEmpty() ? QVariant() : QVariant(v)});
    AnswerTables(m_db).insertRows(table, {QStringLiteral("Cod")}, rows);
    return true;
}

QString SelectionTables::inSelection(const QString& column, const QString& table)
{
    return QStringLiteral("(%1 IN (SELECT Cod FROM %2) OR (%1 IS NULL AND EXISTS (SELECT 1 FROM %2 WHERE Cod IS NULL)))")
        .arg(column, table);
}

} // namespace reports
