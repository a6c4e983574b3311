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

} // namespace
