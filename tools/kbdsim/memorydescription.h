#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kbdsim {

class KeyboardDevice;

// A PC key's name with its scan code and mask, as the configurator's scan
// table file lists them.
struct ScanName
{
    std::string name; // UTF-8
    std::uint8_t scan = 0;
    std::uint8_t mask = 0;
};

// Reads a scan table file (9-byte records: 7-character name, scan, mask).
[[nodiscard]] std::vector<ScanName> ReadScanNames(const std::string& path);

// Turns one code into a name: prefixes for Ctrl ("^"), Shift ("Sh"), Alt
// ("Alt") and "#", "(pause)" for a pause, the hexadecimal code when no name fits.
[[nodiscard]] std::string CodeName(const std::vector<ScanName>& names, std::uint8_t scan,
                                   std::uint8_t mask);

// What the keyboard holds, key by key: plain codes or macro steps with their
// Func1 and Func2 parts, then the options, the keypad map and the MSR keys.
[[nodiscard]] std::string DescribeMemory(const KeyboardDevice& device,
                                         const std::vector<ScanName>& names);

} // namespace kbdsim
