#pragma once
// What the commands of mirafel-cli share: the console streams, the options
// of a command line, and the database directory opened read-only.

#include "common/formats.h"
#include "common/parameters.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QTextStream>

namespace cli {

QTextStream& out();
QTextStream& err();

// "--name value" pairs and "--flag" switches after the positional arguments.
struct Options {
    QStringList positional;
    QHash<QString, QString> values; // "--pdf FILE" -> values["pdf"] = FILE
    QStringList flags;              // "--text" -> "text"
    bool has(const QString& name) const { return values.contains(name) || flags.contains(name); }
};
// `switches` are the options that take no value. Nullopt-like: ok = false on a value missing.
Options parseOptions(const QStringList& args, const QStringList& switches, bool* ok);

// The parameters and formats of a database directory (TBXDEF.INI), the built-in ones when it has none.
struct DirectorySettings {
    common::Parameters parameters;
    common::Formats formats;
};
DirectorySettings directorySettings(const QString& dir);

// The problem that keeps `dir` from being read as a database, empty when it can be.
QString databaseProblem(const QString& dir);

// "--ini FILE": the application's INI file, whose print settings (each
// print's and report's own) the prints and reports take; without it every
// print comes out as designed. The problem that keeps the file from being
// read, empty when it can be (or when the option is not given).
QString printSettingsFileProblem(const Options& options);

// The commands that print through the report engine (they need a GUI application object).
int printCommand(const QStringList& args);
// mirafel-cli report DIR NAME ...: a report of reports::reportKinds().
int reportCommand(const QStringList& args);
// mirafel-cli copy FROM TO: a whole database into another directory (args: FROM, TO).
int copyCommand(const QStringList& args);

} // namespace cli
