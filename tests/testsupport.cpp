#include "testsupport.h"
#include <QPixmap>
#include <QWidget>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>

namespace testsupport {

bool serverRun() { return qEnvironmentVariable("MIRAFEL_TEST_ENGINE") == QLatin1String("postgres"); }

TempDir::TempDir(Kind kind) : m_dir(QDir::tempPath() + "/mirafel-test-XXXXXX")
{
    if (kind == Database && serverRun()) {
        m_server = std::make_unique<ServerSchema>();
        m_server->useIn(m_dir.path());
    }
}

TempDir::~TempDir() = default;

QString ServerSchema::socketDir() { return qEnvironmentVariable("MIRAFEL_PG_SOCKET_DIR"); }

void ServerSchema::useIn(const QString& dir)
{
    if (m_name.isEmpty())
        m_name = "t_" + QUuid::createUuid().toString(QUuid::Id128).left(16);
    QSettings file(QDir(dir).filePath("gestiune.pg"), QSettings::IniFormat);
    file.setValue("host", socketDir());
    file.setValue("database", qEnvironmentVariable("MIRAFEL_PG_DATABASE", "mirafel"));
    file.setValue("schema", m_name);
    file.sync();
}

ServerSchema::~ServerSchema()
{
    if (m_name.isEmpty())
        return;
    const QString connection = "drop-" + m_name;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", connection);
        db.setHostName(socketDir());
        db.setDatabaseName(qEnvironmentVariable("MIRAFEL_PG_DATABASE", "mirafel"));
        if (db.open() && QSqlQuery(db).exec("SET client_min_messages TO warning"))
            QSqlQuery(db).exec("DROP SCHEMA IF EXISTS \"" + m_name + "\" CASCADE");
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

bool zeroDatabasePage(const QString& file, qint64 page)
{
    QFile f(file);
    if (page < 1 || !f.open(QIODevice::ReadWrite))
        return false;
    const QByteArray header = f.read(100);
    if (header.size() < 100)
        return false;
    // Offset 16: the page size, big-endian; 1 stands for 65536.
    const int stored = (quint8(header[16]) << 8) | quint8(header[17]);
    const qint64 pageSize = stored == 1 ? 65536 : stored;
    if (pageSize < 512 || page * pageSize > f.size())
        return false;
    return f.seek((page - 1) * pageSize) && f.write(QByteArray(pageSize, '\0')) == pageSize && f.flush();
}

QString legacySamplesDir()
{
    const QString src = qEnvironmentVariable("MIRAFEL_SOURCE_DIR");
    return QDir(src.isEmpty() ? QDir::currentPath() : src).absoluteFilePath("../shared/legacy-samples");
}

QString shotsDir()
{
    const QString dir = qEnvironmentVariable("MIRAFEL_SHOTS_DIR");
    if (dir.isEmpty())
        return {};
    QDir().mkpath(dir);
    return dir;
}

bool saveShot(QWidget& widget, const QString& name)
{
    const QString dir = shotsDir();
    return dir.isEmpty() || widget.grab().save(QDir(dir).filePath(name));
}

::testing::AssertionResult matchesGolden(const QString& name, const QString& actual)
{
    const QString path = qEnvironmentVariable("MIRAFEL_SOURCE_DIR") + QStringLiteral("/tests/golden/") + name;
    QFile file(path);
    if (qEnvironmentVariable("MIRAFEL_UPDATE_GOLDEN") == QLatin1String("1")) {
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return ::testing::AssertionFailure() << "cannot write " << path.toStdString();
        file.write(actual.toUtf8());
        return ::testing::AssertionSuccess();
    }
    if (!file.open(QIODevice::ReadOnly))
        return ::testing::AssertionFailure() << "no golden file " << path.toStdString()
                                             << " (MIRAFEL_UPDATE_GOLDEN=1 writes it)";
    const QString expected = QString::fromUtf8(file.readAll());
    if (expected == actual)
        return ::testing::AssertionSuccess();
    const QStringList want = expected.split(u'\n');
    const QStringList got = actual.split(u'\n');
    qsizetype line = 0;
    while (line < want.size() && line < got.size() && want.at(line) == got.at(line))
        ++line;
    return ::testing::AssertionFailure() << name.toStdString() << " differs at line " << line + 1 << "\n  golden: "
                                         << want.value(line).toStdString() << "\n  actual: "
                                         << got.value(line).toStdString();
}

} // namespace testsupport
