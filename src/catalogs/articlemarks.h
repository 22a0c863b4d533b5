#pragma once
// The articles marked in a list (the picker's multi-row selection, the
// search result), in the order they were marked. An article is known by its
// group and code; the record is kept as it was when it was marked, with every
// field of the list under its field name ("Grupa", "Cod", "Unitate_masura").

#include "datastore/dataset.h"

#include <QHash>
#include <QList>
#include <QVariantHash>
#include <map>

namespace catalogs {

// Every field of a row of a dataset, by field name.
QVariantHash recordOf(const datastore::Dataset& dataset, int row);
// The same of the current record; empty when there is none.
QVariantHash currentRecordOf(const datastore::Dataset& dataset);

// What a picker returns: the current article and the marked ones.
struct ArticlePick {
    QVariantHash current;         // the article under the cursor
    QList<QVariantHash> selected; // the marked articles, in the order they were marked

    // The articles a caller inserts, one document line each: the marked ones
    // when more than one is marked, otherwise the current one.
    QList<QVariantHash> articles() const;
};

class ArticleMarks {
public:
    bool isMarked(const QString& group, const QString& code) const;
    bool isMarked(const QVariantHash& record) const;
    void mark(const QVariantHash& record); // no change when it is marked already
    void unmark(const QVariantHash& record);
    void toggle(const QVariantHash& record);
    void clear();
    int count() const { return static_cast<int>(m_bySequence.size()); }
    bool isEmpty() const { return m_bySequence.empty(); }
    QList<QVariantHash> records() const; // in marking order

private:
    static QString keyOf(const QString& group, const QString& code);
    static QString keyOf(const QVariantHash& record);
    QHash<QString, qint64> m_sequenceOf;
    std::map<qint64, QVariantHash> m_bySequence;
    qint64 m_next = 0;
};

// Space in a list with marks: marks the current row and moves to the next
// (the last row stays current). Nothing happens in an empty list.
void markAndMoveNext(datastore::Dataset& dataset, ArticleMarks& marks);
// The same moving up (Shift+Up).
void markAndMovePrior(datastore::Dataset& dataset, ArticleMarks& marks);

} // namespace catalogs
