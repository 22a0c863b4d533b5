#pragma once
// The state that lives from start-up to exit: created in main(), handed to
// the main window and, through it, to every window that needs it.

#include "apppaths.h"

#include "catalogs/rates.h"
#include "common/dialogs.h"
#include "common/formats.h"
#include "common/inifile.h"
#include "common/parameters.h"
#include "datastore/database.h"
#include "prints/printstore.h"
#include "reports/selection.h"
#include "stock/stockbrowserlogic.h"

#include <QDate>
#include <QSettings>
#include <QString>

namespace shell {

// The report selection state kept for the whole run (the report dialogs
// remember their choices here).
using ReportSelection = reports::ReportSelection;

struct AppContext {
    AppContext(const AppPaths& appPaths, common::Dialogs& dlg, QSettings& registry)
        : paths(appPaths), ini(ensureFolderOf(appPaths.iniFile)),
          privateDir(appPaths.privateDir), dialogs(dlg), settings(registry)
    {
    }
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    AppPaths paths;
    common::IniFile ini;       // the application INI file: Options, PrinterSettings, XZip
    common::Formats formats;   // the regional formats fixed at start-up
    prints::PrintSettingsStore printSettings{ini}; // each print's own: read at start-up, written at exit
    common::Parameters parameters; // the application parameters, loaded with each database

    datastore::Database database{QString::fromLatin1(datastore::kDatabaseAlias)};       // "TSTOCK"
    datastore::Database privateDatabase{QString::fromLatin1(datastore::kPrivateAlias)}; // "TBX_PRIV"
    QString databaseDir;       // the open database directory, ending in '/'; empty while none is open
    QString privateDir;        // ends in '/'

    QString versionText;       // "major.minor.release.build" of this program
    ReportSelection reports;
    catalogs::RateCache rates; // latest rate of each currency asked for, for the whole run
    stock::StockPickMemory stockPick; // the warehouse last given to the stock picker
    bool checkForNewVersion = true;        // Options / "Check for new version"
    bool interactiveVersionCheck = false;  // set by "&Verifica versiunea"

    common::Dialogs& dialogs;
    QSettings& settings;       // the current user's "Corvane" / "Mirafel" key

    int userLevel = 0;         // access level of the current user; 0 in this edition
    QString userInitials;      // empty in this edition
};

} // namespace shell
