// The private directory's place: the name of a workstation's schema, and a
// local database leaving only the server files written here to be removed.
// The server side is in tests/reports/tst_privateserver.cpp.

#include "datastore/database.h"
#include "datastore/privatedirectory.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSysInfo>
#include <gtest/gtest.h>

using namespace datastore;

TEST(PrivateDirectory, TheSchemaNameIsAPlainIdentifierOfTheHostAndTheDirectory)
{
    testsupport::TempDir tmp;
    const QString dir = tmp.file("TBX_PRIV");
    struct Case { QString host; QString dir; QString prefix; };
    const Case cases[] = {
        {"WS-Contabil.local", dir, "priv_ws_contabil_local_"},
        {"statie7", dir + "/", "priv_statie7_"},
        {QString(80, u'A'), dir, "priv_" + QString(49, u'a') + "_"},
        {QString::fromUtf8("Calculatorul-Ştefan"), dir, "priv_calculatorul__tefan_"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.host.toStdString());
        const QString name = privateSchemaName(c.dir, c.host);
        EXPECT_TRUE(name.startsWith(c.prefix)) << name.toStdString();
        EXPECT_EQ(name.size(), c.prefix.size() + 8);
        EXPECT_LE(name.size(), 63);
        EXPECT_EQ(name, name.toLower());
        for (const QChar ch : name)
            EXPECT_TRUE(ch.isDigit() || (ch >= u'a' && ch <= u'z') || ch == u'_') << name.toStdString();
    }
    // The same directory however written; another directory or host differs.
    EXPECT_EQ(privateSchemaName(dir, "ws"), privateSchemaName(dir + "/", "ws"));
    EXPECT_EQ(privateSchemaName(dir, "ws"), privateSchemaName(tmp.file("x/../TBX_PRIV"), "ws"));
    EXPECT_NE(privateSchemaName(dir, "ws"), privateSchemaName(tmp.file("TBX_PRIV2"), "ws"));
    EXPECT_NE(privateSchemaName(dir, "ws1").right(8), privateSchemaName(dir, "ws2").right(8));
    EXPECT_EQ(privateSchemaName(dir), privateSchemaName(dir, QSysInfo::machineHostName()));
}

TEST(PrivateDirectory, ALocalDatabaseRemovesOnlyTheServerFileWrittenHere)
{
    testsupport::TempDir database;
    testsupport::TempDir priv;
    const QString file = priv.file(kServerFileName);
    const auto write = [&](bool ours) {
        QSettings s(file, QSettings::IniFormat);
        s.clear();
        s.setValue("host", "/tmp/none");
        s.setValue("database", "stoc");
        s.setValue("schema", "priv_x_00000000");
        if (ours)
            s.setValue(kPrivateServerKey, true);
        s.sync();
    };

    write(true);
    EXPECT_TRUE(hasPlacedServerFile(priv.path()));
    placePrivateDirectory(priv.path(), database.path());
    EXPECT_FALSE(QFile::exists(file));
    Database privateDb(kPrivateAlias);
    privateDb.setDirectory(priv.path());
    EXPECT_FALSE(privateDb.onServer());

    write(false);
    EXPECT_FALSE(hasPlacedServerFile(priv.path()));
    placePrivateDirectory(priv.path(), database.path());
    EXPECT_TRUE(QFile::exists(file)) << "someone else's file stays";
    dropPrivateSchema(priv.path());
    EXPECT_TRUE(QFile::exists(file));

    // Nothing to do: no file, or no private directory at all.
    QFile::remove(file);
    EXPECT_NO_THROW(placePrivateDirectory(priv.path(), database.path()));
    EXPECT_NO_THROW(placePrivateDirectory(QString(), database.path()));
    EXPECT_FALSE(QFile::exists(file));
}
