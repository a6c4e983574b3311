#include "layoutmodel.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

using namespace morvaw;

namespace {

// Records that carry recognisable bytes everywhere.
std::unique_ptr<LayoutRecordArray> filledRecords()
{
    auto records = std::make_unique<LayoutRecordArray>();
    for (std::size_t n = 0; n < records->size(); ++n) {
        std::array<std::uint8_t, KeyRecord::kFileSize> bytes{};
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(n * 31 + i + 1);
        (*records)[n] = KeyRecord::fromBytes(bytes);
    }
    return records;
}

} // namespace

TEST(NewLayout, SetsTheDefaultsAndLeavesTheRestAlone)
{
    const auto filled = filledRecords();
    const LayoutRecordArray& before = *filled;
    auto records = std::make_unique<LayoutRecordArray>(before);
    NewLayout(*records);
    const auto& rec = *records;
    using namespace Settings;
    for (const auto& [record, value] : {std::pair{KbdShape, 0},
                                        {KbdFlags, 10},
                                        {MacroPlayDelay, 5},
                                        {DelayKeyTime, 100},
                                        {MsrOption1, 5},
                                        {KbdLanguage, 0}}) {
        KeyRecord expected = before[static_cast<std::size_t>(record)];
        expected.PosX = static_cast<std::uint8_t>(value); // and nothing else
        EXPECT_EQ(rec[static_cast<std::size_t>(record)], expected) << record;
    }
    for (int n : {85, 86, 87, 90, 91, 92, 97, 98, 99, 100})
        EXPECT_EQ(rec[static_cast<std::size_t>(n)], before[static_cast<std::size_t>(n)]) << n;

    for (std::size_t n = 1; n <= 84; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(rec[n].Label.str(), std::string("\0\0  ", 4));
        for (int level = 0; level < 3; ++level) {
            EXPECT_EQ(rec[n].len(level), 0);
            EXPECT_EQ(rec[n].def(level).str(), std::string(60, ' '));
        }
        EXPECT_EQ(rec[n].RepeatFlags, 0);
        EXPECT_EQ(rec[n].KeyWord, 5);
        EXPECT_EQ(rec[n].Def3, before[n].Def3);
        EXPECT_EQ(rec[n].Len3, before[n].Len3);
        EXPECT_EQ(rec[n].Tail, before[n].Tail);
        EXPECT_EQ(rec[n].Spare, before[n].Spare);
    }
    // Grid positions of records 0..83; record 0 gets nothing else.
    EXPECT_EQ((std::array{rec[13].PosY, rec[13].PosX, rec[83].PosY, rec[83].PosX}),
              (std::array<std::uint8_t, 4>{2, 11, 12, 71}));
    KeyRecord zero = before[0];
    zero.PosY = 0;
    zero.PosX = 5;
    EXPECT_EQ(rec[0], zero);
    // Matrix codes by row: t(i), then + 6, 5, 4, 1, 2, 3 for the rows below.
    const std::pair<int, int> matrix[] = {{1, 3},  {12, 91}, {13, 9}, {25, 8},
                                          {37, 7}, {49, 4},  {61, 5}, {84, 94}};
    for (const auto& [n, code] : matrix)
        EXPECT_EQ(rec[static_cast<std::size_t>(n)].Matrix, code) << n;
}

TEST(DeviceMatrixCodes, KnownKeysAndTheForbiddenCodes)
{
    const auto codes = MakeDeviceMatrixCodes();
    EXPECT_EQ((std::array{codes[1], codes[37], codes[61], codes[84]}),
              (std::array<std::uint8_t, 4>{3, 2, 0, 94}));
    std::set<int> seen;
    for (int n = 1; n <= 84; ++n) {
        seen.insert(codes[static_cast<std::size_t>(n)]);
        EXPECT_NE(codes[static_cast<std::size_t>(n)] % 8, 7) << "key " << n;
    }
    EXPECT_EQ(seen.size(), 84u);
}
