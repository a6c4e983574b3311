#include "configuratorstate.h"

#include <stdexcept>

namespace morvaw {

int KeyIndexOf(const ConfiguratorState& state, int column, int row)
{
    return column + state.GridCols * row;
}

void SetKeyGeometry(ConfiguratorState& state, int keyIndex, int column, int row, KeyKind kind)
{
    if (keyIndex < 0 || keyIndex > kKeyCount)
        throw std::out_of_range("SetKeyGeometry: key index out of range");
    state.KeyGeometry[static_cast<std::size_t>(keyIndex)] = {
        static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(column), kind};
}

void SetGrid12x7(ConfiguratorState& state, float width, float height)
{
    state.GridCols = 12;
    state.GridRows = 7;
    state.KeyLeftMargin = width / 40;
    state.KeyTopMargin = height / 40;
    state.KeyWidth = width / 15;
    state.KeyHeight = height / 10;
    state.KeyHGap = width / 100;
    state.KeyVGap = height / 100;
}

void SetGrid14x6(ConfiguratorState& state, float width, float height)
{
    state.GridCols = 14;
    state.GridRows = 6;
    state.KeyLeftMargin = width / 50;
    state.KeyTopMargin = height / 20;
    state.KeyWidth = width / 17;
    state.KeyHeight = height / 9;
    state.KeyHGap = width / 140;
    state.KeyVGap = height / 100;
}

NibbleSpeedArray MakeNibbleSpeedTable()
{
    return {0, 29, 27, 25, 23, 21, 19, 18, 16, 15, 14, 12, 11, 10, 9, 6, 8};
}

void InitialiseConfigurator(ConfiguratorState& state, const std::filesystem::path& appPath,
                            const std::filesystem::path& userPath)
{
    state.GridCols = 14;
    state.GridRows = 6;
    for (int c = 0; c < state.GridCols; ++c) {
        for (int r = 0; r < state.GridRows; ++r)
            SetKeyGeometry(state, KeyIndexOf(state, c, r), c, r, KeyKind::Hidden);
    }
    for (const ShownKey& k : kKeyGeometry14x6)
        SetKeyGeometry(state, k.index, k.column, k.row, k.kind);

    state.NibbleSpeedTable = MakeNibbleSpeedTable();
    state.TransferIdle = true;
    state.MsrEditMode = true;
    state.MsrEditStatus() = 0;
    state.AppPath = appPath;
    state.UserPath = userPath;
    state.LayoutChanged = false;

    LoadStartupTables(state.Tables, state.AppPath);

    state.DeviceMatrixCodes = MakeDeviceMatrixCodes();
    state.CurrentLanguage = state.LayoutRecords[Settings::KbdLanguage].PosX;
}

void LoadLanguageTables(ConfiguratorState& state)
{
    LoadLanguageTables(state.Tables, state.AppPath, state.CurrentLanguage, state.UserFolder());
}

} // namespace morvaw
