#pragma once

#include "fixedtext.h"
#include "keyrecord.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace morvaw {

// One definition of the work copy as an input line edits it: the text field
// and its length byte.
struct DefinitionRef
{
    FixedText<KeyRecord::kDefWidth>& text;
    std::uint8_t& length;
};

// What an edit did to a line.
enum class LineEdit { Changed, NoRoom, Ignored };

// Removes the last token (Backspace); a function-shift word empties the line.
LineEdit RemoveLastToken(DefinitionRef line);

// Appends a token and its closing mark after the last mark, starting a line
// without marks afresh. Nothing changes when it would not fit (NoRoom), or for
// an empty token or one holding the mark (Ignored).
LineEdit AppendToken(DefinitionRef line, std::string_view token);

// The token a typed character makes: "Spc" for a space (the space itself on
// an MSR line), the character itself for 33..127, nothing for any other code.
[[nodiscard]] std::optional<std::string> TypedToken(int code, bool spaceAsItself);

// The used length of a line as its note shows it ("58 of 60").
[[nodiscard]] std::string UsedLengthText(int length);

} // namespace morvaw
