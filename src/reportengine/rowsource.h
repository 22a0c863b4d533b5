#pragma once
// The rows a report prints: an abstract forward-only source (a query result,
// a working table, a list in memory) and the row that bands, calculated
// fields and conditions see. Field names are compared ignoring case.

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <stdexcept>

namespace reportengine {

// A fault in a report definition: a field name that no source, calculated
// field or report value has, a band of the wrong kind. Thrown by layout.
class ReportError : public std::runtime_error {
public:
    explicit ReportError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// Rows read one after the other. next() moves to the first row on its first
// call; value() reads a column of the current row.
class RowSource {
public:
    virtual ~RowSource() = default;
    virtual QStringList columnNames() const = 0;
    virtual bool next() = 0;
    virtual QVariant value(int column) const = 0;
};

// Rows kept in memory: small prints, sub-detail lists and tests.
class ListSource : public RowSource {
public:
    explicit ListSource(QStringList columns, QList<QVariantList> rows = {});
    ListSource& add(QVariantList row); // a short row is padded with empty values
    void rewind() { m_current = -1; }
    qsizetype size() const { return m_rows.size(); }

    QStringList columnNames() const override { return m_columns; }
    bool next() override;
    QVariant value(int column) const override;

private:
    QStringList m_columns;
    QList<QVariantList> m_rows;
    qsizetype m_current = -1;
};

// Column names with a case-insensitive index.
class Columns {
public:
    explicit Columns(QStringList names = {});
    int indexOf(const QString& name) const; // -1 when absent
    const QStringList& names() const { return m_names; }
    int size() const { return int(m_names.size()); }

private:
    QStringList m_names;
    QHash<QString, int> m_index; // lower-case name -> column
};

// One row as the report sees it: the source's values, then the calculated
// fields and the report's own values. A sub-detail row also sees its master
// row's fields (its own fields first).
class Row {
public:
    Row() = default;
    Row(std::shared_ptr<const Columns> columns, QVariantList values, const Row* master = nullptr);

    // The value of a field; throws ReportError for a name the row does not have.
    QVariant value(const QString& name) const;
    bool has(const QString& name) const;
    double number(const QString& name) const; // an empty value is 0
    QString text(const QString& name) const;  // an empty value is ""
    QDate date(const QString& name) const;    // an empty value is a null date
    bool isNull(const QString& name) const { return value(name).isNull(); }

    // No row at all: the context of a report over an empty source.
    bool isEmpty() const { return !m_columns; }
    const Row* master() const { return m_master; }
    const Columns* columns() const { return m_columns.get(); }
    const QVariantList& values() const { return m_values; }
    QVariantList& values() { return m_values; }
    QVariant at(int column) const { return m_values.value(column); }

private:
    std::shared_ptr<const Columns> m_columns;
    QVariantList m_values;
    const Row* m_master = nullptr;
};

} // namespace reportengine
