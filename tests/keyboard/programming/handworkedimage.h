#pragma once

// An enhanced layout whose every key has all three "Rpt" boxes checked while
// only some levels are defined, and the image it must give, worked out by hand
// from the key codes of the test scan table (not by running the builder).
#include "keyboardrig.h"

#include <map>

namespace morvaw::test {

inline void UseHandWorkedLayout(ConfiguratorState& s)
{
    auto key = [&s](int n) -> KeyRecord& { return s.LayoutRecords[static_cast<std::size_t>(n)]; };
    for (int n = 1; n <= 84; ++n)
        key(n).RepeatFlags = 7;
    s.LayoutRecords[Settings::MsrOption2].PosX = 0x03;
    s.LayoutRecords[Settings::MsrOption3].PosX = 0x11;
    SetDef(key(1), 0, Tokens({"a"}));
    SetDef(key(2), 0, Tokens({"a", "b"}));
    SetDef(key(2), 1, Tokens({"c"}));
    SetDef(key(2), 2, Tokens({"F1"}));
    SetDef(key(3), 0, Tokens({"Delay", "a", "Delay"}));
    SetDef(key(4), 0, Tokens({"a", "b"})); // Func1 and Func2 blank
    SetDef(key(5), 1, Tokens({"c"}));      // plain and Func2 blank
    SetDef(key(13), 0, ">x");
    key(13).Label = "OK";
    SetDef(key(61), 0, Tokens({"1"}));
    SetDef(key(37), 0, Tokens({"Pad \x11\xC4\xD9"}));
    SetDef(s.LayoutRecords[Settings::MsrHeader], 0, Tokens({"b"}));
    SetDef(s.LayoutRecords[Settings::MsrTrailer], 0, Tokens({"c"}));
    s.LayoutRecords[Settings::MsrTrailer].RepeatFlags = 1;
    SetDef(s.LayoutRecords[Settings::MsrInterTracks], 0, Tokens({"a", "b"}));
    s.LayoutRecords[Settings::MsrInterTracks].RepeatFlags = 7;
}

// Bytes 0..2048 that are not 0; NextSlot ends at 243.
inline std::map<int, int> HandWorkedImage(const ConfiguratorState& s)
{
    std::map<int, int> image;
    for (int n = 1; n <= 84; ++n) // a blank key: the zero code with the repeat bit
        image[2 * s.DeviceMatrixCodes[static_cast<std::size_t>(n)] + 2] = 0x01;
    // clang-format off
    const std::map<int, int> bytes = {
        // key entries of keys 61 (p 0), 37 (2), 1 (3), 13 (4), 2 (11), 3 (19), 5 (27), 4 (35)
        {1, 0x02}, {2, 0x01}, {5, 0x1C}, {6, 0x21}, {7, 0x1E}, {8, 0x01}, {9, 0x4F}, {10, 0x4B},
        {23, 0x4C}, {24, 0x83}, {39, 0x57}, {40, 0x83}, {55, 0x67}, {56, 0x83}, {71, 0x60}, {72, 0x83},
        // MSR header (p 39), separator (31: blank, no repeat), trailer (55), inter-tracks (71)
        {79, 0x30}, {80, 0x00}, {63, 0x00}, {64, 0x00}, {111, 0x2E}, {112, 0x01}, {143, 0x6C}, {144, 0x83},
        // settings
        {15, 0x03}, {16, 0x0A}, {31, 5}, {32, 5}, {95, 0x11}, {127, 100},
        // macros: key 2 (every level), key 3 (plain, ending in a pause), key 4 (plain only),
        // key 5 (Func1 only), the MSR inter-tracks key
        {204, 0xEE}, {205, 0xD3}, {206, 0xD5}, {207, 0x1E}, {209, 0x30}, {210, 0x02}, {211, 0x2E}, {212, 0x02}, {213, 0x3B}, {214, 0x02},
        {215, 0x8E}, {218, 0x64}, {219, 0xA9}, {220, 0x1E}, {222, 0x64}, {223, 0xA9},
        {224, 0x8E}, {227, 0x1E}, {229, 0x30}, {230, 0x02},
        {231, 0x4E}, {232, 0xEA}, {234, 0x2E}, {235, 0x02},
        {236, 0x8E}, {239, 0x1E}, {241, 0x30}, {242, 0x02}};
    // clang-format on
    for (const auto& [address, value] : bytes)
        image[address] = value;
    for (int b = 192; b <= 203; ++b)
        image[b] = 0xFF;
    image[193] = 0x00; // digit 1 on key 61
    image[202] = 0x82; // keypad Enter on key 37
    std::erase_if(image, [](const auto& entry) { return entry.second == 0; });
    return image;
}

} // namespace morvaw::test
