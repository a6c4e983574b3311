// The utility's logic: the bytes of every command, worked out by hand, and
// what they show on the simulated display; the output routine over the
// simulated port, on sound and failing lines.
#include "commandbuilders.h"
#include "displayrig.h"
#include "displayscreen.h"
#include "numbertext.h"
#include "senttext.h"

#include <gtest/gtest.h>

using namespace vornestw;
using namespace vornestw::test;
using Severity = UserNotice::Severity;

namespace {

std::string sp(std::size_t n)
{
    return std::string(n, ' ');
}

TEST(TwoLineCommand, SequencePerProtocolShowsBothLines)
{
    const std::string qn = "\x1B[8M \x1B[2JAB\x1B[02;01HC\x1B[8M", ab = "AB" + sp(18);
    const std::string expected[] = {qn,
                                    "!#1AB\r!#2C\r",
                                    qn,
                                    "\x1F" + ab + "C" + sp(18) + "\r",
                                    "\x1F" + ab + "C" + sp(18),
                                    "\x0E\r" + ab + "C\r",
                                    "\x1B\x1B\r" + ab + "C\r",
                                    "\x0C\rAB\rC\r"};
    for (int mode = 0; mode < 8; ++mode) {
        DisplayState s;
        s.Line1 = "AB", s.Line2 = "C";
        EXPECT_EQ(TwoLineCommand(s, mode), expected[mode]) << mode;
        displaysim::DisplayScreen screen(mode);
        screen.feed("old text\r");
        screen.feed(expected[mode] + expected[mode]); // the second one shows the same
        EXPECT_EQ(screen.line(1) + screen.line(2), ab + "C" + sp(19)) << mode;
    }
}

TEST(TwoLineCommand, FillingIsKeptAndNeverCutsALongerLine)
{
    DisplayState s;
    EXPECT_EQ(TwoLineCommand(s, 3), "\x1F" + sp(39) + "\r");
    EXPECT_EQ(s.Line1 + "|" + s.Line2, sp(20) + "|" + sp(19));
    s.Line1 = std::string(25, 'x'); // pasted past the limit
    EXPECT_EQ(TwoLineCommand(s, 4), "\x1F" + std::string(25, 'x') + sp(19));
    s.Prefix1 = ' ', s.Line1 = "a"; // Aedex takes the prefixes as they are
    EXPECT_EQ(TwoLineCommand(s, 1), " #1a\r #2" + sp(19) + "\r");
    displaysim::DisplayScreen aedex(1); // and a display with that prefix shows it
    aedex.feed("!#8 #\r" + TwoLineCommand(s, 1));
    EXPECT_EQ(aedex.line(1), "a" + sp(19));
}

TEST(CursorCommand, QnTerminalAndIdm)
{
    const std::tuple<int, int, int, const char*> rows[] = {{0, 2, 5, "1B 5B 30 32 3B 35 48"},
                                                           {2, 1, 20, "1B 5B 30 31 3B 32 30 48"},
                                                           {7, 2, 5, "10 19 0D"},
                                                           {7, 1, 20, "10 14 0D"},
                                                           {7, 2, 20, "10 28 0D"},
                                                           {1, 1, 1, ""}};
    for (const auto& [mode, line, column, bytes] : rows) {
        DisplayState s;
        s.LineNo = line, s.XPos = column;
        EXPECT_EQ(BytesOf(CursorCommand(s, mode)), Hex(bytes)) << mode << " " << line;
    }
}

TEST(PrefixAndClockCommands, SpacePrefixesDroppedAndTwelveHourRule)
{
    DisplayState s;
    s.Prefix1 = ' ';
    EXPECT_EQ(BytesOf(PrefixCommand(s, 0, 255)), Hex("23 38 00 FF 0D"));
    s.Prefix2 = ' ';
    EXPECT_EQ(BytesOf(PrefixCommand(s, 33, 35)), Hex("38 21 23 0D"));

    const std::tuple<QTime, const char*, const char*> rows[] = {
        {QTime(15, 45, 0), "03:45:00 PM", "ab515:45\r"},
        {QTime(0, 5, 59), "12:05:59 AM", "ab500:05\r"},
        {QTime(12, 30, 0), "12:30:00 PM", "ab512:30\r"},
        {QTime(11, 59, 59), "11:59:59 AM", "ab511:59\r"}};
    s.Prefix1 = 'a', s.Prefix2 = 'b';
    for (const auto& [time, twelveHour, command] : rows) {
        EXPECT_EQ(TwelveHourText(time), twelveHour);
        EXPECT_EQ(ClockCommand(s, time), command) << twelveHour;
    }
}

// The display's own switch table agrees with ours; the zero byte goes out.
TEST(ProgramModeCommand, TheDisplayFollowsEverySwitch)
{
    displaysim::DisplayScreen screen(5);
    for (int mode = 0; mode < 8; ++mode) {
        screen.feed(ProgramModeCommand(mode));
        EXPECT_EQ(screen.protocol(), mode);
    }
    EXPECT_EQ(ProgramModeCommand(8), "");
    screen.feed(std::string("\xFE\x66\x42", 3)); // unknown code: no change
    EXPECT_EQ(screen.protocol(), 7);
    screen.feed("\xFE\x66\x18"
                "AB\x1B"); // QN, a command cut after its ESC
    screen.feed("\x1B[2J");
    EXPECT_EQ(screen.line(1), sp(20));
    screen.feed("\xE9\x80\x7F!"); // as the customer reads them
    EXPECT_EQ(screen.readableLine(1), "\u00E9\u20AC.!" + sp(16));
    for (const char* clears : {"\x14", "\x15"}) { // EPSON's reset and second clear
        screen.feed(std::string("\xFE\x66\x10x") + clears);
        EXPECT_EQ(screen.line(1), sp(20)) << clears[0];
    }
}

// A prefix change goes out with the old prefixes; the clock items then use the
// new ones, built at the time of the click (3:45:10 PM). A stale abort left by
// a closed window drops nothing; an item past the end of the menu does nothing.
TEST(DisplayUtility, PrefixChangeThenClockItemsWithTheNewPrefixes)
{
    DisplayRig rig;
    rig.state.AbortFlag = true;
    rig.state.Mode = 1;
    rig.utility.SendPrefix(40, 41);
    EXPECT_EQ(rig.utility.MenuFunction_Click(4, QTime(15, 45, 10)), ParameterWindow::None);
    rig.utility.MenuFunction_Click(5);
    EXPECT_EQ(rig.utility.MenuFunction_Click(7), ParameterWindow::None);
    EXPECT_EQ(rig.port.received(), Hex("21 23 38 28 29 0D 28 29 35 31 35 3A 34 35 0D 28 29 35 0D"));
}

TEST(RenderSentText, NamesFourBytesAndNumbersOtherUnprintables)
{
    EXPECT_EQ(RenderSentText(std::string("\x1B[2Ja b\r\n\x10\x00\x1F\x7F\x80\xFE\xFF", 16)),
              "<ESC>[2Ja<SP>b<CR><LF><16><0><31>\x7F<128><254><255>");
}

TEST(NumberText, LongestLeadingNumberAndWholeNumbersInRange)
{
    const std::pair<const char*, std::optional<double>> numbers[] = {
        {"7", 7},      {" 7", 7},  {"7abc", 7},  {"1 2", 12},  {"-3", -3},  {"7.9", 7.9},
        {"1e3", 1000}, {"2E", 2},  {"&H1F", 31}, {"&o17", 15}, {"abc", {}}, {"", {}},
        {".", {}},     {"&H", {}}, {"+.5", 0.5}, {"1e999", {}}};
    for (const auto& [text, value] : numbers)
        EXPECT_EQ(LeadingNumber(text), value) << text;
    const std::tuple<const char*, int, int, std::optional<int>> wholes[] = {
        {"7", 1, 20, 7},     {"20.99", 1, 20, 20}, {"25", 1, 20, {}},
        {"0", 1, 20, {}},    {"0.5", 1, 20, {}},   {"x", 1, 20, {}},
        {"256", 0, 255, {}}, {"255", 0, 255, 255}, {"99999999999999999999", 0, 255, {}}};
    for (const auto& [text, low, high, whole] : wholes)
        EXPECT_EQ(WholeNumberIn(text, low, high), whole) << text;
}

// The port opens at the first send only, nudging a display that is not ready
// with spaces that are thrown away; then one byte per millisecond of line.
TEST(OutputChannel, FirstSendOpensThePortWithDiscardedSpacesThenSendsEveryByte)
{
    DisplayRig rig;
    rig.state.Port = 2;
    rig.port.setCts(false);
    rig.port.stallOutput(true); // the spaces stay queued until discarded
    rig.onTick = [&] {
        if (rig.waiter.now() == 5)
            rig.port.setCts(true), rig.port.stallOutput(false);
    };
    rig.channel.SendString("AB");
    rig.channel.SendString("C");
    EXPECT_EQ(rig.port.openedPorts(), std::vector<int>{3});
    EXPECT_EQ(rig.port.written(), BytesOf("     ABC"));
    EXPECT_EQ(rig.port.received(), BytesOf("ABC"));
    EXPECT_EQ(rig.waiter.now(), 5 + 3);
    EXPECT_TRUE(rig.notice.messages.empty());
}

// A line that misbehaves: bytes go out as long as every wait ends within
// 2 s; otherwise one time-out message ends the command. Never a hang.
TEST(OutputChannel, LineThatLagsFlapsOrNeverClearsIsServedOrTimesOutOnce)
{
    const struct
    {
        const char* line;
        int pace;
        bool ctsLow, stalled, flapping, openBefore;
        const char* sent; // what left the port after the opening's spaces
        long long fromMs, toMs;
    } cases[] = {
        {"clear-to-send flapping every millisecond", 0, false, false, true, true, "hello", 5, 20},
        {"1.99 s per byte", 1990, false, false, false, true, "hello", 4 * 1990, 5 * 2000},
        {"2.01 s per byte", 2010, false, false, false, true, "he", 2000, 2010},
        {"clear-to-send low", 0, true, false, false, true, "h", 2000, 2010},
        {"queue never drains", 0, false, true, false, true, "h", 2000, 2010},
        {"clear-to-send never raised, from the opening on", 0, true, false, false, false, "h", 4000,
         4010},
    };
    for (const auto& c : cases) {
        DisplayRig rig;
        if (c.openBefore) {
            rig.channel.SendString("x");
            rig.port.clearReceived();
        }
        rig.port.paceClearToSend(c.pace);
        rig.port.setCts(!c.ctsLow);
        rig.port.stallOutput(c.stalled);
        if (c.flapping)
            rig.onTick = [&rig] { rig.port.setCts(rig.waiter.now() % 2 == 0); };
        const long long start = rig.waiter.now();
        rig.channel.SendString("hello");
        EXPECT_GE(rig.waiter.now() - start, c.fromMs) << c.line;
        EXPECT_LE(rig.waiter.now() - start, c.toMs) << c.line;
        std::string sent(rig.port.written().begin(), rig.port.written().end());
        EXPECT_EQ(sent.substr(sent.find_first_not_of(' ')), c.sent) << c.line;
        const bool timedOut = std::string(c.sent) != "hello";
        const Notice timeOut{"Communication error", "Time out error", Severity::Warning};
        EXPECT_EQ(rig.notice.messages, timedOut ? Notices{timeOut} : Notices{}) << c.line;
        EXPECT_EQ(rig.state.SentText, "hello") << c.line; // the echo still shows it all
    }
}

TEST(OutputChannel, PortThatCannotOpenIsReportedAndTriedAgainAtTheNextSend)
{
    DisplayRig rig;
    rig.state.SentText = "before";
    rig.port.failNextOpen("Permission denied");
    rig.channel.SendString("abc");
    EXPECT_EQ(rig.notice.messages, (Notices{{"Vornest", "Permission denied", Severity::Critical}}));
    EXPECT_EQ(rig.state.SentText, "before");
    rig.channel.SendString("abc");
    EXPECT_EQ(rig.port.received(), BytesOf("abc"));
    rig.port.unplug(); // nothing of the next command goes out: not echoed
    rig.channel.SendString("def");
    EXPECT_EQ(rig.state.SentText, "abc");
}

TEST(OutputChannel, PrinterGetsFourCharactersPerByteAsOneJobOrOneMessage)
{
    DisplayRig rig;
    rig.state.Port = kPrinterPort;
    rig.channel.SendString("\x1B"
                           "A");
    EXPECT_EQ(rig.printer.jobs,
              std::vector<std::string>{std::string("\x03\x02\x01\x00\x01\x00\x00\x01", 8)});
    EXPECT_TRUE(rig.port.openedPorts().empty());
    EXPECT_EQ(rig.state.SentText, "<ESC>A");

    rig.printer.error = QString("No default printer");
    rig.channel.SendString("abc");
    EXPECT_EQ(rig.printer.attempts, 2); // no retry loop
    EXPECT_EQ(rig.notice.messages,
              (Notices{{"Vornest", "Printer Error: No default printer", Severity::Warning}}));
    EXPECT_EQ(rig.state.SentText, "<ESC>A");
}

} // namespace
