#include "displayrig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace vornestw;
using namespace vornestw::test;

namespace {

TEST(OutputChannel, FirstSendOpensThePortOnceAndEachByteWaitsForTheLine)
{
    DisplayRig rig;
    rig.state.Port = 2;
    rig.channel.SendString("AB");
    rig.channel.SendString("C");
    EXPECT_EQ(rig.port.openedPorts(), std::vector<int>{3});
    // Nothing of the port's opening reaches the display; one byte per
    // millisecond of line time.
    EXPECT_EQ(rig.port.received(), BytesOf("ABC"));
    EXPECT_EQ(rig.waiter.now(), 3);
    EXPECT_EQ(rig.state.SentText, "C");
    EXPECT_TRUE(rig.notice.messages.empty());
}

TEST(OutputChannel, DisplayReadyWithin2SecondsIsServedElseOneTimeOutDropsTheRest)
{
    DisplayRig late;
    late.channel.SendString("a");
    late.port.setCts(false);
    late.onTick = [&] {
        if (late.waiter.now() == 1500)
            late.port.setCts(true);
    };
    late.channel.SendString("bc");
    EXPECT_TRUE(late.notice.messages.empty());
    EXPECT_EQ(late.port.received(), BytesOf("abc"));

    for (const bool stalledQueue : {false, true}) {
        DisplayRig rig;
        rig.channel.SendString("first"); // port open, display ready
        rig.port.clearReceived();
        rig.port.setCts(stalledQueue);
        rig.port.stallOutput(stalledQueue);
        const long long before = rig.waiter.now();
        rig.channel.SendString("\x1B[2J");
        ASSERT_EQ(rig.notice.messages.size(), 1u) << stalledQueue;
        EXPECT_EQ(rig.notice.messages[0].title, "Communication error");
        EXPECT_EQ(rig.notice.messages[0].text, "Time out error");
        EXPECT_EQ(rig.notice.messages[0].severity, UserNotice::Severity::Warning);
        // The first byte waited the whole 2 s and was still handed over; no other.
        EXPECT_GE(rig.waiter.now() - before, 2000);
        EXPECT_LT(rig.waiter.now() - before, 2100);
        EXPECT_EQ(rig.port.written(), Hex("1B"));
        EXPECT_TRUE(rig.state.AbortFlag);
        EXPECT_FALSE(rig.state.SendError);
        EXPECT_EQ(rig.state.SentText, "<ESC>[2J"); // the echo still shows it all
    }
}

TEST(OutputChannel, OpeningWaitsForClearToSendWithSpacesThatAreDiscarded)
{
    DisplayRig rig;
    rig.port.setCts(false);
    rig.onTick = [&] {
        if (rig.waiter.now() == 5)
            rig.port.setCts(true);
    };
    rig.port.stallOutput(true); // the spaces stay queued until discarded
    EXPECT_TRUE(rig.channel.OpenPort());
    rig.port.stallOutput(false);
    EXPECT_EQ(rig.port.written(), BytesOf("     "));
    EXPECT_EQ(rig.port.outBufferCount(), 0);
    EXPECT_FALSE(rig.state.SendError);
    rig.channel.SendString("x");
    EXPECT_EQ(rig.port.received(), BytesOf("x"));
}

TEST(OutputChannel, PortThatCannotOpenIsReportedAndNothingIsShown)
{
    DisplayRig rig;
    rig.state.SentText = "before";
    rig.port.failNextOpen("Permission denied");
    rig.channel.SendString("abc");
    ASSERT_EQ(rig.notice.messages.size(), 1u);
    EXPECT_EQ(rig.notice.messages[0].title, "Vornest");
    EXPECT_EQ(rig.notice.messages[0].text, "Permission denied");
    EXPECT_EQ(rig.notice.messages[0].severity, UserNotice::Severity::Critical);
    EXPECT_TRUE(rig.port.written().empty());
    EXPECT_EQ(rig.state.SentText, "before");
    rig.channel.SendString("abc"); // the next send tries again
    EXPECT_EQ(rig.port.received(), BytesOf("abc"));
}

TEST(OutputChannel, AbortBeforeTheFirstByteEndsTheWaitAtOnceAndDropsTheWholeCommand)
{
    DisplayRig rig;
    rig.channel.SendString("a");
    rig.port.setCts(false);
    const long long start = rig.waiter.now();
    rig.onTick = [&] {
        if (rig.waiter.now() - start == 100)
            rig.state.AbortFlag = true; // the protocol window closes
    };
    rig.channel.SendString("bcd");
    EXPECT_LT(rig.waiter.now() - start, 200);
    EXPECT_TRUE(rig.notice.messages.empty());
    EXPECT_EQ(rig.port.written(), BytesOf("a"));
    EXPECT_EQ(rig.state.SentText, "bcd");
}

TEST(OutputChannel, PrinterGetsFourCharactersPerByteAsOneJobOrOneMessage)
{
    DisplayRig rig;
    rig.state.Port = kPrinterPort;
    rig.channel.SendString("\x1B"
                           "A");
    ASSERT_EQ(rig.printer.jobs.size(), 1u);
    EXPECT_EQ(rig.printer.jobs[0], std::string("\x03\x02\x01\x00\x01\x00\x00\x01", 8));
    EXPECT_TRUE(rig.port.openedPorts().empty());
    EXPECT_EQ(rig.state.SentText, "<ESC>A");

    rig.printer.error = QString("No default printer");
    rig.channel.SendString("abc");
    EXPECT_EQ(rig.printer.attempts, 2); // no retry loop
    ASSERT_EQ(rig.notice.messages.size(), 1u);
    EXPECT_EQ(rig.notice.messages[0].text, "Printer Error: No default printer");
    EXPECT_EQ(rig.state.SentText, "<ESC>A");
}

// The cable is pulled while a command goes out: the rest is dropped at once
// with one message, and the next command says the port cannot be opened.
TEST(OutputChannel, DeviceGoneDuringACommandEndsItWithOneMessage)
{
    DisplayRig rig;
    rig.channel.SendString("first");
    rig.port.clearReceived();
    const long long start = rig.waiter.now();
    rig.onTick = [&] {
        if (rig.waiter.now() - start == 4)
            rig.port.unplug();
    };
    const std::string command = "0123456789";
    rig.channel.SendString(command);
    EXPECT_LT(rig.waiter.now() - start, 10) << "no wait for a time-out";
    ASSERT_EQ(rig.notice.messages.size(), 1u);
    EXPECT_EQ(rig.notice.messages[0].title, "Communication error");
    EXPECT_EQ(rig.notice.messages[0].text, "COM2 (simulated): the device is gone");
    EXPECT_EQ(rig.notice.messages[0].severity, UserNotice::Severity::Critical);
    const auto got = rig.port.received();
    ASSERT_FALSE(got.empty());
    EXPECT_LT(got.size(), command.size());
    EXPECT_EQ(got, BytesOf(command.substr(0, got.size())));
    EXPECT_EQ(rig.state.SentText, command);

    rig.channel.SendString("x");
    ASSERT_EQ(rig.notice.messages.size(), 2u);
    EXPECT_EQ(rig.notice.messages[1].title, "Vornest");
    EXPECT_EQ(rig.notice.messages[1].text, "COM2 (simulated): No such file or directory");
    EXPECT_EQ(rig.port.received(), got);
}

// A line that misbehaves: bytes go out as long as every wait ends within
// 2 s; otherwise one time-out message ends the command. Never a hang.
TEST(OutputChannel, LineThatFlapsLagsOrNeverClearsIsServedOrTimesOutOnce)
{
    struct Case
    {
        const char* line;
        bool portOpenBefore;
        std::function<void(DisplayRig&)> fault;
        std::string sent; // what left the port, without the opening's spaces
        std::size_t messages;
        long long fromMs, toMs;
    };
    const Case cases[] = {
        {"clear-to-send flapping every millisecond", true,
         [](DisplayRig& rig) {
             rig.onTick = [&rig] { rig.port.setCts(rig.waiter.now() % 2 == 0); };
         },
         "hello", 0, 5, 20},
        {"display taking 1.99 s per byte", true,
         [](DisplayRig& rig) { rig.port.paceClearToSend(1990); }, "hello", 0, 4 * 1990, 5 * 2000},
        {"display taking 2.01 s per byte", true,
         [](DisplayRig& rig) { rig.port.paceClearToSend(2010); }, "he", 1, 2000, 2010},
        {"clear-to-send never raised, from the opening on", false,
         [](DisplayRig& rig) { rig.port.setCts(false); }, "h", 1, 4000, 4010},
    };
    for (const Case& c : cases) {
        DisplayRig rig;
        if (c.portOpenBefore) {
            rig.channel.SendString("x");
            rig.port.clearReceived();
        }
        c.fault(rig);
        const long long start = rig.waiter.now();
        rig.channel.SendString("hello");
        const long long took = rig.waiter.now() - start;
        EXPECT_GE(took, c.fromMs) << c.line;
        EXPECT_LE(took, c.toMs) << c.line;
        std::vector<std::uint8_t> sent = rig.port.written();
        sent.erase(sent.begin(),
                   std::find_if(sent.begin(), sent.end(), [](auto b) { return b != ' '; }));
        EXPECT_EQ(sent, BytesOf(c.sent)) << c.line;
        ASSERT_EQ(rig.notice.messages.size(), c.messages) << c.line;
        if (c.messages == 1) {
            EXPECT_EQ(rig.notice.messages[0].text, "Time out error") << c.line;
        }
        EXPECT_EQ(rig.state.SentText, "hello") << c.line;
    }
}

} // namespace
