#include "keytoken.h"

#include <gtest/gtest.h>

using namespace morvaw;

TEST(KeyToken, ReadsPrefixesInAnyOrderAndKeepsNamesThatLookLikePrefixes)
{
    struct Row
    {
        const char* token;
        const char* name;
        int modifier;
    };
    // The shipped data tests read every real key name with each single prefix;
    // here: prefixes in any order, "#" with another prefix, names like prefixes.
    const Row rows[] = {
        {"AltSh^x", "x", CtrlBit | ShiftBit | AltBit},
        {"#AltPad 1", "Pad 1", AltBit}, // another prefix replaces the "#" bit
        {"#Pad 7", "Pad 7", ForceNumBit},
        {"^", "^", 0}, // the caret key itself
        {"#", "#", 0},
        {"Shft", "Shft", 0},
        {"ShShft", "Shft", ShiftBit},
        {"^^", "^", CtrlBit},
    };
    for (const Row& row : rows) {
        const ParsedKeyToken parsed = ParseKeyToken(row.token);
        EXPECT_EQ(parsed.name, row.name) << row.token;
        EXPECT_EQ(parsed.modifier, row.modifier) << row.token;
    }
}

// The editor writes "^", "Sh", "Alt" in that order; whatever it writes reads back.
TEST(KeyToken, EveryComposedTokenReadsBack)
{
    EXPECT_EQ(ComposeKeyToken({.ctrl = true, .shift = true, .alt = true}, "Del"), "^ShAltDel");
    for (int bits = 0; bits < 8; ++bits) {
        const TokenModifiers m{
            .ctrl = (bits & 1) != 0, .shift = (bits & 2) != 0, .alt = (bits & 4) != 0};
        for (const char* name : {"a", "^", "Alt", "Shft", "Pad 7", "F12"}) {
            const ParsedKeyToken parsed = ParseKeyToken(ComposeKeyToken(m, name));
            EXPECT_EQ(parsed.name, name) << bits;
            EXPECT_EQ(parsed.modifier,
                      (m.ctrl ? CtrlBit : 0) | (m.shift ? ShiftBit : 0) | (m.alt ? AltBit : 0))
                << name << ' ' << bits;
        }
    }
}
