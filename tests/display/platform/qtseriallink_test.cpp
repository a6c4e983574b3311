#include "displayrig.h"
#include "eventloopwaiter.h"
#include "portchooser.h"
#include "pseudoterminal.h"
#include "qtseriallink.h"
#include "systemports.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
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

// Binding COM2 in the chooser links it to the device's stable name; the
// utility then reaches the device through it, and Unbind closes the port
// that led there. A dangling link, a regular file and a device another
// program holds each say the port, the path and what to do.
TEST(QtSerialLink, BoundPortReachesTheDeviceAndFailuresSayWhatToDo)
{
    QTemporaryDir folder;
    PseudoTerminal pty;
    const QString device = pty.terminalPath();
    const QString stable = folder.filePath("usb-display-if00"); // as in /dev/serial/by-id
    ASSERT_TRUE(QFile::link(device, stable));
    QtSerialLink link(folder.path());
    EventLoopWaiter waiter;
    RecordingNotice notice;
    FakePrinter printer;
    DisplayState state; // COM2
    OutputChannel channel(state, link, printer, waiter, notice);
    SystemPorts system;
    PortChooser chooser(system, folder.path(), channel);
    ASSERT_FALSE(chooser.Bind(2, {device, "display", {}, {}, stable}));
    EXPECT_EQ(PortBindings(folder.path()).LinkTarget(2), stable);
    channel.SendString("a");
    EXPECT_EQ(pty.receiveAtLeast(1), BytesOf("a"));
    EXPECT_EQ(chooser.TestConnection(2), "COM2 (" + device +
                                             ") has no modem lines (a pseudo-terminal or a "
                                             "simulator): it counts as ready.");
    ASSERT_FALSE(chooser.Unbind(2));
    EXPECT_FALSE(link.isOpen());
    EXPECT_TRUE(notice.messages.empty());

    ASSERT_TRUE(QFile::link("/dev/ttyUSB7-gone", folder.filePath("com4")));
    EXPECT_EQ(link.open(4), "COM4 (/dev/ttyUSB7-gone): the link com4 in " + folder.path() +
                                " points to no device\nThe link " + folder.filePath("com4") +
                                " points to /dev/ttyUSB7-gone, which is not there: the adapter "
                                "is unplugged, or it has another name now. Plug it in, or bind "
                                "COM4 to another device with the Ports… button.");
    ASSERT_TRUE(QFile(folder.filePath("com1")).open(QIODevice::WriteOnly));
    EXPECT_EQ(link.open(1), "COM1 (" + folder.filePath("com1") + "): not a serial port\n" +
                                folder.filePath("com1") +
                                " is a regular file, not a serial device. Remove it, then bind "
                                "COM1 to a serial device with the Ports… button.");

    // A lock file of a running program, as minicom or another Qt program leaves it.
    QProcess holder;
    holder.start("sleep", {"30"});
    ASSERT_TRUE(holder.waitForStarted());
    const QString lockFile = "/var/lock/LCK.." + device.mid(5).replace('/', '_');
    QFile lock(lockFile);
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(holder.processId()) + "\nsleep\nhost\n");
    lock.close();
    ASSERT_FALSE(chooser.Bind(3, {device, {}, {}, {}, {}}));
    const QString inUse = QStringLiteral("COM3 (%1) is in use by sleep (PID %2)\nClose sleep "
                                         "first, or bind COM3 to another device with the Ports… "
                                         "button. Its lock file is %3.")
                              .arg(device)
                              .arg(holder.processId())
                              .arg(lockFile);
    EXPECT_EQ(link.open(3), inUse);
    EXPECT_EQ(chooser.TestConnection(3), inUse);
    QFile::remove(lockFile);
    holder.kill();
    holder.waitForFinished();
    EXPECT_FALSE(link.isOpen());
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
