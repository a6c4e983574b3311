#include "displayrig.h"
#include "eventloopwaiter.h"
#include "pseudoterminal.h"
#include "qtseriallink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <cerrno>
#include <sys/resource.h>

using namespace vornestw;
using namespace vornestw::test;

namespace {

long cpuMicroseconds()
{
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return (r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1000000L + r.ru_utime.tv_usec +
           r.ru_stime.tv_usec;
}

// A comN link in the program folder decides the port, even a dangling one
// (/dev/ttyS3 would be another device); every failure names port and device.
TEST(QtSerialLink, PortsAndOpenFailuresAreNamed)
{
    QTemporaryDir folder;
    EXPECT_EQ(QtSerialLink::PortLocation(folder.path(), 4), "/dev/ttyS3");
    ASSERT_TRUE(QFile::link("/dev/ttyUSB7-gone", folder.filePath("com4")));
    EXPECT_EQ(QtSerialLink::PortLocation(folder.path(), 4), folder.filePath("com4"));
    QtSerialLink link(folder.path());
    EXPECT_EQ(link.open(4), "COM4 (/dev/ttyUSB7-gone): the link com4 in " + folder.path() +
                                " points to no device");
    ASSERT_TRUE(QFile(folder.filePath("com1")).open(QIODevice::WriteOnly));
    EXPECT_EQ(link.open(1), "COM1 (" + folder.filePath("com1") + "): not a serial port");
    EXPECT_FALSE(link.isOpen());
    // Root passes every permission check, so the text is built directly.
    EXPECT_EQ(QtSerialLink::OpenErrorText(3, "/dev/ttyS2", EACCES, "Permission denied",
                                          "/home/u/.config/vornestw"),
              "COM3 (/dev/ttyS2): Permission denied. Add your user to the dialout group and log "
              "in again, or link com3 in /home/u/.config/vornestw to a port you may use.");
}

// The far end goes away between two commands (a pulled USB adapter): the
// next one ends at once with one message, and nothing spins afterwards.
TEST(QtSerialLink, HungUpLineIsReportedClosedAndLeftQuietWhileWaitsSleep)
{
    QTemporaryDir folder;
    auto pty = std::make_unique<PseudoTerminal>();
    const QString device = pty->terminalPath();
    ASSERT_TRUE(QFile::link(device, folder.filePath("com2")));
    QtSerialLink link(folder.path());
    EventLoopWaiter waiter;
    RecordingNotice notice;
    FakePrinter printer;
    DisplayState state; // COM2
    OutputChannel channel(state, link, printer, waiter, notice);
    channel.SendString("a");
    ASSERT_EQ(pty->receiveAtLeast(1), BytesOf("a"));

    pty.reset();
    QElapsedTimer clock;
    clock.start();
    channel.SendString("bc");
    EXPECT_LT(clock.elapsed(), 1000) << "no time-out waited for";
    EXPECT_EQ(notice.messages,
              (Notices{{"Communication error", "COM2 (" + device + "): the device is gone",
                        UserNotice::Severity::Critical}}));
    // Idle afterwards: no failed write is retried over and over, and a wait
    // for a display that never gets ready sleeps between its rounds. Closing
    // a window ends such a wait at once.
    const long before = cpuMicroseconds();
    bool abort = false;
    clock.restart();
    EXPECT_EQ(waiter.waitUntil([] { return false; }, std::chrono::milliseconds(500), abort, {}),
              Waiter::Outcome::TimedOut);
    EXPECT_GE(clock.elapsed(), 500);
    EXPECT_LT(clock.elapsed(), 800);
    EXPECT_LT(cpuMicroseconds() - before, 150000L);
    QTimer::singleShot(5, [&] { abort = true; });
    EXPECT_EQ(waiter.waitUntil([] { return false; }, std::chrono::seconds(10), abort, {}),
              Waiter::Outcome::Aborted);
}

// The display stops reading: the terminal's buffer fills and the next byte
// finds no room. That is a time-out like any other, not a lost device; the port
// stays open and, once the display reads again, the next command goes out.
TEST(QtSerialLink, DisplayThatStopsReadingTimesOutAndKeepsThePort)
{
    QTemporaryDir folder;
    PseudoTerminal pty;
    ASSERT_TRUE(QFile::link(pty.terminalPath(), folder.filePath("com2")));
    QtSerialLink link(folder.path());
    EventLoopWaiter waiter;
    RecordingNotice notice;
    FakePrinter printer;
    DisplayState state; // COM2
    OutputChannel channel(state, link, printer, waiter, notice);
    const std::size_t moreThanAnyBuffer = 1 << 17;
    channel.SendString(std::string(moreThanAnyBuffer, 'x'));
    EXPECT_EQ(notice.messages,
              (Notices{{"Communication error", "Time out error", UserNotice::Severity::Warning}}));
    EXPECT_TRUE(link.isOpen());
    EXPECT_FALSE(link.failure());

    std::vector<std::uint8_t> got;
    QTimer reader;
    QObject::connect(&reader, &QTimer::timeout, [&] {
        const auto more = pty.takeReceived();
        got.insert(got.end(), more.begin(), more.end());
    });
    reader.start(1);
    channel.SendString("abc");
    const bool never = false;
    (void)waiter.waitUntil([&] { return got.size() >= 4 && got.back() == 'c'; },
                           std::chrono::seconds(5), never, {});
    EXPECT_EQ(notice.messages.size(), 1u);
    ASSERT_GE(got.size(), 4u);
    EXPECT_LT(got.size(), moreThanAnyBuffer); // the rest of the long command was dropped
    EXPECT_EQ(std::string(got.end() - 4, got.end()), "xabc");
}

} // namespace

// The real port and waiter need an event loop.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
