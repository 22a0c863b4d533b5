// Where the INI file and the private directory live.

#include <gtest/gtest.h>

#include "shelltest.h"

#include "shell/apppaths.h"

using namespace shell;

TEST(AppPaths, FollowTheExecutableTheUserFolderOrTheHomeOverride)
{
    testsupport::TempDir tmp;
    const QString exeDir = tmp.file("bin");
    QDir().mkpath(exeDir);
    const QString userData = tmp.file("user/Corvane/Mirafel");
    const QString home = tmp.file("portabil");

    struct Case {
        const char* name;
        QString executable;
        QString home;
        AppPaths expected;
    };
    const std::vector<Case> cases{
        {"writable executable folder", exeDir + "/mirafel", {},
         {exeDir + "/", exeDir + "/mirafel.INI", exeDir + "/TBX_PRIV/", {}}},
        {"the INI file is named like the executable", exeDir + "/gestiune.bin", {},
         {exeDir + "/", exeDir + "/gestiune.INI", exeDir + "/TBX_PRIV/", {}}},
        {"folder that cannot be written: per-user data folder", tmp.file("lipsa/mirafel"), {},
         {tmp.file("lipsa") + "/", userData + "/mirafel.INI", userData + "/TBX_PRIV/", {}}},
        {"MIRAFEL_HOME holds everything", exeDir + "/mirafel", home + "/",
         {home + "/", home + "/mirafel.INI", home + "/TBX_PRIV/", home + "/registry.ini"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const AppPaths p = AppPaths::resolve(c.executable, c.home, userData);
        EXPECT_EQ(p.executableDir, c.expected.executableDir);
        EXPECT_EQ(p.iniFile, c.expected.iniFile);
        EXPECT_EQ(p.privateDir, c.expected.privateDir);
        EXPECT_EQ(p.registryFile, c.expected.registryFile);
    }
}

TEST(AppPaths, TrailingSlashIsAddedOnce)
{
    struct Case {
        QString in;
        QString out;
    };
    const std::vector<Case> cases{{"", ""}, {"/a/b", "/a/b/"}, {"/a/b/", "/a/b/"}, {"/a/b//", "/a/b/"}, {"/", "/"}};
    for (const Case& c : cases)
        EXPECT_EQ(withTrailingSlash(c.in), c.out) << c.in.toStdString();
}
