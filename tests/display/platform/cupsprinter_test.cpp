// The printer route through the real CUPS code: against stand-ins for broken
// print servers, and against a private cupsd whose raw queues send to socket
// listeners of the test.
#include "cupsprinter.h"
#include "eventloopwaiter.h"
#include "privateprintserver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vornestw;
using namespace vornestw::test;

namespace {

// What the printer said, readable in a failed check.
std::string said(const std::optional<QString>& error)
{
    return error ? error->toStdString() : "(printed)";
}

// A print server that takes the connection and never answers, and none at
// all (libcups says "Host is down" for both): each is named, and the window
// keeps running while the silent one is waited for.
TEST(CupsPrinter, SilentOrMissingServerIsNamed)
{
    QTcpServer silent, closed;
    silent.listen(QHostAddress::LocalHost);
    closed.listen(QHostAddress::LocalHost);
    const QByteArray quiet = "127.0.0.1:" + QByteArray::number(silent.serverPort());
    const QByteArray nobody = "127.0.0.1:" + QByteArray::number(closed.serverPort());
    closed.close();
    EventLoopWaiter waiter;
    CupsPrinter printer(waiter, std::chrono::milliseconds(1000));
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    qputenv("CUPS_SERVER", quiet);
    EXPECT_EQ(said(printer.printRaw({}, "x")),
              ("The print server " + quiet + " does not answer (waited 2 seconds)").toStdString());
    EXPECT_GT(ticks, 10);
    qputenv("CUPS_SERVER", nobody);
    EXPECT_EQ(said(printer.printRaw({}, "x")),
              ("The print server (" + nobody +
               ") is not running; start it with: sudo systemctl start cups")
                  .toStdString());
    qunsetenv("CUPS_SERVER");
}

// Two raw queues, "office" the default, each sending to a listener (the
// office printer holds its connections open); the client reaches the server
// through CUPS_SERVER, without the user's own default (LPDEST, PRINTER,
// ~/.cups/lpoptions).
class PrintServerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(office.listen() && display.listen());
        server = std::make_unique<PrivatePrintServer>(office.port(), display.port());
        if (!server->problem().isEmpty())
            GTEST_SKIP() << "No private print server, printer tests skipped: "
                         << server->problem().toStdString();
        qputenv("CUPS_SERVER", server->socketPath().toLocal8Bit());
        qunsetenv("LPDEST");
        qunsetenv("PRINTER");
        qputenv("HOME", home.path().toLocal8Bit());
    }
    void TearDown() override
    {
        qunsetenv("CUPS_SERVER");
        qunsetenv("LPDEST");
        qputenv("HOME", userHome);
    }

    // What a listener has got once the bytes had time to come in.
    QByteArray arrived(SocketListener& listener, qsizetype expected)
    {
        const bool never = false;
        (void)waiter.waitUntil([&] { return listener.received().size() >= expected; },
                               std::chrono::seconds(2), never, {});
        return listener.received();
    }

    SocketListener office{true}, display;
    const QByteArray userHome = qgetenv("HOME");
    QTemporaryDir home;
    std::unique_ptr<PrivatePrintServer> server;
    EventLoopWaiter waiter;
    CupsPrinter printer{waiter};
};

TEST_F(PrintServerTest, ChosenQueueGetsTheBytesTheOtherNoneAndTheQueuesAreListed)
{
    EXPECT_EQ(said(printer.printRaw("display", std::string("\x1B\x00z", 3))), "(printed)");
    EXPECT_EQ(arrived(display, 3), QByteArray("\x1B\x00z", 3));

    ASSERT_TRUE(server->operate("cupsdisable", {"display"}) &&
                server->operate("cupsreject", {"office"}));
    QStringList listed;
    for (const PrintQueue& queue : printer.listQueues().queues)
        listed << queue.name + ": " + queue.state + (queue.isDefault ? " (default)" : "");
    EXPECT_EQ(listed.join(", "), "display: paused, office: idle, rejecting jobs (default)");
    ASSERT_TRUE(server->operate("cupsaccept", {"office"}));
    for (const char* text : {"one,", "two"})
        EXPECT_EQ(said(printer.printRaw({}, text)), "(printed)");
    EXPECT_EQ(arrived(office, 7), "one,two");
    EXPECT_EQ(display.received().size(), 3);
}

// A queue that would only hold the command, and one that does not exist:
// each is named, and nothing waits in a queue to reach the display later.
TEST_F(PrintServerTest, QueuesThatCannotTakeTheCommandAreNamedAndHoldNothing)
{
    ASSERT_TRUE(server->operate("cupsdisable", {"display"}));
    EXPECT_EQ(said(printer.printRaw("display", "x")),
              "The printer queue \"display\" is paused; nothing was sent. Resume it with: "
              "cupsenable display");
    ASSERT_TRUE(server->operate("cupsenable", {"display"}) &&
                server->operate("cupsreject", {"display"}));
    EXPECT_EQ(said(printer.printRaw("display", "x")),
              "The printer queue \"display\" rejects jobs; nothing was sent. Let it accept them "
              "with: cupsaccept display");
    EXPECT_EQ(server->heldJobs("display"), 0);

    const std::string there = " does not exist on the print server " +
                              server->socketPath().toStdString() + ". Its queues: display, office.";
    EXPECT_EQ(said(printer.printRaw("gone", "x")), "The printer queue \"gone\"" + there);
    qputenv("LPDEST", "counter");
    EXPECT_EQ(said(printer.printRaw({}, "x")),
              "The printer queue \"counter\" named by LPDEST" + there);
    qunsetenv("LPDEST");
    ASSERT_TRUE(server->operate("lpadmin", {"-x", "office"}));
    EXPECT_EQ(said(printer.printRaw({}, "x")), "No default printer on the print server " +
                                                   server->socketPath().toStdString() +
                                                   ". Its queues: display.");
}

// The printer behind the queue is gone: the queue would keep the command and
// send it whenever the printer is back. It is cancelled instead, and said.
TEST_F(PrintServerTest, JobForAGonePrinterIsCancelledAndNeverArrivesLater)
{
    display.stop();
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(said(printer.printRaw("display", "old price")),
              "The printer queue \"display\" did not pass the command on within 2 seconds; it "
              "was cancelled. The queue says: The printer may not exist or is unavailable at this "
              "time.");
    std::cout << "A gone printer was reported after " << clock.elapsed() << " ms\n";
    EXPECT_EQ(server->heldJobs("display"), 0);

    // A job still held would go out first, before the new one.
    ASSERT_TRUE(display.listen());
    EXPECT_EQ(said(printer.printRaw("display", "new price")), "(printed)");
    EXPECT_EQ(arrived(display, 9), "new price");
}

} // namespace
