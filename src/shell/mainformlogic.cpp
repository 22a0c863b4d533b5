#include "mainformlogic.h"

#include "datastore/databasevalidator.h"
#include "datastore/dberror.h"
#include "datastore/privatedirectory.h"
#include "ui/datagrid.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <stdexcept>
#include <utility>
#include <vector>

#ifndef MIRAFEL_VERSION_MAJOR
#define MIRAFEL_VERSION_MAJOR 0
#define MIRAFEL_VERSION_MINOR 0
#define MIRAFEL_VERSION_RELEASE 0
#define MIRAFEL_VERSION_BUILD 0
#endif

namespace shell {

QString versionString()
{
    return QString::asprintf("%d.%d.%d.%d", MIRAFEL_VERSION_MAJOR, MIRAFEL_VERSION_MINOR, MIRAFEL_VERSION_RELEASE,
                             MIRAFEL_VERSION_BUILD);
}

void reportException(common::Dialogs& dialogs, std::exception_ptr error)
{
    if (!error)
        return;
    try {
        std::rethrow_exception(error);
    } catch (const datastore::EDBValidate& e) {
        dialogs.error(e.message());
    } catch (const std::exception&) {
        ui::reportDataError(dialogs, error); // a key violation is the duplicate-record warning
    } catch (...) {
        dialogs.error(QStringLiteral("Eroare neprevazuta."));
    }
}

bool runReported(common::Dialogs& dialogs, const std::function<void()>& action)
{
    try {
        action();
        return true;
    } catch (...) {
        reportException(dialogs, std::current_exception());
        return false;
    }
}

namespace {

// Runs one of the openers. An engine error saying that the file is damaged
// (met by the steps before validation) still ends the opening, told plainly:
// the database is damaged and is to be restored from a backup.
bool runOpener(datastore::Database& database, const std::function<bool()>& opener)
{
    try {
        return opener();
    } catch (const datastore::DbError& e) {
        if (!datastore::isDamageError(e))
            throw;
        throw datastore::EDBValidate(datastore::damagedDatabaseMessage(
            database.directory(), {datastore::IntegrityReport::Outcome::Damaged, {e.message()}}));
    }
}

} // namespace

const QStringList& MainFormLogic::movedLayoutFiles()
{
    static const QStringList files{
        "acitari.cfg", "acitariVal.cfg", "actneacit.cfg", "actneacitVal.cfg", "catlook.cfg", "discgrila.cfg",
        "clnlook.cfg", "docout.cfg", "furnlook.cfg", "iniStock.cfg", "pacitari.cfg", "pactneacit.cfg",
        "stocCom.cfg", "stocks.cfg", "stocksArticole.cfg", "stocksPret.cfg", "tobrix.cfg", "offer.cfg",
    };
    return files;
}

const QStringList& MainFormLogic::deletedLayoutFiles()
{
    static const QStringList files{
        "acitari.cfg", "acitariVal.cfg", "actneacit.cfg", "actneacitVal.cfg", "catlook.cfg",
        "discgrila.cfg", "clnlook.cfg", "docout.cfg", "furnlook.cfg", "iniStock.cfg",
        "pacitari.cfg", "pactneacit.cfg", "stocCom.cfg", "stocks.cfg", "DocProf.cfg",
        "stocksPret.cfg", "stocksArticole.cfg", "tobrix.cfg", "offer.cfg", "offerc.cfg",
    };
    return files;
}

MainFormLogic::MainFormLogic(AppContext& context, MainFormHost& host, datastore::OpeningSteps* steps)
    : m_ctx(context), m_host(host), m_steps(steps ? *steps : m_noSteps),
      m_integrity([this](const QString& directory, const datastore::IntegrityReport& report) {
          // A check that could not run (the file locked or briefly away) says
          // nothing; it runs again at the next opening.
          if (report.damaged())
              m_ctx.dialogs.error(datastore::damagedDatabaseMessage(directory, report));
      })
{
}

MainFormLogic::~MainFormLogic() = default;

bool MainFormLogic::startUp()
{
    // Sub-steps 1-3 (background painting, hints, the general error report,
    // enabling of the window commands) are installed by the window itself;
    // the storage needs no idle-time call (it writes every change at once).
    // 6: table passwords have no meaning for the storage; 7: the product key
    // "Mirafel" is the QSettings of the context. Neither has anything to run.
    const std::vector<std::pair<int, std::function<void()>>> steps{
        {4, [this] {
             // Regional formats for the whole process: our own formatting
             // helpers read the context's Formats; Qt's widgets (number and
             // date editors) follow the default locale, which has the same
             // separators and day.month.year dates.
             m_ctx.formats = common::Formats::romanian();
             QLocale::setDefault(QLocale(QLocale::Romanian, QLocale::Romania));
         }},
        {5, [] { /* the application INI file is opened with the context */ }},
        {8, [this] {
             m_opening = m_host.createOpeningWindow();
             m_opening->setProgressBarVisible(true);
             m_ctx.databaseDir.clear();
         }},
        {9, [this] { openLastDatabase(); }},
        {10, [this] { m_host.setRefreshInterval(refreshIntervalMs()); }},
        {11, [this] {
             m_ctx.checkForNewVersion =
                 m_ctx.ini.readBool(kOptionsSection, QStringLiteral("Check for new version"), true);
         }},
        {12, [this] {
             if (hooks.loadAddOns)
                 hooks.loadAddOns();
         }},
        {13, [this] { m_ctx.interactiveVersionCheck = false; }},
        {14, [this] { preparePrivateDirectory(); }},
        {15, [this] { setReportSelection(); }},
        {16, [] { /* the status line is the window's; ShowProgress writes into it */ }},
        {17, [this] { loadBackgroundPicture(); }},
        {18, [this] {
             if (hooks.readPrintSettings)
                 hooks.readPrintSettings();
         }},
        {19, [this] { m_opening.reset(); }},
        {20, [this] { stampVersion(); }},
    };

    m_failedStep = 0;
    for (const auto& [number, step] : steps) {
        if (!runReported(m_ctx.dialogs, step)) {
            m_failedStep = number;
            return false;
        }
    }
    return true;
}

void MainFormLogic::openLastDatabase()
{
    datastore::DatabaseOpening opening(m_ctx.database, m_ctx.dialogs, *m_opening, m_opening->folderPicker(),
                                       m_ctx.settings, m_steps);
    opening.setReferenceCurrency(m_ctx.parameters.CVal);
    if (runOpener(m_ctx.database, [&] { return opening.OpenLastDatabase(); })) {
        m_ctx.databaseDir = withTrailingSlash(opening.directory());
        m_host.setTitle(QLatin1String(kTitleStartUpPrefix) + m_ctx.databaseDir);
        startIntegrityCheck();
        loadParameters();
    } else {
        m_host.setTitle(QLatin1String(kTitleNoDatabase));
    }
}

void MainFormLogic::loadParameters()
{
    if (!hooks.loadParameters)
        return;
    try {
        hooks.loadParameters();
    } catch (const common::EParameterFileUnreadable& e) {
        m_ctx.dialogs.error(e.message());
    }
}

void MainFormLogic::selectDatabase()
{
    if (m_host.childWindowCount() > 0) {
        m_ctx.dialogs.warning(QLatin1String(kCloseAllWindowsMessage));
        return;
    }

    const QString previousDir = m_ctx.databaseDir;
    const auto restorePrevious = [&] {
        if (previousDir.isEmpty())
            return; // no database was open: nothing changes
        m_ctx.database.setDirectory(previousDir);
        if (hooks.loadAddOns)
            hooks.loadAddOns();
    };

    std::unique_ptr<OpeningWindow> window = m_host.createOpeningWindow();
    window->setProgressBarVisible(true);
    datastore::DatabaseOpening opening(m_ctx.database, m_ctx.dialogs, *window, window->folderPicker(),
                                       m_ctx.settings, m_steps);
    opening.setReferenceCurrency(m_ctx.parameters.CVal);
    bool opened = false;
    try {
        opened = runOpener(m_ctx.database, [&] { return opening.SelectDatabase(); });
    } catch (...) {
        // An upgrade or migration step failed: the previous database stays in
        // use, and the error goes on to the general report.
        restorePrevious();
        throw;
    }

    if (opened) {
        m_ctx.databaseDir = withTrailingSlash(opening.directory());
        m_host.setTitle(QLatin1String(kTitleSwitchPrefix) + m_ctx.databaseDir);
        startIntegrityCheck();
        connectDirectories();
        loadParameters();
        if (hooks.loadAddOns)
            hooks.loadAddOns();
    } else {
        restorePrevious();
    }
}

void MainFormLogic::startIntegrityCheck()
{
    if (m_ctx.databaseDir.isEmpty())
        m_integrity.cancel();
    else
        m_integrity.start(m_ctx.database.directory());
}

int MainFormLogic::refreshIntervalMs() const
{
    const int seconds = m_ctx.ini.readInteger(kOptionsSection, QStringLiteral("Refresh"), kDefaultRefreshSeconds);
    return seconds > 0 ? seconds * 1000 : 0;
}

void MainFormLogic::preparePrivateDirectory()
{
    const QString dir = withTrailingSlash(m_ctx.paths.privateDir);
    m_ctx.privateDir = dir;
    if (!QFileInfo(dir).isDir()) {
        if (!QDir().mkpath(dir))
            throw std::runtime_error(
                QStringLiteral("Nu pot crea directorul %1").arg(QDir::toNativeSeparators(dir)).toStdString());
        // Layout files of an earlier installation lie next to the executable.
        for (const QString& name : movedLayoutFiles()) {
            const QString from = m_ctx.paths.executableDir + name;
            if (!QFile::exists(from))
                continue;
            const QString to = dir + name;
            if (!QFile::rename(from, to))
                QFile::copy(from, to); // the executable's folder may be read-only
        }
    }
    connectDirectories();
}

void MainFormLogic::connectDirectories()
{
    // One statement may join a working table with the database's tables
    // (":TBX_PRIV:Answ1", ":TSTOCK:Catalog.DB") from either connection. With
    // the database on a server the working tables follow it, into a schema of
    // this workstation there; with a local database they are local.
    if (!m_ctx.privateDir.isEmpty()) {
        m_ctx.privateDatabase.close();
        datastore::placePrivateDirectory(m_ctx.privateDir, m_ctx.databaseDir);
        m_ctx.privateDatabase.setDirectory(m_ctx.privateDir);
        m_ctx.database.attach(QLatin1String(datastore::kPrivateAlias), m_ctx.privateDir);
    }
    if (!m_ctx.databaseDir.isEmpty())
        m_ctx.privateDatabase.attach(QLatin1String(datastore::kDatabaseAlias), m_ctx.databaseDir);
}

void MainFormLogic::setReportSelection()
{
    m_ctx.reports = reports::ReportSelection::initial(QDate::currentDate());
}

void MainFormLogic::deleteLayoutFiles()
{
    for (const QString& name : deletedLayoutFiles()) {
        const QString path = m_ctx.privateDir + name;
        if (QFile::exists(path))
            QFile::remove(path);
    }
    m_ctx.dialogs.information(QLatin1String(kLayoutFilesResetMessage));
}

void MainFormLogic::stampVersion()
{
    // Versiune.db holds a single record: the version of the last program
    // that opened the database.
    const QString version = versionString();
    datastore::Database& db = m_ctx.database;
    const QString table = QStringLiteral("\"Versiune.db\"");
    const int records = db.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table).toInt();
    if (records == 0) {
        db.exec(QStringLiteral("INSERT INTO %1 (Ver) VALUES (:Ver)").arg(table), {{QStringLiteral("Ver"), version}});
        return;
    }
    const QString current = db.scalar(QStringLiteral("SELECT Ver FROM ") + table).toString();
    if (current != version)
        db.exec(QStringLiteral("UPDATE %1 SET Ver = :Ver").arg(table), {{QStringLiteral("Ver"), version}});
}

void MainFormLogic::loadBackgroundPicture()
{
    const QString path = m_ctx.ini.readString(kOptionsSection, QStringLiteral("ImageBackground"));
    QImage picture;
    if (!path.isEmpty()) {
        m_host.setBusyCursor(true);
        const bool loaded = picture.load(path);
        m_host.setBusyCursor(false);
        if (!loaded) {
            picture = QImage();
            m_ctx.dialogs.beep();
        }
    }
    m_host.setBackgroundPicture(picture);
}

void MainFormLogic::shutDown()
{
    if (hooks.writePrintSettings)
        hooks.writePrintSettings();
    if (m_ctx.userLevel == 0) {
        m_ctx.ini.writeBool(kOptionsSection, QStringLiteral("Toolbar"), toolbarChecked);
        m_ctx.ini.writeBool(kOptionsSection, QStringLiteral("Germana"), germanReportsChecked);
    }
}

} // namespace shell
