#include "definitiontext.h"

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
        {"x\x12 ", 1}, // 18 is not a picture byte
        {std::string(300, 'x'), 255},
    };
    for (const auto& [text, length] : rows)
        EXPECT_EQ(SignificantLength(text), length) << text;
    for (unsigned char c : {16, 17, 24, 25, 196, 205, 217})
        EXPECT_EQ(SignificantLength(std::string{'x', ' ', static_cast<char>(c), ' '}), 3) << int(c);
}

TEST(IsBlankText, OnlyCodesBelow33)
{
    EXPECT_TRUE(IsBlankText("") && IsBlankText("   ") && IsBlankText(std::string("\0 \x10", 3)));
    EXPECT_FALSE(IsBlankText(" a") || IsBlankText("!") || IsBlankText(M));
}

TEST(HexToByte, OneOrTwoDigitsAnyCase)
{
    const std::pair<const char*, int> rows[] = {{"a", 10}, {"1F", 31},  {"ff", 255}, {"7", 7},
                                                {"00", 0}, {"A0", 160}, {"", 0}};
    for (const auto& [text, value] : rows)
        EXPECT_EQ(HexToByte(text), value) << text;
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
        {"first", M + "a" + M + "Spc" + M, 1, "a"},
        {"second", M + "a" + M + "Spc" + M, 2, "Spc"},
        {"past the end", M + "a" + M + "Spc" + M, 3, ""},
        {"zero", M + "a" + M, 0, ""},
        {"negative", M + "a" + M, -1, ""},
        {"runs of marks", M + "a" + M + M + M + M + "b" + M, 2, "b"},
        {"after a run", M + "a" + M + M + M + M + "b" + M, 3, ""},
        {"picture in padding", padded(M + "\x11\xCD" + M), 1, "\x11\xCD"},
        {"last unterminated", M + "x" + M + "End  ", 2, "End"},
        {"Func", "Func", 1, "Func"},
        {"Func1", "Func1", 1, "Func1"},
        {"Func2 padded", "Func2   ", 1, "Func2"},
        {"FnTgl", "FnTgl", 1, "FnTgl"},
        {"Func1 second", "Func1", 2, ""},
        {"Func padded", padded("Func"), 1, "Func"},
        {"Func padded second", padded("Func"), 2, ""},
        {"empty", "", 1, ""},
        {"blank", padded(""), 1, ""},
        {"cut at 60", M + std::string(80, 'z'), 1, std::string(60, 'z')},
    };
    for (const Row& row : rows)
        EXPECT_EQ(DefToken(row.n, row.def, TokenMark), row.token) << row.what;
}
