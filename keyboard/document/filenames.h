#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace morvaw {

// File names are kept as the bytes of their local form; these helpers fit
// them into the fixed fields of the settings file.

// Without trailing spaces and NULs (a field never written is zero).
[[nodiscard]] std::string TrimName(std::string_view name);
// At most maxBytes bytes, never cut inside a UTF-8 character.
[[nodiscard]] std::string CutToField(std::string_view name, std::size_t maxBytes);
// Space-padded to exactly width bytes (cut as above when longer).
[[nodiscard]] std::string PadToField(std::string_view name, std::size_t width);

// The pattern a file dialog may hand back when no file was chosen.
[[nodiscard]] bool IsWildcardName(std::string_view name);

} // namespace morvaw
