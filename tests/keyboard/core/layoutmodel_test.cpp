#include "configuratorstate.h"
#include "layoutmodel.h"

#include <gtest/gtest.h>

#include <set>

using namespace morvaw;

namespace {

// A state whose every record carries recognisable bytes everywhere.
std::unique_ptr<ConfiguratorState> filledState()
{
    auto state = std::make_unique<ConfiguratorState>();
    for (std::size_t n = 0; n < state->LayoutRecords.size(); ++n) {
        std::array<std::uint8_t, KeyRecord::kFileSize> bytes{};
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(n * 31 + i + 1);
        state->LayoutRecords[n] = KeyRecord::fromBytes(bytes);
    }
    state->CurrentLanguage = 2;
    return state;
}

} // namespace

TEST(NewLayout, SetsTheDefaults)
{
    auto state = filledState();
    NewLayout(*state);
    const auto& rec = state->LayoutRecords;

    EXPECT_EQ(rec[Settings::KbdShape].PosX, 0);
    EXPECT_EQ(rec[Settings::KbdFlags].PosX, 10);
    EXPECT_EQ(KeyboardType(rec[Settings::KbdFlags].PosX), 2);
    EXPECT_EQ(rec[Settings::MacroPlayDelay].PosX, 5);
    EXPECT_EQ(rec[Settings::DelayKeyTime].PosX, 100);
    EXPECT_EQ(rec[Settings::MsrOption1].PosX, 5);
    EXPECT_EQ(rec[Settings::KbdLanguage].PosX, 0);
    EXPECT_EQ(state->CurrentLanguage, 0);

    for (int n = 1; n <= 84; ++n) {
        const KeyRecord& r = rec[static_cast<std::size_t>(n)];
        SCOPED_TRACE(n);
        EXPECT_EQ(r.Label.str(), std::string("\0\0  ", 4));
        for (int level = 0; level < 3; ++level) {
            EXPECT_EQ(r.len(level), 0);
            EXPECT_EQ(r.def(level).str(), std::string(60, ' '));
        }
        EXPECT_EQ(r.RepeatFlags, 0);
        EXPECT_EQ(r.KeyWord, 5);
    }
    // Grid positions of records 0..83.
    EXPECT_EQ(rec[0].PosY, 0);
    EXPECT_EQ(rec[0].PosX, 5);
    EXPECT_EQ(rec[13].PosY, 2);
    EXPECT_EQ(rec[13].PosX, 11);
    EXPECT_EQ(rec[83].PosY, 12);
    EXPECT_EQ(rec[83].PosX, 71);
}

TEST(NewLayout, StoresMatrixCodesByRow)
{
    auto state = filledState();
    NewLayout(*state);
    const auto& rec = state->LayoutRecords;
    EXPECT_EQ(rec[1].Matrix, 3);
    EXPECT_EQ(rec[12].Matrix, 91);
    EXPECT_EQ(rec[13].Matrix, 9);  // 3 + 6
    EXPECT_EQ(rec[25].Matrix, 8);  // 3 + 5
    EXPECT_EQ(rec[37].Matrix, 7);  // 3 + 4
    EXPECT_EQ(rec[49].Matrix, 4);  // 3 + 1
    EXPECT_EQ(rec[61].Matrix, 5);  // 3 + 2
    EXPECT_EQ(rec[84].Matrix, 94); // 91 + 3
}

TEST(NewLayout, LeavesTheRestAlone)
{
    auto state = filledState();
    const auto before = state->LayoutRecords;
    NewLayout(*state);
    const auto& rec = state->LayoutRecords;

    for (int n = 1; n <= 84; ++n) {
        const auto i = static_cast<std::size_t>(n);
        SCOPED_TRACE(n);
        EXPECT_EQ(rec[i].Len3, before[i].Len3);
        EXPECT_EQ(rec[i].Def3, before[i].Def3);
        EXPECT_EQ(rec[i].Tail, before[i].Tail);
        EXPECT_EQ(rec[i].Spare, before[i].Spare);
    }
    // Records that are not reset at all, including the MSR settings.
    for (int n : {85, 86, 87, 90, 91, 92, 97, 98, 99, 100})
        EXPECT_EQ(rec[static_cast<std::size_t>(n)], before[static_cast<std::size_t>(n)]) << n;
    // Settings records keep everything but their byte.
    KeyRecord shape = before[Settings::KbdShape];
    shape.PosX = 0;
    EXPECT_EQ(rec[Settings::KbdShape], shape);
    // Record 0 only gets its picture position.
    KeyRecord zero = before[0];
    zero.PosY = 0;
    zero.PosX = 5;
    EXPECT_EQ(rec[0], zero);
}

TEST(DeviceMatrixCodes, KnownKeysAndTheForbiddenCodes)
{
    const auto codes = MakeDeviceMatrixCodes();
    EXPECT_EQ(codes[1], 3);
    EXPECT_EQ(codes[37], 2);
    EXPECT_EQ(codes[61], 0);
    EXPECT_EQ(codes[84], 94);

    std::set<int> seen;
    for (int n = 1; n <= 84; ++n) {
        seen.insert(codes[static_cast<std::size_t>(n)]);
        EXPECT_NE(codes[static_cast<std::size_t>(n)] % 8, 7) << "key " << n;
    }
    EXPECT_EQ(seen.size(), 84u);
}

TEST(KeyGeometry, ShownKeysCoverTheGridExactlyOnce)
{
    ConfiguratorState state;
    InitialiseConfigurator(state, "/nonexistent-program-folder");

    int cover[6][14] = {};
    int shown = 0;
    for (int k = 0; k < 84; ++k) {
        const KeyPlace p = state.KeyGeometry[static_cast<std::size_t>(k)];
        if (p.kind == KeyKind::Hidden)
            continue;
        ++shown;
        ASSERT_LT(p.row, 6);
        ASSERT_LT(p.column, 14);
        ++cover[p.row][p.column];
        if (p.kind == KeyKind::TallDouble) {
            ASSERT_LT(p.row + 1, 6);
            ++cover[p.row + 1][p.column];
        }
        if (p.kind == KeyKind::WideDouble) {
            ASSERT_LT(p.column + 1, 14);
            ++cover[p.row][p.column + 1];
        }
    }
    EXPECT_EQ(shown, 72);
    for (int r = 0; r < 6; ++r) {
        for (int c = 0; c < 14; ++c)
            EXPECT_EQ(cover[r][c], 1) << "row " << r << " column " << c;
    }
    for (int k = 60; k <= 71; ++k)
        EXPECT_EQ(state.KeyGeometry[static_cast<std::size_t>(k)].kind, KeyKind::Hidden) << k;
    EXPECT_EQ(state.KeyGeometry[25], (KeyPlace{2, 13, KeyKind::TallDouble}));
    EXPECT_EQ(state.KeyGeometry[72], (KeyPlace{0, 0, KeyKind::WideDouble}));
}

TEST(KeyIndexOf, FollowsTheGridWidth)
{
    ConfiguratorState state;
    state.GridCols = 14;
    EXPECT_EQ(KeyIndexOf(state, 3, 2), 31);
    state.GridCols = 12;
    EXPECT_EQ(KeyIndexOf(state, 3, 2), 27);
}

TEST(SetKeyGeometry, RefusesIndicesOutsideTheTable)
{
    ConfiguratorState state;
    SetKeyGeometry(state, 84, 1, 2, KeyKind::Single);
    EXPECT_EQ(state.KeyGeometry[84], (KeyPlace{2, 1, KeyKind::Single}));
    EXPECT_THROW(SetKeyGeometry(state, 85, 0, 0, KeyKind::Single), std::out_of_range);
    EXPECT_THROW(SetKeyGeometry(state, -1, 0, 0, KeyKind::Single), std::out_of_range);
}

TEST(StartUp, SetsTheGlobalValues)
{
    ConfiguratorState state;
    state.LayoutChanged = true;
    state.MsrEditMode = false;
    state.MsrEditStatus() = 9;
    InitialiseConfigurator(state, "/nonexistent-program-folder");

    EXPECT_EQ(state.GridCols, 14);
    EXPECT_EQ(state.GridRows, 6);
    EXPECT_FALSE(state.LayoutChanged);
    EXPECT_TRUE(state.MsrEditMode);
    EXPECT_TRUE(state.TransferIdle);
    EXPECT_EQ(state.MsrEditStatus(), 0);
    EXPECT_EQ(state.CurrentLanguage, 0);
    EXPECT_EQ(state.DeviceMatrixCodes[84], 94);
    EXPECT_EQ(state.NibbleSpeedTable[1], 29);
    EXPECT_EQ(state.NibbleSpeedTable[15], 6);
    EXPECT_EQ(state.NibbleSpeedTable[16], 8);
    EXPECT_EQ(state.WinKeyNames[12].str(), "Enter  ");
    EXPECT_EQ(state.WinKeyNames[4].str(), "       ");
    EXPECT_EQ(state.WinKeyNames[143].str(), "NLock  ");
    EXPECT_EQ(state.WinKeyNames[39].str(), "Dn     ");
    // Start-up takes the language from record 96, which is still zero.
    EXPECT_EQ(state.Tables.ScanCount, 0);
    EXPECT_TRUE(state.Tables.StcFileName.empty());
}

TEST(Language, SuffixesAndStcFiles)
{
    EXPECT_EQ(LanguageSuffix(0), " (USA)");
    EXPECT_EQ(LanguageSuffix(1), " (UK)");
    EXPECT_EQ(LanguageSuffix(2), " (SPAIN)");
    EXPECT_EQ(LanguageSuffix(3), " (ITALY)");
    EXPECT_EQ(LanguageSuffix(4), " (GERMANY)");
    EXPECT_EQ(LanguageSuffix(5), " (FRANCE)");
    EXPECT_EQ(LanguageSuffix(6), " (BELGIUM)");
    EXPECT_EQ(LanguageSuffix(7), " (SWITZERLAND)");
    EXPECT_EQ(LanguageSuffix(8), " (Unknown)");
    EXPECT_EQ(LanguageSuffix(255), " (Unknown)");
    EXPECT_EQ(LanguageStcFile(0), "STCUSA.TBL");
    EXPECT_EQ(LanguageStcFile(1), "STCUK.TBL");
    EXPECT_EQ(LanguageStcFile(2), "STCSP.TBL");
    EXPECT_FALSE(LanguageStcFile(3).has_value());
    EXPECT_FALSE(LanguageStcFile(9).has_value());
}

TEST(KeyboardType, BitsTwoToFourOfTheFlags)
{
    EXPECT_EQ(KeyboardType(10), 2);
    EXPECT_EQ(KeyboardType(0x0C | 0x83), 3);
    EXPECT_EQ(WithKeyboardType(0x8B, 1), 0x87);
}
