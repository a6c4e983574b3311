#include "configuratorstate.h"

namespace morvaw {

NibbleSpeedArray MakeNibbleSpeedTable()
{
    return {0, 29, 27, 25, 23, 21, 19, 18, 16, 15, 14, 12, 11, 10, 9, 6, 8};
}

void InitialiseConfigurator(ConfiguratorState& state, const std::filesystem::path& appPath,
                            const std::filesystem::path& userPath)
{
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
