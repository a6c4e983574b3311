#include "cupsprinter.h"
#include "displaystate.h"
#include "eventloopwaiter.h"
#include "outputchannel.h"
#include "pseudoterminal.h"
#include "qtseriallink.h"
#include "recordingnotice.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace vornestw;

namespace {

TEST(PortLocation, LinkInTheProgramFolderElseTtyS)
{
    QTemporaryDir folder;
    EXPECT_EQ(QtSerialLink::PortLocation(folder.path(), 1), "/dev/ttyS0");
    EXPECT_EQ(QtSerialLink::PortLocation(folder.path(), 4), "/dev/ttyS3");
    ASSERT_TRUE(QFile::link("/dev/null", folder.filePath("com3")));
    EXPECT_EQ(QtSerialLink::PortLocation(folder.path(), 3), folder.filePath("com3"));
    // A dangling link still decides: /dev/ttyS3 would be another device.
    ASSERT_TRUE(QFile::link("/dev/ttyUSB7-gone", folder.filePath("com4")));
    EXPECT_EQ(QtSerialLink::PortLocation(folder.path(), 4), folder.filePath("com4"));
    EXPECT_EQ(QtSerialLink(folder.path()).open(4), "COM4 (/dev/ttyUSB7-gone): the link com4 in " +
                                                       folder.path() + " points to no device");
}

TEST(QtSerialLink, OpenFailuresNameThePortAndItsDevice)
{
    QTemporaryDir folder;
    QFile plain(folder.filePath("com1"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    QtSerialLink link(folder.path());
    EXPECT_EQ(link.open(1), "COM1 (" + folder.filePath("com1") + "): not a serial port");
    EXPECT_FALSE(link.isOpen());
    // Root passes every permission check, so the text is built directly.
    EXPECT_EQ(QtSerialLink::OpenErrorText(3, "/dev/ttyS2", EACCES, "Permission denied",
                                          "/home/u/.config/vornestw"),
              "COM3 (/dev/ttyS2): Permission denied. Add your user to the dialout group and log "
              "in again, or link com3 in /home/u/.config/vornestw to a port you may use.");
}

// The far end goes away in the middle of a session (a pulled USB adapter).
TEST(QtSerialLink, HungUpLineIsReportedClosedAndLeftQuiet)
{
    QTemporaryDir folder;
    auto pty = std::make_unique<test::PseudoTerminal>();
    ASSERT_TRUE(QFile::link(pty->terminalPath(), folder.filePath("com2")));
    const QString device = pty->terminalPath();
    QtSerialLink link(folder.path());
    EventLoopWaiter waiter;
    test::RecordingNotice notice;
    test::FakePrinter printer;
    DisplayState state; // COM2
    OutputChannel channel(state, link, printer, waiter, notice);
    channel.SendString("a");
    ASSERT_EQ(pty->receiveAtLeast(1).size(), 1u);

    pty.reset();
    channel.SendString("bc");
    ASSERT_EQ(notice.messages.size(), 1u);
    EXPECT_EQ(notice.messages[0].text, "COM2 (" + device + "): the device is gone");
    EXPECT_EQ(notice.messages[0].severity, UserNotice::Severity::Critical);
    EXPECT_FALSE(link.isOpen());

    // Idle afterwards: no failed write is retried over and over.
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    QEventLoop idle;
    QTimer::singleShot(300, &idle, &QEventLoop::quit);
    idle.exec();
    getrusage(RUSAGE_SELF, &after);
    const auto us = [](const rusage& r) {
        return (r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1000000L + r.ru_utime.tv_usec +
               r.ru_stime.tv_usec;
    };
    EXPECT_LT(us(after) - us(before), 60000L);
}

// A print server that takes the connection and never answers.
TEST(CupsPrinter, SilentServerIsNamedWithinSecondsWhileTheWindowKeepsRunning)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const QByteArray server = "127.0.0.1:" + QByteArray::number(ntohs(address.sin_port));
    qputenv("CUPS_SERVER", server);

    EventLoopWaiter waiter;
    CupsPrinter printer(waiter, std::chrono::milliseconds(1000));
    QElapsedTimer clock;
    qint64 last = 0, longestGap = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, clock.elapsed() - last);
        last = clock.elapsed();
    });
    ticker.start(20);
    clock.start();
    const auto error = printer.printRaw("x");
    const qint64 elapsed = clock.elapsed();
    longestGap = std::max(longestGap, elapsed - last);
    qunsetenv("CUPS_SERVER");
    ::close(listener);

    ASSERT_TRUE(error);
    EXPECT_TRUE(
        error->startsWith("The print server " + QString::fromLatin1(server) + " does not answer"))
        << error->toStdString();
    EXPECT_LT(elapsed, 5000);
    EXPECT_LT(longestGap, 500); // the window was never held up
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
