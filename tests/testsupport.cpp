#include "testsupport.h"
#include <QPixmap>
#include <QWidget>

#include <QDir>
#include <QFile>

namespace testsupport {

TempDir::TempDir() : m_dir(QDir::tempPath() + "/mirafel-test-XXXXXX") {}

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

} // namespace testsupport
