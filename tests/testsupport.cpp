#include "testsupport.h"

#include <QDir>

namespace testsupport {

TempDir::TempDir() : m_dir(QDir::tempPath() + "/mirafel-test-XXXXXX") {}

QString legacySamplesDir()
{
    const QString src = qEnvironmentVariable("MIRAFEL_SOURCE_DIR");
    return QDir(src.isEmpty() ? QDir::currentPath() : src).absoluteFilePath("../shared/legacy-samples");
}

} // namespace testsupport
