#include "configuratorstate.h"
#include "keyboardpicture.h"
#include "testlayouts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace morvaw;
using namespace morvaw::test;

namespace {

constexpr float W = 1400;
constexpr float H = 900;

std::unique_ptr<ConfiguratorState> stateWithShape(std::uint8_t shape)
{
    auto state = std::make_unique<ConfiguratorState>();
    InitialiseConfigurator(*state, "/nonexistent");
    state->LayoutRecords[Settings::KbdShape].PosX = shape;
    setKeybGlobals(*state, W, H);
    return state;
}

KeyButtonPlaces placesOf(const ConfiguratorState& state)
{
    KeyButtonPlaces places{};
    DisplayAllKeys(state, places);
    return places;
}

} // namespace

TEST(KeyboardPicture, TwelveBySevenShowsEveryKeyInRowOrder)
{
    const auto state = stateWithShape(0);
    EXPECT_EQ(state->GridCols, 12);
    EXPECT_EQ(state->GridRows, 7);
    EXPECT_FLOAT_EQ(state->KeyLeftMargin, W / 40);
    EXPECT_FLOAT_EQ(state->KeyTopMargin, H / 40);
    EXPECT_FLOAT_EQ(state->KeyWidth, W / 15);
    EXPECT_FLOAT_EQ(state->KeyHeight, H / 10);
    EXPECT_FLOAT_EQ(state->KeyHGap, W / 100);
    EXPECT_FLOAT_EQ(state->KeyVGap, H / 100);

    const auto places = placesOf(*state);
    for (const auto& p : places) {
        EXPECT_TRUE(p.visible);
        EXPECT_FLOAT_EQ(p.width, W / 15);
        EXPECT_FLOAT_EQ(p.height, H / 10);
    }
    // Index 72: column 0, row 6.
    EXPECT_FLOAT_EQ(places[72].left, W / 40);
    EXPECT_FLOAT_EQ(places[72].top, H / 40 + 6 * (H / 10 + H / 100));
    EXPECT_FLOAT_EQ(places[13].left, W / 40 + (W / 15 + W / 100));
}

TEST(KeyboardPicture, FourteenBySixDoublesAndHidesKeys)
{
    const auto state = stateWithShape(1);
    EXPECT_EQ(state->GridCols, 14);
    EXPECT_EQ(state->GridRows, 6);
    EXPECT_FLOAT_EQ(state->KeyLeftMargin, W / 50);
    EXPECT_FLOAT_EQ(state->KeyTopMargin, H / 20);
    EXPECT_FLOAT_EQ(state->KeyWidth, W / 17);
    EXPECT_FLOAT_EQ(state->KeyHeight, H / 9);
    EXPECT_FLOAT_EQ(state->KeyHGap, W / 140);

    const auto places = placesOf(*state);
    const float kw = W / 17, kh = H / 9, hg = W / 140, vg = H / 100;
    EXPECT_FLOAT_EQ(places[25].height, 2 * kh + vg);
    EXPECT_FLOAT_EQ(places[25].width, kw);
    EXPECT_FLOAT_EQ(places[25].left, W / 50 + 13 * (kw + hg));
    EXPECT_FLOAT_EQ(places[72].width, 2 * kw + hg);
    EXPECT_FLOAT_EQ(places[72].height, kh);
    EXPECT_FLOAT_EQ(places[72].top, H / 20);
    for (int k = 60; k <= 71; ++k)
        EXPECT_FALSE(places[static_cast<std::size_t>(k)].visible) << k;

    // Every cell of the 6 by 14 grid is covered exactly once by the 72 shown keys.
    int cover[6][14] = {};
    int shown = 0;
    for (const auto& p : places) {
        if (!p.visible)
            continue;
        ++shown;
        const int c0 = static_cast<int>(std::lround((p.left - W / 50) / (kw + hg)));
        const int r0 = static_cast<int>(std::lround((p.top - H / 20) / (kh + vg)));
        const int cols = p.width > kw * 1.5f ? 2 : 1;
        const int rows = p.height > kh * 1.5f ? 2 : 1;
        for (int r = r0; r < r0 + rows; ++r)
            for (int c = c0; c < c0 + cols; ++c)
                ++cover[r][c];
    }
    EXPECT_EQ(shown, 72);
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 14; ++c)
            EXPECT_EQ(cover[r][c], 1) << "row " << r << " column " << c;
}

TEST(KeyboardPicture, SwitchingTheShapeOnlyNeedsARelayout)
{
    auto state = stateWithShape(1);
    auto places = placesOf(*state);
    state->LayoutRecords[Settings::KbdShape].PosX = 0;
    setKeybGlobals(*state, W, H);
    DisplayAllKeys(*state, places);
    for (const auto& p : places)
        EXPECT_TRUE(p.visible);
    EXPECT_FLOAT_EQ(places[25].height, H / 10);
}

// --- Captions ---

struct CaptionCase
{
    const char* what;
    std::string def;
    int len; // -1: the definition's own length
    std::string caption;
};

void PrintTo(const CaptionCase& c, std::ostream* os)
{
    *os << c.what;
}

class KeyCaption : public ::testing::TestWithParam<CaptionCase>
{
};

TEST_P(KeyCaption, FollowsTheDefinition)
{
    const CaptionCase& c = GetParam();
    auto state = std::make_unique<ConfiguratorState>();
    KeyRecord& r = state->LayoutRecords[5];
    SetDef0(r, c.def);
    if (c.len >= 0)
        r.Len0 = static_cast<std::uint8_t>(c.len);
    EXPECT_EQ(fnCaption(*state, 5), c.caption);
}

const std::string M(1, static_cast<char>(249));

INSTANTIATE_TEST_SUITE_P(
    fnCaption, KeyCaption,
    ::testing::Values(
        CaptionCase{"empty", "", -1, ""},
        CaptionCase{"never_assigned_NULs", std::string(60, '\0'), 0, ""},
        CaptionCase{"single_character", Tokens({"a"}), -1, "a"},
        CaptionCase{"single_name", Tokens({"PgUp"}), -1, "PgUp"},
        CaptionCase{"two_tokens", Tokens({"a", "b"}), -1, "<#>"},
        CaptionCase{"many_tokens", Tokens({"a", "Spc", "b", "c"}), -1, "<#>"},
        CaptionCase{"marks_beyond_length_do_not_count", Tokens({"a", "b"}), 3, "a"},
        CaptionCase{"backspace", Tokens({"\x11\xCD"}), -1, "BS"},
        CaptionCase{"enter", Tokens({"\x11\xC4\xD9"}), -1, "Enter"},
        CaptionCase{"left", Tokens({"\x11\xC4"}), -1, "Left"},
        CaptionCase{"right", Tokens({"\xC4\x10"}), -1, "Right"},
        CaptionCase{"up", Tokens({"\x18"}), -1, "Up"},
        CaptionCase{"down", Tokens({"\x19"}), -1, "Dn"},
        CaptionCase{"pad_enter_loses_its_space", Tokens({"Pad \x11\xC4\xD9"}), -1, "PadEnt"},
        CaptionCase{"other_picture_bytes_stay", Tokens({"Sh\x11\xCD"}), -1, "Sh\x11\xCD"},
        CaptionCase{"pause_marks", Tokens({"..."}), -1, "..."},
        CaptionCase{"code_zero_after_mark", M + std::string(1, '\0') + M, -1, ""},
        CaptionCase{"unclosed_token", M + "abc", -1, M + "abc"},
        CaptionCase{"length_zero_hides_a_token", Tokens({"a"}), 0, ""},
        CaptionCase{"func", "Func", -1, "Func"}, CaptionCase{"func1", "Func1", -1, "Func1"},
        CaptionCase{"func2", "Func2", -1, "Func2"}, CaptionCase{"fntgl", "FnTgl", -1, "FnTgl"},
        CaptionCase{"func_word_with_length_zero", "Func2", 0, "Func2"},
        CaptionCase{"plain_text_is_not_shown", "abc", -1, ""},
        CaptionCase{"length_byte_beyond_the_field", Tokens({"a", "b"}), 255, "<#>"}),
    [](const auto& info) { return std::string(info.param.what); });
