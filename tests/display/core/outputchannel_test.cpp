#include "displayrig.h"

#include <gtest/gtest.h>

using namespace vornestw;
using namespace vornestw::test;

namespace {

TEST(OutputChannel, FirstSendOpensThePortOnceAndSendsExactlyTheText)
{
    DisplayRig rig;
    rig.state.Port = 2;
    rig.channel.SendString("AB");
    rig.channel.SendString("C");
    EXPECT_EQ(rig.port.openedPorts(), std::vector<int>{3});
    // Nothing of the port's opening reaches the display.
    EXPECT_EQ(rig.port.received(), BytesOf("ABC"));
    EXPECT_EQ(rig.state.SentText, "C");
    EXPECT_TRUE(rig.notice.messages.empty());
}

TEST(OutputChannel, EachByteWaitsForTheQueueToDrain)
{
    DisplayRig rig;
    rig.channel.SendString("xyz");
    // One byte per millisecond of line time: the whole string took three.
    EXPECT_EQ(rig.waiter.now(), 3);
    EXPECT_EQ(rig.port.received(), BytesOf("xyz"));
}

TEST(OutputChannel, ClearToSendHeldLowTimesOutOnceAndDropsTheRest)
{
    DisplayRig rig;
    rig.channel.SendString("first"); // port open, display ready
    rig.port.clearReceived();
    rig.port.setCts(false);
    const long long before = rig.waiter.now();

    rig.channel.SendString("\x1B[2J");

    ASSERT_EQ(rig.notice.messages.size(), 1u);
    EXPECT_EQ(rig.notice.messages[0].title, "Communication error");
    EXPECT_EQ(rig.notice.messages[0].text, "Time out error");
    // The first byte waited the whole 2 s and was still handed over; no other.
    EXPECT_GE(rig.waiter.now() - before, 2000);
    EXPECT_LT(rig.waiter.now() - before, 2100);
    EXPECT_EQ(rig.port.written(), Hex("1B"));
    EXPECT_TRUE(rig.state.AbortFlag);
    EXPECT_FALSE(rig.state.SendError);
    // The echo still shows the whole string.
    EXPECT_EQ(rig.state.SentText, "<ESC>[2J");
}

TEST(OutputChannel, StalledOutputQueueTimesOutToo)
{
    DisplayRig rig;
    rig.port.stallOutput(true);
    rig.channel.SendString("ab");
    ASSERT_EQ(rig.notice.messages.size(), 1u);
    EXPECT_EQ(rig.notice.messages[0].text, "Time out error");
    EXPECT_EQ(rig.port.written(), Hex("61"));
}

TEST(OutputChannel, DisplayRaisingClearToSendLateIsServedWithoutError)
{
    DisplayRig rig;
    rig.channel.SendString("a");
    rig.port.setCts(false);
    const long long start = rig.waiter.now();
    rig.onTick = [&] {
        if (rig.waiter.now() - start == 1500)
            rig.port.setCts(true);
    };
    rig.channel.SendString("bc");
    EXPECT_TRUE(rig.notice.messages.empty());
    EXPECT_EQ(rig.port.received(), BytesOf("abc"));
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
    EXPECT_TRUE(rig.port.written().empty());
    EXPECT_EQ(rig.state.SentText, "before");
    // The next send tries again.
    rig.channel.SendString("abc");
    EXPECT_EQ(rig.port.received(), BytesOf("abc"));
}

TEST(OutputChannel, AbortDuringAWaitEndsItAtOnceAndDropsTheRest)
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
    EXPECT_EQ(rig.port.written(), BytesOf("ab"));
    EXPECT_EQ(rig.state.SentText, "bcd");
}

TEST(OutputChannel, PrinterGetsFourCharactersPerByteAsOneJob)
{
    DisplayRig rig;
    rig.state.Port = kPrinterPort;
    rig.channel.SendString("\x1B"
                           "A");
    ASSERT_EQ(rig.printer.jobs.size(), 1u);
    EXPECT_EQ(rig.printer.jobs[0], std::string("\x03\x02\x01\x00\x01\x00\x00\x01", 8));
    EXPECT_TRUE(rig.port.openedPorts().empty());
    EXPECT_EQ(rig.state.SentText, "<ESC>A");
}

TEST(OutputChannel, PrinterFailureIsReportedOnceAndTheSendAbandoned)
{
    DisplayRig rig;
    rig.state.Port = kPrinterPort;
    rig.state.SentText = "before";
    rig.printer.error = QString("No default printer");
    rig.channel.SendString("abc");
    EXPECT_EQ(rig.printer.attempts, 1);
    ASSERT_EQ(rig.notice.messages.size(), 1u);
    EXPECT_EQ(rig.notice.messages[0].text, "Printer Error: No default printer");
    EXPECT_EQ(rig.state.SentText, "before");
}

TEST(OutputChannel, ChangePortOpensAtOnceOrKeepsTheOldChannel)
{
    DisplayRig rig;
    rig.state.ChannelCaption = OutputChannel::ChannelCaption(1);
    EXPECT_FALSE(rig.channel.ChangePort(2));
    EXPECT_TRUE(rig.port.isOpen());
    EXPECT_EQ(rig.port.openedPorts(), std::vector<int>{3});
    EXPECT_EQ(rig.state.Port, 2);
    EXPECT_EQ(rig.state.ChannelCaption, "Send to Com 3");

    rig.port.failNextOpen("No such file or directory");
    EXPECT_EQ(rig.channel.ChangePort(3), QString("No such file or directory"));
    EXPECT_EQ(rig.state.Port, 2);
    EXPECT_EQ(rig.state.ChannelCaption, "Send to Com 3");

    EXPECT_FALSE(rig.channel.ChangePort(kPrinterPort));
    EXPECT_FALSE(rig.port.isOpen());
    EXPECT_EQ(rig.state.ChannelCaption, "Send to default printer");
}

TEST(OutputChannel, ClosingWaitsAtMost10001RoundsForClearToSend)
{
    DisplayRig rig;
    rig.channel.SendString("a");
    rig.port.setCts(false);
    const int before = rig.waiter.eventRounds();
    rig.channel.CloseForShutdown();
    EXPECT_EQ(rig.waiter.eventRounds() - before, 10001);
    EXPECT_FALSE(rig.port.isOpen());

    DisplayRig ready;
    ready.channel.SendString("a");
    const int readyBefore = ready.waiter.eventRounds();
    ready.channel.CloseForShutdown();
    EXPECT_EQ(ready.waiter.eventRounds(), readyBefore);
    EXPECT_FALSE(ready.port.isOpen());
}

TEST(OutputChannel, ReportsWhileSending)
{
    DisplayRig rig;
    std::vector<bool> changes;
    QObject::connect(&rig.channel, &OutputChannel::sendingChanged,
                     [&](bool sending) { changes.push_back(sending); });
    bool sawSending = false;
    rig.onTick = [&] { sawSending = sawSending || rig.channel.isSending(); };
    rig.channel.SendString("ab");
    EXPECT_TRUE(sawSending);
    EXPECT_FALSE(rig.channel.isSending());
    EXPECT_EQ(changes, (std::vector<bool>{true, false}));
}

TEST(ChannelCaption, ComPortsAndPrinter)
{
    EXPECT_EQ(OutputChannel::ChannelCaption(0), "Send to Com 1");
    EXPECT_EQ(OutputChannel::ChannelCaption(1), "Send to Com 2");
    EXPECT_EQ(OutputChannel::ChannelCaption(3), "Send to Com 4");
    EXPECT_EQ(OutputChannel::ChannelCaption(4), "Send to default printer");
}

} // namespace
