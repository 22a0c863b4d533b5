#include "articlemarks.h"

namespace catalogs {

QVariantHash recordOf(const datastore::Dataset& dataset, int row)
{
    QVariantHash record;
    if (row < 0 || row >= dataset.recordCount())
        return record;
    for (int i = 0; i < dataset.fieldCount(); ++i)
        record.insert(dataset.fieldAt(i).name, dataset.value(row, i));
    return record;
}

QVariantHash currentRecordOf(const datastore::Dataset& dataset)
{
    return dataset.isOpen() ? recordOf(dataset, dataset.recNo()) : QVariantHash();
}

QList<QVariantHash> ArticlePick::articles() const
{
    if (selected.size() > 1)
        return selected;
    if (current.isEmpty())
        return {};
    return {current};
}

QString ArticleMarks::keyOf(const QString& group, const QString& code)
{
    return group + QChar(0x1f) + code;
}

QString ArticleMarks::keyOf(const QVariantHash& record)
{
    return keyOf(record.value(QStringLiteral("Grupa")).toString(), record.value(QStringLiteral("Cod")).toString());
}

bool ArticleMarks::isMarked(const QString& group, const QString& code) const
{
    return m_sequenceOf.contains(keyOf(group, code));
}

bool ArticleMarks::isMarked(const QVariantHash& record) const
{
    return m_sequenceOf.contains(keyOf(record));
}

void ArticleMarks::mark(const QVariantHash& record)
{
    const QString key = keyOf(record);
    if (m_sequenceOf.contains(key))
        return;
    m_sequenceOf.insert(key, m_next);
    m_bySequence.emplace(m_next, record);
    ++m_next;
}

void ArticleMarks::unmark(const QVariantHash& record)
{
    const auto it = m_sequenceOf.constFind(keyOf(record));
    if (it == m_sequenceOf.constEnd())
        return;
    m_bySequence.erase(*it);
    m_sequenceOf.erase(it);
}

void ArticleMarks::toggle(const QVariantHash& record)
{
    if (isMarked(record))
        unmark(record);
    else
        mark(record);
}

void ArticleMarks::clear()
{
    m_sequenceOf.clear();
    m_bySequence.clear();
}

QList<QVariantHash> ArticleMarks::records() const
{
    QList<QVariantHash> list;
    list.reserve(count());
    for (const auto& entry : m_bySequence)
        list << entry.second;
    return list;
}

void markAndMoveNext(datastore::Dataset& dataset, ArticleMarks& marks)
{
    if (!dataset.isOpen() || dataset.isEmpty())
        return;
    marks.mark(currentRecordOf(dataset));
    dataset.next();
}

void markAndMovePrior(datastore::Dataset& dataset, ArticleMarks& marks)
{
    if (!dataset.isOpen() || dataset.isEmpty())
        return;
    marks.mark(currentRecordOf(dataset));
    dataset.prior();
}

} // namespace catalogs
