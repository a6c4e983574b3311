#include "commandbuilders.h"
#include "displayscreen.h"
#include "displaystate.h"

#include <QTime>
#include <gtest/gtest.h>

using displaysim::DisplayScreen;
using namespace vornestw;

namespace {

std::string padded(const std::string& text)
{
    return text + std::string(20 - text.size(), ' ');
}

// The utility's own two-line sequences show the two lines in every protocol.
class TwoLinesOnScreen : public ::testing::TestWithParam<int>
{
};

TEST_P(TwoLinesOnScreen, ShowsBothLines)
{
    const int mode = GetParam();
    DisplayScreen screen(mode);
    screen.feed("old text\r");
    DisplayState state;
    state.Line1 = "Hello";
    state.Line2 = "Total 12.50";
    screen.feed(TwoLineCommand(state, mode));
    EXPECT_EQ(screen.line(1), padded("Hello")) << mode;
    EXPECT_EQ(screen.line(2), padded("Total 12.50")) << mode;
}

INSTANTIATE_TEST_SUITE_P(AllProtocols, TwoLinesOnScreen, ::testing::Range(0, 8));

TEST(DisplayScreen, FollowsTheProtocolSwitchIncludingTheZeroCode)
{
    DisplayScreen screen(0);
    for (int mode = 7; mode >= 0; --mode) {
        screen.feed(ProgramModeCommand(mode));
        EXPECT_EQ(screen.protocol(), mode);
    }
    screen.feed(std::string("\xFE\x66\x42", 3)); // unknown code: no change
    EXPECT_EQ(screen.protocol(), 0);
}

TEST(DisplayScreen, CursorCommandsPlaceTheNextCharacter)
{
    DisplayState state;
    state.LineNo = 2;
    state.XPos = 5;
    DisplayScreen qn(0);
    qn.feed(CursorCommand(state, 0));
    qn.feed("X");
    EXPECT_EQ(qn.line(2), padded("    X"));

    DisplayScreen idm(7);
    state.XPos = 20;
    idm.feed(CursorCommand(state, 7));
    idm.feed("Y");
    EXPECT_EQ(idm.line(2), padded(std::string(19, ' ') + "Y"));
}

TEST(DisplayScreen, AedexPrefixChangeClockAndLongText)
{
    DisplayScreen screen(1);
    DisplayState state;
    screen.feed(PrefixCommand(state, 40, 41));
    EXPECT_EQ(screen.prefix(), "()");
    state.Prefix1 = '(';
    state.Prefix2 = ')';
    screen.feed(ClockCommand(state, QTime(15, 45)));
    EXPECT_EQ(screen.line(2), padded("15:45"));
    state.LongText = "Long string test 1234567890abcdefgh";
    screen.feed(LongTextCommand(state, 3));
    EXPECT_EQ(screen.line(1), "Long string test 123");
    EXPECT_EQ(screen.line(2), padded("4567890abcdefgh"));
    // The old prefix no longer reaches it.
    screen.feed("!#1ignored\r");
    EXPECT_EQ(screen.line(1), "Long string test 123");
}

TEST(DisplayScreen, ClearCommandsEmptyTheScreen)
{
    struct Row
    {
        int mode;
        std::string clear;
    };
    const Row rows[] = {{0, "\x1B[2J"}, {3, "\x1F"}, {5, "\x0E"},
                        {5, "\x1BI"},   {6, "\x0C"}, {7, "\x0C"}};
    for (const Row& r : rows) {
        DisplayScreen screen(r.mode);
        screen.feed("some text");
        screen.feed(r.clear);
        EXPECT_EQ(screen.line(1), std::string(20, ' ')) << r.mode;
    }
}

} // namespace
