#include "displayrig.h"

#include <gtest/gtest.h>

using namespace vornestw;
using namespace vornestw::test;

namespace {

TEST(DisplayUtility, TwoLinesStoreTheFilledTexts)
{
    DisplayRig rig;
    rig.state.Mode = 6; // EPSON fills line 1 to 20
    rig.utility.SendTwoLines("Hi", "there");
    EXPECT_EQ(rig.state.Line1, "Hi" + std::string(18, ' '));
    EXPECT_EQ(rig.state.Line2, "there");
    EXPECT_EQ(rig.port.received(), BytesOf("\x1B\x1B\rHi" + std::string(18, ' ') + "there\r"));
}

TEST(DisplayUtility, LongTextUsesTheCodeOfTheMenuItemThatOpenedIt)
{
    DisplayRig rig;
    rig.state.Mode = 1;
    EXPECT_EQ(rig.utility.MenuFunction_Click(2), ParameterWindow::LongText);
    rig.utility.SendLongText("scroll me");
    EXPECT_EQ(rig.state.LongText, "scroll me");
    EXPECT_EQ(rig.port.received(), BytesOf("!#4scroll me\r"));
}

TEST(DisplayUtility, CursorStoresThePosition)
{
    DisplayRig rig;
    rig.state.Mode = 7;
    rig.utility.SendCursor(2, 5);
    EXPECT_EQ(rig.state.LineNo, 2);
    EXPECT_EQ(rig.state.XPos, 5);
    EXPECT_EQ(rig.port.received(), Hex("10 19 0D"));
}

TEST(DisplayUtility, PrefixChangeIsSentWithTheOldPrefixesThenTaken)
{
    DisplayRig rig;
    rig.state.Mode = 1;
    rig.utility.SendPrefix(40, 41);
    EXPECT_EQ(rig.port.received(), Hex("21 23 38 28 29 0D"));
    EXPECT_EQ(rig.state.Prefix1, '(');
    EXPECT_EQ(rig.state.Prefix2, ')');
    rig.utility.MenuFunction_Click(5);
    EXPECT_EQ(rig.port.received(), Hex("21 23 38 28 29 0D 28 29 35 0D"));
}

TEST(DisplayUtility, ProgramModeSendsTheSwitch)
{
    DisplayRig rig;
    rig.state.Mode = 2;
    rig.utility.SendProgramMode();
    EXPECT_EQ(rig.port.received(), Hex("FE 66 00"));
}

TEST(DisplayUtility, DefaultConfigurationKeepsModeAndCaption)
{
    DisplayRig rig;
    rig.state.Mode = 6;
    rig.state.Line1 = "a";
    rig.state.Line2 = "b";
    rig.state.LongText = "c";
    rig.state.XPos = 9;
    rig.state.LineNo = 2;
    rig.state.Prefix1 = 'x';
    rig.state.Prefix2 = 'y';
    rig.state.ChannelCaption = "Send to Com 2";
    rig.utility.SetDefaultConfiguration();
    EXPECT_EQ(rig.state.Mode, 6);
    EXPECT_EQ(rig.state.Port, 2);
    EXPECT_EQ(rig.state.ChannelCaption, "Send to Com 2");
    EXPECT_EQ(rig.state.Line1, "");
    EXPECT_EQ(rig.state.Line2, "");
    EXPECT_EQ(rig.state.LongText, "");
    EXPECT_EQ(rig.state.XPos, 1);
    EXPECT_EQ(rig.state.LineNo, 1);
    EXPECT_EQ(rig.state.Prefix1, '!');
    EXPECT_EQ(rig.state.Prefix2, '#');
}

} // namespace
