#pragma once

#include "fixedtext.h"
#include "keyrecord.h"

#include <cstdint>
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

// A definition that begins with "Func" or "FnT" is a function-shift assignment.
[[nodiscard]] bool IsFunctionShiftWord(std::string_view definition);

// Removes the last token (Backspace); a function-shift word empties the line.
void RemoveLastToken(DefinitionRef line);

// Appends a token and its closing mark after the last mark, starting a line
// without marks afresh. False, and nothing changed, when it would not fit.
bool AppendToken(DefinitionRef line, std::string_view token);

// A typed character: 8 removes the last token, 32..127 become a token (a space
// is "Spc", or itself on an MSR line); every other code is ignored.
void TypeCharacter(DefinitionRef line, int code, bool spaceAsItself);

// What an input line shows: marks as ".", picture key names as words.
[[nodiscard]] std::string InputLineText(const FixedText<KeyRecord::kDefWidth>& text, int length);

} // namespace morvaw
