#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace morvaw {

// The one conversion between the model's bytes and what a person sees: the
// bytes 16, 17, 24, 25, 196, 205, 217 and 249 are the code page 437 pictures
// (arrows, line pieces, bullet) that key names are drawn with; every other
// byte is Windows-1252.
[[nodiscard]] QString ToDisplayText(std::string_view bytes);

// Text bound for a terminal: control characters, which a layout may hold
// anywhere, show as their pictures (␛, ␍, ␀) instead of acting on the terminal.
[[nodiscard]] QString WithControlPictures(QString text);

// The reverse, for typed text: characters without a byte become '?'.
[[nodiscard]] std::string FromDisplayText(const QString& text);

// Byte of one character, or -1 when it has none.
[[nodiscard]] int DisplayCharToByte(QChar ch);

} // namespace morvaw
