#include "keytoken.h"

#include <gtest/gtest.h>

using namespace morvaw;

TEST(KeyToken, ComposesPrefixesInTheEditorsOrder)
{
    EXPECT_EQ(ComposeKeyToken({}, "F1"), "F1");
    EXPECT_EQ(ComposeKeyToken({.ctrl = true, .shift = true}, "a"), "^Sha");
    EXPECT_EQ(ComposeKeyToken({.shift = true, .alt = true}, "a"), "ShAlta");
    EXPECT_EQ(ComposeKeyToken({.ctrl = true, .shift = true, .alt = true}, "Del"), "^ShAltDel");
}

TEST(KeyToken, ReadsPrefixesInAnyOrderAndKeepsNamesThatLookLikePrefixes)
{
    struct Row
    {
        const char* token;
        const char* name;
        int modifier;
    };
    const Row rows[] = {
        {"a", "a", 0},
        {"^a", "a", CtrlBit},
        {"Sha", "a", ShiftBit},
        {"AltF4", "F4", AltBit},
        {"#Pad 7", "Pad 7", ForceNumBit},
        {"^Sha", "a", CtrlBit | ShiftBit},
        {"ShAlta", "a", ShiftBit | AltBit},
        {"AltSh^x", "x", CtrlBit | ShiftBit | AltBit},
        {"#AltPad 1", "Pad 1", AltBit}, // another prefix replaces the "#" bit
        {"^", "^", 0},                  // the caret key itself
        {"#", "#", 0},
        {"Alt", "Alt", 0},
        {"Shft", "Shft", 0},
        {"ShShft", "Shft", ShiftBit},
        {"^^", "^", CtrlBit},
        {"AltAlt", "Alt", AltBit},
    };
    for (const Row& row : rows) {
        const ParsedKeyToken parsed = ParseKeyToken(row.token);
        EXPECT_EQ(parsed.name, row.name) << row.token;
        EXPECT_EQ(parsed.modifier, row.modifier) << row.token;
    }
}

TEST(KeyToken, EveryComposedTokenReadsBack)
{
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
