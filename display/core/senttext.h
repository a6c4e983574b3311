#pragma once

#include <array>
#include <string>
#include <string_view>

namespace vornestw {

// The readable form of a sent string: <ESC>, <CR>, <LF>, <SP>, other control
// and high bytes as <code>.
[[nodiscard]] std::string RenderSentText(std::string_view text);

// Characters 1..50, 51..100, 101..150 and 151..200 of the rendered text.
[[nodiscard]] std::array<std::string, 4> SentTextLines(std::string_view sentText);

// Four characters of codes 0..3 per byte, the low bit pair first.
[[nodiscard]] std::string PrinterForm(std::string_view text);

} // namespace vornestw
