#include "eventloopwaiter.h"
#include "qtseriallink.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vornestw;

namespace {

TEST(PortLocation, LinkInTheProgramFolderElseTtyS)
{
    QTemporaryDir folder;
    EXPECT_EQ(QtSerialLink::PortLocation(folder.path(), 1), "/dev/ttyS0");
    EXPECT_EQ(QtSerialLink::PortLocation(folder.path(), 4), "/dev/ttyS3");
    ASSERT_TRUE(QFile::link("/dev/null", folder.filePath("com3")));
    EXPECT_EQ(QtSerialLink::PortLocation(folder.path(), 3), folder.filePath("com3"));
    // A dangling link is as good as none.
    ASSERT_TRUE(QFile::link(folder.filePath("gone"), folder.filePath("com4")));
    EXPECT_EQ(QtSerialLink::PortLocation(folder.path(), 4), "/dev/ttyS3");
}

TEST(QtSerialLink, DeviceThatIsNoPortGivesTheSystemsDescription)
{
    QTemporaryDir folder;
    QFile plain(folder.filePath("com1"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    QtSerialLink link(folder.path());
    const auto error = link.open(1);
    ASSERT_TRUE(error);
    EXPECT_FALSE(error->isEmpty());
    EXPECT_FALSE(link.isOpen());
}

TEST(EventLoopWaiter, EndsOnReadyAbortOrTimeAndKeepsEventsRunning)
{
    EventLoopWaiter waiter;
    bool abort = false;
    bool ready = false;
    const std::chrono::milliseconds long_(10000);
    QTimer::singleShot(5, [&] { ready = true; });
    EXPECT_EQ(waiter.waitUntil([&] { return ready; }, long_, abort, {}), Waiter::Outcome::Ready);
    QTimer::singleShot(5, [&] { abort = true; });
    EXPECT_EQ(waiter.waitUntil([] { return false; }, long_, abort, {}), Waiter::Outcome::Aborted);
    abort = false;
    int rounds = 0;
    EXPECT_EQ(waiter.waitUntil([] { return false; }, std::chrono::milliseconds(20), abort,
                               [&] { ++rounds; }),
              Waiter::Outcome::TimedOut);
    EXPECT_GT(rounds, 0);
}

} // namespace
