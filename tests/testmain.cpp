#include "testsupport.h"

#include <QApplication>
#include <cstdio>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A server run without its cluster would pass without testing anything.
    if (testsupport::serverRun() && testsupport::ServerSchema::socketDir().isEmpty()) {
        std::fprintf(stderr, "MIRAFEL_TEST_ENGINE=postgres needs MIRAFEL_PG_SOCKET_DIR (scripts/pgcluster.sh)\n");
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
