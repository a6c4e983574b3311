#pragma once

#include "keyboardtables.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace morvaw {

// What the keyboard stores for one PC key: the scan code and the mask bits.
struct KeyCode
{
    std::uint8_t scan = 0; // byte 1
    std::uint8_t mask = 0; // byte 2

    friend bool operator==(const KeyCode&, const KeyCode&) = default;
};

namespace CodeBits {
constexpr std::uint8_t Repeat = 1;
// In a macro: the part's last code. In a key entry: the entry points to a macro.
constexpr std::uint8_t Last = 2;
// The mask of a pause; its scan byte carries the key delay time instead.
constexpr std::uint8_t Pause = 0xAB;
} // namespace CodeBits

// The scan records a key name is looked up in.
struct ScanNames
{
    const ScanTableArray& table;
    int count = 0; // records 1..count are in use
};

// The key code of one definition token: its prefixes ("^", "Sh", "Alt" in
// any order, or "#") become mask bits, a single capital letter means Shift,
// the pictures of the arrow and return keys are read as their names, and the
// rest is looked up in the scan table with case and trailing blanks ignored.
// A token without a significant character, or a name that is not found,
// gives the zero code. The scan table is only read.
[[nodiscard]] KeyCode SetKeySequence(const ScanNames& names, std::string_view keySeq);

// False when SetKeySequence finds no scan record for a token that is not
// blank: the keyboard would get the zero code for it.
[[nodiscard]] bool HasScanRecord(const ScanNames& names, std::string_view keySeq);

} // namespace morvaw

namespace morvaw {

// The codes of a definition's tokens in order, up to the first missing token;
// a pause carries delayKeyTime as its scan byte.
[[nodiscard]] std::vector<KeyCode> TokenCodes(const ScanNames& names, std::string_view definition,
                                              std::uint8_t delayKeyTime);

[[nodiscard]] constexpr bool IsPauseCode(KeyCode code)
{
    return code.mask == CodeBits::Pause;
}

} // namespace morvaw
