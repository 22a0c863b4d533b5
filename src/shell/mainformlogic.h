#pragma once
// The rules of the main window, without widgets: the start-up sequence,
// opening and switching the database, the refresh interval, the private
// directory, the grid layout files, the version stamp, the background picture
// and what is written at exit. The window (TMainForm) implements MainFormHost
// and binds its controls to these operations.

#include "appcontext.h"

#include "datastore/dataset.h"
#include "datastore/databaseopening.h"
#include "datastore/integritycheck.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <exception>
#include <functional>
#include <memory>

namespace shell {

// Window titles.
inline constexpr const char* kTitleNoDatabase = "Gestiune de stocuri";
// Shown by the commands whose windows this version does not have yet.
inline constexpr const char* kUnavailableMessage = "Functiune indisponibila in aceasta versiune.";
inline constexpr const char* kTitleStartUpPrefix = "Gestiunea materialelor si obiectelor de inventar - ";
inline constexpr const char* kTitleSwitchPrefix = "Gestiune de stocuri - ";

// Messages.
inline constexpr const char* kCloseAllWindowsMessage = "Inchideti toate ferestrele!";
inline constexpr const char* kLayoutFilesResetMessage = "S-a setat configuratia implicita pentru tabelele din dialoguri";
using datastore::duplicateKeyMessage; // the duplicate-record warning

// Options of the application INI file.
inline constexpr const char* kOptionsSection = "Options";
inline constexpr int kDefaultRefreshSeconds = 30;

// "%d.%d.%d.%d" of this program's version (major, minor, release, build).
QString versionString();

// Shows an exception the way the application's general handler does: an
// engine key violation becomes the duplicate-record warning; every other
// error shows its own message in an error box.
void reportException(common::Dialogs& dialogs, std::exception_ptr error);
// Runs `action`, reporting whatever it throws; false when it threw.
bool runReported(common::Dialogs& dialogs, const std::function<void()>& action);

// The database opening window as the start-up and the switch use it.
class OpeningWindow : public datastore::OpeningView {
public:
    virtual datastore::FolderPicker& folderPicker() = 0;
    virtual void setProgressBarVisible(bool visible) = 0;
};

// What the rules need from the main window.
class MainFormHost {
public:
    virtual ~MainFormHost() = default;
    virtual void setTitle(const QString& title) = 0;
    virtual int childWindowCount() const = 0;
    virtual void setRefreshInterval(int milliseconds) = 0; // 0 stops the refresh ticks
    virtual void setBackgroundPicture(const QImage& picture) = 0; // a null image: plain colour
    virtual void setBusyCursor(bool busy) = 0;
    virtual std::unique_ptr<OpeningWindow> createOpeningWindow() = 0;
};

// Operations that belong to other modules of the shell (parameters, add-on
// modules, print settings); empty until those modules install them.
struct ShellHooks {
    std::function<void()> loadParameters;     // after a database was opened
    std::function<void()> loadAddOns;         // for the current database directory
    std::function<void()> readPrintSettings;  // the printer, from PrinterSettings at start-up
    std::function<void()> writePrintSettings; // each print's settings chosen, at exit
};

class MainFormLogic {
public:
    // `steps` runs the migrations and upgrades before validation; nullptr: none.
    MainFormLogic(AppContext& context, MainFormHost& host, datastore::OpeningSteps* steps = nullptr);
    ~MainFormLogic();

    ShellHooks hooks;

    // The start-up sequence, in order. An error of a sub-step is reported and
    // ends the sequence there; false then.
    bool startUp();
    // The sub-step that stopped the last start-up (1-based), 0 when it ran to its end.
    int failedStep() const { return m_failedStep; }

    // "&Buget de lucru".
    void selectDatabase();

    // Options / Refresh in milliseconds (default 30 s; 0 stops).
    int refreshIntervalMs() const;
    // Creates the private directory on the first start (moving the layout
    // files lying next to the executable into it) and points the private
    // connection at it.
    void preparePrivateDirectory();
    // Makes each connection see the other's tables under its alias; the
    // private directory first follows the database (placePrivateDirectory:
    // a schema of this workstation when the database is on a server).
    void connectDirectories();
    // "Sterge fisierele .cfg".
    void deleteLayoutFiles();
    // Stamps the program version into Versiune.db of the open database.
    void stampVersion();
    // Options / ImageBackground: loads the picture and hands it to the window.
    void loadBackgroundPicture();
    // Writes what the window keeps at exit.
    void shutDown();

    // The engine's quick check of the open database, started in the
    // background after each opening when it was not found sound today; a
    // damaged database is reported through the dialogs, with what to do.
    void startIntegrityCheck();
    const datastore::BackgroundIntegrityCheck& integrityCheck() const { return m_integrity; }

    // Check marks of "&Butoane vizibile" and "Rapoarte in Germana".
    bool toolbarChecked = true;
    bool germanReportsChecked = false;

    // The layout files moved into a new private directory, and those deleted
    // by "Sterge fisierele .cfg".
    static const QStringList& movedLayoutFiles();
    static const QStringList& deletedLayoutFiles();

private:
    void openLastDatabase();
    // The parameters of the database just opened. A parameter file that
    // cannot be read is reported and the work goes on with the parameters
    // in memory (nothing is saved over that file).
    void loadParameters();
    void setReportSelection();

    AppContext& m_ctx;
    MainFormHost& m_host;
    datastore::OpeningSteps m_noSteps;
    datastore::OpeningSteps& m_steps;
    std::unique_ptr<OpeningWindow> m_opening; // from sub-step 8 to sub-step 19
    int m_failedStep = 0;
    datastore::BackgroundIntegrityCheck m_integrity;
};

} // namespace shell
