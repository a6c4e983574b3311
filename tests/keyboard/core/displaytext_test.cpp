#include "displaytext.h"

#include <gtest/gtest.h>

using namespace morvaw;

TEST(DisplayText, PictureBytesBecomeCodePage437Glyphs)
{
    const std::string bytes{'\x11', '\xCD', ' ',    '\x11', '\xC4',
                            '\xD9', '\x10', '\x18', '\x19', '\xF9'};
    EXPECT_EQ(ToDisplayText(bytes), QString::fromUtf8("◄═ ◄─┘►↑↓∙"));
}

TEST(DisplayText, OtherBytesAreWindows1252)
{
    EXPECT_EQ(ToDisplayText("\xA3\xF1\xE7\xBA\xA1\xBF"), QString::fromUtf8("£ñçº¡¿"));
    EXPECT_EQ(ToDisplayText("\x80\x9F"), QString::fromUtf8("€Ÿ"));
    EXPECT_EQ(ToDisplayText("Abc"), "Abc");
}

TEST(DisplayText, EveryByteComesBackUnchanged)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(FromDisplayText(ToDisplayText(all)), all);
}

TEST(DisplayText, CharactersWithoutAByteBecomeQuestionMarks)
{
    EXPECT_EQ(FromDisplayText(QString::fromUtf8("a✓b")), "a?b");
}
