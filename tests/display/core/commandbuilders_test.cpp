#include "commandbuilders.h"
#include "displayrig.h"

#include <gtest/gtest.h>

using namespace vornestw;
using namespace vornestw::test;

namespace {

std::vector<std::uint8_t> B(const std::string& s)
{
    return BytesOf(s);
}

struct TwoLineRow
{
    int mode;
    const char* line1;
    const char* line2;
    const char* expected; // hex
};

// Lines "AB" and "" through every protocol.
const TwoLineRow kTwoLineRows[] = {
    {0, "AB", "", "1B 5B 38 4D 20 1B 5B 32 4A 41 42 1B 5B 30 32 3B 30 31 48 1B 5B 38 4D"},
    {2, "AB", "", "1B 5B 38 4D 20 1B 5B 32 4A 41 42 1B 5B 30 32 3B 30 31 48 1B 5B 38 4D"},
    {1, "AB", "", "21 23 31 41 42 0D 21 23 32 0D"},
    {3, "AB", "",
     "1F 41 42 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 "
     "20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 0D"},
    {4, "AB", "",
     "1F 41 42 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 "
     "20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20 20"},
    {5, "AB", "C",
     "0E 0D 41 42 20 20 20 20 20 20 20 20 "
     "20 20 20 20 20 20 20 20 20 20 43 0D"},
    {6, "AB", "C",
     "1B 1B 0D 41 42 20 20 20 20 20 20 20 "
     "20 20 20 20 20 20 20 20 20 20 20 43 0D"},
    {7, "AB", "C", "0C 0D 41 42 0D 43 0D"},
};

class TwoLines : public ::testing::TestWithParam<TwoLineRow>
{
};

TEST_P(TwoLines, SequencePerProtocol)
{
    const auto& row = GetParam();
    DisplayState s;
    s.Line1 = row.line1;
    s.Line2 = row.line2;
    EXPECT_EQ(B(TwoLineCommand(s, row.mode)), Hex(row.expected));
}

INSTANTIATE_TEST_SUITE_P(AllProtocols, TwoLines, ::testing::ValuesIn(kTwoLineRows));

TEST(TwoLineCommand, UltimateAndIcdWithEmptyLinesAre41And40Bytes)
{
    DisplayState s;
    const std::string ultimate = TwoLineCommand(s, 3);
    EXPECT_EQ(ultimate, "\x1F" + std::string(39, ' ') + "\r");
    EXPECT_EQ(ultimate.size(), 41u);
    // The filled lines are stored back: 20 and 19 characters.
    EXPECT_EQ(s.Line1, std::string(20, ' '));
    EXPECT_EQ(s.Line2, std::string(19, ' '));

    DisplayState t;
    EXPECT_EQ(TwoLineCommand(t, 4).size(), 40u);
}

TEST(TwoLineCommand, FillingNeverCutsALongerLine)
{
    DisplayState s;
    s.Line1 = std::string(25, 'x'); // pasted past the limit
    s.Line2 = std::string(20, 'y');
    EXPECT_EQ(TwoLineCommand(s, 3), "\x1F" + std::string(25, 'x') + std::string(20, 'y') + "\r");
    EXPECT_EQ(s.Line1.size(), 25u);
}

TEST(TwoLineCommand, AedexUsesThePrefixesAsTheyAre)
{
    DisplayState s;
    s.Prefix1 = ' ';
    s.Prefix2 = '$';
    s.Line1 = "a";
    s.Line2 = "b";
    EXPECT_EQ(TwoLineCommand(s, 1), " $1a\r $2b\r");
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
        {0, 1, 1, "1B 5B 30 31 3B 31 48"},
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
        EXPECT_EQ(B(CursorCommand(s, r.mode)), Hex(r.expected))
            << r.mode << " " << r.line << " " << r.column;
    }
}

TEST(LongTextCommand, CodeFollowsTheMenuItem)
{
    DisplayState s;
    s.LongText = "Hi";
    EXPECT_EQ(LongTextCommand(s, 1), "!#6Hi\r");
    EXPECT_EQ(LongTextCommand(s, 2), "!#4Hi\r");
    EXPECT_EQ(LongTextCommand(s, 3), "!#9Hi\r");
    EXPECT_EQ(LongTextCommand(s, 0), "");
    EXPECT_EQ(LongTextCommand(s, 4), "");
}

TEST(PrefixCommand, TrimsSpacePrefixesAndTakesAnyCode)
{
    DisplayState s;
    EXPECT_EQ(B(PrefixCommand(s, 40, 41)), Hex("21 23 38 28 29 0D"));
    s.Prefix1 = ' ';
    EXPECT_EQ(B(PrefixCommand(s, 0, 255)), Hex("23 38 00 FF 0D"));
    s.Prefix2 = ' ';
    EXPECT_EQ(B(PrefixCommand(s, 33, 35)), Hex("38 21 23 0D"));
}

TEST(ClockCommand, TwelveHourRule)
{
    struct Row
    {
        QTime time;
        const char* twelveHour;
        const char* afterPrefixes;
    };
    const Row rows[] = {
        {QTime(15, 45, 0), "03:45:00 PM", "35 31 35 3A 34 35 0D"},
        {QTime(0, 5, 59), "12:05:59 AM", "35 30 30 3A 30 35 0D"},
        {QTime(12, 30, 0), "12:30:00 PM", "35 31 32 3A 33 30 0D"},
        {QTime(23, 7, 1), "11:07:01 PM", "35 32 33 3A 30 37 0D"},
        {QTime(9, 0, 0), "09:00:00 AM", "35 30 39 3A 30 30 0D"},
        {QTime(11, 59, 59), "11:59:59 AM", "35 31 31 3A 35 39 0D"},
    };
    DisplayState s;
    for (const Row& r : rows) {
        EXPECT_EQ(TwelveHourText(r.time), r.twelveHour);
        EXPECT_EQ(B(ClockCommand(s, r.time)), Hex(std::string("21 23 ") + r.afterPrefixes))
            << r.twelveHour;
    }
    s.Prefix1 = 'a';
    s.Prefix2 = 'b';
    EXPECT_EQ(ClockCommand(s, QTime(15, 45)), "ab515:45\r");
    EXPECT_EQ(ShowClockCommand(s), "ab5\r");
}

TEST(ProgramModeCommand, SwitchCodesIncludingTheZeroByte)
{
    const char* expected[] = {"FE 66 18", "FE 66 09", "FE 66 00", "FE 66 0A",
                              "FE 66 0B", "FE 66 0D", "FE 66 10", "FE 66 0F"};
    for (int mode = 0; mode < 8; ++mode)
        EXPECT_EQ(B(ProgramModeCommand(mode)), Hex(expected[mode])) << mode;
    EXPECT_EQ(ProgramModeCommand(8), "");
    EXPECT_EQ(ProgramModeCommand(-1), "");
}

} // namespace
