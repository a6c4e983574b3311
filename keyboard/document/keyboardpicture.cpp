#include "keyboardpicture.h"

#include "configuratorstate.h"
#include "definitiontext.h"
#include "keypictures.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace morvaw {

namespace {

void placeKey(const ConfiguratorState& s, int column, int row, KeyKind kind, KeyButtonPlace& place)
{
    place.visible = true;
    place.left = s.KeyLeftMargin + static_cast<float>(column) * (s.KeyWidth + s.KeyHGap);
    place.top = s.KeyTopMargin + static_cast<float>(row) * (s.KeyHeight + s.KeyVGap);
    place.width = s.KeyWidth;
    place.height = s.KeyHeight;
    if (kind == KeyKind::TallDouble)
        place.height = 2 * s.KeyHeight + s.KeyVGap;
    else if (kind == KeyKind::WideDouble)
        place.width = 2 * s.KeyWidth + s.KeyHGap;
}

void overwrite(std::string& cap, std::string_view text)
{
    std::copy_n(text.begin(), std::min(text.size(), cap.size()), cap.begin());
}

} // namespace

void setKeybGlobals(ConfiguratorState& state, float width, float height)
{
    if (state.LayoutRecords[Settings::KbdShape].PosX != 0)
        SetGrid14x6(state, width, height);
    else
        SetGrid12x7(state, width, height);
}

void DisplKey(const ConfiguratorState& state, int x, int y, int& k, KeyButtonPlaces& places)
{
    if (state.LayoutRecords[Settings::KbdShape].PosX == 0) {
        if (k >= 0 && k < kKeyCount)
            placeKey(state, x, y, KeyKind::Single, places[static_cast<std::size_t>(k)]);
        return;
    }
    k = KeyIndexOf(state, x, y);
    if (k < 0 || k >= kKeyCount)
        return;
    const KeyPlace& g = state.KeyGeometry[static_cast<std::size_t>(k)];
    KeyButtonPlace& place = places[static_cast<std::size_t>(k)];
    if (g.kind == KeyKind::Hidden)
        place.visible = false;
    else
        placeKey(state, g.column, g.row, g.kind, place);
}

void DisplayAllKeys(const ConfiguratorState& state, KeyButtonPlaces& places)
{
    for (int y = 0; y < state.GridRows; ++y) {
        for (int x = 0; x < state.GridCols; ++x) {
            int k = KeyIndexOf(state, x, y);
            DisplKey(state, x, y, k, places);
        }
    }
}

std::string fnCaption(const ConfiguratorState& state, int n)
{
    const KeyRecord& rec = state.LayoutRecords.at(static_cast<std::size_t>(n));
    const std::string_view s = rec.Def0.view(); // 60 bytes; s[i] is position i + 1
    const std::size_t len = std::min<std::size_t>(rec.Len0, s.size());
    const bool tokenForm = s[0] == TokenMark && rec.Len0 != 0;

    std::string cap(s.size(), ' ');
    const auto marks =
        std::count(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(len), TokenMark);
    if (marks >= 3) {
        cap = "<#>";
    } else {
        const std::size_t q = s.find(TokenMark, 1);
        if (q != std::string_view::npos)
            overwrite(cap, s.substr(1, q - 1));
        else
            overwrite(cap, s.substr(0, static_cast<std::size_t>(SignificantLength(s))));

        if (tokenForm) {
            const std::string_view rest = s.substr(1);
            // The first picture name the token begins with, as the caption's word.
            const auto named =
                std::find_if(kPictureKeyNames.begin(), kPictureKeyNames.end(),
                             [&](const PictureKeyName& p) { return rest.starts_with(p.name); });
            if (named != kPictureKeyNames.end()) {
                cap = named->caption;
            } else if (s[1] != '\0') {
                // Pause marks right after the opening mark are shown as they are.
                for (std::size_t k = 1; k + 1 <= s.size() && s[k] == DotMark; ++k)
                    cap[k - 1] = DotMark;
            } else {
                cap = " ";
            }
        } else {
            cap = " ";
            for (std::string_view word : {"Func1", "Func2", "FnTgl"}) {
                if (s.starts_with(word)) {
                    cap = word;
                    break;
                }
            }
            if (cap == " " && s.starts_with("Func"))
                cap = "Func";
        }
    }
    std::erase(cap, ' ');
    return cap;
}

} // namespace morvaw
