#include "recentfiles.h"

#include "definitiontext.h"
#include "filenames.h"

namespace morvaw {

void AftUpdateFileName(RecentCaptions& list, std::string_view layoutFileName)
{
    const std::string n = TrimName(layoutFileName);
    if (n == kUntitledName)
        return;
    const std::string c7 = TrimName(list[0]);
    const std::string c8 = TrimName(list[1]);
    const std::string c9 = TrimName(list[2]);

    if (c7.empty()) {
        list[0] = n;
    } else if (c8.empty() && n != c7) {
        list[1] = c7;
        list[0] = n;
    } else if (c9.empty() && n != c7 && n != c8) {
        list[2] = c8;
        list[1] = c7;
        list[0] = n;
    } else if (n == c9 && n != c7 && n != c8) {
        list[2] = c8;
        list[1] = c7;
        list[0] = n;
    } else if (n == c8 && n != c7 && n != c9) {
        list[1] = c7;
        list[0] = n;
    } else if (n != c7 && n != c8 && n != c9) {
        list[2] = c8;
        list[1] = c7;
        list[0] = n;
    }
}

bool PreUpdateFileName(const std::string& /*updFileName*/)
{
    return false;
}

void DisplayLastFiles(const RecentCaptions& captions, RecentVisibility& visible)
{
    for (std::size_t i = 0; i < captions.size(); ++i) {
        if (!Trim(captions[i], Padding::SpacesAndNuls).empty())
            visible[i] = true;
    }
}

} // namespace morvaw
