#pragma once

#include <QString>

namespace morvaw {

struct ConfiguratorState;
class DeviceImageBuilder;
class KeysTableBuilder;

// How full the keyboard's memory will be, from the very build a transfer
// sends, so that a layout too big for the keyboard shows before programming.
[[nodiscard]] QString MacroMemoryText(const DeviceImageBuilder& image);
[[nodiscard]] QString MacroMemoryText(const KeysTableBuilder& table);
// For the keyboard type of the layout (both formats while it is to be detected).
[[nodiscard]] QString MacroMemoryText(const ConfiguratorState& state);

} // namespace morvaw
