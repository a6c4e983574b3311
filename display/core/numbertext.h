#pragma once

#include <optional>
#include <string_view>

namespace vornestw {

// The number at the start of a typed text: leading blanks skipped, blanks
// inside ignored, optional sign, decimals, an exponent, or &H / &O for
// hexadecimal and octal. Nothing when the text does not start with a number.
[[nodiscard]] std::optional<double> LeadingNumber(std::string_view text);

// Its whole part when that lies in low..high.
[[nodiscard]] std::optional<int> WholeNumberIn(std::string_view text, int low, int high);

} // namespace vornestw
