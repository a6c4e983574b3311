#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace vornestw {

// The one conversion between the bytes sent to the display and what a person
// types and reads: the bytes 16, 17, 24, 25, 196, 205, 217 and 249 are the
// code page 437 pictures, every other byte is Windows-1252.
[[nodiscard]] QString ToDisplayText(std::string_view bytes);

// Typed text to bytes; a character without a byte becomes '?'.
[[nodiscard]] std::string FromDisplayText(const QString& text);

// The byte of one character, or -1 when it has none.
[[nodiscard]] int DisplayCharToByte(QChar ch);

} // namespace vornestw
