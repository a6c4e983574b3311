#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace morvaw {

// Texts of the model are byte strings: one byte per character, exactly as on disk.

// Frames every token of a definition string (the code page 437 bullet).
inline constexpr char TokenMark = static_cast<char>(249);
// Stands for a pause where definitions are drawn.
inline constexpr char DotMark = '.';

// True for the bytes that count as visible even though they lie below the
// space: the arrows and line pieces that draw key names such as backspace.
[[nodiscard]] bool IsPictureByte(std::uint8_t c);

// 1-based position of the last character above a space or a picture byte; 0 if none.
[[nodiscard]] int SignificantLength(std::string_view text);

// True when no character has a code of 33 or more.
[[nodiscard]] bool IsBlankText(std::string_view text);

// Value of one or two hexadecimal digits; a single digit is the low digit.
// Digits are not validated (callers pass at most two hex digits).
[[nodiscard]] std::uint8_t HexToByte(std::string_view text);

// The n-th token (from 1) of a definition text whose tokens are framed by mark.
[[nodiscard]] std::string DefToken(int n, std::string_view text, char mark);

// A definition that begins with "Func" or "FnT" is a function-shift assignment.
[[nodiscard]] bool IsFunctionShiftWord(std::string_view definition);

// What counts as padding when a text is trimmed: spaces, or also NULs, which
// fill a fixed field that was never written.
enum class Padding { Spaces, SpacesAndNuls };

// Without leading and trailing padding.
[[nodiscard]] std::string Trim(std::string_view text, Padding padding = Padding::Spaces);
// Without trailing padding.
[[nodiscard]] std::string TrimRight(std::string_view text, Padding padding = Padding::Spaces);

// ASCII-only case mapping, as the model's texts need.
[[nodiscard]] std::string AsciiUpper(std::string_view text);
[[nodiscard]] std::string AsciiLower(std::string_view text);

} // namespace morvaw
