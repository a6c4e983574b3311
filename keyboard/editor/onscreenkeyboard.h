#pragma once

#include "keyboardtables.h"

#include <string>

namespace morvaw {

// The key editor's on-screen PC keyboard: buttons Btn 301..400, and the
// picture keys BtnPict 0..7 for the modifiers and locks.
namespace OnScreen {

constexpr int kFirstButton = 301;
constexpr int kLastButton = 400;
constexpr int kLessKey = 374; // the ISO key beside left Shift, Spanish layout only

enum Picture {
    LeftShift = 0,
    RightShift,
    LeftCtrl,
    RightCtrl,
    LeftAlt,
    RightAlt,
    CapsLock,
    NumLock
};
constexpr int kPictureCount = 8;

// What the modifier selection and the locks are while a key is picked.
struct ShiftState
{
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
    bool capsLock = false;
    bool numLock = false;
};

// Whether button n exists (301..400 less the unused numbers).
[[nodiscard]] bool IsButton(int n);

// The digit row, whose shifted entries are the shifted characters' own records.
[[nodiscard]] bool IsDigitRowKey(int n);

// The AssocTable entry of button n: its own (n - 300), or its Num Lock or
// Shift entry where the key has one.
[[nodiscard]] int AssocEntry(int n, const ShiftState& state);

// Caption of button n as a button shows it ("&&" for an ampersand); empty for
// an unused number.
[[nodiscard]] std::string Caption(int n, const KeyboardTables& tables, const ShiftState& state);

// Bitmap file of picture key i in the given state.
[[nodiscard]] std::string PictureFile(int i, int language, const ShiftState& state);

// The "<" key exists only on the Spanish keyboard.
[[nodiscard]] bool HasLessKey(int language);

} // namespace OnScreen

} // namespace morvaw
