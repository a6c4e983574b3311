// The Qt serial port over a pseudo-terminal: first the cases every SerialLink
// must pass, the simulated port that the other display tests trust included,
// then what only a real line shows.
#include "displayrig.h"
#include "eventloopwaiter.h"
#include "portchooser.h"
#include "pseudoterminal.h"
#include "qtseriallink.h"
#include "systemports.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

using namespace vornestw;
using namespace vornestw::test;

namespace {

// The real waiter, counting what the waits did: those that ran into their
// limit (nothing is "at once" after one) and the rounds of the last one (a
// round sleeps a poll interval unless an event comes; a spinning wait takes
// thousands).
struct CountingWaiter : Waiter
{
    Outcome waitUntil(const std::function<bool()>& ready, std::chrono::milliseconds limit,
                      const bool& abort, const std::function<void()>& eachRound) override
    {
        rounds = 0;
        const Outcome outcome = real.waitUntil(
            [&] {
                ++rounds;
                return ready();
            },
            limit, abort, eachRound);
        timedOut += outcome == Outcome::TimedOut;
        return outcome;
    }
    void processEvents() override { real.processEvents(); }

    EventLoopWaiter real;
    long rounds = 0;
    int timedOut = 0;
};

// COM2 is a link in the program folder to the terminal side of a pty (unless
// a test binds it itself); the output routine sends through the Qt port.
struct QtOverPty
{
    explicit QtOverPty(bool linkCom2 = true)
    {
        if (linkCom2)
            QFile::link(pty->terminalPath(), folder.filePath("com2"));
    }
    std::vector<std::uint8_t> farEnd(std::size_t expected) { return pty->receiveAtLeast(expected); }
    void idle() { QCoreApplication::processEvents(); }
    void vanish() { pty.reset(); }

    QTemporaryDir folder;
    std::unique_ptr<PseudoTerminal> pty = std::make_unique<PseudoTerminal>();
    QtSerialLink link{folder.path()};
    CountingWaiter waiter;
    RecordingNotice notice;
    FakePrinter printer;
    DisplayState state; // COM2
    OutputChannel channel{state, link, printer, waiter, notice};
};

struct Simulated
{
    std::vector<std::uint8_t> farEnd(std::size_t expected)
    {
        for (std::size_t i = 0; i < expected + 10; ++i)
            link.tick();
        return link.received();
    }
    void idle() { link.tick(); }
    void vanish() { link.unplug(); }

    SimulatedPort link;
};

template <typename Line> class SerialLinkContract : public ::testing::Test
{
protected:
    Line line;
    SerialLink& link = line.link;
};

using Lines = ::testing::Types<QtOverPty, Simulated>;
TYPED_TEST_SUITE(SerialLinkContract, Lines);

TYPED_TEST(SerialLinkContract, ClearToSendOnlyWhileOpenBytesInOrderAndDiscard)
{
    SerialLink& link = this->link;
    EXPECT_FALSE(link.ctsHolding());
    link.write('x'); // harmless on a closed port
    ASSERT_FALSE(link.open(2));
    EXPECT_TRUE(link.isOpen());
    EXPECT_TRUE(link.ctsHolding()); // no modem line holds it low
    const std::string bytes("\xFE\x66\x00\r\n\x1B[2J\xFF", 10);
    for (char c : bytes)
        link.write(static_cast<std::uint8_t>(c));
    EXPECT_EQ(this->line.farEnd(bytes.size()), BytesOf(bytes));
    EXPECT_EQ(link.outBufferCount(), 0);
    // What is discarded may be gone already; nothing stays queued, and the
    // next byte still arrives.
    link.write('a');
    link.discardOutput();
    EXPECT_EQ(link.outBufferCount(), 0);
    link.write('c');
    const auto got = this->line.farEnd(1);
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.back(), 'c');
    link.close();
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.ctsHolding());
}

TYPED_TEST(SerialLinkContract, VanishedDeviceIsAFailureThatClosesThePort)
{
    SerialLink& link = this->link;
    ASSERT_FALSE(link.open(2));
    EXPECT_FALSE(link.failure());
    this->line.vanish();
    link.write('x');
    for (int round = 0; round < 50 && link.isOpen(); ++round) {
        this->line.idle();
        (void)link.ctsHolding();
    }
    const QString failure = link.failure().value_or("none");
    EXPECT_TRUE(failure.startsWith("COM2 (") &&
                failure.section('\n', 0, 0).endsWith("): the device is gone"));
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.ctsHolding());
    EXPECT_EQ(link.outBufferCount(), 0);
    EXPECT_TRUE(link.open(2).value_or("").startsWith("COM2 ("));
    EXPECT_FALSE(link.isOpen());
}

// Binding COM2 in the chooser links it to the device's stable name; the
// utility then reaches the device through it, and Unbind closes the port
// that led there. A dangling link says the port, the path and then what to do.
TEST(QtSerialLink, BoundPortReachesTheDeviceAndFailuresSayWhatToDo)
{
    QtOverPty rig(false);
    const QString device = rig.pty->terminalPath(), folder = rig.folder.path();
    const QString stable = rig.folder.filePath("usb-display-if00"); // as in /dev/serial/by-id
    ASSERT_TRUE(QFile::link(device, stable));
    SystemPorts system(folder);
    bool listChanged = false;
    QObject::connect(&system, &PortSystem::changed, [&] { listChanged = true; });
    PortChooser chooser(system, folder, rig.channel);
    ASSERT_FALSE(chooser.Bind(2, {device, "display", {}, {}, stable}));
    const bool never = false;
    EXPECT_EQ(rig.waiter.waitUntil([&] { return listChanged; }, std::chrono::seconds(2), never, {}),
              Waiter::Outcome::Ready); // the chooser's list follows
    rig.channel.SendString("a");
    EXPECT_EQ(rig.farEnd(1), BytesOf("a"));
    EXPECT_EQ(chooser.TestConnection(2), "COM2 (" + device +
                                             ") has no modem lines (a pseudo-terminal or a "
                                             "simulator): it counts as ready.");
    ASSERT_FALSE(chooser.Unbind(2));
    EXPECT_FALSE(rig.link.isOpen());
    EXPECT_TRUE(rig.notice.messages.empty());

    ASSERT_TRUE(QFile::link("/dev/ttyUSB7-gone", rig.folder.filePath("com4")));
    EXPECT_TRUE(
        rig.link.open(4).value_or("").startsWith("COM4 (/dev/ttyUSB7-gone): the link com4 in " +
                                                 folder + " points to no device\nThe link "));
    EXPECT_FALSE(rig.link.isOpen());
}

// Two program folders whose com2 links lead to one device: while one
// program has it open, the other is refused at once, naming the program
// that holds it and what to do, and writes nothing.
TEST(QtSerialLink, ADeviceOpenInAnotherProgramIsRefusedWhateverLinkLeadsThere)
{
    QtOverPty rig;
    const QString device = rig.pty->terminalPath();
    QTemporaryDir first;
    ASSERT_TRUE(QFile::link(device, first.filePath("com2")));
    QProcess holder; // this test program, holding COM2 of the first folder
    holder.start(QCoreApplication::applicationFilePath(), {"--hold-com2", first.path()});
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    ASSERT_EQ(holder.readLine(), "open\n") << holder.readAllStandardError().toStdString();

    rig.channel.SendString("x");
    EXPECT_EQ(rig.waiter.timedOut, 0);
    ASSERT_EQ(rig.notice.messages.size(), 1u);
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName().left(15);
    EXPECT_TRUE(rig.notice.messages[0].text.startsWith(
        QStringLiteral("COM2 (%1) is in use by %2 (PID %3)\n")
            .arg(device, program)
            .arg(holder.processId())))
        << rig.notice.messages[0].text.toStdString();
    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(5000));
    EXPECT_TRUE(rig.pty->takeReceived().empty());
    rig.notice.messages.clear();
    rig.channel.SendString("y"); // free again
    EXPECT_EQ(rig.farEnd(1), BytesOf("y"));
    EXPECT_TRUE(rig.notice.messages.empty());
}

// The far end goes away between two commands (a pulled USB adapter): the
// next one ends at once with one message, and nothing spins afterwards.
TEST(QtSerialLink, HungUpLineIsReportedClosedAndLeftQuietWhileWaitsSleep)
{
    QtOverPty rig;
    const QString device = rig.pty->terminalPath();
    rig.channel.SendString("a");
    ASSERT_EQ(rig.farEnd(1), BytesOf("a"));

    rig.vanish();
    rig.channel.SendString("bc");
    EXPECT_EQ(rig.waiter.timedOut, 0) << "no time-out waited for";
    ASSERT_EQ(rig.notice.messages.size(), 1u);
    EXPECT_TRUE(rig.notice.messages[0].text.startsWith("COM2 (" + device +
                                                       "): the device is gone\nIt was unplugged"));
    // Idle afterwards: no failed write is retried over and over, and a wait
    // for a display that never gets ready sleeps between its rounds. Closing
    // a window ends such a wait at once.
    bool abort = false;
    const auto limit = std::chrono::milliseconds(500);
    EXPECT_EQ(rig.waiter.waitUntil([] { return false; }, limit, abort, {}),
              Waiter::Outcome::TimedOut);
    EXPECT_LE(rig.waiter.rounds, 2 * (limit / EventLoopWaiter::kPollInterval));
    QTimer::singleShot(5, [&] { abort = true; });
    EXPECT_EQ(rig.waiter.waitUntil([] { return false; }, std::chrono::seconds(10), abort, {}),
              Waiter::Outcome::Aborted);
}

// The display stops reading: the terminal's buffer fills and the next byte
// finds no room. That is a time-out like any other, not a lost device; the port
// stays open and, once the display reads again, the next command goes out.
TEST(QtSerialLink, DisplayThatStopsReadingTimesOutAndKeepsThePort)
{
    QtOverPty rig;
    const std::size_t moreThanAnyBuffer = 1 << 17;
    rig.channel.SendString(std::string(moreThanAnyBuffer, 'x'));
    EXPECT_EQ(rig.notice.messages,
              (Notices{{"Communication error", "Time out error", UserNotice::Severity::Warning}}));
    EXPECT_TRUE(rig.link.isOpen());
    EXPECT_FALSE(rig.link.failure());

    std::vector<std::uint8_t> got;
    QTimer reader;
    QObject::connect(&reader, &QTimer::timeout, [&] {
        const auto more = rig.pty->takeReceived();
        got.insert(got.end(), more.begin(), more.end());
    });
    reader.start(1);
    rig.channel.SendString("abc");
    const bool never = false;
    (void)rig.waiter.waitUntil([&] { return got.size() >= 4 && got.back() == 'c'; },
                               std::chrono::seconds(5), never, {});
    EXPECT_EQ(rig.notice.messages.size(), 1u);
    ASSERT_GE(got.size(), 4u);
    EXPECT_LT(got.size(), moreThanAnyBuffer); // the rest of the long command was dropped
    EXPECT_EQ(std::string(got.end() - 4, got.end()), "xabc");
}

} // namespace

// The real port and waiter need an event loop. `--hold-com2 FOLDER` makes
// this program a second one that holds COM2 until its input closes.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::string(argv[1]) == "--hold-com2") {
        QtSerialLink link(QString::fromLocal8Bit(argv[2]));
        std::printf(link.open(2) ? "failed\n" : "open\n");
        std::fflush(stdout);
        while (std::getchar() != EOF) {
        }
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
