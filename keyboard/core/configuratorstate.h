#pragma once

#include "fixedtext.h"
#include "keyboardtables.h"
#include "keyrecord.h"
#include "layoutmodel.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

namespace morvaw {

// Repeat speed used to send nibble n (1..16) over the keyboard port; entry 0 unused.
using NibbleSpeedArray = std::array<std::uint8_t, 17>;

// Everything the configurator keeps for the whole run: one object, made by
// main and passed by reference to the windows; tests make their own.
struct ConfiguratorState
{
    // Program folder, without a trailing separator: the data files.
    std::filesystem::path AppPath;
    // Folder of the files the user changes (PALIX.INI, the STC files); empty
    // when that is AppPath itself.
    std::filesystem::path UserPath;

    // Layout model.
    LayoutRecordArray LayoutRecords{};
    std::uint8_t CurrentLanguage = 0;
    bool LayoutChanged = false;
    std::string LayoutFileName; // bytes of the local (UTF-8) path
    int SelectedKey = 0;
    KeyRecord WorkKey;
    std::array<KeyRecord, 5> MsrKeys{}; // 0 header, 1 separator, 2 inter-tracks, 3 trailer
    bool MsrEditMode = true;

    // Constant tables.
    MatrixCodeTable DeviceMatrixCodes{};
    NibbleSpeedArray NibbleSpeedTable{};

    // Keyboard data tables of the program folder.
    KeyboardTables Tables;

    // Transfer.
    bool TransferIdle = true;

    // Programming port: the programming window reads and sets it, the main
    // window keeps it in the settings file.
    std::uint16_t ComPortIndex = 0;
    // Set by the scan table editor when the STC table needs saving.
    bool StcTableChanged = false;

    // The MSR editor's status travels in PosX of MSR record 0.
    [[nodiscard]] std::uint8_t& MsrEditStatus() { return MsrKeys[0].PosX; }

    [[nodiscard]] const std::filesystem::path& UserFolder() const
    {
        return UserPath.empty() ? AppPath : UserPath;
    }
};

// Start-up of the configurator up to (not including) its main window. The
// user's files are in userPath, or in appPath when that is empty.
void InitialiseConfigurator(ConfiguratorState& state, const std::filesystem::path& appPath,
                            const std::filesystem::path& userPath = {});

// Rebuilds the data tables for CurrentLanguage from the program folder and
// the user's STC file.
void LoadLanguageTables(ConfiguratorState& state);

[[nodiscard]] NibbleSpeedArray MakeNibbleSpeedTable();

} // namespace morvaw
