#pragma once
// Small helpers shared by the tests.
#include <QString>
#include <QTemporaryDir>

namespace testsupport {

// A fresh directory on disk, removed when the object goes away.
class TempDir {
public:
    TempDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

// Directory of the shared legacy samples (../shared/legacy-samples next to the clone).
QString legacySamplesDir();

} // namespace testsupport
