#pragma once

#include <QString>

namespace morvaw {

class DeviceImageBuilder;
class KeysTableBuilder;
struct LayoutSource;

// The two memory formats: the older keyboards' keys table ("No macros",
// "Reduced") and the enhanced keyboards' device image.
enum class KeyboardGeneration { Older, Enhanced };

// How full the keyboard's memory will be.
struct MemoryUsage
{
    KeyboardGeneration generation = KeyboardGeneration::Enhanced;
    int used = 0;  // NextSlot
    int limit = 0; // the last place macros may use
    bool overflow = false;
};

[[nodiscard]] MemoryUsage UsageOf(const DeviceImageBuilder& image);
[[nodiscard]] MemoryUsage UsageOf(const KeysTableBuilder& table);

// From the very build a transfer sends, so that a layout too big for the
// keyboard shows before programming.
[[nodiscard]] QString MacroMemoryText(const MemoryUsage& usage);
[[nodiscard]] QString MacroMemoryText(const DeviceImageBuilder& image);
[[nodiscard]] QString MacroMemoryText(const KeysTableBuilder& table);
// For the keyboard type of the layout (both formats while it is to be detected).
[[nodiscard]] QString MacroMemoryText(const LayoutSource& layout);

} // namespace morvaw
