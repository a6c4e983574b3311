#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace morvaw {

// The modifier prefixes of a definition token. The key editor writes them in
// front of a scan record's name ("^Sha" is Ctrl + Shift + a) and programming
// reads them back into mask bits; both go through this file so that a token
// the editor can write is always one that programming can read.

inline constexpr std::uint8_t CtrlBit = 4;
inline constexpr std::uint8_t AltBit = 8;
inline constexpr std::uint8_t ShiftBit = 16;
inline constexpr std::uint8_t ForceNumBit = 64;

struct TokenModifiers
{
    bool ctrl = false;
    bool shift = false;
    bool alt = false;

    friend bool operator==(const TokenModifiers&, const TokenModifiers&) = default;
};

// The token text for a key name with modifiers: "^", then "Sh", then "Alt", then the name.
[[nodiscard]] std::string ComposeKeyToken(TokenModifiers modifiers, std::string_view name);

struct ParsedKeyToken
{
    std::string name;          // what is left to look up in the scan table
    std::uint8_t modifier = 0; // CtrlBit | AltBit | ShiftBit, or ForceNumBit alone
    bool forceNum = false;     // the token began with "#"
};

// Reads a token's prefixes. A leading "#" (on a token longer than one
// character) gives ForceNumBit; after it "^", "Sh" and "Alt" may come in any
// order and their bits combine, replacing the "#" bit. A prefix is taken only
// when a name follows it, so the keys named "^", "Alt" and "Shft" keep their
// names.
[[nodiscard]] ParsedKeyToken ParseKeyToken(std::string_view token);

// What programming looks a token up as: its prefixes read as above, and a
// lone capital letter read as its small letter, with Shift when it has no
// prefix of its own.
[[nodiscard]] ParsedKeyToken ReadKeyToken(std::string_view token);

// Why the token for a key name with these modifiers would not read back as
// that name with those modifiers, in a few words ("it would be read as Alt +
// \"Gr\""); empty when it reads back as written. A name holding the token
// mark never does, nor does a single capital letter, which programming reads
// as its small letter (with Shift when it has no prefix).
[[nodiscard]] std::string TokenReadBackProblem(TokenModifiers modifiers, std::string_view name);

} // namespace morvaw
