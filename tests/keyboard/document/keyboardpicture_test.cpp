#include "keyboardpicture.h"
#include "testlayouts.h"

#include <gtest/gtest.h>

using namespace morvaw;
using namespace morvaw::test;

namespace {

constexpr float W = 1400;
constexpr float H = 900;

KeyButtonPlaces placesFor(std::uint8_t shape)
{
    KeyboardPicture picture;
    picture.resize(W, H, false);
    picture.arrange(shape);
    return picture.places();
}

} // namespace

TEST(KeyboardPicture, TwelveBySevenShowsEveryKeyInRowOrder)
{
    const auto places = placesFor(0);
    for (const auto& p : places)
        EXPECT_TRUE(p.visible && p.width == W / 15 && p.height == H / 10);
    EXPECT_FLOAT_EQ(places[72].left, W / 40); // column 0, row 6
    EXPECT_FLOAT_EQ(places[72].top, H / 40 + 6 * (H / 10 + H / 100));
    EXPECT_FLOAT_EQ(places[13].left, W / 40 + W / 15 + W / 100);
}

TEST(KeyboardPicture, FourteenBySixDoublesAndHidesKeys)
{
    const auto places = placesFor(1);
    const float kw = W / 17, kh = H / 9, hg = W / 140, vg = H / 100;
    EXPECT_FLOAT_EQ(places[25].height, 2 * kh + vg);
    EXPECT_FLOAT_EQ(places[25].left, W / 50 + 13 * (kw + hg));
    EXPECT_FLOAT_EQ(places[72].width, 2 * kw + hg);
    EXPECT_FLOAT_EQ(places[72].top, H / 20);
    for (int k = 60; k <= 71; ++k)
        EXPECT_FALSE(places[static_cast<std::size_t>(k)].visible) << k;

    // A single key at row 0, column 2 and a wide one at row 2, column 0.
    EXPECT_FLOAT_EQ(places[34].left, W / 50 + 2 * (kw + hg));
    EXPECT_FLOAT_EQ(places[34].width, kw);
    EXPECT_FLOAT_EQ(places[12].top, H / 20 + 2 * (kh + vg));
}

// What a key's caption shows for its plain definition.
TEST(KeyboardPicture, CaptionFollowsTheDefinition)
{
    const std::string M(1, static_cast<char>(249));
    struct Row
    {
        std::string def;
        int len; // -1: the definition's own length
        std::string caption;
    };
    const Row rows[] = {
        {"", -1, ""},
        {std::string(60, '\0'), 0, ""}, // never assigned
        {Tokens({"PgUp"}), -1, "PgUp"},
        {Tokens({"a", "b"}), 3, "a"}, // marks beyond the length
        {Tokens({"\x11\xCD"}), -1, "BS"},
        {Tokens({"\x11\xC4\xD9"}), -1, "Enter"},
        {Tokens({"\x19"}), -1, "Dn"},
        {Tokens({"Pad \x11\xC4\xD9"}), -1, "PadEnt"},
        {Tokens({"Sh\x11\xCD"}), -1, "Sh\x11\xCD"}, // other pictures
        {Tokens({"..."}), -1, "..."},
        {M + std::string(1, '\0') + M, -1, ""},
        {M + "abc", -1, M + "abc"}, // an unclosed token
        {Tokens({"a"}), 0, ""},
        {"Func", -1, "Func"},
        {"Func1", -1, "Func1"},
        {"FnTgl", 0, "FnTgl"},
        {"abc", -1, ""},                  // plain text
        {Tokens({"a", "b"}), 255, "<#>"}, // a length beyond the field
    };
    KeyRecord r;
    for (const Row& row : rows) {
        SetDef(r, 0, row.def);
        if (row.len >= 0)
            r.Len0 = static_cast<std::uint8_t>(row.len);
        EXPECT_EQ(fnCaption(r), row.caption) << row.def << ' ' << row.len;
    }
}
