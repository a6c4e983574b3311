#pragma once

#include "keyrecord.h"
#include "layoutmodel.h"

#include <array>
#include <cstdint>
#include <string>

namespace morvaw {

// The grid of the picture's shape and the size of its keys, in the picture
// area's pixels.
struct PictureGeometry
{
    int GridCols = 14;
    int GridRows = 6;
    float KeyLeftMargin = 0;
    float KeyTopMargin = 0;
    float KeyWidth = 0;
    float KeyHeight = 0;
    float KeyHGap = 0;
    float KeyVGap = 0;
};

// The 12 by 7 and the 14 by 6 shape for a picture area of the given size.
[[nodiscard]] PictureGeometry SetGrid12x7(float width, float height);
[[nodiscard]] PictureGeometry SetGrid14x6(float width, float height);
// The layout's shape: KbdShape 0 is 12 by 7, anything else 14 by 6.
[[nodiscard]] PictureGeometry setKeybGlobals(std::uint8_t kbdShape, float width, float height);

// Key index of a grid cell: column + GridCols * row.
[[nodiscard]] int KeyIndexOf(const PictureGeometry& geometry, int column, int row);

// Where a key stands in the 14 by 6 shape: 72 keys, 11 of them doubled; the
// key indices 60 to 71 are not shown.
enum class KeyKind : std::uint8_t { Single = 0, TallDouble = 1, WideDouble = 2, Hidden = 3 };
struct KeyPlace
{
    std::uint8_t row = 0;
    std::uint8_t column = 0;
    KeyKind kind = KeyKind::Single;
    friend bool operator==(const KeyPlace&, const KeyPlace&) = default;
};
using KeyGeometryTable = std::array<KeyPlace, kKeyCount + 1>; // entry 84 never shown
extern const KeyGeometryTable KeyGeometry;

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

// Places button k for the grid cell (x, y). In the 14 by 6 shape k becomes the
// cell's key index, which KeyGeometry moves, doubles or hides.
void DisplKey(const PictureGeometry& geometry, std::uint8_t kbdShape, int x, int y, int& k,
              KeyButtonPlaces& places);

// Places every button: DisplKey for each cell of the grid.
void DisplayAllKeys(const PictureGeometry& geometry, std::uint8_t kbdShape,
                    KeyButtonPlaces& places);

// Caption of a key: a function word, the readable name of a single special
// key, the text of a single token, or "<#>" for several tokens. Bytes, as in
// the model; spaces removed.
[[nodiscard]] std::string fnCaption(const KeyRecord& key);

// The keyboard picture of the main window: its size, the geometry of the
// layout's shape and where each key button stands.
class KeyboardPicture
{
public:
    // The picture area's new size; a minimized window keeps its buttons where they are.
    void resize(float width, float height, bool minimized);
    // Grid, geometry and button places for the shape (do_resize_main_form).
    void arrange(std::uint8_t kbdShape);

    [[nodiscard]] const PictureGeometry& geometry() const { return m_geometry; }
    [[nodiscard]] const KeyButtonPlaces& places() const { return m_places; }

private:
    float m_width = 0;
    float m_height = 0;
    bool m_minimized = false;
    PictureGeometry m_geometry;
    KeyButtonPlaces m_places{};
};

} // namespace morvaw
