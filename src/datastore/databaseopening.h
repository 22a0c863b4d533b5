#pragma once
// The rules of the database opening window (TDBValidMsgForm): choosing the
// directory, remembering it, the empty-directory test, the steps that run
// before validation, the questions of the validator and the transfer repair.
// The window itself (picture, label, progress bar, folder picker) is reached
// through the OpeningView and FolderPicker interfaces.

#include "databasevalidator.h"

#include "common/dialogs.h"

#include <QSettings>
#include <QString>
#include <functional>
#include <optional>

namespace datastore {

// What the opening window shows.
class OpeningView {
public:
    virtual ~OpeningView() = default;
    virtual void setStepText(const QString& text) = 0; // the label; shown once set
    virtual void setStepVisible(bool visible) = 0;     // show or hide the window, repainted at once
    virtual void setProgress(int percent) = 0;         // progress bar, 0..100
};

// The folder picker ("Select database directory") with its "New directory"
// button. `onNewDirectory` is called with the folder currently selected (empty
// when none); when it returns a directory, the picker closes and browse()
// returns that directory.
class FolderPicker {
public:
    virtual ~FolderPicker() = default;
    using NewDirectoryHandler = std::function<std::optional<QString>(const QString& selected)>;
    virtual std::optional<QString> browse(const QString& startDir, const NewDirectoryHandler& onNewDirectory) = 0;
};

// The steps that run on a non-empty directory before validation: migrations
// from earlier generations and the two upgrade stages (the second begins with
// the daily backup). Each may throw; the error reaches the caller.
class OpeningSteps {
public:
    virtual ~OpeningSteps() = default;
    virtual void firstGenerationMigration(Database&) {}
    virtual void secondGenerationMigration(Database&) {}
    virtual void firstUpgradeStage(Database&) {}
    virtual void secondUpgradeStage(Database&) {}
};

// QSettings of the current user: organisation "Corvane", application "Mirafel".
inline constexpr const char* kSettingsOrganisation = "Corvane";
inline constexpr const char* kSettingsApplication = "Mirafel";
inline constexpr const char* kLastDatabaseDirKey = "LastDatabaseDir";

class DatabaseOpening {
public:
    DatabaseOpening(Database& database, common::Dialogs& dialogs, OpeningView& view,
                    FolderPicker& picker, QSettings& settings, OpeningSteps& steps);

    // At start-up: the last directory, asking only when needed. True when a
    // database was opened and validated; directory() then names it.
    bool OpenLastDatabase();
    // "&Buget de lucru": always asks. On false the caller restores the previous directory.
    bool SelectDatabase();

    QString directory() const { return m_validator.Directory(); }

    // The reference currency in memory (the parameters' CVal): a database
    // created here starts with "LEI" at the rate 1.0 and that currency (or
    // the CVal of the directory's TBXDEF.INI when it names one).
    void setReferenceCurrency(const QString& code) { m_referenceCurrency = code; }
    TDatabaseValidator& validator() { return m_validator; }

    // The "New directory" button: asks for a name, creates it under `selected`,
    // marks it with Permision / "Conversie la RON" = "1" in its TBXDEF.INI.
    std::optional<QString> newDirectory(const QString& selected);
    bool newDirectoryCreated() const { return m_newDirectory; }

    // The empty-directory test: no file matching *.db in any letter case.
    static bool isEmptyDirectory(const QString& dir);
    // Output notes of type "AE" without explanation whose input twin says "Transfer".
    static int repairTransfers(Database& database);

private:
    bool open(bool alwaysAsk, const QString& stepText, const QString& failureText);
    std::optional<QString> pickFolder(const QString& startDir);

    Database& m_db;
    common::Dialogs& m_dialogs;
    OpeningView& m_view;
    FolderPicker& m_picker;
    QSettings& m_settings;
    OpeningSteps& m_steps;
    TDatabaseValidator m_validator;
    bool m_newDirectory = false;
    QString m_newDirectoryPath; // the directory made by the "New directory" button
    QString m_referenceCurrency;
};

} // namespace datastore
