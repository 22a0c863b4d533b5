#pragma once
// TDatabaseValidator: checks a database directory against the table
// definitions, repairs its indexes and creates what is missing.

#include "database.h"
#include "tabledef.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <stdexcept>

namespace datastore {

// Raised when a check fails; the message is the formatted text of the check.
class EDBValidate : public std::runtime_error {
public:
    explicit EDBValidate(const QString& message);
    QString message() const { return m_message; }

private:
    QString m_message;
};

class TDatabaseValidator {
public:
    explicit TDatabaseValidator(Database& database);

    QString Directory() const;
    void setDirectory(const QString& dir);
    Database& database() { return m_db; }

    bool RecreateIndex = true;
    QList<TableDef> Tables;
    QString Language = QStringLiteral("polish");
    QString CustomMessage;

    int TableLevel() const { return m_tableLevel; }
    void setTableLevel(int level);      // 3, 4, 5 or 7, else EDBValidate
    int BlockSize() const { return m_blockSize; }
    void setBlockSize(int size);        // allowed sizes depend on the level
    int FillInFactor() const { return m_fillInFactor; }
    void setFillInFactor(int percent);  // above 0 and below 100

    // Asked when no defined table exists: message, proceed, directory.
    std::function<void(const QString& message, bool& proceed, QString& directory)> OnAbsentDatabase;
    // Asked for each missing table: message, proceed.
    std::function<void(const QString& message, bool& proceed)> OnAbsentTable;
    // Told the percentage done, 0..100.
    std::function<void(int percent)> OnProgress;

    // Checks and creates the database in Directory. Throws EDBValidate or DbError.
    void Validate();
    // True when the last Validate() found no table and created the whole database.
    bool CreatedDatabase() const { return m_createdDatabase; }
    // Checks one existing table against its definition (repairing indexes when asked).
    void CheckTable(const TableDef& def, bool repair);
    // Creates one table from its definition, replacing any table of that name.
    void CreateTable(const TableDef& def);

private:
    // CustomMessage after "\r\n\n", or nothing when it is blank.
    QString customSuffix() const;
    // The template with its "%s" filled in order by args and then by customSuffix().
    QString withCustom(const QString& templ, QStringList args) const;
    [[noreturn]] void fail(const QString& templ, const QStringList& args) const;
    void progress(int percent);

    Database& m_db;
    int m_tableLevel = 7;
    int m_blockSize = 4096;
    int m_fillInFactor = 95;
    bool m_createdDatabase = false;
};

} // namespace datastore
