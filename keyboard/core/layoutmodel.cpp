#include "layoutmodel.h"

#include "configuratorstate.h"

namespace morvaw {

std::string_view LanguageSuffix(int language)
{
    switch (language) {
    case Language::USA:
        return " (USA)";
    case Language::UK:
        return " (UK)";
    case Language::Spain:
        return " (SPAIN)";
    case Language::Italy:
        return " (ITALY)";
    case Language::Germany:
        return " (GERMANY)";
    case Language::France:
        return " (FRANCE)";
    case Language::Belgium:
        return " (BELGIUM)";
    case Language::Switzerland:
        return " (SWITZERLAND)";
    default:
        return " (Unknown)";
    }
}

std::string_view LanguageStcFile(int language)
{
    switch (language) {
    case Language::UK:
        return "STCUK.TBL";
    case Language::Spain:
        return "STCSP.TBL";
    default:
        return "STCUSA.TBL";
    }
}

MatrixCodeTable MakeDeviceMatrixCodes()
{
    // Column bases and row offsets of the keyboard's scan matrix; 8k + 7 is never used.
    constexpr std::array<std::uint8_t, 12> base{0, 8, 16, 32, 24, 40, 56, 48, 64, 72, 80, 88};
    constexpr std::array<std::uint8_t, 7> offset{3, 4, 5, 2, 1, 0, 6};
    MatrixCodeTable codes{};
    for (int r = 0; r < 7; ++r) {
        for (int c = 0; c < 12; ++c)
            codes[static_cast<std::size_t>(12 * r + c + 1)] = static_cast<std::uint8_t>(
                base[static_cast<std::size_t>(c)] + offset[static_cast<std::size_t>(r)]);
    }
    return codes;
}

namespace {
constexpr KeyKind S = KeyKind::Single;
constexpr KeyKind T = KeyKind::TallDouble;
constexpr KeyKind W = KeyKind::WideDouble;
} // namespace

// clang-format off
const std::array<ShownKey, 72> kKeyGeometry14x6{{
    {72, 0, 0, W}, {34, 0, 2, S}, {35, 0, 3, S}, {74, 0, 4, S}, {76, 0, 5, S}, {75, 0, 6, S},
    {77, 0, 7, S}, {79, 0, 8, S}, {78, 0, 9, S}, {80, 0, 10, S}, {81, 0, 11, S}, {82, 0, 12, S},
    {83, 0, 13, S},
    {45, 1, 0, S}, {46, 1, 1, S}, {23, 1, 2, S}, {11, 1, 3, S}, {26, 1, 4, S}, {28, 1, 5, S},
    {27, 1, 6, S}, {29, 1, 7, S}, {31, 1, 8, S}, {30, 1, 9, S}, {32, 1, 10, S}, {33, 1, 11, S},
    {73, 1, 12, W},
    {12, 2, 0, W}, {56, 2, 2, S}, {57, 2, 3, S}, {14, 2, 4, S}, {16, 2, 5, S}, {15, 2, 6, S},
    {17, 2, 7, S}, {19, 2, 8, S}, {18, 2, 9, S}, {20, 2, 10, S}, {21, 2, 11, S}, {22, 2, 12, S},
    {25, 2, 13, T},
    {0, 3, 0, W}, {53, 3, 2, S}, {55, 3, 3, S}, {2, 3, 4, S}, {4, 3, 5, S}, {3, 3, 6, S},
    {5, 3, 7, S}, {7, 3, 8, S}, {6, 3, 9, S}, {8, 3, 10, S}, {9, 3, 11, S}, {10, 3, 12, S},
    {36, 4, 0, W}, {52, 4, 2, S}, {51, 4, 3, S}, {38, 4, 4, S}, {40, 4, 5, S}, {39, 4, 6, S},
    {41, 4, 7, S}, {43, 4, 8, S}, {42, 4, 9, S}, {44, 4, 10, S}, {24, 4, 11, W}, {47, 4, 13, S},
    {48, 5, 0, W}, {49, 5, 2, W}, {50, 5, 4, S}, {37, 5, 5, W}, {1, 5, 7, W}, {54, 5, 9, S},
    {13, 5, 10, W}, {58, 5, 12, S}, {59, 5, 13, S},
}};
// clang-format on

void NewLayout(ConfiguratorState& state)
{
    auto& records = state.LayoutRecords;

    constexpr std::array<std::uint8_t, 12> t{3, 11, 19, 35, 27, 43, 59, 51, 67, 75, 83, 91};
    constexpr std::array<std::uint8_t, 7> rowAdd{0, 6, 5, 4, 1, 2, 3};
    for (std::size_t row = 0; row < rowAdd.size(); ++row) {
        for (std::size_t i = 0; i < t.size(); ++i)
            records[1 + i + 12 * row].Matrix = static_cast<std::uint8_t>(t[i] + rowAdd[row]);
    }

    for (int n = kFirstKeyRecord; n <= kKeyCount; ++n) {
        KeyRecord& r = records[static_cast<std::size_t>(n)];
        r.Label.assign(std::string_view("\0\0", 2));
        for (int level = 0; level < 3; ++level) {
            r.len(level) = 0;
            r.def(level).fill(' ');
        }
        r.RepeatFlags = 0;
        r.KeyWord = 5;
    }

    records[Settings::KbdFlags].PosX = 10;
    records[Settings::MacroPlayDelay].PosX = 5;
    records[Settings::MsrOption1].PosX = 5;
    records[Settings::DelayKeyTime].PosX = 100;
    records[Settings::KbdShape].PosX = 0;

    for (int r = 0; r <= 6; ++r) {
        for (int c = 0; c <= 11; ++c) {
            KeyRecord& rec = records[static_cast<std::size_t>(12 * r + c)];
            rec.PosY = static_cast<std::uint8_t>(2 * r);
            rec.PosX = static_cast<std::uint8_t>(6 * c + 5);
        }
    }

    records[Settings::KbdLanguage].PosX = 0;
    state.CurrentLanguage = 0;
}

} // namespace morvaw
