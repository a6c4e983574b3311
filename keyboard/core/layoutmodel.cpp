#include "layoutmodel.h"

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

void NewLayout(LayoutRecordArray& records)
{

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
}

} // namespace morvaw
