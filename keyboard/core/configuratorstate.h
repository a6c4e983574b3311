#pragma once

#include "keyboardtables.h"
#include "layoutmodel.h"

#include <array>
#include <cstdint>

namespace morvaw {

// Repeat speed used to send nibble n (1..16) over the keyboard port; entry 0 unused.
using NibbleSpeedArray = std::array<std::uint8_t, 17>;
[[nodiscard]] constexpr NibbleSpeedArray MakeNibbleSpeedTable()
{
    return {0, 29, 27, 25, 23, 21, 19, 18, 16, 15, 14, 12, 11, 10, 9, 6, 8};
}

// What the programming window reads and sets while it is open, until it
// takes its input as values: a copy of the layout and of its scan table,
// made by main when the window opens; the port it picks and the keyboard
// flags a transfer stores go back to the settings and the document when it
// hands back.
struct ConfiguratorState
{
    LayoutRecordArray LayoutRecords{};
    KeyboardTables Tables;
    MatrixCodeTable DeviceMatrixCodes = MakeDeviceMatrixCodes();
    NibbleSpeedArray NibbleSpeedTable = MakeNibbleSpeedTable();
    std::uint16_t ComPortIndex = 0;
    bool TransferIdle = true;
};

} // namespace morvaw
