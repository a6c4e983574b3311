#pragma once

#include "fixedtext.h"
#include "keyrecord.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace morvaw {

// Key names of the scan table that are drawn with code page 437 pictures
// (arrows and line pieces), with the word an input line shows and programming
// reads for each, and the shorter caption a key of the main window shows.
// In this order: a name that begins another one comes after it.
struct PictureKeyName
{
    std::string_view name;
    std::string_view word;
    std::string_view caption;
};
inline constexpr std::array<PictureKeyName, 7> kPictureKeyNames{{
    {"\x11\xCD", "BkSp", "BS"},
    {"\x11\xC4\xD9", "Enter", "Enter"},
    {"\x11\xC4", "Left", "Left"},
    {"\xC4\x10", "Right", "Right"},
    {"\x18", "Up", "Up"},
    {"\x19", "Down", "Dn"},
    {"Pad \x11\xC4\xD9", "Pad Ent", "Pad Ent"},
}};

// The word for a picture name ("\x18" is "Up"); any other name unchanged.
[[nodiscard]] std::string_view PictureKeyWord(std::string_view name);

// What an input line shows of a definition: marks as ".", picture names as
// words (their prefixes kept), a function-shift word as it is.
[[nodiscard]] std::string InputLineText(const FixedText<KeyRecord::kDefWidth>& text, int length);

// The tokens of a definition as an input line draws them, one framed chip
// each: picture names as words (their prefixes kept), a function-shift word
// or text without marks as the one token; empty tokens are left out.
[[nodiscard]] std::vector<std::string> InputLineTokens(const Definition& definition);

// What a definition types, for a person: typed characters joined ("Spc" is a
// space), named keys as their names in angle brackets with their modifiers
// ("<Enter>", "<Ctrl+Shift+F1>"), a function-shift word as it is, and text
// not in token form (a ">" key) as it stands. Bytes, as in the model; empty
// for an empty definition.
[[nodiscard]] std::string ReadableDefinition(const Definition& definition);

} // namespace morvaw
