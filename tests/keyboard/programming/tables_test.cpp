// Both memory images built from layouts made here; every expected value was
// worked out by hand from the key codes of the test scan table.
#include "deviceimagebuilder.h"
#include "keyboardrig.h"
#include "keystablebuilder.h"
#include "memoryusage.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

using namespace morvaw;
using namespace morvaw::test;

namespace {

// A definition of n tokens "a".
std::string Many(int n)
{
    return Tokens(std::vector<std::string>(static_cast<std::size_t>(n), "a"));
}

KeyRecord& Key(TestLayout& state, int n)
{
    return state.LayoutRecords[static_cast<std::size_t>(n)];
}

} // namespace

TEST(SetKeySequence, ReadsPrefixesPicturesAndCapitals)
{
    auto state = MakeState(2);
    const ScanNames names{state->Tables.ScanTable, state->Tables.ScanCount};
    const std::vector<std::pair<std::string, KeyCode>> rows = {
        {"a", {0x1E, 0x00}},
        {"A", {0x1E, 0x10}},
        {"ShA", {0x1E, 0x10}},
        {"^a", {0x1E, 0x04}},
        {"Alta", {0x1E, 0x08}},
        {"#Pad 7", {0x47, 0x40}},
        {"#AltPad 7", {0x47, 0x08}},
        {"Shft", {0x2A, 0x00}},
        {"#", {0x04, 0x10}},
        {"Delay", {0x00, 0xAB}},
        {"zzz", {0, 0}},
        {"   ", {0, 0}},
        {"Ins", {0x52, 0x20}},
        {"ShIns", {0x52, 0x10}},
        {"Pad \x11\xC4\xD9", {0x1C, 0x20}},
        // Mended: combined prefixes add up, the caret key is a key, the Up
        // arrow's picture is not blank, and "ShIns" left "Ins" its cursor bit.
        {"^Sha", {0x1E, 0x14}},
        {"ShAlta", {0x1E, 0x18}},
        {"^ShIns", {0x52, 0x14}},
        {"^", {0x07, 0x10}},
        {"\x18", {0x48, 0x20}},
    };
    for (const auto& [token, code] : rows)
        EXPECT_EQ(SetKeySequence(names, token), code) << token;
    EXPECT_EQ(state->Tables.ScanTable[7].Seq2, 32); // the table is only read
}

TEST(KeysTable, OlderFormatGolden)
{
    auto state = MakeState(1);
    TestLayout& s = *state;
    SetDef(Key(s, 1), 0, Tokens({"a"}));
    Key(s, 1).RepeatFlags = 1;
    SetDef(Key(s, 2), 0, Tokens({"a", "b"}));
    SetDef(Key(s, 3), 0, Tokens({"c"}));
    SetDef(Key(s, 3), 1, Tokens({"F1", "Delay"}));
    Key(s, 3).RepeatFlags = 3;
    SetDef(Key(s, 4), 0, Tokens({"Enter"}));
    SetDef(Key(s, 5), 0, Tokens({"Esc"}));
    SetDef(Key(s, 6), 0, Tokens({"\x18"}));
    SetDef(Key(s, 7), 0, Tokens({"a", "\x18"}));
    SetDef(Key(s, 8), 0, Tokens({"Func2"}));
    SetDef(Key(s, 13), 0, Tokens({"Delay", "a", "Delay", "b", "Delay"}));
    SetDef(Key(s, 37), 0, ">x");
    Key(s, 37).Label = "OK";
    SetDef(Key(s, 61), 0, Tokens({"7"}));
    SetDef(Key(s, 83), 0, Tokens({"a", "b"})); // Func1 blank, both "Rpt" boxes checked
    Key(s, 83).RepeatFlags = 7;
    SetDef(Key(s, 84), 0, Tokens({"Pad 7"}));
    SetDef(s.LayoutRecords[Settings::MsrHeader], 0, Tokens({"b"}));
    SetDef(s.LayoutRecords[Settings::MsrSeparator], 0, Tokens({"a", "b"}));
    s.LayoutRecords[Settings::MsrSeparator].RepeatFlags = 7;
    SetDef(s.LayoutRecords[Settings::MsrTrailer], 0, Tokens({"c"}));

    const KeysTableBuilder table = KeysTableBuilder::Build(s.source());
    const std::map<int, std::uint16_t> expected = {
        {4, 0x1E01},   {12, 0x6702},  {103, 0x0800}, {104, 0x1E00}, {105, 0x3002}, {20, 0x6A03},
        {106, 0x0F6C}, {107, 0x2E03}, {108, 0x3B00}, {109, 0x64AB}, {36, 0x1C00},  {28, 0x0100},
        {44, 0x4820},  {60, 0x6E02},  {110, 0x0800}, {111, 0x1E00}, {112, 0x4822}, {52, 0x0000},
        {5, 0x7102},   {113, 0x0800}, {114, 0x64AB}, {115, 0x1E00}, {116, 0x64AB}, {117, 0x3000},
        {118, 0x64AB}, {3, 0x4F4B},   {1, 0x0800},   {95, 0x4700},  {40, 0x3000},  {87, 0x7703},
        {119, 0x0900}, {120, 0x1E01}, {121, 0x3003}, {32, 0x7A03},  {122, 0x0900}, {123, 0x1E01},
        {124, 0x3003}, {56, 0x0000},  {8, 0x0006},   {16, 0x6405},  {64, 0x0005},  {97, 0xFFFF},
        {98, 0xFFFF},  {99, 0xFFFF},  {100, 0xFFDE}, {101, 0xFFFF}, {102, 0x231B},
    };
    for (int w = 1; w <= KeysTableBuilder::kWords; ++w) {
        const auto it = expected.find(w);
        EXPECT_EQ(table.word(w), it == expected.end() ? 0 : it->second) << "word " << w;
    }
    EXPECT_EQ(table.NextSlot(), 125);
    EXPECT_FALSE(table.overflow());
}

TEST(KeysTable, MacroPointersBelowAndAboveWord128AndOverflow)
{
    auto state = MakeState(1);
    for (int key = 1; key <= 84; ++key)
        SetDef(Key(*state, key), 0, Tokens({"a", "b"}));
    KeysTableBuilder table(state->source());
    for (int key = 1; key <= 10; ++key)
        table.addKey(key);
    EXPECT_EQ(table.word(68), 0x7F02); // key 9's macro at word 127
    EXPECT_EQ(table.word(76), 0x0282); // key 10's at word 130
    for (int key = 11; key <= 50; ++key)
        EXPECT_TRUE(table.addKey(key)) << key;
    EXPECT_EQ(table.NextSlot(), 253);
    EXPECT_FALSE(table.addKey(51));
    EXPECT_TRUE(table.overflow());
}

TEST(DeviceImage, SkipsPointersThatWouldReadAsEmptyAndReachesPastByte256)
{
    auto state = MakeState(2);
    for (int key = 1; key <= 45; ++key)
        SetDef(Key(*state, key), 0, Tokens({"a", "b"}));
    const DeviceImageBuilder image = DeviceImageBuilder::Build(state->source());
    EXPECT_EQ(image.byte(101), 0x79); // key 44's macro at 505
    EXPECT_EQ(image.byte(102), 0x92);
    EXPECT_EQ(image.byte(133), 0x01); // key 45's at 513, not 512
    EXPECT_EQ(image.byte(134), 0x22);
    EXPECT_EQ(image.byte(512), 0x00);
    EXPECT_EQ(image.byte(513), 0x80);
    EXPECT_EQ(image.NextSlot(), 520);
}

TEST(DeviceImage, FillsToExactly2047AndRefusesOneByteMore)
{
    for (const bool oneMore : {false, true}) {
        auto state = MakeState(2);
        for (int key = 1; key <= 10; ++key) {
            for (int level = 0; level < 3; ++level)
                SetDef(Key(*state, key), level, Many(29)); // 177 bytes each
        }
        SetDef(Key(*state, 11), 0, Many(29));
        SetDef(Key(*state, 11), 1, Many(oneMore ? 1 : 6));
        if (oneMore)
            SetDef(Key(*state, 12), 0, Many(4));
        SetDef(Key(*state, 13), 0, Tokens({"a"}));
        SetDef(state->LayoutRecords[Settings::MsrHeader], 0, Tokens({"b"}));

        const DeviceImageBuilder image = DeviceImageBuilder::Build(state->source());
        EXPECT_EQ(image.overflow(), oneMore);
        EXPECT_EQ(image.NextSlot(), oneMore ? 2037 : 2047);
        // Key 11 (matrix code 83) points at 1974 either way; key 12 (91),
        // key 13 (4) and the MSR header (39) stay empty after the overflow.
        EXPECT_EQ(image.byte(167), 0x36);
        EXPECT_EQ(image.byte(168), 0xF2);
        EXPECT_EQ(image.byte(183), 0x00);
        EXPECT_EQ(image.byte(9), oneMore ? 0x00 : 0x1E);
        EXPECT_EQ(image.byte(79), oneMore ? 0x00 : 0x30);
        EXPECT_EQ(MacroMemoryText(image),
                  oneMore ? "Macro memory: more than 2047 bytes, too full to program"
                          : "Macro memory: 2047 of 2047 bytes");
    }
}
