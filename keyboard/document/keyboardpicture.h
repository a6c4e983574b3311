#pragma once

#include "layoutmodel.h"

#include <array>
#include <string>

namespace morvaw {

struct ConfiguratorState;

// Where one key button stands in the picture area, in its pixels.
struct KeyButtonPlace
{
    bool visible = false;
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;

    friend bool operator==(const KeyButtonPlace&, const KeyButtonPlace&) = default;
};
using KeyButtonPlaces = std::array<KeyButtonPlace, kKeyCount>;

// Grid and geometry of the layout's shape (KbdShape 0: 12 by 7, else 14 by 6)
// for a picture area of the given size.
void setKeybGlobals(ConfiguratorState& state, float width, float height);

// Places button k for the grid cell (x, y). In the 14 by 6 shape k becomes the
// cell's key index, which KeyGeometry moves, doubles or hides.
void DisplKey(const ConfiguratorState& state, int x, int y, int& k, KeyButtonPlaces& places);

// Places every button: DisplKey for each cell of the current grid.
void DisplayAllKeys(const ConfiguratorState& state, KeyButtonPlaces& places);

// Caption of key record n (1..84): a function word, the readable name of a
// single special key, the text of a single token, or "<#>" for several tokens.
// Bytes, as in the model; spaces removed.
[[nodiscard]] std::string fnCaption(const ConfiguratorState& state, int n);

} // namespace morvaw
