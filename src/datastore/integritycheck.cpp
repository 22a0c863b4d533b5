#include "integritycheck.h"

#include "common/inifile.h"
#include "common/parameters.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <sqlite3.h>

namespace datastore {

namespace {

QString definitionFile(const QString& directory)
{
    return QDir(directory).filePath(QLatin1String(common::kDefinitionFileName));
}

// TBXDEF.INI is read or written only when it is a regular file (or absent):
// never a device, a pipe or a directory in its place.
bool usableDefinitionFile(const QString& path)
{
    const QFileInfo fi(path);
    return !fi.exists() ? !fi.isSymLink() : fi.isFile();
}

} // namespace

bool isDamageError(const DbError& error)
{
    // A server's SQLSTATE for corrupt data or a corrupt index.
    if (error.nativeCode() == QLatin1String("XX001") || error.nativeCode() == QLatin1String("XX002"))
        return true;
    bool ok = false;
    const int primary = error.nativeCode().toInt(&ok) & 0xff;
    return ok && (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB);
}

QString damagedDatabaseMessage(const QString& directory, const IntegrityReport& report)
{
    QString text = QStringLiteral(
                       "Baza de date din directorul %1 este deteriorata!\r"
                       "Datele citite din ea pot fi gresite, iar cele scrise se pot pierde. "
                       "Inchideti programul pe toate calculatoarele care o folosesc si restaurati baza de date "
                       "dintr-o salvare facuta inainte de deteriorare.")
                       .arg(QDir::toNativeSeparators(directory));
    const QStringList first = report.problems.mid(0, 3);
    if (!first.isEmpty())
        text += QStringLiteral("\r<") + first.join(QStringLiteral("; ")) + QLatin1Char('>');
    return text;
}

QDate lastSoundCheck(const QString& directory)
{
    const QString path = definitionFile(directory);
    if (!QFileInfo(path).isFile())
        return QDate();
    const common::IniFile ini(path);
    return QDate::fromString(ini.readString(QLatin1String(kIntegritySection), QLatin1String(kIntegrityKey)),
                             Qt::ISODate);
}

bool integrityCheckDue(const QString& directory, const QDate& today)
{
    return lastSoundCheck(directory) != today;
}

bool recordSoundCheck(const QString& directory, const QDate& today)
{
    const QString path = definitionFile(directory);
    if (!usableDefinitionFile(path))
        return false;
    common::IniFile ini(path);
    return ini.writeString(QLatin1String(kIntegritySection), QLatin1String(kIntegrityKey),
                           today.toString(Qt::ISODate));
}

IntegrityReport checkBeforeBackup(const QString& directory, const QDate& today)
{
    const IntegrityReport report = checkDatabaseDirectory(directory, IntegrityDepth::Quick);
    if (report.sound())
        recordSoundCheck(directory, today);
    return report;
}

// ---------------------------------------------------------------------------

struct BackgroundIntegrityCheck::Run {
    QString directory;
    QDate today;
    std::atomic_bool cancelled{false};
    IntegrityReport report; // written by the thread, read after it has finished
    QThread* thread = nullptr;
};

BackgroundIntegrityCheck::BackgroundIntegrityCheck(Handler onReport) : m_onReport(std::move(onReport)) {}

BackgroundIntegrityCheck::~BackgroundIntegrityCheck()
{
    for (const std::shared_ptr<Run>& run : m_runs)
        run->cancelled = true;
    for (const std::shared_ptr<Run>& run : m_runs)
        run->thread->wait();
    // The finished threads go with m_receiver, their parent.
}

QString BackgroundIntegrityCheck::directory() const
{
    return m_current ? m_current->directory : QString();
}

bool BackgroundIntegrityCheck::start(const QString& directory, const QDate& today)
{
    cancel();
    const QDir dir(directory);
    const bool stored = QFileInfo(dir.filePath(QLatin1String(kDatabaseFileName))).isFile()
        || QFileInfo(dir.filePath(QLatin1String(kServerFileName))).isFile();
    if (!stored || !integrityCheckDue(directory, today))
        return false;

    auto run = std::make_shared<Run>();
    run->directory = directory;
    run->today = today;
    Run* state = run.get(); // lives in m_runs until its thread has ended
    run->thread = QThread::create([state] {
        state->report = checkDatabaseDirectory(state->directory, IntegrityDepth::Quick, &state->cancelled);
    });
    run->thread->setParent(&m_receiver);
    QObject::connect(run->thread, &QThread::finished, &m_receiver, [this, run] { finished(run); });
    m_runs.push_back(run);
    m_current = run;
    run->thread->start(QThread::LowPriority);
    return true;
}

void BackgroundIntegrityCheck::cancel()
{
    if (!m_current)
        return;
    m_current->cancelled = true;
    m_current.reset();
}

void BackgroundIntegrityCheck::finished(const std::shared_ptr<Run>& ended)
{
    const std::shared_ptr<Run> run = ended; // the connection holding `ended` goes with the thread
    run->thread->wait();
    run->thread->deleteLater();
    m_runs.erase(std::remove(m_runs.begin(), m_runs.end(), run), m_runs.end());
    if (run != m_current)
        return; // cancelled: nobody waits for it
    m_current.reset();
    if (run->report.sound())
        recordSoundCheck(run->directory, run->today);
    if (m_onReport)
        m_onReport(run->directory, run->report);
}

} // namespace datastore
