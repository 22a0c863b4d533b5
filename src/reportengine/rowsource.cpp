#include "rowsource.h"

namespace reportengine {

ListSource::ListSource(QStringList columns, QList<QVariantList> rows)
    : m_columns(std::move(columns))
{
    for (QVariantList& r : rows)
        add(std::move(r));
}

ListSource& ListSource::add(QVariantList row)
{
    while (row.size() < m_columns.size())
        row.append(QVariant());
    m_rows.append(std::move(row));
    return *this;
}

bool ListSource::next()
{
    if (m_current < m_rows.size())
        ++m_current;
    return m_current < m_rows.size();
}

QVariant ListSource::value(int column) const
{
    if (m_current < 0 || m_current >= m_rows.size())
        return {};
    return m_rows.at(m_current).value(column);
}

Columns::Columns(QStringList names) : m_names(std::move(names))
{
    for (int i = 0; i < m_names.size(); ++i) {
        const QString key = m_names.at(i).toLower();
        if (!m_index.contains(key)) // the first of two equal names wins
            m_index.insert(key, i);
    }
}

int Columns::indexOf(const QString& name) const
{
    return m_index.value(name.toLower(), -1);
}

Row::Row(std::shared_ptr<const Columns> columns, QVariantList values, const Row* master)
    : m_columns(std::move(columns)), m_values(std::move(values)), m_master(master)
{
}

bool Row::has(const QString& name) const
{
    for (const Row* r = this; r; r = r->m_master)
        if (r->m_columns && r->m_columns->indexOf(name) >= 0)
            return true;
    return false;
}

QVariant Row::value(const QString& name) const
{
    for (const Row* r = this; r; r = r->m_master) {
        if (!r->m_columns)
            continue;
        const int i = r->m_columns->indexOf(name);
        if (i >= 0)
            return r->m_values.value(i);
    }
    throw ReportError(QStringLiteral("Campul \"%1\" nu exista in datele raportului").arg(name));
}

double Row::number(const QString& name) const
{
    return value(name).toDouble();
}

QString Row::text(const QString& name) const
{
    return value(name).toString();
}

QDate Row::date(const QString& name) const
{
    const QVariant v = value(name);
    if (v.metaType().id() == QMetaType::QDateTime)
        return v.toDateTime().date();
    return v.toDate();
}

} // namespace reportengine
