#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace morvaw {

// The small conversions of the keyboard link.

// Low byte of a value (its remainder by 256).
[[nodiscard]] std::uint8_t Lo(std::int32_t value);
// Value / 256; only values below 65536 are meaningful.
[[nodiscard]] std::uint8_t Hi(std::int32_t value);

// Lower-case hexadecimal digit of a nibble, as enhanced keyboards echo it.
[[nodiscard]] char B2Hex(std::uint8_t nibble);

// Two characters 48 + high nibble, 48 + low nibble: the digits of the older
// keyboards' word records, where 10..15 become ":" to "?".
[[nodiscard]] std::string Hex2Asc(std::int32_t value);

// The text without trailing blanks, in lower case.
[[nodiscard]] std::string StLoCase(std::string_view text);

// Decimal text with the leading blank that non-negative numbers get in the
// messages the keyboard's users know (" 5", "-5").
[[nodiscard]] std::string NumberText(long long value);

} // namespace morvaw
