#include "crosstab.h"

#include "answertables.h"
#include "datastore/tabledef.h"

#include <QLocale>
#include <algorithm>

namespace reports {

namespace {

using datastore::FieldDef;
using datastore::FieldType;

QStringList splitNames(const QString& names)
{
    QStringList list;
    for (const QString& n : names.split(u';', Qt::SkipEmptyParts))
        if (!n.trimmed().isEmpty())
            list << n.trimmed();
    return list;
}

FieldDef resolveField(const datastore::TableDef& def, const QString& name)
{
    const FieldDef* f = def.field(name);
    if (!f)
        throw ECrossTab(QStringLiteral("Absent field in crosstab definition: <%1>").arg(name));
    if (f->type == FieldType::Memo || f->type == FieldType::Boolean)
        throw ECrossTab(QStringLiteral("Inappropriate field in crosstab definition: <%1>").arg(name));
    return *f;
}

QString quotedName(const QString& name)
{
    return u'"' + name + u'"';
}

QString aggregateOf(TCrossTabOperations op, const QString& field)
{
    const QString f = quotedName(field);
    switch (op) {
    case ctSum: return QStringLiteral("SUM(%1)").arg(f);
    case ctCount: return QStringLiteral("COUNT(%1)").arg(f);
    case ctCountDistinct: return QStringLiteral("COUNT(DISTINCT %1)").arg(f);
    case ctAvg: return QStringLiteral("AVG(%1)").arg(f);
    case ctMax: return QStringLiteral("MAX(%1)").arg(f);
    case ctMin: return QStringLiteral("MIN(%1)").arg(f);
    }
    return f;
}

} // namespace

TCrossTab::TCrossTab(datastore::Database& sourceDb, datastore::Database* resultDb)
    : m_source(sourceDb), m_result(resultDb ? *resultDb : sourceDb)
{
}

QString TCrossTab::ColLabel(int i) const
{
    return m_labels.value(i).text;
}

QString TCrossTab::resultField(const QString& valueField, int labelIndex) const
{
    return valueField + FieldSeparator + ColLabel(labelIndex);
}

int TCrossTab::labelIndexOf(const QVariant& value) const
{
    for (qsizetype i = 0; i < m_labels.size(); ++i) {
        const QVariant& l = m_labels.at(i).value;
        if (m_textLabels ? l.toString().compare(value.toString(), Qt::CaseInsensitive) == 0
            : m_dateLabels ? l.toDate() == value.toDate()
                           : l.toDouble() == value.toDouble())
            return int(i);
    }
    return -1;
}

void TCrossTab::addLabel(const QVariant& raw)
{
    QVariant value = raw;
    if (m_dateLabels)
        value = raw.typeId() == QMetaType::QDate ? raw : QVariant(QDate::fromString(raw.toString(), Qt::ISODate));
    else if (!m_textLabels)
        value = raw.toDouble();
    else
        value = raw.toString();
    if (labelIndexOf(value) >= 0)
        return; // duplicates (text: without regard to case) are ignored
    Label label{value, {}};
    if (m_textLabels)
        label.text = value.toString();
    else if (m_dateLabels)
        label.text = value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    else
        label.text = QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    const auto before = [this](const QVariant& a, const QVariant& b) {
        if (m_textLabels)
            return a.toString().compare(b.toString(), Qt::CaseInsensitive) < 0;
        if (m_dateLabels)
            return a.toDate() < b.toDate();
        return a.toDouble() < b.toDouble();
    };
    const auto at = std::find_if(m_labels.begin(), m_labels.end(),
                                 [&](const Label& l) { return before(value, l.value); });
    m_labels.insert(at, label);
}

void TCrossTab::Open()
{
    const datastore::TableDef source = m_source.readTableDef(SourceTable);
    const FieldDef column = resolveField(source, ColLabelField);
    QList<FieldDef> rowFields;
    for (const QString& n : splitNames(RowLabelFields))
        rowFields << resolveField(source, n);
    QList<FieldDef> valueFields;
    for (const QString& n : splitNames(ValueFields)) {
        const FieldDef f = resolveField(source, n);
        if ((f.type == FieldType::Text || f.type == FieldType::Date) && Operation != ctMax && Operation != ctMin)
            throw ECrossTab(QStringLiteral("Invalid operation on field <%1>").arg(n));
        valueFields << f;
    }

    // Column labels: the required ones, then every value of the column field.
    m_labels.clear();
    m_textLabels = column.type == FieldType::Text;
    m_dateLabels = column.type == FieldType::Date;
    for (const QString& l : RequiredColLabels)
        addLabel(l);
    const QString src = quotedName(source.name);
    const QString col = quotedName(column.name);
    {
        datastore::Query values = m_source.query(
            QStringLiteral("SELECT DISTINCT %1 FROM %2 ORDER BY %1").arg(col, src));
        while (values.next()) {
            const QVariant v = values.value(0);
            if (v.isNull())
                continue;
            if (labelIndexOf(v) < 0
                && kMaxColumns - rowFields.size() - m_labels.size() * valueFields.size() < valueFields.size())
                throw ECrossTab(QStringLiteral("Resulting crosstab has more than %1 columns!").arg(kMaxColumns));
            addLabel(v);
        }
    }

    // The result table: the row fields, then one field per value field and label.
    datastore::TableDef result;
    result.name = TableName;
    result.fields = rowFields;
    for (const FieldDef& v : valueFields)
        for (int i = 0; i < ColLabelCount(); ++i) {
            FieldDef f = v;
            f.name = resultField(v.name, i);
            f.required = false;
            if (Operation == ctCount || Operation == ctCountDistinct) {
                f.type = FieldType::Float;
                f.size = 0;
            }
            result.fields << f;
        }
    AnswerTables tables(m_result);
    tables.remove(TableName, true);
    tables.createFromFields(result);

    // One statement aggregates; text labels grouped without regard to case.
    QStringList rowNames;
    for (const FieldDef& f : rowFields)
        rowNames << quotedName(f.name);
    QStringList aggregates;
    for (const FieldDef& v : valueFields)
        aggregates << aggregateOf(Operation, v.name);
    const QString groupColumn = m_textLabels ? col + QStringLiteral(" COLLATE NOCASE") : col;
    const QString keys = (rowNames + QStringList{groupColumn}).join(QStringLiteral(", "));
    datastore::Query rows = m_source.query(QStringLiteral("SELECT %1, %2 FROM %3 WHERE %4 IS NOT NULL GROUP BY %5 ORDER BY %5")
                                               .arg((rowNames + QStringList{col}).join(QStringLiteral(", ")),
                                                    aggregates.join(QStringLiteral(", ")), src, col, keys));
    QStringList columns;
    for (const FieldDef& f : result.fields)
        columns << f.name;
    const int rowCount = int(rowFields.size());
    QList<QVariantList> pending;
    QVariantList current;
    const auto sameRow = [&](const datastore::Query& q) {
        if (current.isEmpty())
            return false;
        for (int i = 0; i < rowCount; ++i)
            if (q.value(i) != current.at(i))
                return false;
        return true;
    };
    const auto flush = [&](bool all) {
        if (all || pending.size() >= 500) {
            tables.insertRows(TableName, columns, pending);
            pending.clear();
        }
    };
    while (rows.next()) {
        if (!sameRow(rows)) {
            if (!current.isEmpty()) {
                pending << current;
                flush(false);
            }
            current = QVariantList(columns.size());
            for (int i = 0; i < rowCount; ++i)
                current[i] = rows.value(i);
        }
        const int label = labelIndexOf(rows.value(rowCount));
        if (label < 0)
            continue;
        for (qsizetype v = 0; v < valueFields.size(); ++v)
            current[rowCount + label + int(v) * ColLabelCount()] = rows.value(rowCount + 1 + int(v));
    }
    if (!current.isEmpty())
        pending << current;
    flush(true);
}

} // namespace reports
