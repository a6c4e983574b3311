#pragma once

#include "fixedtext.h"
#include "keyrecord.h"

#include <array>
#include <string>
#include <string_view>

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

} // namespace morvaw
