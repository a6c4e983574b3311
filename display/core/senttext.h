#pragma once

#include <array>
#include <string>
#include <string_view>

namespace vornestw {

// The readable form of a sent string: <ESC>, <CR>, <LF>, <SP>, other control
// and high bytes as <code>.
[[nodiscard]] std::string RenderSentText(std::string_view text);

// The first 200 characters of the readable form of `text`, in four lines of
// at most 50, each broken between two tokens, never inside "<CR>".
[[nodiscard]] std::array<std::string, 4> SentTextLines(std::string_view text);

// Four characters of codes 0..3 per byte, the low bit pair first.
[[nodiscard]] std::string PrinterForm(std::string_view text);

} // namespace vornestw
