#pragma once
// The engine's integrity check of a database directory, as the application
// runs it: in the background after opening, at most once a day per database,
// and before a backup is made (a copy of a damaged file is worth nothing).
//
// The day of the last check that found the database sound is kept in the
// directory's TBXDEF.INI, section `Permision`, key "Verificare integritate"
// (yyyy-MM-dd), so that every workstation opening the same database that day
// skips it. A damaged database is never marked: it is reported at every
// opening until it is restored.

#include "database.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QThread;

namespace datastore {

inline constexpr const char* kIntegritySection = "Permision";
inline constexpr const char* kIntegrityKey = "Verificare integritate";

// Whether an engine error says that the file is damaged (or is no database at all).
bool isDamageError(const DbError& error);

// What the user is told when the engine finds the database damaged: that it
// is damaged, what to do (restore a backup), and the engine's first findings.
QString damagedDatabaseMessage(const QString& directory, const IntegrityReport& report);

// The day the database of `directory` was last found sound; null when never
// (or when TBXDEF.INI is not a regular file that can be read).
QDate lastSoundCheck(const QString& directory);
// Whether the background check is due: the database was not found sound today.
bool integrityCheckDue(const QString& directory, const QDate& today);
// Marks the database as found sound on `today`; false when TBXDEF.INI cannot be written.
bool recordSoundCheck(const QString& directory, const QDate& today);

// The check to run before a backup of `directory`: the quick check now, on a
// connection of its own (its file, or its tables on the server); a sound result is recorded for the day. The backup
// must not be made when the result is damaged().
IntegrityReport checkBeforeBackup(const QString& directory, const QDate& today = QDate::currentDate());

// Runs the quick check of a database directory on a thread of its own, with
// its own connection (a Database is used by one thread only), and hands the
// report to `onReport` on the thread that started it, from its event loop.
// A sound report is recorded for the day before `onReport` is called.
class BackgroundIntegrityCheck {
public:
    using Handler = std::function<void(const QString& directory, const IntegrityReport& report)>;
    explicit BackgroundIntegrityCheck(Handler onReport);
    ~BackgroundIntegrityCheck(); // cancels a running check and waits for its thread
    BackgroundIntegrityCheck(const BackgroundIntegrityCheck&) = delete;
    BackgroundIntegrityCheck& operator=(const BackgroundIntegrityCheck&) = delete;

    // Starts the check of `directory` when it is due today and the directory
    // holds a database (its file, or the server file); false otherwise. A check still running for another
    // directory is cancelled first (its report is dropped).
    bool start(const QString& directory, const QDate& today = QDate::currentDate());
    // Stops the running check; its report is dropped.
    void cancel();
    bool running() const { return m_current != nullptr; }
    // The directory of the running check; empty when none runs.
    QString directory() const;

private:
    struct Run;
    void finished(const std::shared_ptr<Run>& run);

    Handler m_onReport;
    QObject m_receiver; // delivers the end of a run on the starting thread
    std::shared_ptr<Run> m_current;
    std::vector<std::shared_ptr<Run>> m_runs; // started and not yet collected
};

} // namespace datastore
