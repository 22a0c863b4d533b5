#pragma once
// Small helpers shared by the tests.
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include <gtest/gtest.h>

class QWidget;

namespace testsupport {

// A schema of its own on the throw-away PostgreSQL cluster of the tests
// (scripts/pgcluster.sh), whose socket folder MIRAFEL_PG_SOCKET_DIR names.
// useIn(dir) writes the directory's server file so that a Database on `dir`
// keeps its tables in this schema; the schema is dropped when the object
// goes away.
class ServerSchema {
public:
    ServerSchema() = default;
    ~ServerSchema();
    ServerSchema(const ServerSchema&) = delete;
    ServerSchema& operator=(const ServerSchema&) = delete;

    // The socket folder, empty when no cluster is given to the tests.
    static QString socketDir();
    void useIn(const QString& dir);
    const QString& name() const { return m_name; }

private:
    QString m_name;
};

// Whether the suites' databases live on the PostgreSQL cluster of the tests
// (MIRAFEL_TEST_ENGINE=postgres, set by the server runs of ctest) instead of
// SQLite files.
bool serverRun();

// A fresh directory on disk, removed when the object goes away. A database
// folder (TempDir::Database) holds its tables on the server in a server run:
// its connection file names a schema of its own, dropped with the folder.
class TempDir {
public:
    enum Kind { Plain, Database };
    explicit TempDir(Kind kind = Plain);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }

private:
    std::unique_ptr<ServerSchema> m_server;
    QTemporaryDir m_dir;
};

// Overwrites page `page` (1-based) of an SQLite file with zeros, as a failing
// disk or an interrupted copy leaves it; the page size is read from the
// file's header. False when the file cannot be written or has no such page.
bool zeroDatabasePage(const QString& file, qint64 page);

// Directory of the shared legacy samples (../shared/legacy-samples next to the clone).
QString legacySamplesDir();

// The folder named by MIRAFEL_SHOTS_DIR (made when missing), where tests
// leave pictures and documents for a look; empty when it is not set.
QString shotsDir();
// Saves a picture of `widget` as `name` in shotsDir(); nothing when unset.
// False when the picture could not be written.
bool saveShot(QWidget& widget, const QString& name);

// Compares `actual` with the golden file tests/golden/<name> and shows the
// first line that differs. Golden files change only on purpose: run the test
// with MIRAFEL_UPDATE_GOLDEN=1 to write `actual` over the file, then review
// the difference before committing it.
::testing::AssertionResult matchesGolden(const QString& name, const QString& actual);

} // namespace testsupport
