#pragma once

#include <QImage>

#include <array>
#include <filesystem>
#include <string_view>

namespace morvaw {

enum class ModifierSymbol { ShiftArrow, ShiftArrowOnly, Text, TextWithLight };

// One picture key of the editor in one state. Sizes are in pixels at 96 dpi
// (15 twips each): the editor sizes its picture keys to match.
struct ModifierBitmap
{
    std::string_view fileName;
    std::string_view label;
    ModifierSymbol symbol;
    int width;
    int height;
    bool pressed;
};

constexpr int kModifierHeight = 25; // 375 twips, one key row

// clang-format off
constexpr std::array<ModifierBitmap, 14> kModifierBitmaps{{
    {"sl0.bmp",   "Shift", ModifierSymbol::ShiftArrow,     50, kModifierHeight, false}, // 750 twips
    {"sl1.bmp",   "Shift", ModifierSymbol::ShiftArrow,     50, kModifierHeight, true},
    {"spsl0.bmp", "Shift", ModifierSymbol::ShiftArrowOnly, 29, kModifierHeight, false}, // 435 twips
    {"spsl1.bmp", "Shift", ModifierSymbol::ShiftArrowOnly, 29, kModifierHeight, true},
    {"sr0.bmp",   "Shift", ModifierSymbol::ShiftArrow,     65, kModifierHeight, false}, // 975 twips
    {"sr1.bmp",   "Shift", ModifierSymbol::ShiftArrow,     65, kModifierHeight, true},
    {"ctrl0.bmp", "Ctrl",  ModifierSymbol::Text,           36, kModifierHeight, false}, // 540 twips
    {"ctrl1.bmp", "Ctrl",  ModifierSymbol::Text,           36, kModifierHeight, true},
    {"alt0.bmp",  "Alt",   ModifierSymbol::Text,           36, kModifierHeight, false}, // 540 twips
    {"alt1.bmp",  "Alt",   ModifierSymbol::Text,           36, kModifierHeight, true},
    {"caps0.bmp", "Caps",  ModifierSymbol::TextWithLight,  44, kModifierHeight, false}, // 660 twips
    {"caps1.bmp", "Caps",  ModifierSymbol::TextWithLight,  44, kModifierHeight, true},
    {"numl0.bmp", "Num",   ModifierSymbol::TextWithLight,  30, kModifierHeight, false}, // 450 twips
    {"numl1.bmp", "Num",   ModifierSymbol::TextWithLight,  30, kModifierHeight, true},
}};
// clang-format on

// Draws one picture: a raised light key when released, a sunken dark key
// when pressed, so that the state reads at a glance. Needs a QGuiApplication.
[[nodiscard]] QImage DrawModifierBitmap(const ModifierBitmap& bitmap);

// Draws all 14 and saves them as .bmp files; throws DataSourceError.
void WriteModifierBitmaps(const std::filesystem::path& programDir);

} // namespace morvaw
