#pragma once

#include <QTime>

#include <string>

namespace vornestw {

struct DisplayState;

// Builders of the parameterised sequences. Each returns the complete string
// for SendString; a mode without such a command gives an empty string.

// Fills Line1/Line2 on the right where the protocol wants fixed widths, and
// stores the filled texts back.
[[nodiscard]] std::string TwoLineCommand(DisplayState& state, int mode);

[[nodiscard]] std::string CursorCommand(const DisplayState& state, int mode);

// Aedex long text; the code follows the menu item that opened the window.
[[nodiscard]] std::string LongTextCommand(const DisplayState& state, int menuIndex);

// Aedex prefix change from the current prefixes to the characters new1, new2.
[[nodiscard]] std::string PrefixCommand(const DisplayState& state, int new1, int new2);

[[nodiscard]] std::string ClockCommand(const DisplayState& state, const QTime& now);
[[nodiscard]] std::string ShowClockCommand(const DisplayState& state);

// FE 66 and the protocol's switch code.
[[nodiscard]] std::string ProgramModeCommand(int mode);

// "hh:mm:ss AM" / "hh:mm:ss PM", independent of the locale.
[[nodiscard]] std::string TwelveHourText(const QTime& time);

} // namespace vornestw
