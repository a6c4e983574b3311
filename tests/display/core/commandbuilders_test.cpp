#include "commandbuilders.h"
#include "displayrig.h"

#include <gtest/gtest.h>

using namespace vornestw;
using namespace vornestw::test;

namespace {

std::string sp(std::size_t n)
{
    return std::string(n, ' ');
}

TEST(TwoLineCommand, SequencePerProtocol)
{
    const std::string qn = "\x1B[8M \x1B[2JAB\x1B[02;01HC\x1B[8M";
    const std::string ab = "AB" + sp(18); // line 1 filled to 20
    const std::pair<int, std::string> rows[] = {
        {0, qn},
        {2, qn},
        {1, "!#1AB\r!#2C\r"},
        {3, "\x1F" + ab + "C" + sp(18) + "\r"},
        {4, "\x1F" + ab + "C" + sp(18)},
        {5, "\x0E\r" + ab + "C\r"},
        {6, "\x1B\x1B\r" + ab + "C\r"},
        {7, "\x0C\rAB\rC\r"},
    };
    for (const auto& [mode, expected] : rows) {
        DisplayState s;
        s.Line1 = "AB";
        s.Line2 = "C";
        EXPECT_EQ(TwoLineCommand(s, mode), expected) << mode;
    }
}

TEST(TwoLineCommand, FillingIsStoredBackAndNeverCutsALongerLine)
{
    DisplayState s;
    EXPECT_EQ(TwoLineCommand(s, 3), "\x1F" + sp(39) + "\r");
    EXPECT_EQ(s.Line1, sp(20));
    EXPECT_EQ(s.Line2, sp(19));
    s.Line1 = std::string(25, 'x'); // pasted past the limit
    EXPECT_EQ(TwoLineCommand(s, 4), "\x1F" + std::string(25, 'x') + sp(19));
    // Aedex uses the prefixes as they are, spaces included.
    s.Prefix1 = ' ';
    s.Line1 = "a";
    EXPECT_EQ(TwoLineCommand(s, 1), " #1a\r #2" + sp(19) + "\r");
}

TEST(CursorCommand, QnTerminalAndIdm)
{
    struct Row
    {
        int mode, line, column;
        const char* expected;
    };
    const Row rows[] = {
        {0, 2, 5, "1B 5B 30 32 3B 35 48"},
        {2, 1, 20, "1B 5B 30 31 3B 32 30 48"},
        {7, 2, 5, "10 19 0D"},
        {7, 1, 20, "10 14 0D"},
        {7, 2, 20, "10 28 0D"},
        {7, 1, 1, "10 01 0D"},
        {1, 1, 1, ""},
        {3, 2, 2, ""},
    };
    for (const Row& r : rows) {
        DisplayState s;
        s.LineNo = r.line;
        s.XPos = r.column;
        EXPECT_EQ(BytesOf(CursorCommand(s, r.mode)), Hex(r.expected)) << r.mode << " " << r.line;
    }
}

TEST(PrefixCommand, TrimsSpacePrefixesAndTakesAnyCode)
{
    DisplayState s;
    EXPECT_EQ(BytesOf(PrefixCommand(s, 40, 41)), Hex("21 23 38 28 29 0D"));
    s.Prefix1 = ' ';
    EXPECT_EQ(BytesOf(PrefixCommand(s, 0, 255)), Hex("23 38 00 FF 0D"));
    s.Prefix2 = ' ';
    EXPECT_EQ(BytesOf(PrefixCommand(s, 33, 35)), Hex("38 21 23 0D"));
}

TEST(ClockCommand, TwelveHourRule)
{
    const std::tuple<QTime, const char*, const char*> rows[] = {
        {QTime(15, 45, 0), "03:45:00 PM", "!#515:45\r"},
        {QTime(0, 5, 59), "12:05:59 AM", "!#500:05\r"},
        {QTime(12, 30, 0), "12:30:00 PM", "!#512:30\r"},
        {QTime(23, 7, 1), "11:07:01 PM", "!#523:07\r"},
        {QTime(9, 0, 0), "09:00:00 AM", "!#509:00\r"},
        {QTime(11, 59, 59), "11:59:59 AM", "!#511:59\r"},
    };
    DisplayState s;
    for (const auto& [time, twelveHour, command] : rows) {
        EXPECT_EQ(TwelveHourText(time), twelveHour);
        EXPECT_EQ(ClockCommand(s, time), command) << twelveHour;
    }
    s.Prefix1 = 'a';
    s.Prefix2 = 'b';
    EXPECT_EQ(ShowClockCommand(s), "ab5\r");
}

TEST(ProgramModeCommand, SwitchCodesIncludingTheZeroByte)
{
    const char* expected[] = {"FE 66 18", "FE 66 09", "FE 66 00", "FE 66 0A",
                              "FE 66 0B", "FE 66 0D", "FE 66 10", "FE 66 0F"};
    for (int mode = 0; mode < 8; ++mode)
        EXPECT_EQ(BytesOf(ProgramModeCommand(mode)), Hex(expected[mode])) << mode;
    EXPECT_EQ(ProgramModeCommand(8), "");
}

} // namespace
