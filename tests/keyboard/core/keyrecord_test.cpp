#include "keyrecord.h"

#include <gtest/gtest.h>

using namespace morvaw;

TEST(KeyRecordForm, EveryByteSurvivesBothDirections)
{
    for (std::uint8_t seed : {0, 1, 249, 255}) {
        std::array<std::uint8_t, KeyRecord::kFileSize> bytes{};
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
        EXPECT_EQ(KeyRecord::fromBytes(bytes).toBytes(), bytes) << "seed " << int(seed);
    }
    const auto zero = KeyRecord{}.toBytes();
    EXPECT_TRUE(std::all_of(zero.begin(), zero.end(), [](std::uint8_t v) { return v == 0; }));
}

TEST(KeyRecordForm, FieldsLieAtTheirFileOffsets)
{
    KeyRecord r;
    r.PosY = 0x11;
    r.PosX = 0x22;
    r.KeyWord = 0xA1B2;
    r.Matrix = 0x33;
    r.Spare = 0x44;
    r.Label.assign(std::string_view("\0\0", 2));
    const char* defs[] = {"\xF9"
                          "a\xF9",
                          "", "", "def3"};
    for (int level = 0; level < 4; ++level) { // the level accessors reach the named fields
        r.len(level) = static_cast<std::uint8_t>(3 + 4 * level);
        r.def(level).assign(defs[level]);
    }
    r.Def1.fill(0xF9);
    r.Def2.assign(std::string("\0x", 2));
    r.RepeatFlags = 0x05;
    r.Tail.assign("tail-bytes");

    // Offset and byte, worked out from the record layout (numbers little-endian,
    // texts space-padded).
    const std::pair<int, int> expected[] = {
        {0, 0x11},  {1, 0x22},   {2, 0xB2},  {3, 0xA1},  {4, 0x33},  {5, 0x44},
        {6, 0},     {7, 0},      {8, ' '},   {9, ' '},   {10, 3},    {11, 249},
        {12, 'a'},  {13, 249},   {14, ' '},  {70, ' '},  {71, 7},    {72, 249},
        {131, 249}, {132, 11},   {133, 0},   {134, 'x'}, {193, 15},  {194, 'd'},
        {197, '3'}, {254, 0x05}, {255, 't'}, {264, 's'}, {273, ' '},
    };
    const auto b = r.toBytes();
    for (const auto& [offset, byte] : expected)
        EXPECT_EQ(b[static_cast<std::size_t>(offset)], byte) << "offset " << offset;
    EXPECT_EQ(KeyRecord::fromBytes(b), r);
    EXPECT_THROW((void)r.def(4), std::out_of_range);
}

TEST(KeyRecordForm, AssigningPadsWithSpacesAndCuts)
{
    KeyRecord r;
    r.Label.assign("toolong");
    EXPECT_EQ(r.Label.str(), "tool");
    r.Label.assign("a");
    EXPECT_EQ(r.Label.str(), "a   ");
    r.Def0.assign(std::string(70, 'x'));
    EXPECT_EQ(r.Def0.str(), std::string(60, 'x'));
}
