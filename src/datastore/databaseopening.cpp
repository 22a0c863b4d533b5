// The rules of the database opening window: which directory to open, the
// steps before validation, the questions asked by the validator, the
// "New directory" button and the transfer repair.

#include "databaseopening.h"

#include "newdatabase.h"

#include "common/inifile.h"
#include "common/parameters.h"
#include "integritycheck.h"
#include "tablecatalog.h"

#include <QDir>
#include <QFileInfo>
#include <exception>

namespace datastore {

namespace {

// The directory as chosen, without a trailing separator (a root stays as it is).
QString withoutTrailingSeparator(QString dir)
{
    while (dir.size() > 1 && (dir.endsWith(QLatin1Char('/')) || dir.endsWith(QLatin1Char('\\')))
           && !dir.endsWith(QLatin1String(":\\")) && !dir.endsWith(QLatin1String(":/")))
        dir.chop(1);
    return dir;
}

} // namespace

DatabaseOpening::DatabaseOpening(Database& database, common::Dialogs& dialogs, OpeningView& view,
                                 FolderPicker& picker, QSettings& settings, OpeningSteps& steps)
    : m_db(database), m_dialogs(dialogs), m_view(view), m_picker(picker), m_settings(settings),
      m_steps(steps), m_validator(database), m_referenceCurrency(common::Parameters().CVal)
{
    m_validator.Tables = databaseTables();
    m_validator.OnProgress = [this](int percent) { m_view.setProgress(percent); };
    m_validator.OnAbsentTable = [this](const QString& message, bool& proceed) {
        proceed = m_dialogs.message(common::Icon::Warning, message, common::Buttons::YesNo)
                  == common::Answer::Yes;
    };
    m_validator.OnAbsentDatabase = [this](const QString& message, bool& proceed, QString& directory) {
        if (m_dialogs.message(common::Icon::Warning, message, common::Buttons::YesNo)
            == common::Answer::Yes) {
            proceed = true;
            return;
        }
        if (const std::optional<QString> chosen = pickFolder(directory)) {
            directory = *chosen;
            proceed = true;
        }
    };
}

bool DatabaseOpening::OpenLastDatabase()
{
    return open(false, QStringLiteral("Validez baza de date..."), QStringLiteral("Nu pot valida baza de date!"));
}

bool DatabaseOpening::SelectDatabase()
{
    return open(true, QStringLiteral("Creez/validez baza de date..."), QStringLiteral("Nu pot crea baza de date!"));
}

bool DatabaseOpening::open(bool alwaysAsk, const QString& stepText, const QString& failureText)
{
    QString dir = m_settings.value(QLatin1String(kLastDatabaseDirKey)).toString();
    if (alwaysAsk || dir.isEmpty() || !QFileInfo(dir).isDir()) {
        const std::optional<QString> chosen = pickFolder(dir);
        if (!chosen)
            return false;
        dir = *chosen;
    }
    m_validator.setDirectory(dir);

    // A directory that cannot be read, or something other than a database
    // file in its place (a dangling link), is not an empty directory: say so
    // rather than offer a new database over it.
    if (const QString problem = m_db.accessProblem(); !problem.isEmpty()) {
        m_dialogs.error(failureText + QLatin1Char('\r') + problem);
        return false;
    }

    // Errors of these steps are the caller's to handle.
    if (!isEmptyDirectory(dir)) {
        m_steps.firstGenerationMigration(m_db);
        m_steps.secondGenerationMigration(m_db);
        m_steps.firstUpgradeStage(m_db);
        m_steps.secondUpgradeStage(m_db);
        repairTransfers(m_db);
    }

    m_view.setStepText(stepText);
    m_view.setStepVisible(true);
    QString error;
    try {
        m_validator.Validate();
        if (m_validator.CreatedDatabase())
            SeedNewDatabase(m_db, referenceCurrencyOf(m_validator.Directory(), m_referenceCurrency));
    } catch (const EDBValidate& e) {
        error = e.message();
    } catch (const DbError& e) {
        error = isDamageError(e) ? damagedDatabaseMessage(m_validator.Directory(), {IntegrityReport::Outcome::Damaged, {e.message()}})
                                 : e.message();
    } catch (const std::exception& e) {
        error = QString::fromLocal8Bit(e.what());
    }
    m_view.setStepVisible(false);
    if (!error.isNull()) {
        m_dialogs.error(failureText + QLatin1Char('\r') + error);
        return false;
    }

    m_settings.setValue(QLatin1String(kLastDatabaseDirKey), withoutTrailingSeparator(m_validator.Directory()));
    return true;
}

std::optional<QString> DatabaseOpening::pickFolder(const QString& startDir)
{
    m_newDirectory = false;
    m_newDirectoryPath.clear();
    const std::optional<QString> chosen =
        m_picker.browse(withoutTrailingSeparator(startDir),
                        [this](const QString& selected) { return newDirectory(selected); });
    if (chosen)
        return withoutTrailingSeparator(*chosen);
    if (m_newDirectory)
        return m_newDirectoryPath;
    return std::nullopt;
}

std::optional<QString> DatabaseOpening::newDirectory(const QString& selected)
{
    const std::optional<QString> name =
        m_dialogs.inputBox(QStringLiteral("Director nou"),
                           QStringLiteral("Baza de date va fi creata în acest director:"), QString());
    if (!name || selected.isEmpty())
        return std::nullopt;

    const QString dir = withoutTrailingSeparator(withoutTrailingSeparator(selected) + QLatin1Char('/') + *name);
    if (!QDir().mkpath(dir)) {
        m_dialogs.error(QStringLiteral("Nu pot crea directorul %1!").arg(QDir::toNativeSeparators(dir)));
        return std::nullopt;
    }
    m_newDirectory = true;
    m_newDirectoryPath = dir;
    common::IniFile ini(QDir(dir).filePath(QStringLiteral("TBXDEF.INI")));
    if (!ini.writeString(QStringLiteral("Permision"), QStringLiteral("Conversie la RON"), QStringLiteral("1")))
        m_dialogs.error(QStringLiteral("Nu pot scrie fisierul %1!").arg(QDir::toNativeSeparators(ini.path())));
    return dir;
}

bool DatabaseOpening::isEmptyDirectory(const QString& dir)
{
    // Table files may end in ".db" in any letter case: "x.db", "x.Db", "x.dB"
    // and "x.DB" all count, whatever the entry (hidden, system, directory).
    static const char* const patterns[] = {"*.db", "*.Db", "*.dB", "*.DB"};
    const QDir d(dir);
    for (const char* pattern : patterns) {
        const QStringList found =
            d.entryList({QString::fromLatin1(pattern)},
                        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot
                            | QDir::CaseSensitive,
                        QDir::NoSort);
        if (!found.isEmpty())
            return false;
    }
    return true;
}

int DatabaseOpening::repairTransfers(Database& database)
{
    // A directory without the document tables has nothing to repair.
    if (!database.tableExists(QStringLiteral("Doc_out.DB")) || !database.tableExists(QStringLiteral("Doc_in.DB")))
        return 0;
    return database.exec(QStringLiteral(
        "UPDATE \"Doc_out.DB\" SET Explicatie = 'Transfer'"
        " WHERE Tip = 'AE' AND (Explicatie IS NULL OR Explicatie = '')"
        " AND COALESCE(Numar, 0) IN (SELECT COALESCE(Numar, 0) FROM \"Doc_in.DB\""
        " WHERE Tip = 'AE' AND Explicatie = 'Transfer')"));
}

} // namespace datastore
