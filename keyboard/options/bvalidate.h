#pragma once

#include <QStringView>

#include <cstdint>

namespace morvaw {

// The leading number of a text as the configurator's number boxes read it:
// blanks before and inside it are skipped, "&H" and "&O" give hexadecimal and
// octal, a decimal number may carry an exponent; a text without one gives 0.
[[nodiscard]] double Val(QStringView text);

// The number in a text clamped to a byte: above 255 gives 255, below 0 gives
// 0, anything else is rounded to a whole number.
[[nodiscard]] std::uint8_t BValidate(QStringView text);

} // namespace morvaw
