// A second start finds the first, asks it to come forward and gives way.

#include <gtest/gtest.h>

#include "shell/singleinstance.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QUuid>

using namespace shell;

TEST(SingleInstance, SecondStartAsksTheFirstToComeForward)
{
    const QString name = "mirafel-test-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
    SingleInstance first(name);
    int requests = 0;
    QObject::connect(&first, &SingleInstance::activationRequested, [&] { ++requests; });
    ASSERT_TRUE(first.tryBecomePrimary());
    EXPECT_TRUE(first.isPrimary());

    SingleInstance second(name);
    EXPECT_FALSE(second.tryBecomePrimary());
    EXPECT_FALSE(second.isPrimary());

    QElapsedTimer clock;
    clock.start();
    while (requests == 0 && clock.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(requests, 1);
}

TEST(SingleInstance, TheNameBelongsToTheUser)
{
    EXPECT_TRUE(SingleInstance::defaultServerName().startsWith("Mirafel-"));
    EXPECT_EQ(SingleInstance::defaultServerName(), SingleInstance::defaultServerName());
}
