// Any bytes where PALIX.INI should be. What start-up reads is saved when the
// program ends and read by the next start: that must give the same bytes.
#include "kbdfuzz.h"
#include "regularfile.h"
#include "settingsfile.h"

using namespace morvaw;
using namespace morvaw::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto first = std::make_unique<ConfiguratorState>();
    const std::string layout = ParseIni({data, size}, *first);
    require(layout == first->LayoutFileName && !layout.empty(), "a layout is always named");
    require(first->ComPortIndex == (size >= 130 ? data[128] | data[129] << 8 : 1),
            "the port is the file's or the first");

    const QByteArray saved = SettingsRecordBytes(*first);
    require(saved.size() == kSettingsFileSize, "a whole record is saved");
    auto second = std::make_unique<ConfiguratorState>();
    ParseIni(BytesOf(saved), *second);
    require(SettingsRecordBytes(*second) == saved, "save and reload give the same bytes");
    return 0;
}
