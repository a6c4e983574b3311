#include "definitiontext.h"
#include "displaytext.h"
#include "keyrecord.h"
#include "keytoken.h"

#include <gtest/gtest.h>

using namespace morvaw;

namespace {

const std::string M(1, TokenMark);

std::string padded(std::string s, std::size_t width = 60)
{
    s.resize(width, ' ');
    return s;
}

} // namespace

TEST(SignificantLength, CountsUpToTheLastVisibleCharacterOrPicture)
{
    const std::pair<std::string, int> rows[] = {
        {"Enter  ", 5},
        {"       ", 0},
        {"", 0},
        {std::string("ab\0\0", 4), 2},
        {"a\x01\x1F", 1},
        {"x\x12 ", 1},  // 18 is not a picture byte
        {"x \x19 ", 3}, // a picture byte counts
        {std::string(300, 'x'), 255},
    };
    for (const auto& [text, length] : rows)
        EXPECT_EQ(SignificantLength(text), length) << text;
}

TEST(IsBlankText, OnlyCodesBelow33)
{
    EXPECT_TRUE(IsBlankText("") && IsBlankText("   ") && IsBlankText(std::string("\0 \x10", 3)));
    EXPECT_FALSE(IsBlankText(" a") || IsBlankText("!") || IsBlankText(M));
}

TEST(DefToken, TakesTheNthTokenBetweenMarks)
{
    struct Row
    {
        const char* what;
        std::string def;
        int n;
        std::string token;
    };
    const Row rows[] = {
        {"second", M + "a" + M + "Spc" + M, 2, "Spc"},
        {"past the end", M + "a" + M + "Spc" + M, 3, ""},
        {"zero", M + "a" + M, 0, ""},
        {"runs of marks", M + "a" + M + M + M + M + "b" + M, 2, "b"},
        {"picture in padding", padded(M + "\x11\xCD" + M), 1, "\x11\xCD"},
        {"last unterminated", M + "x" + M + "End  ", 2, "End"},
        {"Func2 padded", "Func2   ", 1, "Func2"},
        {"Func1 second", "Func1", 2, ""},
        {"empty", "", 1, ""},
        {"cut at 60", M + std::string(80, 'z'), 1, std::string(60, 'z')},
    };
    for (const Row& row : rows)
        EXPECT_EQ(DefToken(row.n, row.def, TokenMark), row.token) << row.what;
}

// Pictures as code page 437 glyphs, other bytes as Windows-1252; every byte
// comes back unchanged and a character without a byte becomes "?".
TEST(DisplayText, PicturesAndWindows1252BothWays)
{
    EXPECT_EQ(ToDisplayText("\x11\xCD \x11\xC4\xD9\x10\x18\x19\xF9"),
              QString::fromUtf8("◄═ ◄─┘►↑↓∙"));
    EXPECT_EQ(ToDisplayText("\xA3\xF1\xE7\xBA\xA1\xBF\x80\x9F"
                            "Abc"),
              QString::fromUtf8("£ñçº¡¿€ŸAbc"));
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(FromDisplayText(ToDisplayText(all)), all);
    EXPECT_EQ(FromDisplayText(QString::fromUtf8("a✓b")), "a?b");
}

TEST(KeyRecordForm, FieldsLieAtTheirFileOffsets)
{
    KeyRecord r;
    r.PosY = 0x11;
    r.PosX = 0x22;
    r.KeyWord = 0xA1B2;
    r.Matrix = 0x33;
    r.Spare = 0x44;
    r.Label.assign(std::string_view("\0\0", 2));
    const char* defs[] = {"\xF9"
                          "a\xF9",
                          "", "", "def3"};
    for (int level = 0; level < 4; ++level) { // the level accessors reach the named fields
        r.len(level) = static_cast<std::uint8_t>(3 + 4 * level);
        r.def(level).assign(defs[level]);
    }
    r.Def1.fill(0xF9);
    r.Def2.assign(std::string("\0x", 2));
    r.RepeatFlags = 0x05;
    r.Tail.assign("tail-bytes");

    // Offset and byte, worked out from the record layout (numbers little-endian,
    // texts space-padded).
    const std::pair<int, int> expected[] = {
        {0, 0x11},  {1, 0x22},   {2, 0xB2},  {3, 0xA1},  {4, 0x33},  {5, 0x44},
        {6, 0},     {7, 0},      {8, ' '},   {9, ' '},   {10, 3},    {11, 249},
        {12, 'a'},  {13, 249},   {14, ' '},  {70, ' '},  {71, 7},    {72, 249},
        {131, 249}, {132, 11},   {133, 0},   {134, 'x'}, {193, 15},  {194, 'd'},
        {197, '3'}, {254, 0x05}, {255, 't'}, {264, 's'}, {273, ' '},
    };
    const auto b = r.toBytes();
    for (const auto& [offset, byte] : expected)
        EXPECT_EQ(b[static_cast<std::size_t>(offset)], byte) << "offset " << offset;
    EXPECT_EQ(KeyRecord::fromBytes(b), r);
    EXPECT_EQ(KeyRecord{}.toBytes(), (std::array<std::uint8_t, KeyRecord::kFileSize>{}));
    EXPECT_THROW((void)r.def(4), std::out_of_range);
    r.Label.assign("toolong");
    EXPECT_EQ(r.Label.str(), "tool");
}

// The editor writes "^", "Sh", "Alt" in that order; whatever it writes reads
// back, and prefixes in another order read too. Single prefixes, "#" and names
// like prefixes are read in the key sequence and shipped data tests.
TEST(KeyToken, EveryComposedTokenReadsBack)
{
    EXPECT_EQ(ComposeKeyToken({.ctrl = true, .shift = true, .alt = true}, "Del"), "^ShAltDel");
    EXPECT_EQ(ParseKeyToken("AltSh^x").name, "x");
    EXPECT_EQ(ParseKeyToken("AltSh^x").modifier, CtrlBit | ShiftBit | AltBit);
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
