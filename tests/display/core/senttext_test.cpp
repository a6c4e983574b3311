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
}

TEST(PrinterForm, FourBitPairsPerByteLowFirst)
{
    EXPECT_EQ(PrinterForm(std::string("\xFF\x00", 2)),
              std::string("\x03\x03\x03\x03\x00\x00\x00\x00", 8));
}

} // namespace
