#pragma once

#include "displaystate.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace vornestw {

// The settings file's one 100-byte record: 16-bit little-endian integers and
// space-padded single-byte texts.
struct SettingsRecord
{
    static constexpr std::size_t kSize = 100;
    static constexpr std::size_t kLineBytes = kLineWidth;
    static constexpr std::size_t kLongTextBytes = kLongTextWidth;

    std::int16_t Mode = 0;
    std::int16_t Port = 1;
    std::int16_t XPos = 1;
    std::int16_t LineNo = 1;
    std::string Line1 = "Line1 test 12356";
    std::string Line2 = "Line2 test abcde";
    std::string LongText = "Long string test 1234567890abcdefgh";
    char Prefix1 = '!';
    char Prefix2 = '#';
    std::array<std::uint8_t, 10> Rest{}; // never read by the utility

    // Texts come back as stored, with their padding.
    [[nodiscard]] static SettingsRecord fromBytes(std::span<const std::uint8_t, kSize> bytes);
    // Texts are cut or padded to their widths.
    [[nodiscard]] std::array<std::uint8_t, kSize> toBytes() const;
};

// The values a run starts with: texts without surrounding spaces, and numbers
// that the windows and the port cannot use replaced by their defaults.
void ApplySettings(const SettingsRecord& record, DisplayState& state);

[[nodiscard]] SettingsRecord RecordOf(const DisplayState& state);

} // namespace vornestw
