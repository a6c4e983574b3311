#pragma once

#include <array>
#include <string>

namespace morvaw {

struct ConfiguratorState;

// The File menu's recent items File(7) to File(9): captions and visibility.
using RecentCaptions = std::array<std::string, 3>;
using RecentVisibility = std::array<bool, 3>;

// Puts LayoutFileName at the top of the recent list: inserted, or moved up
// when it is already there; at most three names, each at most once. Nothing
// happens for "UNTITLED.KBD".
void AftUpdateFileName(ConfiguratorState& state);

// Called where a layout got a new name; the list only changes through
// AftUpdateFileName, so this leaves everything as it is.
[[nodiscard]] bool PreUpdateFileName(const std::string& updFileName);

// Shows every item whose trimmed caption is not empty; never hides one.
void DisplayLastFiles(const RecentCaptions& captions, RecentVisibility& visible);

} // namespace morvaw
