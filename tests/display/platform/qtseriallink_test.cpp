#include "displaystate.h"
#include "eventloopwaiter.h"
#include "outputchannel.h"
#include "pseudoterminal.h"
#include "qtseriallink.h"
#include "recordingnotice.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vornestw;
using namespace vornestw::test;

namespace {

std::vector<std::uint8_t> bytesOf(std::string_view s)
{
    return {s.begin(), s.end()};
}

class SerialOverPty : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(pty.isValid());
        ASSERT_TRUE(QFile::link(pty.terminalPath(), folder.filePath("com2")));
    }

    QTemporaryDir folder;
    PseudoTerminal pty;
};

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

TEST_F(SerialOverPty, BytesReachTheLineUnchangedIncludingZeroAndControls)
{
    QtSerialLink link(folder.path());
    ASSERT_FALSE(link.open(2));
    EXPECT_TRUE(link.isOpen());
    EXPECT_TRUE(link.ctsHolding()); // no modem lines: always ready
    const std::string bytes("\xFE\x66\x00\r\n\x1B[2J\xFF", 10);
    for (char c : bytes)
        link.write(static_cast<std::uint8_t>(c));
    EXPECT_EQ(pty.receiveAtLeast(bytes.size()), bytesOf(bytes));
    EXPECT_EQ(link.outBufferCount(), 0);
    link.close();
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.ctsHolding());
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
    link.write('x'); // harmless on a closed port
    EXPECT_EQ(link.outBufferCount(), 0);
}

TEST_F(SerialOverPty, OutputChannelSendsAWholeCommandThroughTheRealPort)
{
    QtSerialLink link(folder.path());
    EventLoopWaiter waiter;
    RecordingNotice notice;
    FakePrinter printer;
    DisplayState state; // COM2
    OutputChannel channel(state, link, printer, waiter, notice);

    channel.SendString("\x1B[8M \x1B[2JAB\x1B[02;01H\x1B[8M");
    channel.SendString("\xFE\x66");
    const std::string expected = "\x1B[8M \x1B[2JAB\x1B[02;01H\x1B[8M\xFE\x66";
    EXPECT_EQ(pty.receiveAtLeast(expected.size()), bytesOf(expected));
    EXPECT_TRUE(notice.messages.empty());
    EXPECT_EQ(state.SentText, "<254>f");
    channel.CloseForShutdown();
    EXPECT_FALSE(link.isOpen());
}

TEST(EventLoopWaiter, EndsOnReadyAbortOrTimeAndKeepsEventsRunning)
{
    EventLoopWaiter waiter;
    bool abort = false;
    bool ready = false;
    QTimer::singleShot(5, [&] { ready = true; });
    EXPECT_EQ(waiter.waitUntil([&] { return ready; }, std::chrono::milliseconds(10000), abort, {}),
              Waiter::Outcome::Ready);

    QTimer::singleShot(5, [&] { abort = true; });
    EXPECT_EQ(waiter.waitUntil([] { return false; }, std::chrono::milliseconds(10000), abort, {}),
              Waiter::Outcome::Aborted);

    abort = false;
    int rounds = 0;
    EXPECT_EQ(waiter.waitUntil([] { return false; }, std::chrono::milliseconds(20), abort,
                               [&] { ++rounds; }),
              Waiter::Outcome::TimedOut);
    EXPECT_GT(rounds, 0);
}

} // namespace
