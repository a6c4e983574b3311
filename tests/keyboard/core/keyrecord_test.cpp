#include "keyrecord.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace morvaw;

namespace {

std::array<std::uint8_t, KeyRecord::kFileSize> countingBytes(std::uint8_t seed)
{
    std::array<std::uint8_t, KeyRecord::kFileSize> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
    return bytes;
}

} // namespace

TEST(KeyRecordForm, EveryByteSurvivesBothDirections)
{
    for (std::uint8_t seed : {0, 1, 249, 255}) {
        const auto bytes = countingBytes(seed);
        const KeyRecord r = KeyRecord::fromBytes(bytes);
        EXPECT_EQ(r.toBytes(), bytes) << "seed " << int(seed);
    }
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
    r.Len0 = 3;
    r.Def0.assign("\xF9"
                  "a\xF9");
    r.Len1 = 60;
    r.Def1.fill(0xF9);
    r.Len2 = 1;
    r.Def2.assign(std::string("\0x", 2));
    r.Len3 = 7;
    r.Def3.assign("def3");
    r.RepeatFlags = 0x05;
    r.Tail.assign("tail-bytes");

    const auto b = r.toBytes();
    EXPECT_EQ(b[0], 0x11);
    EXPECT_EQ(b[1], 0x22);
    EXPECT_EQ(b[2], 0xB2); // little-endian
    EXPECT_EQ(b[3], 0xA1);
    EXPECT_EQ(b[4], 0x33);
    EXPECT_EQ(b[5], 0x44);
    EXPECT_EQ(b[6], 0);
    EXPECT_EQ(b[7], 0);
    EXPECT_EQ(b[8], ' ');
    EXPECT_EQ(b[9], ' ');
    EXPECT_EQ(b[10], 3);
    EXPECT_EQ(b[11], 249);
    EXPECT_EQ(b[12], 'a');
    EXPECT_EQ(b[13], 249);
    EXPECT_EQ(b[14], ' ');
    EXPECT_EQ(b[70], ' ');
    EXPECT_EQ(b[71], 60);
    EXPECT_EQ(b[72], 249);
    EXPECT_EQ(b[131], 249);
    EXPECT_EQ(b[132], 1);
    EXPECT_EQ(b[133], 0);
    EXPECT_EQ(b[134], 'x');
    EXPECT_EQ(b[193], 7);
    EXPECT_EQ(b[194], 'd');
    EXPECT_EQ(b[197], '3');
    EXPECT_EQ(b[254], 0x05);
    EXPECT_EQ(b[255], 't');
    EXPECT_EQ(b[264], 's');
    EXPECT_EQ(b[273], ' ');

    EXPECT_EQ(KeyRecord::fromBytes(b), r);
}

TEST(KeyRecordForm, NewRecordIsAllZero)
{
    const KeyRecord r;
    const auto b = r.toBytes();
    EXPECT_TRUE(std::all_of(b.begin(), b.end(), [](std::uint8_t v) { return v == 0; }));
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

TEST(KeyRecordForm, LevelAccessorsReachTheNamedFields)
{
    KeyRecord r;
    for (int i = 0; i < 4; ++i) {
        r.len(i) = static_cast<std::uint8_t>(10 + i);
        r.def(i).assign(std::string(1, static_cast<char>('a' + i)));
    }
    EXPECT_EQ(r.Len0, 10);
    EXPECT_EQ(r.Len3, 13);
    EXPECT_EQ(r.Def1[0], 'b');
    EXPECT_EQ(r.Def3[0], 'd');
    EXPECT_THROW((void)r.def(4), std::out_of_range);
}
