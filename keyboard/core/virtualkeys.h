#pragma once

#include <QString>
#include <Qt>

namespace morvaw {

// The key editor and the keyboard test speak of keys by Windows virtual key
// codes (the key name table and the test's token table are written in them).
// These turn Qt's key events into those codes.

// Shift argument of a key event: 1 Shift, 2 Ctrl, 4 Alt.
namespace ShiftKey {
constexpr int Shift = 1;
constexpr int Ctrl = 2;
constexpr int Alt = 4;
} // namespace ShiftKey

// Virtual key code of a Qt key, 0 when it has none. Keypad keys carry
// Qt::KeypadModifier: with Num Lock on, its digits are 96..105. A shifted
// character key (Qt reports "!" for Shift+1) gives the key's own code, as on
// a US keyboard.
[[nodiscard]] int VirtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers);

// The shift argument; a modifier key counts as held in its own key-down.
[[nodiscard]] int ShiftState(int qtKey, Qt::KeyboardModifiers modifiers);

// The character code a key press types, -1 for none. Alt combinations type
// nothing: they are system keys, as on the keyboard the table comes from.
// Delete types nothing either; it is only a key.
[[nodiscard]] int TypedCode(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text);

} // namespace morvaw
