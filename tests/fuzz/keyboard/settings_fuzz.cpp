// Any bytes where PALIX.INI should be. What start-up reads is saved when the
// program ends and read by the next start: that must give the same bytes.
#include "kbdfuzz.h"
#include "regularfile.h"
#include "settingsfile.h"

using namespace morvaw;
using namespace morvaw::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto first = std::make_unique<SettingsRecord>(ParseIni({data, size}));
    require(!first->LayoutFileName.empty(), "a layout is always named");
    require(first->ComPortIndex == (size >= 130 ? data[128] | data[129] << 8 : 1),
            "the port is the file's or the first");

    const QByteArray saved = SettingsRecordBytes(*first);
    require(saved.size() == kSettingsFileSize, "a whole record is saved");
    const auto second = std::make_unique<SettingsRecord>(ParseIni(BytesOf(saved)));
    require(*second == *first, "a saved record reads back as it was");
    require(SettingsRecordBytes(*second) == saved, "save and reload give the same bytes");
    return 0;
}
