#pragma once
// Typed errors of the storage layer. Every failed statement becomes a DbError
// that carries the statement, so nothing fails silently.

#include <QString>
#include <stdexcept>

namespace datastore {

enum class DbErrorKind {
    KeyViolation, // a unique or primary key would be duplicated
    Busy,         // another process held the database longer than the busy timeout
    NoSuchTable,
    Syntax,       // the statement could not be prepared
    Io,           // the file cannot be opened, read or written
    Other,
};

class DbError : public std::runtime_error {
public:
    DbError(DbErrorKind kind, QString engineText, QString statement = {}, QString nativeCode = {});
    DbErrorKind kind() const { return m_kind; }
    const QString& engineText() const { return m_engineText; } // the engine's own message
    const QString& statement() const { return m_statement; }
    const QString& nativeCode() const { return m_nativeCode; }
    QString message() const { return m_engineText; }
    bool isKeyViolation() const { return m_kind == DbErrorKind::KeyViolation; }

private:
    DbErrorKind m_kind;
    QString m_engineText;
    QString m_statement;
    QString m_nativeCode;
};

} // namespace datastore
