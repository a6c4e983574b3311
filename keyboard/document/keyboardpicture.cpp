#include "keyboardpicture.h"

#include "definitiontext.h"
#include "keypictures.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace morvaw {

namespace {

void placeKey(const PictureGeometry& g, int column, int row, KeyKind kind, KeyButtonPlace& place)
{
    place.visible = true;
    place.left = g.KeyLeftMargin + static_cast<float>(column) * (g.KeyWidth + g.KeyHGap);
    place.top = g.KeyTopMargin + static_cast<float>(row) * (g.KeyHeight + g.KeyVGap);
    place.width = g.KeyWidth;
    place.height = g.KeyHeight;
    if (kind == KeyKind::TallDouble)
        place.height = 2 * g.KeyHeight + g.KeyVGap;
    else if (kind == KeyKind::WideDouble)
        place.width = 2 * g.KeyWidth + g.KeyHGap;
}

// The 72 shown keys of the 14 by 6 shape, in row order.
struct ShownKey
{
    std::uint8_t index;
    std::uint8_t row;
    std::uint8_t column;
    KeyKind kind;
};
constexpr KeyKind S = KeyKind::Single;
constexpr KeyKind T = KeyKind::TallDouble;
constexpr KeyKind W = KeyKind::WideDouble;
// clang-format off
constexpr std::array<ShownKey, 72> kShownKeys{{
    {72, 0, 0, W}, {34, 0, 2, S}, {35, 0, 3, S}, {74, 0, 4, S}, {76, 0, 5, S}, {75, 0, 6, S},
    {77, 0, 7, S}, {79, 0, 8, S}, {78, 0, 9, S}, {80, 0, 10, S}, {81, 0, 11, S}, {82, 0, 12, S},
    {83, 0, 13, S},
    {45, 1, 0, S}, {46, 1, 1, S}, {23, 1, 2, S}, {11, 1, 3, S}, {26, 1, 4, S}, {28, 1, 5, S},
    {27, 1, 6, S}, {29, 1, 7, S}, {31, 1, 8, S}, {30, 1, 9, S}, {32, 1, 10, S}, {33, 1, 11, S},
    {73, 1, 12, W},
    {12, 2, 0, W}, {56, 2, 2, S}, {57, 2, 3, S}, {14, 2, 4, S}, {16, 2, 5, S}, {15, 2, 6, S},
    {17, 2, 7, S}, {19, 2, 8, S}, {18, 2, 9, S}, {20, 2, 10, S}, {21, 2, 11, S}, {22, 2, 12, S},
    {25, 2, 13, T},
    {0, 3, 0, W}, {53, 3, 2, S}, {55, 3, 3, S}, {2, 3, 4, S}, {4, 3, 5, S}, {3, 3, 6, S},
    {5, 3, 7, S}, {7, 3, 8, S}, {6, 3, 9, S}, {8, 3, 10, S}, {9, 3, 11, S}, {10, 3, 12, S},
    {36, 4, 0, W}, {52, 4, 2, S}, {51, 4, 3, S}, {38, 4, 4, S}, {40, 4, 5, S}, {39, 4, 6, S},
    {41, 4, 7, S}, {43, 4, 8, S}, {42, 4, 9, S}, {44, 4, 10, S}, {24, 4, 11, W}, {47, 4, 13, S},
    {48, 5, 0, W}, {49, 5, 2, W}, {50, 5, 4, S}, {37, 5, 5, W}, {1, 5, 7, W}, {54, 5, 9, S},
    {13, 5, 10, W}, {58, 5, 12, S}, {59, 5, 13, S},
}};
// clang-format on

// Every cell's own index first, not shown; then the keys that are.
constexpr KeyGeometryTable makeKeyGeometry()
{
    KeyGeometryTable table{};
    for (int r = 0; r < 6; ++r) {
        for (int c = 0; c < 14; ++c)
            table[static_cast<std::size_t>(c + 14 * r)] = {
                static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(c), KeyKind::Hidden};
    }
    for (const ShownKey& k : kShownKeys)
        table[k.index] = {k.row, k.column, k.kind};
    return table;
}

// Every cell of the 6 by 14 grid is covered by exactly one shown key.
constexpr bool coversTheGridOnce(const KeyGeometryTable& table)
{
    std::array<int, 6 * 14> cover{};
    for (std::size_t k = 0; k < kKeyCount; ++k) {
        const KeyPlace p = table[k];
        if (p.kind == KeyKind::Hidden)
            continue;
        const int rows = p.kind == KeyKind::TallDouble ? 2 : 1;
        const int columns = p.kind == KeyKind::WideDouble ? 2 : 1;
        for (int r = p.row; r < p.row + rows; ++r) {
            for (int c = p.column; c < p.column + columns; ++c) {
                if (r >= 6 || c >= 14)
                    return false;
                ++cover[static_cast<std::size_t>(14 * r + c)];
            }
        }
    }
    for (int n : cover) {
        if (n != 1)
            return false;
    }
    return true;
}
static_assert(coversTheGridOnce(makeKeyGeometry()));

void overwrite(std::string& cap, std::string_view text)
{
    std::copy_n(text.begin(), std::min(text.size(), cap.size()), cap.begin());
}

} // namespace

const KeyGeometryTable KeyGeometry = makeKeyGeometry();

PictureGeometry SetGrid12x7(float width, float height)
{
    return {.GridCols = 12,
            .GridRows = 7,
            .KeyLeftMargin = width / 40,
            .KeyTopMargin = height / 40,
            .KeyWidth = width / 15,
            .KeyHeight = height / 10,
            .KeyHGap = width / 100,
            .KeyVGap = height / 100};
}

PictureGeometry SetGrid14x6(float width, float height)
{
    return {.GridCols = 14,
            .GridRows = 6,
            .KeyLeftMargin = width / 50,
            .KeyTopMargin = height / 20,
            .KeyWidth = width / 17,
            .KeyHeight = height / 9,
            .KeyHGap = width / 140,
            .KeyVGap = height / 100};
}

PictureGeometry setKeybGlobals(std::uint8_t kbdShape, float width, float height)
{
    return kbdShape != 0 ? SetGrid14x6(width, height) : SetGrid12x7(width, height);
}

int KeyIndexOf(const PictureGeometry& geometry, int column, int row)
{
    return column + geometry.GridCols * row;
}

void DisplKey(const PictureGeometry& geometry, std::uint8_t kbdShape, int x, int y, int& k,
              KeyButtonPlaces& places)
{
    if (kbdShape == 0) {
        if (k >= 0 && k < kKeyCount)
            placeKey(geometry, x, y, KeyKind::Single, places[static_cast<std::size_t>(k)]);
        return;
    }
    k = KeyIndexOf(geometry, x, y);
    if (k < 0 || k >= kKeyCount)
        return;
    const KeyPlace& g = KeyGeometry[static_cast<std::size_t>(k)];
    KeyButtonPlace& place = places[static_cast<std::size_t>(k)];
    if (g.kind == KeyKind::Hidden)
        place.visible = false;
    else
        placeKey(geometry, g.column, g.row, g.kind, place);
}

void DisplayAllKeys(const PictureGeometry& geometry, std::uint8_t kbdShape, KeyButtonPlaces& places)
{
    for (int y = 0; y < geometry.GridRows; ++y) {
        for (int x = 0; x < geometry.GridCols; ++x) {
            int k = KeyIndexOf(geometry, x, y);
            DisplKey(geometry, kbdShape, x, y, k, places);
        }
    }
}

void KeyboardPicture::resize(float width, float height, bool minimized)
{
    m_width = width;
    m_height = height;
    m_minimized = minimized;
}

void KeyboardPicture::arrange(std::uint8_t kbdShape)
{
    m_geometry = setKeybGlobals(kbdShape, m_width, m_height);
    if (!m_minimized)
        DisplayAllKeys(m_geometry, kbdShape, m_places);
}

std::string fnCaption(const KeyRecord& rec)
{
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
