// Definitions of a table: field type names, index field lists and lookups.

#include "tabledef.h"

namespace datastore {

QString fieldTypeName(FieldType t)
{
    switch (t) {
    case FieldType::Text: return QStringLiteral("text");
    case FieldType::SmallInt: return QStringLiteral("small integer");
    case FieldType::Integer: return QStringLiteral("integer");
    case FieldType::Boolean: return QStringLiteral("boolean");
    case FieldType::Float: return QStringLiteral("float");
    case FieldType::Date: return QStringLiteral("date");
    case FieldType::AutoIncrement: return QStringLiteral("autoincrement");
    case FieldType::Memo: return QStringLiteral("memo");
    }
    return QStringLiteral("unknown");
}

QStringList IndexDef::fieldList() const
{
    QStringList result;
    const QStringList parts = fields.split(QLatin1Char(';'));
    for (const QString& part : parts) {
        const QString trimmed = part.trimmed();
        if (!trimmed.isEmpty())
            result.append(trimmed);
    }
    return result;
}

const FieldDef* TableDef::field(const QString& fieldName) const
{
    for (const FieldDef& f : fields) {
        if (f.name.compare(fieldName, Qt::CaseInsensitive) == 0)
            return &f;
    }
    return nullptr;
}

const IndexDef* TableDef::primaryKey() const
{
    for (const IndexDef& ix : indexes) {
        if (ix.isPrimary())
            return &ix;
    }
    return nullptr;
}

} // namespace datastore
