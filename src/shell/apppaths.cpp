#include "apppaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace shell {

QString withTrailingSlash(const QString& path)
{
    if (path.isEmpty())
        return path;
    QString p = QDir::fromNativeSeparators(path);
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return p.endsWith(QLatin1Char('/')) ? p : p + QLatin1Char('/');
}

QString ensureFolderOf(const QString& filePath)
{
    QDir().mkpath(QFileInfo(filePath).absolutePath());
    return filePath;
}

AppPaths AppPaths::inFolder(const QString& dir, const QString& baseName)
{
    const QString folder = withTrailingSlash(QDir(dir).absolutePath());
    AppPaths p;
    p.executableDir = folder;
    p.iniFile = folder + baseName + QStringLiteral(".INI");
    p.privateDir = folder + QLatin1String(kPrivateDirName) + QLatin1Char('/');
    return p;
}

AppPaths AppPaths::resolve(const QString& executablePath, const QString& home, const QString& userDataDir)
{
    const QFileInfo exe(executablePath);
    const QString baseName = exe.completeBaseName().isEmpty() ? QStringLiteral("mirafel") : exe.completeBaseName();
    if (!home.isEmpty()) {
        AppPaths p = inFolder(home, baseName);
        p.registryFile = withTrailingSlash(QDir(home).absolutePath()) + QStringLiteral("registry.ini");
        return p;
    }

    const QString exeDir = exe.absolutePath();
    if (QFileInfo(exeDir).isWritable())
        return inFolder(exeDir, baseName);

    AppPaths p = inFolder(userDataDir, baseName);
    p.executableDir = withTrailingSlash(exeDir); // the layout files still come from there
    return p;
}

AppPaths AppPaths::resolve()
{
    return resolve(QCoreApplication::applicationFilePath(), qEnvironmentVariable(kHomeEnvironmentVariable),
                   QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

} // namespace shell
