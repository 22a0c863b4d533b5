#pragma once
// Where the application keeps its files.
//
// The application INI file lies next to the executable and is named like it
// with ".INI" (mirafel.INI); the private directory is the executable's folder
// followed by "TBX_PRIV/". When the executable's folder cannot be written (an
// installation under /usr, for instance) both move to the per-user data
// folder. The environment variable MIRAFEL_HOME names one folder used for both
// instead (tests and the portable setup).

#include <QString>

namespace shell {

inline constexpr const char* kHomeEnvironmentVariable = "MIRAFEL_HOME";
inline constexpr const char* kPrivateDirName = "TBX_PRIV";

struct AppPaths {
    QString executableDir; // where the layout files may lie at the first start; ends in '/'
    QString iniFile;       // the application INI file
    QString privateDir;    // ends in '/'
    QString registryFile;  // with MIRAFEL_HOME: an INI file that stands in for the user's registry key

    // The paths of this process: the running executable, MIRAFEL_HOME and
    // QStandardPaths::AppDataLocation.
    static AppPaths resolve();
    // The rule itself. `home` is the MIRAFEL_HOME override (empty when not
    // set), `userDataDir` the per-user data folder.
    static AppPaths resolve(const QString& executablePath, const QString& home, const QString& userDataDir);
    // Every path under one folder: <dir>/<baseName>.INI and <dir>/TBX_PRIV/.
    static AppPaths inFolder(const QString& dir, const QString& baseName = QStringLiteral("mirafel"));
};

// The path with exactly one trailing '/' (empty stays empty).
QString withTrailingSlash(const QString& path);
// Creates the folder that will hold `filePath` when it is missing; returns `filePath`.
QString ensureFolderOf(const QString& filePath);

} // namespace shell
