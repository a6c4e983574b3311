#pragma once

#include "settingsfile.h"

#include <array>
#include <string>
#include <string_view>

namespace morvaw {

// Which of the File menu's recent items File(7) to File(9) are shown.
using RecentVisibility = std::array<bool, 3>;

// Puts the layout's name at the top of the recent list: inserted, or moved up
// when it is already there; at most three names, each at most once. Nothing
// happens for "UNTITLED.KBD".
void AftUpdateFileName(RecentCaptions& list, std::string_view layoutFileName);

// Called where a layout got a new name; the list only changes through
// AftUpdateFileName, so this leaves everything as it is.
[[nodiscard]] bool PreUpdateFileName(const std::string& updFileName);

// Shows every item whose trimmed caption is not empty; never hides one.
void DisplayLastFiles(const RecentCaptions& captions, RecentVisibility& visible);

} // namespace morvaw
