#include "displayrig.h"
#include "protocoltables.h"

#include <gtest/gtest.h>

using namespace vornestw;
using namespace vornestw::test;

namespace {

constexpr int QN = 0, Aedex = 1, Terminal = 2, Ultimate = 3, ICD = 4, Set2 = 5, EPSON = 6, IDM = 7;

struct MenuRow
{
    int mode;
    int index;
    const char* caption;
    const char* bytes; // hex, or empty for a window
    ParameterWindow window = ParameterWindow::None;
};

constexpr auto TwoLines = ParameterWindow::TwoLines;
constexpr auto Cursor = ParameterWindow::CursorPosition;
constexpr auto Long = ParameterWindow::LongText;
constexpr auto PrefixW = ParameterWindow::Prefix;

// Every menu item of the eight protocols; the clock items at 3:45:10 PM with
// the default prefixes.
const MenuRow kMenuRows[] = {
    {QN, 0, "&Display", "", TwoLines},
    {QN, 1, "&Clear screen", "1B 5B 32 4A"},
    {QN, 2, "&Move cursor to", "", Cursor},
    {QN, 3, "Move cursor &home", "1B 5B 48"},
    {QN, 4, "Cursor off", "1B 5B 30 6D"},
    {QN, 5, "Cursor &underline", "1B 5B 34 6D"},
    {QN, 6, "Cursor &blinking", "1B 5B 35 6D"},
    {QN, 7, "&Lock display", "1B 5B 38 6D"},
    {QN, 8, "U&nlock display", "20"},
    {QN, 9, "&Stop scrolling", "1B 5B 30 53"},
    {QN, 10, "Scroll &left", "1B 5B 31 53"},
    {QN, 11, "Scroll &right", "1B 5B 32 53"},
    {QN, 12, "Display &on", "1B 5B 33 6D"},
    {QN, 13, "Display o&ff", "1B 5B 32 6D"},
    {Terminal, 0, "&Display", "", TwoLines},
    {Terminal, 1, "&Clear screen", "1B 5B 32 4A"},
    {Terminal, 2, "&Move cursor to", "", Cursor},
    {Terminal, 3, "Move cursor &home", "1B 5B 48"},
    {Terminal, 4, "Cursor off", "1B 5B 30 6D"},
    {Terminal, 5, "Cursor &underline", "1B 5B 34 6D"},
    {Terminal, 6, "Cursor &blinking", "1B 5B 35 6D"},
    {Terminal, 7, "&Lock display", "1B 5B 38 6D"},
    {Terminal, 8, "U&nlock display", "20"},
    {Terminal, 9, "&Stop scrolling", "1B 5B 30 53"},
    {Terminal, 10, "Scroll &left", "1B 5B 31 53"},
    {Terminal, 11, "Scroll &right", "1B 5B 32 53"},
    {Terminal, 12, "Display &on", "1B 5B 33 6D"},
    {Terminal, 13, "Display o&ff", "1B 5B 32 6D"},
    {Aedex, 0, "&Display", "", TwoLines},
    {Aedex, 1, "&Once scroll", "", Long},
    {Aedex, 2, "&Continuous scroll", "", Long},
    {Aedex, 3, "Display &long", "", Long},
    {Aedex, 4, "&Set and display clock", "21 23 35 31 35 3A 34 35 0D"},
    {Aedex, 5, "Display c&lock", "21 23 35 0D"},
    {Aedex, 6, "Change command &prefix", "", PrefixW},
    {Ultimate, 0, "&Display", "", TwoLines},
    {Ultimate, 1, "&Reset", "1F"},
    {Ultimate, 2, "Cursor &on", "13"},
    {Ultimate, 3, "Cursor o&ff", "14"},
    {Ultimate, 4, "&Normal mode", "11"},
    {Ultimate, 5, "&Vertical mode", "12"},
    {ICD, 0, "&Display", "", TwoLines},
    {ICD, 1, "&Reset", "1F"},
    {ICD, 2, "Cursor &on", "13"},
    {ICD, 3, "Cursor o&ff", "14"},
    {ICD, 4, "&Normal mode", "11"},
    {ICD, 5, "&Vertical mode", "12"},
    {Set2, 0, "&Display", "", TwoLines},
    {Set2, 1, "&Reset", "1B 49"},
    {Set2, 2, "&Clear", "0E"},
    {Set2, 3, "Cursor &on", "15"},
    {Set2, 4, "Cursor o&ff", "16"},
    {Set2, 5, "&Normal mode", "11"},
    {Set2, 6, "&Vertical mode", "12"},
    {EPSON, 0, "&Display", "", TwoLines},
    {EPSON, 1, "C&ursor home", "16"},
    {EPSON, 2, "&Blink cursor", "06"},
    {EPSON, 3, "Show, &flash cursor", "0F"},
    {EPSON, 4, "&End blink cursor", "07"},
    {EPSON, 5, "&Hide cursor", "0E"},
    {EPSON, 6, "&Advance cursor", "09"},
    {EPSON, 7, "&Line feed", "0A"},
    {EPSON, 8, "Carriage re&turn", "0D"},
    {EPSON, 9, "Bottom &mode", "10"},
    {EPSON, 10, "&Normal mode", "11"},
    {EPSON, 11, "&Overwrite mode", "12"},
    {EPSON, 12, "Hori&zontal mode", "13"},
    {EPSON, 13, "&Wrap around mode", "1A"},
    {EPSON, 14, "&Reset", "14"},
    {EPSON, 15, "Clear di&splay *", "0C"},
    {EPSON, 16, "D&isplay Clear **", "15"},
    {EPSON, 17, "Disable displa&y", "1B 23 0D"},
    {IDM, 0, "&Display", "", TwoLines},
    {IDM, 1, "Move &cursor", "", Cursor},
    {IDM, 2, "&Home", "0C 0D"},
    {IDM, 3, "Goto line &1", "0E"},
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

    const auto window = rig.utility.MenuFunction_Click(row.index, QTime(15, 45, 10));
    EXPECT_EQ(window, row.window);
    EXPECT_EQ(rig.state.MenuIndex, row.index);
    EXPECT_EQ(rig.port.received(), Hex(row.bytes));
    EXPECT_TRUE(rig.notice.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(AllProtocols, MenuItem, ::testing::ValuesIn(kMenuRows));

TEST(FunctionMenu, HasExactlyTheTabledItemsPerProtocol)
{
    const int itemCount[] = {14, 7, 14, 6, 6, 7, 18, 5};
    DisplayRig rig;
    for (int mode = 0; mode < 8; ++mode) {
        rig.state.Mode = mode;
        const auto menu = rig.utility.BuildFunctionMenu();
        ASSERT_TRUE(menu);
        EXPECT_EQ(static_cast<int>(menu->captions.size()), itemCount[mode]) << mode;
        // An index past the protocol's rows does nothing.
        EXPECT_EQ(rig.utility.MenuFunction_Click(itemCount[mode]), ParameterWindow::None);
        EXPECT_TRUE(rig.port.received().empty()) << mode;
    }
}

TEST(FunctionMenu, ModeLabelsAndSwitchCodes)
{
    struct Row
    {
        const char* label;
        const char* caption;
        int code;
    };
    const Row rows[] = {
        {"QN Mode", "&QN", 0x18},
        {"Aedex Mode", "&Aedex", 0x09},
        {"Terminal Mode", "&Terminal", 0x00},
        {"Ultimate Mode", "&Ultimate", 0x0A},
        {"ICD Mode", "&ICD", 0x0B},
        {"Set 2  Mode", "&Set 2", 0x0D},
        {"EPSON  Mode", "&Epson", 0x10},
        {"IDM  Mode", "I&DM 787 - 2", 0x0F},
    };
    for (int mode = 0; mode < 8; ++mode) {
        const auto info = ProtocolOf(mode);
        ASSERT_TRUE(info);
        EXPECT_EQ(info->modeLabel, rows[mode].label);
        EXPECT_EQ(info->modeCaption, rows[mode].caption);
        EXPECT_EQ(info->switchCode, rows[mode].code);
    }
}

TEST(FunctionMenu, ModeOutsideTheEightProtocolsOffersNothing)
{
    DisplayRig rig;
    for (int mode : {-1, 8, 32767}) {
        rig.state.Mode = mode;
        EXPECT_FALSE(rig.utility.BuildFunctionMenu());
        EXPECT_EQ(rig.utility.MenuFunction_Click(0), ParameterWindow::None);
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
