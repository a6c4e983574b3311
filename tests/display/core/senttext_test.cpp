#include "senttext.h"

#include <gtest/gtest.h>

using namespace vornestw;

namespace {

TEST(RenderSentText, NamesTheFourConstantsAndNumbersOtherUnprintables)
{
    EXPECT_EQ(RenderSentText("\x1B[2J"), "<ESC>[2J");
    EXPECT_EQ(RenderSentText("a b\r\n"), "a<SP>b<CR><LF>");
    EXPECT_EQ(RenderSentText(std::string("\x10\x00\x1F\x7F\x80\xFE\xFF", 7)),
              "<16><0><31>\x7F<128><254><255>");
    EXPECT_EQ(RenderSentText("~!#"), "~!#");
    EXPECT_EQ(RenderSentText(""), "");
}

TEST(SentTextLines, FiftyCharactersPerLabelAndNothingPast200)
{
    std::string rendered;
    for (int i = 0; i < 201; ++i)
        rendered.push_back(static_cast<char>('A' + i % 26));
    const auto lines = SentTextLines(rendered);
    EXPECT_EQ(lines[0], rendered.substr(0, 50));
    EXPECT_EQ(lines[1], rendered.substr(50, 50));
    EXPECT_EQ(lines[2], rendered.substr(100, 50));
    EXPECT_EQ(lines[3], rendered.substr(150, 50));
    EXPECT_EQ(lines[0].size() + lines[1].size() + lines[2].size() + lines[3].size(), 200u);

    const auto shorter = SentTextLines(rendered.substr(0, 51));
    EXPECT_EQ(shorter[1], rendered.substr(50, 1));
    EXPECT_EQ(shorter[2], "");
    EXPECT_EQ(shorter[3], "");
    EXPECT_EQ(SentTextLines("")[0], "");
}

TEST(SentTextLines, SpacesShownAsSpSpillIntoTheNextLabel)
{
    // 13 spaces render as 52 characters.
    const auto lines = SentTextLines(RenderSentText(std::string(13, ' ')));
    std::string twelve;
    for (int i = 0; i < 12; ++i)
        twelve += "<SP>";
    EXPECT_EQ(lines[0], twelve + "<S");
    EXPECT_EQ(lines[1], "P>");
}

TEST(PrinterForm, FourBitPairsPerByteLowFirst)
{
    EXPECT_EQ(PrinterForm("\x1B"), std::string("\x03\x02\x01\x00", 4));
    EXPECT_EQ(PrinterForm("A"), std::string("\x01\x00\x00\x01", 4));
    EXPECT_EQ(PrinterForm(std::string("\xFF\x00", 2)),
              std::string("\x03\x03\x03\x03\x00\x00\x00\x00", 8));
    EXPECT_EQ(PrinterForm(""), "");
}

} // namespace
