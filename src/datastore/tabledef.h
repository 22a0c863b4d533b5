#pragma once
// Definitions of a table as the program knows it and as the storage reads it
// back: fields in order (name, type, size, required) and indexes (name, field
// list, options). The first index of a definition, when there is one, is the
// primary key (options Primary | Unique, empty name).

#include <QString>
#include <QStringList>
#include <QList>
#include <cstdint>

namespace datastore {

// Field types. The numbers are the type codes of the stored definitions.
enum class FieldType : int {
    Text = 1,          // character string of at most `size` characters
    SmallInt = 2,      // signed 16-bit integer
    Integer = 3,       // signed 32-bit integer
    Boolean = 5,       // true / false / empty
    Float = 6,         // 64-bit binary floating point
    Date = 9,          // calendar date without time
    AutoIncrement = 14,// 32-bit integer given by the storage on insert
    Memo = 16,         // text of any length; `size` = bytes kept inside the record
};

QString fieldTypeName(FieldType t); // "text", "small integer", ... as used by `describe`

struct FieldDef {
    QString name;
    FieldType type = FieldType::Text;
    int size = 0; // characters for text, in-record bytes for memo, 0 otherwise
    bool required = false;

    bool operator==(const FieldDef&) const = default;
};

// Index options, as a bit set (the values of the stored definitions).
enum IndexOption : std::uint32_t {
    IxPrimary = 1,
    IxUnique = 2,
    IxDescending = 4,
    IxCaseInsensitive = 8,
    IxExpression = 16,
};
using IndexOptions = std::uint32_t;

struct IndexDef {
    QString name;   // empty for the primary key
    QString fields; // field names separated by ';'
    IndexOptions options = 0;

    bool isPrimary() const { return options & IxPrimary; }
    QStringList fieldList() const;
    bool operator==(const IndexDef&) const = default;
};

struct TableDef {
    QString name; // file name with extension, exactly as the catalog writes it ("Doc_Com.Db")
    QList<FieldDef> fields;
    QList<IndexDef> indexes; // primary key first, when there is one

    const FieldDef* field(const QString& name) const; // case-insensitive lookup
    const IndexDef* primaryKey() const;                // nullptr when the table has none
};

// Convenience builders used by the compiled table catalog.
inline FieldDef text(const QString& n, int size) { return {n, FieldType::Text, size, false}; }
inline FieldDef memo(const QString& n, int size) { return {n, FieldType::Memo, size, false}; }
inline FieldDef smallInt(const QString& n) { return {n, FieldType::SmallInt, 0, false}; }
inline FieldDef integer(const QString& n) { return {n, FieldType::Integer, 0, false}; }
inline FieldDef boolean(const QString& n) { return {n, FieldType::Boolean, 0, false}; }
inline FieldDef floating(const QString& n) { return {n, FieldType::Float, 0, false}; }
inline FieldDef date(const QString& n) { return {n, FieldType::Date, 0, false}; }
inline FieldDef autoInc(const QString& n) { return {n, FieldType::AutoIncrement, 0, false}; }

// The primary key on the given fields ("A;B").
inline IndexDef primaryKey(const QString& fields) { return {QString(), fields, IxPrimary | IxUnique}; }
// A secondary index; case-insensitive unless told otherwise.
inline IndexDef secondary(const QString& name, const QString& fields, bool caseInsensitive = true)
{
    return {name, fields, caseInsensitive ? IndexOptions(IxCaseInsensitive) : IndexOptions(0)};
}

} // namespace datastore
