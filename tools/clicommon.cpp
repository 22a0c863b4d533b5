#include "clicommon.h"

#include "common/inifile.h"
#include "datastore/database.h"

#include <QDir>
#include <QFileInfo>

namespace cli {

QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}

QTextStream& err()
{
    static QTextStream s(stderr);
    return s;
}

Options parseOptions(const QStringList& args, const QStringList& switches, bool* ok)
{
    Options options;
    *ok = true;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (!arg.startsWith(QLatin1String("--"))) {
            options.positional << arg;
            continue;
        }
        const QString name = arg.mid(2);
        if (switches.contains(name)) {
            options.flags << name;
        } else if (i + 1 < args.size()) {
            options.values.insert(name, args.at(++i));
        } else {
            *ok = false;
        }
    }
    return options;
}

QString printSettingsFileProblem(const Options& options)
{
    if (!options.values.contains(QStringLiteral("ini")))
        return {};
    const QString path = options.values.value(QStringLiteral("ini"));
    if (!QFileInfo::exists(path))
        return QStringLiteral("error: %1: no such file").arg(path);
    const common::IniFile ini(path);
    if (!ini.isReadable())
        return QStringLiteral("error: %1: %2").arg(path, ini.readError());
    return {};
}

DirectorySettings directorySettings(const QString& dir)
{
    DirectorySettings settings;
    const QString file = QDir(dir).filePath(QStringLiteral("TBXDEF.INI"));
    if (QFileInfo::exists(file)) {
        try {
            common::LoadParameters(settings.parameters, settings.formats, file);
        } catch (const std::exception& e) {
            err() << QString::fromLocal8Bit(e.what()) << Qt::endl;
        }
    }
    return settings;
}

QString databaseProblem(const QString& dir)
{
    datastore::Database db;
    db.setDirectory(dir);
    if (const QString problem = db.accessProblem(); !problem.isEmpty())
        return problem;
    if (!db.fileExists())
        return QStringLiteral("No database in %1").arg(QDir::toNativeSeparators(dir));
    return {};
}

} // namespace cli
