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

} // namespace
