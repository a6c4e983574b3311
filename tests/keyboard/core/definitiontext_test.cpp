#include "definitiontext.h"

#include <gtest/gtest.h>

using namespace morvaw;

namespace {

// A definition in token form: a leading mark and a mark after every token.
std::string tokens(std::initializer_list<std::string_view> parts)
{
    std::string s(1, TokenMark);
    for (auto p : parts) {
        s += p;
        s += TokenMark;
    }
    return s;
}

} // namespace

TEST(SignificantLength, CountsUpToTheLastVisibleCharacter)
{
    EXPECT_EQ(SignificantLength("Enter  "), 5);
    EXPECT_EQ(SignificantLength("       "), 0);
    EXPECT_EQ(SignificantLength(""), 0);
    EXPECT_EQ(SignificantLength(std::string("ab\0\0", 4)), 2);
    EXPECT_EQ(SignificantLength(std::string("a\x01\x1F", 3)), 1);
}

TEST(SignificantLength, PictureBytesCountAsVisible)
{
    for (unsigned char c : {16, 17, 24, 25, 196, 205, 217}) {
        const std::string s{'x', ' ', static_cast<char>(c), ' '};
        EXPECT_EQ(SignificantLength(s), 3) << int(c);
    }
    EXPECT_EQ(SignificantLength(std::string("x\x12 ", 3)), 1); // 18 is not a picture
}

TEST(SignificantLength, IsCappedAt255)
{
    EXPECT_EQ(SignificantLength(std::string(300, 'x')), 255);
}

TEST(IsBlankText, OnlyCodesBelow33)
{
    EXPECT_TRUE(IsBlankText(""));
    EXPECT_TRUE(IsBlankText("   "));
    EXPECT_TRUE(IsBlankText(std::string("\0 \x10", 3)));
    EXPECT_FALSE(IsBlankText(" a"));
    EXPECT_FALSE(IsBlankText("!"));
    EXPECT_FALSE(IsBlankText(std::string(1, TokenMark)));
}

TEST(HexToByte, OneOrTwoDigitsAnyCase)
{
    EXPECT_EQ(HexToByte("a"), 10);
    EXPECT_EQ(HexToByte("1F"), 31);
    EXPECT_EQ(HexToByte("ff"), 255);
    EXPECT_EQ(HexToByte("7"), 7);
    EXPECT_EQ(HexToByte("00"), 0);
    EXPECT_EQ(HexToByte("A0"), 160);
    EXPECT_EQ(HexToByte(""), 0);
}

TEST(DefToken, TakesTheNthTokenBetweenMarks)
{
    const std::string def = tokens({"a", "Spc"});
    EXPECT_EQ(DefToken(1, def, TokenMark), "a");
    EXPECT_EQ(DefToken(2, def, TokenMark), "Spc");
    EXPECT_EQ(DefToken(3, def, TokenMark), "");
    EXPECT_EQ(DefToken(0, def, TokenMark), "");
    EXPECT_EQ(DefToken(-1, def, TokenMark), "");
}

TEST(DefToken, RunsOfMarksMakeNoEmptyTokens)
{
    std::string def = tokens({"a"}) + std::string(3, TokenMark) + "b" + TokenMark;
    EXPECT_EQ(DefToken(2, def, TokenMark), "b");
    EXPECT_EQ(DefToken(3, def, TokenMark), "");
}

TEST(DefToken, DropsPaddingButKeepsPictureNames)
{
    // A definition field as stored: used part, then spaces to 60.
    std::string def = tokens({"\x11\xCD"});
    def.resize(60, ' ');
    EXPECT_EQ(DefToken(1, def, TokenMark), "\x11\xCD");
    std::string lastUnterminated = std::string(1, TokenMark) + "x" + TokenMark + "End  ";
    EXPECT_EQ(DefToken(2, lastUnterminated, TokenMark), "End");
}

TEST(DefToken, FunctionShiftWords)
{
    std::string padded = "Func";
    padded.resize(60, ' ');
    EXPECT_EQ(DefToken(1, "Func", TokenMark), "Func");
    EXPECT_EQ(DefToken(1, "Func1", TokenMark), "Func1");
    EXPECT_EQ(DefToken(1, "Func2   ", TokenMark), "Func2");
    EXPECT_EQ(DefToken(1, "FnTgl", TokenMark), "FnTgl");
    EXPECT_EQ(DefToken(2, "Func1", TokenMark), "");
    EXPECT_EQ(DefToken(2, "FnTgl", TokenMark), "");
    // Only an exact "Func" is the word at n = 1; padded it reads as a plain token.
    EXPECT_EQ(DefToken(1, padded, TokenMark), "Func");
    EXPECT_EQ(DefToken(2, padded, TokenMark), "");
}

TEST(DefToken, BlankTextHasNoTokens)
{
    EXPECT_EQ(DefToken(1, "", TokenMark), "");
    EXPECT_EQ(DefToken(1, std::string(60, ' '), TokenMark), "");
}

TEST(DefToken, TokensAreCutAt60)
{
    const std::string def = std::string(1, TokenMark) + std::string(80, 'z');
    EXPECT_EQ(DefToken(1, def, TokenMark), std::string(60, 'z'));
}
