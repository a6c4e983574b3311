#include "displayrig.h"
#include "protocoltables.h"

#include <gtest/gtest.h>

using namespace vornestw;
using namespace vornestw::test;

namespace {

constexpr int QN = 0, Aedex = 1, Terminal = 2, Ultimate = 3, ICD = 4, Set2 = 5, EPSON = 6, IDM = 7;
constexpr auto TwoLines = ParameterWindow::TwoLines;
constexpr auto Cursor = ParameterWindow::CursorPosition;

struct MenuRow
{
    int mode;
    int index;
    const char* caption;
    const char* bytes; // hex, or empty for a window
    ParameterWindow window = ParameterWindow::None;
};

// Items the window tests do not reach through the menu: the last of each
// protocol, the clock items (at 3:45:10 PM with the default prefixes) and odd ones.
const MenuRow kMenuRows[] = {
    {QN, 8, "U&nlock display", "20"},
    {QN, 13, "Display o&ff", "1B 5B 32 6D"},
    {Terminal, 2, "&Move cursor to", "", Cursor},
    {Terminal, 13, "Display o&ff", "1B 5B 32 6D"},
    {Aedex, 0, "&Display", "", TwoLines},
    {Aedex, 4, "&Set and display clock", "21 23 35 31 35 3A 34 35 0D"},
    {Aedex, 5, "Display c&lock", "21 23 35 0D"},
    {Ultimate, 1, "&Reset", "1F"},
    {Ultimate, 5, "&Vertical mode", "12"},
    {ICD, 0, "&Display", "", TwoLines},
    {ICD, 5, "&Vertical mode", "12"},
    {Set2, 1, "&Reset", "1B 49"},
    {Set2, 6, "&Vertical mode", "12"},
    {EPSON, 16, "D&isplay Clear **", "15"},
    {EPSON, 17, "Disable displa&y", "1B 23 0D"},
    {IDM, 2, "&Home", "0C 0D"},
    {IDM, 4, "Goto line &2", "0F"},
};

class MenuItem : public ::testing::TestWithParam<MenuRow>
{
};

TEST_P(MenuItem, HasItsCaptionAndSendsItsBytesOrOpensItsWindow)
{
    const MenuRow& row = GetParam();
    DisplayRig rig;
    rig.state.Mode = row.mode;
    const auto menu = rig.utility.BuildFunctionMenu();
    ASSERT_TRUE(menu);
    ASSERT_LT(row.index, static_cast<int>(menu->captions.size()));
    EXPECT_EQ(menu->captions[static_cast<std::size_t>(row.index)].toStdString(), row.caption);
    EXPECT_EQ(rig.utility.MenuFunction_Click(row.index, QTime(15, 45, 10)), row.window);
    EXPECT_EQ(rig.state.MenuIndex, row.index);
    EXPECT_EQ(rig.port.received(), Hex(row.bytes));
}

INSTANTIATE_TEST_SUITE_P(AllProtocols, MenuItem, ::testing::ValuesIn(kMenuRows));

TEST(FunctionMenu, ItemCountPerProtocolAndNothingPastIt)
{
    const int itemCount[] = {14, 7, 14, 6, 6, 7, 18, 5};
    DisplayRig rig;
    for (int mode = 0; mode < 8; ++mode) {
        rig.state.Mode = mode;
        EXPECT_EQ(static_cast<int>(rig.utility.BuildFunctionMenu()->captions.size()),
                  itemCount[mode]);
        EXPECT_EQ(rig.utility.MenuFunction_Click(itemCount[mode]), ParameterWindow::None);
    }
    EXPECT_TRUE(rig.port.received().empty());
}

TEST(FunctionMenu, ModeOutsideTheEightProtocolsOffersNothing)
{
    DisplayRig rig;
    for (int mode : {-1, 8, 32767}) {
        rig.state.Mode = mode;
        EXPECT_FALSE(rig.utility.BuildFunctionMenu());
        EXPECT_EQ(rig.utility.MenuFunction_Click(1), ParameterWindow::None);
    }
    EXPECT_TRUE(rig.port.received().empty());
}

TEST(FunctionMenu, ClickClearsAStaleAbort)
{
    DisplayRig rig;
    rig.state.AbortFlag = true;
    rig.utility.MenuFunction_Click(1);
    EXPECT_EQ(rig.port.received(), Hex("1B 5B 32 4A"));
}

} // namespace
