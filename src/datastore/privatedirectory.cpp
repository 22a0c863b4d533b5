#include "privatedirectory.h"

#include "database.h"
#include "dberror.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>
#include <QUuid>

namespace datastore {

namespace {

// The keys of a server file that name where the tables are.
const char* const kServerKeys[] = {"host", "port", "database", "user"};

QString serverFile(const QString& dir)
{
    return QDir(dir).filePath(QLatin1String(kServerFileName));
}

QString absoluteDir(const QString& dir)
{
    return QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(dir)).absoluteFilePath());
}

// Runs `statement` on the server named by the file's keys, on a connection
// of its own. An error whose SQLSTATE is `tolerated` counts as done.
void runOnServer(const QSettings& server, const QString& statement, const QString& file,
                 const QString& tolerated = QString())
{
    const QString connection = QStringLiteral("private-schema-") + QUuid::createUuid().toString(QUuid::Id128);
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
        db.setHostName(server.value(QStringLiteral("host")).toString());
        if (const int port = server.value(QStringLiteral("port")).toInt(); port > 0)
            db.setPort(port);
        db.setDatabaseName(server.value(QStringLiteral("database")).toString());
        db.setUserName(server.value(QStringLiteral("user")).toString());
        if (!db.open()) {
            failure = db.lastError().databaseText().isEmpty() ? db.lastError().text() : db.lastError().databaseText();
        } else {
            QSqlQuery query(db);
            if (!query.exec(QStringLiteral("SET client_min_messages TO warning")) || !query.exec(statement)) {
                if (tolerated.isEmpty() || query.lastError().nativeErrorCode() != tolerated)
                    failure = query.lastError().databaseText();
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    if (!failure.isEmpty())
        throw DbError(DbErrorKind::Io, failure.trimmed(), file);
}

// A schema name made by privateSchemaName: [a-z0-9_] only, so it is written
// into the statement as it is.
bool plainName(const QString& name)
{
    if (name.isEmpty() || name.size() > 63)
        return false;
    for (const QChar c : name)
        if (!((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_'))
            return false;
    return true;
}

} // namespace

QString privateSchemaName(const QString& privateDir, const QString& hostName)
{
    QString host;
    for (const QChar c : hostName.toLower()) {
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
        host += plain ? c : u'_';
    }
    // "priv_" + host + "_" + 8 digits within the server's 63 characters.
    host.truncate(63 - 14);
    const QByteArray key = (hostName.toLower() + u'\n' + absoluteDir(privateDir)).toUtf8();
    const QString digits = QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(8));
    return QStringLiteral("priv_") + host + u'_' + digits;
}

QString privateSchemaName(const QString& privateDir)
{
    return privateSchemaName(privateDir, QSysInfo::machineHostName());
}

bool hasPlacedServerFile(const QString& privateDir)
{
    const QString file = serverFile(privateDir);
    if (!QFileInfo(file).isFile())
        return false;
    const QSettings settings(file, QSettings::IniFormat);
    return settings.value(QLatin1String(kPrivateServerKey)).toBool();
}

void placePrivateDirectory(const QString& privateDir, const QString& databaseDir)
{
    if (privateDir.isEmpty())
        return;
    const QString file = serverFile(privateDir);
    const QString databaseFile = databaseDir.isEmpty() ? QString() : serverFile(databaseDir);
    const bool onServer = !databaseFile.isEmpty() && QFileInfo(databaseFile).isFile();
    const bool present = QFileInfo::exists(file);
    const bool ours = hasPlacedServerFile(privateDir);
    if (present && !ours)
        return; // someone else's choice of where these tables live

    if (!onServer) {
        if (present && !QFile::remove(file))
            throw DbError(DbErrorKind::Io,
                          QStringLiteral("Nu pot sterge fisierul %1").arg(QDir::toNativeSeparators(file)), file);
        return;
    }

    const QSettings server(databaseFile, QSettings::IniFormat);
    const QString schema = privateSchemaName(privateDir);
    bool right = present;
    if (present) {
        const QSettings current(file, QSettings::IniFormat);
        for (const char* key : kServerKeys)
            right = right && current.value(QLatin1String(key)).toString() == server.value(QLatin1String(key)).toString();
        right = right && current.value(QStringLiteral("schema")).toString() == schema;
    }
    // 23505: another process of this workstation made it at the same moment.
    runOnServer(server, QStringLiteral("CREATE SCHEMA IF NOT EXISTS \"%1\"").arg(schema), file,
                QStringLiteral("23505"));
    if (right)
        return;

    QSettings settings(file, QSettings::IniFormat);
    settings.clear();
    for (const char* key : kServerKeys)
        if (server.contains(QLatin1String(key)))
            settings.setValue(QLatin1String(key), server.value(QLatin1String(key)));
    settings.setValue(QStringLiteral("schema"), schema);
    settings.setValue(QLatin1String(kPrivateServerKey), true);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw DbError(DbErrorKind::Io,
                      QStringLiteral("Nu pot scrie fisierul %1").arg(QDir::toNativeSeparators(file)), file);
}

void dropPrivateSchema(const QString& privateDir)
{
    if (!hasPlacedServerFile(privateDir))
        return;
    const QString file = serverFile(privateDir);
    {
        const QSettings settings(file, QSettings::IniFormat);
        const QString schema = settings.value(QStringLiteral("schema")).toString();
        if (plainName(schema) && schema.startsWith(QLatin1String("priv_")))
            runOnServer(settings, QStringLiteral("DROP SCHEMA IF EXISTS \"%1\" CASCADE").arg(schema), file);
    }
    if (!QFile::remove(file))
        throw DbError(DbErrorKind::Io, QStringLiteral("Nu pot sterge fisierul %1").arg(QDir::toNativeSeparators(file)),
                      file);
}

} // namespace datastore
