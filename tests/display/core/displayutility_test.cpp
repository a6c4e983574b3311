#include "displayrig.h"

#include <gtest/gtest.h>

using namespace vornestw;
using namespace vornestw::test;

namespace {

TEST(DisplayUtility, PrefixChangeIsSentWithTheOldPrefixesThenUsedByTheNextCommand)
{
    DisplayRig rig;
    rig.state.Mode = 1;
    rig.utility.SendPrefix(40, 41);
    rig.utility.MenuFunction_Click(5);
    EXPECT_EQ(rig.port.received(), Hex("21 23 38 28 29 0D 28 29 35 0D"));
}

TEST(DisplayUtility, DefaultConfigurationKeepsModeAndCaption)
{
    DisplayRig rig;
    DisplayState& s = rig.state;
    s.Mode = 6, s.Port = 0, s.XPos = 9, s.LineNo = 2, s.Prefix1 = 'x', s.Prefix2 = 'y';
    s.Line1 = s.Line2 = s.LongText = "a";
    s.ChannelCaption = "Send to Com 1";
    rig.utility.SetDefaultConfiguration();
    EXPECT_EQ(std::tie(s.Mode, s.Port, s.XPos, s.LineNo, s.Prefix1, s.Prefix2),
              std::make_tuple(6, 2, 1, 1, '!', '#'));
    EXPECT_EQ(s.Line1 + s.Line2 + s.LongText, "");
    EXPECT_EQ(s.ChannelCaption, "Send to Com 1");
}

} // namespace
