#include "dataset.h"

#include "common/numberlimits.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <optional>

namespace datastore {

QString duplicateKeyMessage()
{
    return QStringLiteral("Atentie! Inregistrare duplicata! Stergeti înregistrarea curenta sau modificati "
                          "cîmpurile care îi confera unicitate!");
}

QString busyMessage()
{
    return QStringLiteral("Atentie! Baza de date este folosita in acest moment de un alt utilizator. "
                          "Operatia nu a fost efectuata; reluati-o peste cateva momente.");
}

QString StaleRecord::staleRecordMessage()
{
    return QStringLiteral("Inregistrarea a fost modificata sau stearsa de alt utilizator. Datele au fost reincarcate.");
}

QString invalidNumberMessage(const QString& text)
{
    return QStringLiteral("Valoare numerica incorecta: %1").arg(text);
}

QString invalidDocumentNumberMessage(const QString& text)
{
    return QStringLiteral("Numar incorect: %1. Numarul unui document este un numar intreg, fara semn.").arg(text);
}

namespace {

// Document numbers and counters, by the names the table catalog gives them.
bool isDocumentNumberName(const QString& name)
{
    return name.compare(QLatin1String("Numar"), Qt::CaseInsensitive) == 0
        || name.compare(QLatin1String("Number"), Qt::CaseInsensitive) == 0
        || name.startsWith(QLatin1String("Contor"), Qt::CaseInsensitive)
        || name.startsWith(QLatin1String("NewCounter"), Qt::CaseInsensitive);
}

bool isNumberType(FieldType type)
{
    return type == FieldType::Float || type == FieldType::SmallInt || type == FieldType::Integer
        || type == FieldType::AutoIncrement;
}

} // namespace

QVariant valueFromText(const DatasetField& field, const QString& text, const common::Formats& formats)
{
    if (field.type == FieldType::Text || field.type == FieldType::Memo)
        return text;
    const QString t = text.trimmed();
    if (t.isEmpty())
        return QVariant();
    if (isNumberType(field.type)) {
        // Every character counts: "OD-4512" is no number, not -4512.
        const std::optional<double> v = common::parseFloat(t, formats);
        if (!v)
            throw DatasetError(invalidNumberMessage(t));
        if (field.documentNumber && (*v < 0 || *v != std::floor(*v)))
            throw DatasetError(invalidDocumentNumberMessage(t));
        if (field.type == FieldType::Float)
            return *v;
        if (*v != std::floor(*v) || std::abs(*v) >= 2147483648.0)
            throw DatasetError(QStringLiteral("'%1' nu este un numar intreg valid").arg(t));
        return static_cast<int>(*v);
    }
    if (field.type == FieldType::Date) {
        const std::optional<QDate> d = common::parseDate(t, formats);
        if (!d)
            throw DatasetError(QStringLiteral("'%1' nu este o data valida").arg(t));
        return *d;
    }
    return t; // a logical value: Da/Nu, read by the field
}

QString errorText(const std::exception& error)
{
    if (const auto* db = dynamic_cast<const DbError*>(&error))
        return db->kind() == DbErrorKind::Busy ? busyMessage() : db->message();
    if (const auto* ds = dynamic_cast<const DatasetError*>(&error))
        return ds->message();
    return QString::fromUtf8(error.what());
}

namespace {

// A field name as SQL needs it: bare when it is a plain identifier, quoted otherwise ("Cod fiscal").
QString quoted(const QString& name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (plain.match(name).hasMatch())
        return name;
    QString n = name;
    n.replace(u'"', QStringLiteral("\"\""));
    return u'"' + n + u'"';
}

bool sameValue(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    return a == b;
}

QString keyText(const QVariant& v)
{
    if (v.isNull())
        return QString();
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(Qt::ISODate);
    return v.toString();
}

FieldType typeOfValue(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong: return FieldType::Integer;
    case QMetaType::Double: return FieldType::Float;
    case QMetaType::QDate: return FieldType::Date;
    case QMetaType::Bool: return FieldType::Boolean;
    default: return FieldType::Text;
    }
}

} // namespace

Dataset::Dataset(Database& db, QString table) : Dataset(db, std::move(table), {}, false) {}

Dataset::Dataset(Database& db, QString select, QVariantHash params, bool isQuery)
    : m_db(db), m_table(std::move(select)), m_isQuery(isQuery), m_readOnly(isQuery),
      m_filterParams(std::move(params))
{
}

std::unique_ptr<Dataset> Dataset::fromQuery(Database& db, QString select, QVariantHash params)
{
    return std::unique_ptr<Dataset>(new Dataset(db, std::move(select), std::move(params), true));
}

void Dataset::setQuery(const QString& select, const QVariantHash& params)
{
    if (!m_isQuery)
        throw DatasetError(QStringLiteral("%1 nu este o interogare").arg(m_table));
    if (isOpen() && select != m_table)
        close();
    m_table = select;
    m_filterParams = params;
}

Dataset::~Dataset()
{
    if (m_master) {
        auto& d = m_master->m_details;
        d.erase(std::remove(d.begin(), d.end(), this), d.end());
    }
    for (Dataset* detail : m_details)
        detail->m_master = nullptr;
}

// --- definition ----------------------------------------------------------------

void Dataset::setFilter(const QString& where, const QVariantHash& params)
{
    m_filter = where;
    m_filterParams = params;
}

void Dataset::setOrderBy(const QString& orderBy) { m_orderBy = orderBy; }

void Dataset::setMaster(Dataset* master, const QList<QPair<QString, QString>>& links)
{
    if (m_master) {
        auto& d = m_master->m_details;
        d.erase(std::remove(d.begin(), d.end(), this), d.end());
    }
    m_master = master;
    m_links = links;
    if (m_master)
        m_master->m_details.push_back(this);
}

DatasetField& Dataset::addCalculatedField(const QString& name, FieldType type, int size)
{
    DatasetField& f = field(name);
    f.kind = FieldKind::Calculated;
    f.type = type;
    f.size = size;
    return f;
}

DatasetField& Dataset::addLookupField(const QString& name, const QString& keyField, const QString& lookupTable,
                                      const QString& lookupKey, const QString& resultField, FieldType type)
{
    DatasetField& f = field(name);
    f.kind = FieldKind::Lookup;
    f.type = type;
    f.keyField = keyField;
    f.lookupTable = lookupTable;
    f.lookupKey = lookupKey;
    f.resultField = resultField;
    f.readOnly = true;
    return f;
}

int Dataset::fieldIndex(const QString& name) const
{
    for (size_t i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

DatasetField& Dataset::field(const QString& name)
{
    const int i = fieldIndex(name);
    if (i >= 0)
        return m_fields[static_cast<size_t>(i)];
    if (isOpen())
        throw DatasetError(QStringLiteral("Cimpul %1 nu exista in %2").arg(name, m_table));
    // Before open the definition is not read yet: the field is noted and
    // checked against the definition when the dataset opens.
    DatasetField f;
    f.name = name;
    m_fields.push_back(f);
    return m_fields.back();
}

const DatasetField& Dataset::field(const QString& name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw DatasetError(QStringLiteral("Cimpul %1 nu exista in %2").arg(name, m_table));
    return m_fields[static_cast<size_t>(i)];
}

void Dataset::loadTableFields()
{
    const TableDef def = m_db.readTableDef(m_table);
    std::vector<DatasetField> fields;
    std::vector<DatasetField> noted = std::move(m_fields);
    auto takeNoted = [&](const QString& name) -> std::optional<DatasetField> {
        for (auto it = noted.begin(); it != noted.end(); ++it)
            if (it->name.compare(name, Qt::CaseInsensitive) == 0) {
                DatasetField f = std::move(*it);
                noted.erase(it);
                return f;
            }
        return std::nullopt;
    };
    for (const FieldDef& fd : def.fields) {
        DatasetField f = takeNoted(fd.name).value_or(DatasetField{});
        f.name = fd.name;
        f.type = fd.type;
        f.size = fd.size;
        f.kind = FieldKind::Data;
        f.documentNumber = fd.type == FieldType::Float && isDocumentNumberName(fd.name);
        fields.push_back(std::move(f));
    }
    m_dataFieldCount = static_cast<int>(fields.size());
    for (DatasetField& f : noted) {
        if (f.kind == FieldKind::Data) {
            const QString name = f.name;
            for (DatasetField& n : noted)
                fields.push_back(std::move(n));
            m_fields = std::move(fields);
            m_dataFieldCount = 0;
            throw DatasetError(QStringLiteral("Cimpul %1 nu exista in %2").arg(name, m_table));
        }
        fields.push_back(std::move(f));
    }
    m_fields = std::move(fields);
}

// --- life ----------------------------------------------------------------------

QString Dataset::selectStatement(bool rowidOnly) const
{
    if (m_isQuery)
        return m_table;
    QStringList columns{QStringLiteral("rowid")};
    for (int i = 0; i < m_dataFieldCount && !rowidOnly; ++i)
        columns << quoted(m_fields[static_cast<size_t>(i)].name);
    QString sql = QStringLiteral("SELECT %1 FROM \"%2\"").arg(columns.join(QStringLiteral(", ")), m_table);
    QStringList where;
    if (!m_filter.isEmpty())
        where << u'(' + m_filter + u')';
    for (int i = 0; i < m_links.size(); ++i)
        where << QStringLiteral("%1 = :__m%2").arg(quoted(m_links[i].first)).arg(i);
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    if (!m_orderBy.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + m_orderBy;
    return sql;
}

QVariantList Dataset::masterValues() const
{
    QVariantList values;
    if (!m_master || !m_master->isOpen() || m_master->recNo() < 0)
        return values;
    for (const auto& link : m_links)
        values << m_master->value(link.second);
    return values;
}

QVariantHash Dataset::selectParams() const
{
    QVariantHash params = m_filterParams;
    const QVariantList mv = masterValues();
    for (int i = 0; i < m_links.size(); ++i)
        params.insert(QStringLiteral("__m%1").arg(i), i < mv.size() ? mv[i] : QVariant());
    return params;
}

void Dataset::load()
{
    m_rows.clear();
    m_lookupCache.clear();
    m_loadedMasterValues = masterValues();
    // A detail of a master without a current record (or with an empty link) has no rows.
    if (m_master) {
        if (m_loadedMasterValues.size() != m_links.size())
            return;
        for (const QVariant& v : m_loadedMasterValues)
            if (v.isNull())
                return;
    }
    Query q = m_db.query(selectStatement(), selectParams());
    if (m_isQuery && m_dataFieldCount == 0) {
        std::vector<DatasetField> noted = std::move(m_fields);
        m_fields.clear();
        for (const QString& name : q.columnNames()) {
            DatasetField f;
            f.name = name;
            for (auto it = noted.begin(); it != noted.end(); ++it)
                if (it->name.compare(name, Qt::CaseInsensitive) == 0) {
                    f = std::move(*it);
                    noted.erase(it);
                    break;
                }
            f.kind = FieldKind::Data;
            m_fields.push_back(std::move(f));
        }
        m_dataFieldCount = static_cast<int>(m_fields.size());
        for (DatasetField& f : noted)
            m_fields.push_back(std::move(f));
    }
    const int offset = m_isQuery ? 0 : 1;
    std::vector<bool> typed(static_cast<size_t>(m_dataFieldCount), !m_isQuery);
    while (q.next()) {
        Row row;
        row.rowid = m_isQuery ? 0 : q.value(0).toLongLong();
        row.values.reserve(static_cast<qsizetype>(m_fields.size()));
        for (int i = 0; i < m_dataFieldCount; ++i) {
            QVariant v = q.value(i + offset);
            if (!typed[static_cast<size_t>(i)] && !v.isNull()) {
                m_fields[static_cast<size_t>(i)].type = typeOfValue(v);
                typed[static_cast<size_t>(i)] = true;
            }
            row.values << v;
        }
        for (size_t i = static_cast<size_t>(m_dataFieldCount); i < m_fields.size(); ++i)
            row.values << QVariant();
        m_rows.push_back(std::move(row));
    }
    if (onCalcFields)
        for (Row& row : m_rows)
            calcRow(row);
}

void Dataset::open()
{
    if (isOpen())
        return;
    if (!m_isQuery)
        loadTableFields();
    emit aboutToReset();
    try {
        load();
    } catch (...) {
        m_rows.clear();
        emit reset();
        throw;
    }
    resolveLookupKeys();
    m_modified = false;
    m_current = m_rows.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.empty();
    setState(DatasetState::Browse);
    emit reset();
    emit currentChanged(m_current);
    if (afterOpen)
        afterOpen();
    if (afterScroll)
        afterScroll();
    for (Dataset* d : m_details)
        d->masterChanged();
}

void Dataset::close()
{
    if (!isOpen())
        return;
    if (beforeClose)
        beforeClose();
    emit aboutToReset();
    m_rows.clear();
    m_current = -1;
    m_modified = false;
    m_lookupCache.clear();
    if (m_isQuery) {
        // a query's fields come from its columns: read them again next time
        std::vector<DatasetField> keep;
        for (size_t i = static_cast<size_t>(m_dataFieldCount); i < m_fields.size(); ++i)
            keep.push_back(m_fields[i]);
        m_fields = std::move(keep);
        m_dataFieldCount = 0;
    }
    setState(DatasetState::Inactive);
    emit reset();
    for (Dataset* d : m_details)
        d->close();
}

bool Dataset::detailEditing() const
{
    for (const Dataset* d : m_details)
        if (d->isOpen() && (d->isEditing() || d->detailEditing()))
            return true;
    return false;
}

void Dataset::settle()
{
    if (isOpen())
        checkBrowseMode();
}

bool Dataset::refresh()
{
    // A detail being edited would be written by its master moving: both wait.
    if (m_state != DatasetState::Browse || detailEditing())
        return false;
    const qint64 rowid = m_current >= 0 ? m_rows[static_cast<size_t>(m_current)].rowid : 0;
    const int oldIndex = m_current;
    emit aboutToReset();
    try {
        load();
    } catch (...) {
        m_current = m_rows.empty() ? -1 : 0;
        emit reset();
        throw;
    }
    int index = -1;
    if (rowid != 0)
        for (size_t i = 0; i < m_rows.size(); ++i)
            if (m_rows[i].rowid == rowid) {
                index = static_cast<int>(i);
                break;
            }
    if (index < 0 && !m_rows.empty())
        index = std::clamp(oldIndex, 0, recordCount() - 1);
    m_current = index;
    m_bof = m_current <= 0;
    m_eof = m_rows.empty();
    emit reset();
    emit currentChanged(m_current);
    for (Dataset* d : m_details)
        d->masterChanged();
    return true;
}

void Dataset::masterChanged()
{
    if (!isOpen())
        return;
    if (masterValues() == m_loadedMasterValues && m_state == DatasetState::Browse)
        return;
    checkBrowseMode();
    if (masterValues() == m_loadedMasterValues)
        return;
    emit aboutToReset();
    try {
        load();
    } catch (...) {
        m_current = -1;
        emit reset();
        throw;
    }
    m_current = m_rows.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.empty();
    emit reset();
    emit currentChanged(m_current);
    if (afterScroll)
        afterScroll();
    for (Dataset* d : m_details)
        d->masterChanged();
}

// --- navigation --------------------------------------------------------------------

void Dataset::requireOpen() const
{
    if (!isOpen())
        throw DatasetError(QStringLiteral("Operatie imposibila pe un set de date inchis: %1").arg(m_table));
}

void Dataset::checkBrowseMode()
{
    requireOpen();
    if (m_state == DatasetState::Insert && !m_modified)
        cancel(); // a new row left untouched is dropped, not written
    else if (isEditing())
        post();
}

void Dataset::setCurrent(int row)
{
    if (row == m_current)
        return;
    if (beforeScroll)
        beforeScroll();
    m_current = row;
    emit currentChanged(m_current);
    if (afterScroll)
        afterScroll();
    for (Dataset* d : m_details)
        d->masterChanged();
}

void Dataset::first()
{
    checkBrowseMode();
    setCurrent(m_rows.empty() ? -1 : 0);
    m_bof = true;
    m_eof = m_rows.empty();
}

void Dataset::last()
{
    checkBrowseMode();
    setCurrent(recordCount() - 1);
    m_eof = true;
    m_bof = m_rows.empty();
}

void Dataset::next()
{
    checkBrowseMode();
    if (m_current + 1 >= recordCount()) {
        m_eof = true;
        return;
    }
    setCurrent(m_current + 1);
    m_bof = false;
    m_eof = false;
}

void Dataset::prior()
{
    checkBrowseMode();
    if (m_current <= 0) {
        m_bof = true;
        return;
    }
    setCurrent(m_current - 1);
    m_bof = false;
    m_eof = false;
}

void Dataset::moveTo(int row)
{
    requireOpen();
    if (row == m_current)
        return;
    const bool writing = isEditing() && !(m_state == DatasetState::Insert && !m_modified);
    const int from = m_current;
    checkBrowseMode();
    if (m_rows.empty())
        return;
    // The record just written went to its place in the order: it stays current.
    if (writing && m_current != from)
        return;
    setCurrent(std::clamp(row, 0, recordCount() - 1));
    m_bof = false;
    m_eof = false;
}

bool Dataset::locate(const QStringList& fields, const QVariantList& values)
{
    requireOpen();
    std::vector<int> idx;
    for (const QString& f : fields) {
        const int i = fieldIndex(f);
        if (i < 0)
            throw DatasetError(QStringLiteral("Cimpul %1 nu exista in %2").arg(f, m_table));
        idx.push_back(i);
    }
    for (int r = 0; r < recordCount(); ++r) {
        bool match = true;
        for (size_t k = 0; k < idx.size() && match; ++k) {
            const QVariant want = k < static_cast<size_t>(values.size()) ? coerce(m_fields[static_cast<size_t>(idx[k])], values[static_cast<qsizetype>(k)]) : QVariant();
            match = sameValue(value(r, idx[k]), want);
        }
        if (match) {
            if (isEditing()) {
                checkBrowseMode();
                return locate(fields, values); // the written row may have moved
            }
            setCurrent(r);
            m_bof = m_eof = false;
            return true;
        }
    }
    return false;
}

// --- values ----------------------------------------------------------------------

QVariant Dataset::value(const QString& name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw DatasetError(QStringLiteral("Cimpul %1 nu exista in %2").arg(name, m_table));
    if (m_calcTarget)
        return m_calcTarget->values.value(i);
    if (m_current < 0)
        return QVariant();
    return value(m_current, i);
}

QVariant Dataset::value(int row, const QString& name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw DatasetError(QStringLiteral("Cimpul %1 nu exista in %2").arg(name, m_table));
    return value(row, i);
}

QVariant Dataset::value(int row, int index) const
{
    if (row < 0 || row >= recordCount() || index < 0 || index >= fieldCount())
        return QVariant();
    const DatasetField& f = m_fields[static_cast<size_t>(index)];
    const Row& r = m_rows[static_cast<size_t>(row)];
    if (f.kind == FieldKind::Lookup)
        return f.keyIndex < 0 ? QVariant() : lookup(index, r.values.value(f.keyIndex));
    return r.values.value(index);
}

void Dataset::resolveLookupKeys()
{
    for (DatasetField& f : m_fields)
        if (f.kind == FieldKind::Lookup)
            f.keyIndex = fieldIndex(f.keyField);
}

QVariant Dataset::lookup(int index, const QVariant& key) const
{
    if (key.isNull())
        return QVariant();
    const DatasetField& f = m_fields[static_cast<size_t>(index)];
    auto& cache = m_lookupCache[index];
    const QString k = keyText(key);
    auto it = cache.constFind(k);
    if (it != cache.constEnd())
        return *it;
    const QVariant v = m_db.scalar(QStringLiteral("SELECT %1 FROM \"%2\" WHERE %3 = :k")
                                       .arg(quoted(f.resultField), f.lookupTable, quoted(f.lookupKey)),
                                   {{QStringLiteral("k"), key}});
    const QVariant result = v.isValid() && !(v.typeId() == QMetaType::QString && v.toString().isEmpty()) ? v : QVariant();
    cache.insert(k, result);
    return result;
}

QVariant Dataset::oldValue(const QString& name) const
{
    const int i = fieldIndex(name);
    if (i < 0)
        throw DatasetError(QStringLiteral("Cimpul %1 nu exista in %2").arg(name, m_table));
    if (m_state == DatasetState::Edit)
        return m_saved.values.value(i);
    if (m_state == DatasetState::Insert)
        return QVariant();
    return value(name);
}

QVariant Dataset::coerce(const DatasetField& f, const QVariant& v) const
{
    if (!v.isValid() || v.isNull())
        return QVariant();
    if (v.typeId() == QMetaType::QString && v.toString().isEmpty())
        return QVariant();
    const QString text = v.toString().trimmed();
    switch (f.type) {
    case FieldType::Text: {
        QString s = v.toString();
        if (f.size > 0 && s.size() > f.size)
            s.truncate(f.size);
        return s;
    }
    case FieldType::Memo: return v.toString();
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::AutoIncrement: {
        bool ok = false;
        int n = 0;
        if (v.typeId() == QMetaType::QString) {
            if (text.isEmpty())
                return QVariant();
            n = text.toInt(&ok);
            if (!ok) {
                const std::optional<double> d = common::parseFloat(text, common::Formats());
                if (!d)
                    throw DatasetError(invalidNumberMessage(text));
                return coerce(f, *d);
            }
        } else if (v.typeId() == QMetaType::Double) {
            const double d = v.toDouble();
            ok = d == std::floor(d) && std::abs(d) < 2147483648.0;
            n = static_cast<int>(d);
        } else {
            n = v.toInt(&ok);
        }
        if (!ok || (f.type == FieldType::SmallInt && (n < -32768 || n > 32767)))
            throw DatasetError(QStringLiteral("'%1' nu este un numar intreg valid").arg(v.toString()));
        return n;
    }
    case FieldType::Float: {
        if (v.typeId() == QMetaType::QString) {
            // A text: the number it is in the program's own form ("1234.5")
            // or in the regional one; anything else is refused.
            if (text.isEmpty())
                return QVariant();
            bool ok = false;
            const double d = text.toDouble(&ok);
            if (ok)
                return d;
            const std::optional<double> regional = common::parseFloat(text, common::Formats());
            if (!regional)
                throw DatasetError(invalidNumberMessage(text));
            return *regional;
        }
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (!ok)
            throw DatasetError(invalidNumberMessage(v.toString()));
        return d;
    }
    case FieldType::Date: {
        if (v.typeId() == QMetaType::QDate)
            return v.toDate().isValid() ? v : QVariant();
        if (v.typeId() == QMetaType::QDateTime)
            return v.toDateTime().date();
        QDate d = QDate::fromString(text, Qt::ISODate);
        if (!d.isValid())
            d = QDate::fromString(text, QStringLiteral("d.M.yyyy"));
        if (!d.isValid())
            throw DatasetError(QStringLiteral("'%1' nu este o data valida").arg(text));
        return d;
    }
    case FieldType::Boolean: {
        if (v.typeId() == QMetaType::Bool)
            return v;
        const QString t = text.toLower();
        if (t == u"da" || t == u"1" || t == u"true" || t == u"adevarat")
            return true;
        if (t == u"nu" || t == u"0" || t == u"false" || t == u"fals")
            return false;
        throw DatasetError(QStringLiteral("'%1' nu este o valoare logica valida (Da/Nu)").arg(text));
    }
    }
    return v;
}

void Dataset::requireEditing(const char* action) const
{
    requireOpen();
    if (!isEditing())
        throw DatasetError(QStringLiteral("%1: inregistrarea nu este in editare (%2)")
                               .arg(QString::fromLatin1(action), m_table));
}

void Dataset::setValue(const QString& name, const QVariant& newValue)
{
    requireEditing("Modificare");
    const int i = fieldIndex(name);
    if (i < 0)
        throw DatasetError(QStringLiteral("Cimpul %1 nu exista in %2").arg(name, m_table));
    DatasetField& f = m_fields[static_cast<size_t>(i)];
    if (f.kind != FieldKind::Data)
        throw DatasetError(QStringLiteral("Cimpul %1 nu poate fi modificat").arg(f.name));
    const QVariant v = coerce(f, newValue);
    if (f.type == FieldType::Float && !v.isNull()) {
        const double d = v.toDouble();
        // A document number given as text is one typed: whole, without a sign.
        if (f.documentNumber && newValue.typeId() == QMetaType::QString && (d < 0 || d != std::floor(d)))
            throw DatasetError(invalidDocumentNumberMessage(newValue.toString().trimmed()));
        if (!std::isfinite(d))
            throw DatasetError(invalidNumberMessage(newValue.toString()));
        if (!common::isAcceptableNumber(d))
            throw DatasetError(QStringLiteral("Numarul %1 este prea mare! Valoarea admisa este sub 100.000.000.000.000.")
                                   .arg(newValue.toString()));
    }
    Row& row = m_rows[static_cast<size_t>(m_current)];
    const QVariant old = row.values[i];
    const bool wasModified = m_modified;
    row.values[i] = v;
    m_modified = true;
    if (f.onValidate) {
        try {
            f.onValidate();
        } catch (...) {
            row.values[i] = old;
            m_modified = wasModified;
            emit rowChanged(m_current);
            throw;
        }
    }
    calcRow(row);
    emit rowChanged(m_current);
    if (f.onChange)
        f.onChange();
}

void Dataset::setCalculated(const QString& name, const QVariant& v)
{
    const int i = fieldIndex(name);
    if (i < 0 || m_fields[static_cast<size_t>(i)].kind != FieldKind::Calculated)
        throw DatasetError(QStringLiteral("Cimpul %1 nu este un cimp calculat").arg(name));
    Row* row = m_calcTarget ? m_calcTarget : (m_current >= 0 ? &m_rows[static_cast<size_t>(m_current)] : nullptr);
    if (row)
        row->values[i] = v;
}

void Dataset::calcRow(Row& row)
{
    if (!onCalcFields)
        return;
    Row* saved = m_calcTarget;
    m_calcTarget = &row;
    try {
        onCalcFields();
    } catch (...) {
        m_calcTarget = saved;
        throw;
    }
    m_calcTarget = saved;
}

// --- editing -----------------------------------------------------------------------

void Dataset::setState(DatasetState state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}

bool Dataset::readStored(qint64 rowid, QVariantList& values) const
{
    QStringList columns;
    for (int i = 0; i < m_dataFieldCount; ++i)
        columns << quoted(m_fields[static_cast<size_t>(i)].name);
    Query q = m_db.query(QStringLiteral("SELECT %1 FROM \"%2\" WHERE rowid = :rid")
                             .arg(columns.join(QStringLiteral(", ")), m_table),
                         {{QStringLiteral("rid"), rowid}});
    if (!q.next())
        return false;
    values.clear();
    for (int i = 0; i < m_dataFieldCount; ++i)
        values << q.value(i);
    return true;
}

void Dataset::rereadRow(Row& row)
{
    if (m_isQuery || row.rowid == 0)
        return;
    QVariantList stored;
    if (!readStored(row.rowid, stored))
        throw StaleRecord();
    for (int i = 0; i < m_dataFieldCount; ++i)
        row.values[i] = stored[i];
    calcRow(row);
}

// The stored record, read inside the write transaction, must be the one this
// dataset read: another workstation's change or delete is never overwritten
// or reversed a second time.
void Dataset::checkStored(const Row& base) const
{
    QVariantList stored;
    if (!readStored(base.rowid, stored))
        throw StaleRecord();
    for (int i = 0; i < m_dataFieldCount; ++i)
        if (!sameValue(stored[i], base.values.value(i)))
            throw StaleRecord();
}

// After a refused write or delete of a record changed elsewhere: the record
// as stored now (or no record, when it is gone), in Browse.
void Dataset::reloadAfterConflict()
{
    const bool wasEditing = m_state == DatasetState::Edit;
    Row& row = m_rows[static_cast<size_t>(m_current)];
    QVariantList stored;
    if (row.rowid != 0 && readStored(row.rowid, stored)) {
        for (int i = 0; i < m_dataFieldCount; ++i)
            row.values[i] = stored[i];
        calcRow(row);
        m_modified = false;
        setState(DatasetState::Browse);
        emit rowChanged(m_current);
    } else {
        dropCurrentRow();
    }
    if (wasEditing && afterCancel)
        afterCancel();
    for (Dataset* d : m_details)
        d->masterChanged();
}

// Takes the current row out of the list (it is no longer stored) and returns to Browse.
void Dataset::dropCurrentRow()
{
    const bool wasEditing = isEditing();
    m_modified = false;
    const int at = m_current;
    emit rowAboutToBeRemoved(at);
    m_rows.erase(m_rows.begin() + at);
    m_current = std::min(at, recordCount() - 1);
    m_state = DatasetState::Browse;
    emit rowRemoved(at);
    if (wasEditing)
        emit stateChanged(m_state);
    emit currentChanged(m_current);
}

// A detail row is written under a stored master: a master still being typed
// is written first (its refusal stops the detail's edit).
void Dataset::postMaster()
{
    if (m_master && m_master->isOpen() && m_master->isEditing()) {
        m_master->m_postingForDetail = true;
        try {
            m_master->post();
        } catch (...) {
            m_master->m_postingForDetail = false;
            throw;
        }
        m_master->m_postingForDetail = false;
    }
}

void Dataset::edit()
{
    requireOpen();
    if (isEditing())
        return;
    if (m_rows.empty()) { // typing into an empty list starts its first record
        append();
        return;
    }
    if (m_readOnly)
        throw DatasetError(QStringLiteral("Lista nu poate fi modificata"));
    postMaster();
    if (beforeEdit)
        beforeEdit();
    Row& row = m_rows[static_cast<size_t>(m_current)];
    try {
        rereadRow(row); // start from what is stored now, not from what was read earlier
    } catch (const StaleRecord&) {
        dropCurrentRow(); // deleted elsewhere
        if (afterScroll)
            afterScroll();
        for (Dataset* d : m_details)
            d->masterChanged();
        throw;
    }
    emit rowChanged(m_current);
    m_saved = row;
    m_modified = false;
    setState(DatasetState::Edit);
    if (afterEdit)
        afterEdit();
}

void Dataset::insert()
{
    requireOpen();
    if (m_readOnly)
        throw DatasetError(QStringLiteral("Lista nu poate fi modificata"));
    checkBrowseMode();
    postMaster();
    if (beforeInsert)
        beforeInsert();
    const int at = m_current < 0 ? 0 : m_current;
    Row row;
    for (size_t i = 0; i < m_fields.size(); ++i)
        row.values << QVariant();
    emit rowAboutToBeInserted(at);
    m_rows.insert(m_rows.begin() + at, std::move(row));
    emit rowInserted(at);
    m_current = at;
    m_bof = m_eof = false;
    setState(DatasetState::Insert);
    const QVariantList mv = masterValues();
    for (int i = 0; i < m_links.size() && i < mv.size(); ++i) {
        const int fi = fieldIndex(m_links[i].first);
        if (fi >= 0)
            m_rows[static_cast<size_t>(at)].values[fi] = coerce(m_fields[static_cast<size_t>(fi)], mv[i]);
    }
    try {
        if (onNewRecord)
            onNewRecord();
    } catch (...) {
        removePendingInsert();
        throw;
    }
    calcRow(m_rows[static_cast<size_t>(at)]);
    m_modified = false;
    emit currentChanged(m_current);
    emit rowChanged(m_current);
    for (Dataset* d : m_details)
        d->masterChanged();
    if (afterInsert)
        afterInsert();
}

void Dataset::append()
{
    requireOpen();
    if (m_readOnly)
        throw DatasetError(QStringLiteral("Lista nu poate fi modificata"));
    checkBrowseMode();
    postMaster();
    // insert() places the row before the current one: make "current" the end
    const int saved = m_current;
    m_current = recordCount();
    try {
        insert();
    } catch (...) {
        if (m_state != DatasetState::Insert)
            m_current = std::min(saved, recordCount() - 1);
        throw;
    }
}

void Dataset::removePendingInsert()
{
    const int at = m_current;
    emit rowAboutToBeRemoved(at);
    m_rows.erase(m_rows.begin() + at);
    // Settled before anyone hears of the removal: a view that moves its cursor
    // in reaction finds the dataset already in Browse on its new current row.
    m_current = std::min(at, recordCount() - 1);
    m_modified = false;
    m_state = DatasetState::Browse;
    emit rowRemoved(at);
    emit stateChanged(m_state);
    emit currentChanged(m_current);
}

void Dataset::post()
{
    requireOpen();
    if (!isEditing())
        return;
    // Only a write that is a transaction of its own can be started again.
    const bool ownTransaction = !m_db.inTransaction();
    for (int attempt = 1;; ++attempt) {
        if (beforePost)
            beforePost();
        try {
            writeCurrent();
            break;
        } catch (const Retry&) {
            // Rolled back; the questions of beforePost are asked again with
            // what the database holds now.
            if (ownTransaction && attempt < kWriteAttempts)
                continue;
            if (onPostError)
                onPostError();
            throw DatasetError(QStringLiteral("Datele s-au modificat pe alta statie de lucru in timpul scrierii. "
                                              "Incercati din nou."));
        } catch (const StaleRecord&) {
            if (onPostError)
                onPostError(); // the write is rolled back
            reloadAfterConflict();
            throw;
        } catch (...) {
            if (onPostError)
                onPostError(); // the write is rolled back
            throw;
        }
    }
    Row& row = m_rows[static_cast<size_t>(m_current)];
    rereadRow(row);
    m_modified = false;
    setState(DatasetState::Browse);
    emit rowChanged(m_current);
    placeByOrder();
    if (afterPost)
        afterPost();
    for (Dataset* d : m_details)
        d->masterChanged();
}

// Writes the fields of `row` that differ from `before`; the rows changed, or -1
// when there was nothing to write.
int Dataset::updateChanged(const Row& row, const QVariantList& before)
{
    QStringList sets;
    QVariantHash params{{QStringLiteral("rid"), row.rowid}};
    for (int i = 0; i < m_dataFieldCount; ++i) {
        if (sameValue(row.values[i], before.value(i)))
            continue;
        sets << QStringLiteral("%1 = :p%2").arg(quoted(m_fields[static_cast<size_t>(i)].name)).arg(i);
        params.insert(QStringLiteral("p%1").arg(i), row.values[i]);
    }
    if (sets.isEmpty())
        return -1;
    return m_db.exec(
        QStringLiteral("UPDATE \"%1\" SET %2 WHERE rowid = :rid").arg(m_table, sets.join(QStringLiteral(", "))),
        params);
}

// One attempt at writing the current record, in one unit of work.
void Dataset::writeCurrent()
{
    Row& row = m_rows[static_cast<size_t>(m_current)];
    const bool inserting = m_state == DatasetState::Insert;
    UnitOfWork work(m_db);
    try {
        if (!inserting)
            checkStored(m_saved);
        if (beforeWrite)
            beforeWrite();
        if (inserting) {
            QStringList names, marks;
            QVariantHash params;
            for (int i = 0; i < m_dataFieldCount; ++i) {
                const DatasetField& f = m_fields[static_cast<size_t>(i)];
                if (row.values[i].isNull())
                    continue; // empty: the storage's default (and the autoincrement counter)
                names << quoted(f.name);
                marks << QStringLiteral(":p%1").arg(i);
                params.insert(QStringLiteral("p%1").arg(i), row.values[i]);
            }
            const QString sql = names.isEmpty()
                ? QStringLiteral("INSERT INTO \"%1\" DEFAULT VALUES").arg(m_table)
                : QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                      .arg(m_table, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
            m_db.exec(sql, params);
            row.rowid = m_db.scalar(QStringLiteral("SELECT last_insert_rowid()")).toLongLong();
        } else if (updateChanged(row, m_saved.values) == 0) { // only what this edit changed
            throw StaleRecord();
        }
        if (whilePosting) {
            const QVariantList written = row.values;
            whilePosting();
            // The handler may still have changed the record (a quantity cut
            // to what the stock holds): written in the same unit of work.
            updateChanged(row, written);
        }
        work.commit();
    } catch (...) {
        if (inserting)
            row.rowid = 0;
        throw;
    }
}

// Whether the current row stands between its neighbours in the storage's
// order: the usual case after a save, checked on three rows instead of the list.
bool Dataset::inPlace() const
{
    QList<qint64> around;
    for (int i = std::max(0, m_current - 1); i <= std::min(recordCount() - 1, m_current + 1); ++i)
        around << m_rows[static_cast<size_t>(i)].rowid;
    QStringList marks;
    QVariantHash params;
    for (int i = 0; i < around.size(); ++i) {
        marks << QStringLiteral(":__r%1").arg(i);
        params.insert(QStringLiteral("__r%1").arg(i), around[i]);
    }
    Query q = m_db.query(QStringLiteral("SELECT rowid FROM \"%1\" WHERE rowid IN (%2) ORDER BY %3")
                             .arg(m_table, marks.join(QStringLiteral(", ")), m_orderBy),
                         params);
    QList<qint64> ordered;
    while (q.next())
        ordered << q.value(0).toLongLong();
    return ordered == around;
}

void Dataset::placeByOrder()
{
    if (m_isQuery || m_orderBy.isEmpty() || m_current < 0 || recordCount() < 2)
        return;
    const qint64 rowid = m_rows[static_cast<size_t>(m_current)].rowid;
    if (inPlace())
        return;
    // The order as the storage reads it (its collations included).
    QHash<qint64, int> rank;
    Query q = m_db.query(selectStatement(true), selectParams());
    while (q.next())
        rank.insert(q.value(0).toLongLong(), static_cast<int>(rank.size()));
    const auto mine = rank.constFind(rowid);
    if (mine == rank.constEnd())
        return; // no longer among the rows the filter selects: it stays where it is
    // Before the first other row that the order puts after it; rows the
    // storage no longer has do not count.
    int target = 0;
    for (int i = 0; i < recordCount(); ++i) {
        if (i == m_current)
            continue;
        const auto other = rank.constFind(m_rows[static_cast<size_t>(i)].rowid);
        if (other == rank.constEnd() || *other < *mine)
            target = (i < m_current ? i : i - 1) + 1;
        else
            break;
    }
    if (target == m_current)
        return;
    emit aboutToReset();
    Row moved = std::move(m_rows[static_cast<size_t>(m_current)]);
    m_rows.erase(m_rows.begin() + m_current);
    m_rows.insert(m_rows.begin() + target, std::move(moved));
    m_current = target;
    m_bof = m_current == 0;
    m_eof = false;
    emit reset();
    emit currentChanged(m_current);
}

void Dataset::cancel()
{
    requireOpen();
    if (!isEditing())
        return;
    if (beforeCancel)
        beforeCancel();
    if (m_state == DatasetState::Insert) {
        removePendingInsert();
    } else {
        m_rows[static_cast<size_t>(m_current)] = m_saved;
        m_modified = false;
        setState(DatasetState::Browse);
        emit rowChanged(m_current);
    }
    if (afterCancel)
        afterCancel();
    for (Dataset* d : m_details)
        d->masterChanged();
}

void Dataset::remove()
{
    requireOpen();
    if (m_state == DatasetState::Insert) {
        cancel();
        return;
    }
    if (m_rows.empty())
        return;
    if (m_readOnly)
        throw DatasetError(QStringLiteral("Lista nu poate fi modificata"));
    if (beforeDelete)
        beforeDelete();
    const Row& row = m_rows[static_cast<size_t>(m_current)];
    try {
        UnitOfWork work(m_db);
        // What is deleted (and given back by whileDeleting) is what this
        // workstation read: a record changed or deleted elsewhere is refused.
        checkStored(m_state == DatasetState::Edit ? m_saved : row);
        if (m_db.exec(QStringLiteral("DELETE FROM \"%1\" WHERE rowid = :rid").arg(m_table),
                      {{QStringLiteral("rid"), row.rowid}})
            != 1)
            throw StaleRecord();
        if (whileDeleting)
            whileDeleting();
        work.commit();
    } catch (const StaleRecord&) {
        if (onDeleteError)
            onDeleteError(); // the delete is rolled back
        reloadAfterConflict();
        throw;
    } catch (...) {
        if (onDeleteError)
            onDeleteError(); // the delete is rolled back
        throw;
    }
    dropCurrentRow();
    if (afterDelete)
        afterDelete();
    if (afterScroll)
        afterScroll();
    for (Dataset* d : m_details)
        d->masterChanged();
}

} // namespace datastore
