// TDatabaseValidator: checks the tables of a database directory against their
// definitions, repairs indexes and creates the tables that are missing.

#include "databasevalidator.h"

#include <QStringList>

namespace datastore {

namespace {

// Fills the "%s" placeholders of a message template, in order.
QString formatMessage(const QString& templ, const QStringList& args)
{
    QString result;
    result.reserve(templ.size() + 64);
    qsizetype next = 0;
    qsizetype from = 0;
    while (true) {
        const qsizetype at = templ.indexOf(QLatin1String("%s"), from);
        if (at < 0)
            break;
        result += QStringView(templ).mid(from, at - from);
        if (next < args.size())
            result += args.at(next++);
        from = at + 2;
    }
    result += QStringView(templ).mid(from);
    return result;
}

// The field definition of `table` named `name`, ignoring case; nullptr when none.
const FieldDef* findField(const TableDef& table, const QString& name)
{
    return table.field(name);
}

// The index of `indexes` named `name`, ignoring case; nullptr when none.
const IndexDef* findIndex(const QList<IndexDef>& indexes, const QString& name)
{
    for (const IndexDef& ix : indexes) {
        if (ix.name.compare(name, Qt::CaseInsensitive) == 0)
            return &ix;
    }
    return nullptr;
}

// Same name (exact), same field list and same options.
bool sameIndex(const IndexDef& a, const IndexDef& b)
{
    return a.name == b.name && a.fieldList() == b.fieldList() && a.options == b.options;
}

bool containsName(const QStringList& names, const QString& name)
{
    return names.contains(name, Qt::CaseInsensitive);
}

} // namespace

EDBValidate::EDBValidate(const QString& message)
    : std::runtime_error(message.toStdString()), m_message(message)
{
}

TDatabaseValidator::TDatabaseValidator(Database& database) : m_db(database) {}

QString TDatabaseValidator::Directory() const
{
    return m_db.directory();
}

void TDatabaseValidator::setDirectory(const QString& dir)
{
    m_db.setDirectory(dir);
}

void TDatabaseValidator::setTableLevel(int level)
{
    if (level != 3 && level != 4 && level != 5 && level != 7)
        throw EDBValidate(QStringLiteral("Allowed values for table level are 3,4,5,7."));
    m_tableLevel = level;
    if ((level == 3 || level == 4) && m_blockSize > 4096)
        m_blockSize = 4096;
}

void TDatabaseValidator::setBlockSize(int size)
{
    const bool small = size == 1024 || size == 2048 || size == 4096;
    if (m_tableLevel == 3 || m_tableLevel == 4) {
        if (!small)
            throw EDBValidate(QStringLiteral("Allowed values for blocksize are 1024, 2048 and 4096."));
    } else if (!small && size != 16384 && size != 32768) {
        throw EDBValidate(
            QStringLiteral("Allowed values for blocksize are 1024, 2048, 4096, 16384 and 32768."));
    }
    m_blockSize = size;
}

void TDatabaseValidator::setFillInFactor(int percent)
{
    if (percent <= 0 || percent >= 100)
        throw EDBValidate(QStringLiteral("Fill in factor must be valued between 0 and 100."));
    m_fillInFactor = percent;
}

QString TDatabaseValidator::customSuffix() const
{
    if (CustomMessage.trimmed().isEmpty())
        return QString();
    return QStringLiteral("\r\n\n") + CustomMessage;
}

QString TDatabaseValidator::withCustom(const QString& templ, QStringList args) const
{
    args.append(customSuffix());
    return formatMessage(templ, args);
}

void TDatabaseValidator::fail(const QString& templ, const QStringList& args) const
{
    throw EDBValidate(withCustom(templ, args));
}

void TDatabaseValidator::progress(int percent)
{
    if (OnProgress)
        OnProgress(percent);
}

void TDatabaseValidator::Validate()
{
    m_createdDatabase = false;
    while (true) {
        progress(0);
        const QStringList existing = m_db.tableNames();
        const qsizetype total = Tables.size();
        qsizetype done = 0;
        QList<const TableDef*> missing;

        for (const TableDef& def : Tables) {
            if (containsName(existing, def.name)) {
                CheckTable(def, RecreateIndex);
                ++done;
                progress(int(done * 100 / total));
            } else {
                missing.append(&def);
            }
        }

        bool createAll = false;
        if (total > 0 && missing.size() == total) {
            const QString dir = Directory();
            // No table may also mean no access: never offer a new database
            // over a directory that cannot be read or a file that cannot be opened.
            if (const QString problem = m_db.accessProblem(); !problem.isEmpty())
                throw EDBValidate(problem);
            if (!OnAbsentDatabase)
                fail(QStringLiteral("Nu exista o baza de date valida in directorul %s!%s"), {dir});
            bool proceed = false;
            QString chosen = dir;
            OnAbsentDatabase(
                withCustom(QStringLiteral("Nu exista o baza de date valida in directorul %s!\rDoriti crearea uneia noi?%s"),
                           {dir}),
                proceed, chosen);
            if (!proceed)
                fail(QStringLiteral("Nu exista o baza de date valida in directorul %s!%s"), {dir});
            if (chosen != dir) {
                setDirectory(chosen);
                continue; // validate the other directory from the start
            }
            createAll = true;
        }

        for (const TableDef* def : missing) {
            bool create = createAll;
            if (!create) {
                if (!OnAbsentTable)
                    fail(QStringLiteral("Tabela %s nu exista!%s"), {def->name});
                OnAbsentTable(withCustom(QStringLiteral("Tabela %s nu exista! Doriti crearea uneia noi?%s"),
                                         {def->name}),
                              create);
            }
            if (create)
                CreateTable(*def);
            ++done;
            progress(int(done * 100 / total));
        }
        m_createdDatabase = createAll;

        progress(100);
        return;
    }
}

void TDatabaseValidator::CheckTable(const TableDef& def, bool repair)
{
    const TableDef actual = m_db.readTableDef(def.name);

    for (const FieldDef& f : def.fields) {
        const FieldDef* found = findField(actual, f.name);
        if (!found)
            fail(QStringLiteral("Cîmp absent (%s) în tabela %s!%s"), {f.name, def.name});
        if (found->name != f.name || found->type != f.type || found->size != f.size
            || found->required != f.required)
            fail(QStringLiteral("Cîmp invalid (%s) în tabela %s!%s"), {f.name, def.name});
    }

    if (def.indexes.isEmpty())
        return;

    const QList<IndexDef>& indexes = actual.indexes;
    const IndexDef& first = def.indexes.first();
    if (indexes.isEmpty() && !repair)
        fail(QStringLiteral("Tabela %s nu are index (indecsi)!%s"), {def.name});

    const bool primaryFirst = !indexes.isEmpty() && (indexes.first().options & IxPrimary)
                              && (indexes.first().options & IxUnique);
    if (!primaryFirst) {
        // No primary key to build on: give the table every index of its definition.
        for (const IndexDef& ix : def.indexes) {
            if (!ix.isPrimary()) {
                if (const IndexDef* old = findIndex(indexes, ix.name))
                    m_db.dropIndex(def.name, old->name);
            }
            m_db.addIndex(def.name, ix);
        }
        return;
    }

    if (!sameIndex(indexes.first(), first))
        fail(QStringLiteral("Index primar invalid pentru tabela %s!%s"), {def.name});

    for (const IndexDef& ix : def.indexes) {
        if (ix.isPrimary())
            continue; // checked above
        const IndexDef* found = findIndex(indexes, ix.name);
        if (!found) {
            if (!repair)
                fail(QStringLiteral("Index absent (%s) pentru cîmpurile %s si tabela %s!%s"),
                     {ix.name, ix.fields, def.name});
            m_db.addIndex(def.name, ix);
        } else if (!sameIndex(*found, ix)) {
            if (!repair)
                fail(QStringLiteral("Indexul invalid %s nu corespunde cîmpurilor %s pentru tabela %s!%s"),
                     {ix.name, ix.fields, def.name});
            const QString oldName = found->name; // `found` points into `indexes`, which stays as read
            m_db.dropIndex(def.name, oldName);
            m_db.addIndex(def.name, ix);
        }
    }
}

void TDatabaseValidator::CreateTable(const TableDef& def)
{
    // Table level, block size, language driver and fill factor are creation
    // options of the former engine; SQLite has no use for them.
    m_db.createTable(def);
}

} // namespace datastore
