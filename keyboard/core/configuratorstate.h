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

    // Keyboard picture.
    int GridCols = 14;
    int GridRows = 6;
    KeyGeometryTable KeyGeometry{};

    // Constant tables.
    MatrixCodeTable DeviceMatrixCodes{};
    NibbleSpeedArray NibbleSpeedTable{};

    // Keyboard data tables of the program folder.
    KeyboardTables Tables;

    // Transfer.
    bool TransferIdle = true;

    // --- Main window and settings file ---
    // Picture geometry of the current shape, in the picture area's pixels.
    float KeyLeftMargin = 0;
    float KeyTopMargin = 0;
    float KeyWidth = 0;
    float KeyHeight = 0;
    float KeyHGap = 0;
    float KeyVGap = 0;
    // Programming port, kept in the settings file.
    std::uint16_t ComPortIndex = 0;
    // Captions of the File menu's recent items, most recent first; empty = hidden.
    std::array<std::string, 3> RecentFiles;
    // The settings record's unused tail, written back as it was read.
    std::array<std::uint8_t, 9486> IniReserved{};
    // Set by the scan table editor when the STC table needs saving.
    bool StcTableChanged = false;

    // The MSR editor's status travels in PosX of MSR record 0.
    [[nodiscard]] std::uint8_t& MsrEditStatus() { return MsrKeys[0].PosX; }

    [[nodiscard]] const std::filesystem::path& UserFolder() const
    {
        return UserPath.empty() ? AppPath : UserPath;
    }
};

// Key index of a grid cell: column + GridCols * row.
[[nodiscard]] int KeyIndexOf(const ConfiguratorState& state, int column, int row);

// Stores a key's place in the 14 by 6 picture; index 0..84.
void SetKeyGeometry(ConfiguratorState& state, int keyIndex, int column, int row, KeyKind kind);

// Grid and picture geometry for the 12 by 7 or the 14 by 6 shape, from the
// picture area's width and height.
void SetGrid12x7(ConfiguratorState& state, float width, float height);
void SetGrid14x6(ConfiguratorState& state, float width, float height);

// Start-up of the configurator up to (not including) its main window. The
// user's files are in userPath, or in appPath when that is empty.
void InitialiseConfigurator(ConfiguratorState& state, const std::filesystem::path& appPath,
                            const std::filesystem::path& userPath = {});

// Rebuilds the data tables for CurrentLanguage from the program folder and
// the user's STC file.
void LoadLanguageTables(ConfiguratorState& state);

[[nodiscard]] NibbleSpeedArray MakeNibbleSpeedTable();

} // namespace morvaw
