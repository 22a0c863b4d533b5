#pragma once
// The real mirafel-cli binary run by the tests, its exit code and output.

#include <QProcess>
#include <QString>
#include <QStringList>

struct CliRun {
    int code;
    QString out;
    QString err;
};

inline CliRun cli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(MIRAFEL_CLI_PATH), args);
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}
