#include "virtualkeys.h"

#include <array>
#include <utility>

namespace morvaw {

namespace {

// Named keys whose code does not follow from an ASCII value.
constexpr std::array<std::pair<int, int>, 34> kNamedKeys{{
    {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},          {Qt::Key_Backtab, 9}, {Qt::Key_Clear, 12},
    {Qt::Key_Return, 13},   {Qt::Key_Enter, 13},       {Qt::Key_Shift, 16},  {Qt::Key_Control, 17},
    {Qt::Key_Alt, 18},      {Qt::Key_AltGr, 18},       {Qt::Key_Pause, 19},  {Qt::Key_CapsLock, 20},
    {Qt::Key_Escape, 27},   {Qt::Key_Space, 32},       {Qt::Key_PageUp, 33}, {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},      {Qt::Key_Home, 36},        {Qt::Key_Left, 37},   {Qt::Key_Up, 38},
    {Qt::Key_Right, 39},    {Qt::Key_Down, 40},        {Qt::Key_Select, 41}, {Qt::Key_Printer, 42},
    {Qt::Key_Execute, 43},  {Qt::Key_Print, 44},       {Qt::Key_SysReq, 44}, {Qt::Key_Insert, 45},
    {Qt::Key_Delete, 46},   {Qt::Key_Help, 47},        {Qt::Key_Meta, 91},   {Qt::Key_Menu, 93},
    {Qt::Key_NumLock, 144}, {Qt::Key_ScrollLock, 145},
}};

// Character keys of the main block, plain and shifted, by their key's code.
constexpr std::array<std::pair<int, int>, 32> kCharacterKeys{{
    {Qt::Key_ParenRight, 48},   {Qt::Key_Exclam, 49},        {Qt::Key_At, 50},
    {Qt::Key_NumberSign, 51},   {Qt::Key_Dollar, 52},        {Qt::Key_Percent, 53},
    {Qt::Key_AsciiCircum, 54},  {Qt::Key_Ampersand, 55},     {Qt::Key_Asterisk, 56},
    {Qt::Key_ParenLeft, 57},    {Qt::Key_Semicolon, 186},    {Qt::Key_Colon, 186},
    {Qt::Key_Equal, 187},       {Qt::Key_Plus, 187},         {Qt::Key_Comma, 188},
    {Qt::Key_Less, 188},        {Qt::Key_Minus, 189},        {Qt::Key_Underscore, 189},
    {Qt::Key_Period, 190},      {Qt::Key_Greater, 190},      {Qt::Key_Slash, 191},
    {Qt::Key_Question, 191},    {Qt::Key_QuoteLeft, 192},    {Qt::Key_AsciiTilde, 192},
    {Qt::Key_BracketLeft, 219}, {Qt::Key_BraceLeft, 219},    {Qt::Key_Backslash, 220},
    {Qt::Key_Bar, 220},         {Qt::Key_BracketRight, 221}, {Qt::Key_BraceRight, 221},
    {Qt::Key_Apostrophe, 222},  {Qt::Key_QuoteDbl, 222},
}};

// The keypad's operators.
constexpr std::array<std::pair<int, int>, 6> kPadKeys{{
    {Qt::Key_Asterisk, 106},
    {Qt::Key_Plus, 107},
    {Qt::Key_Minus, 109},
    {Qt::Key_Period, 110},
    {Qt::Key_Comma, 110},
    {Qt::Key_Slash, 111},
}};

template <std::size_t N> int lookUp(const std::array<std::pair<int, int>, N>& table, int key)
{
    for (const auto& [qtKey, code] : table) {
        if (qtKey == key)
            return code;
    }
    return 0;
}

} // namespace

int VirtualKeyCode(int qtKey, Qt::KeyboardModifiers modifiers)
{
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (keypad && qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return 96 + (qtKey - Qt::Key_0);
    if (keypad) {
        if (const int code = lookUp(kPadKeys, qtKey))
            return code;
    }
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
        return qtKey; // the same codes as ASCII
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    if (const int code = lookUp(kNamedKeys, qtKey))
        return code;
    return lookUp(kCharacterKeys, qtKey);
}

int ShiftState(int qtKey, Qt::KeyboardModifiers modifiers)
{
    int shift = (modifiers.testFlag(Qt::ShiftModifier) ? ShiftKey::Shift : 0) |
                (modifiers.testFlag(Qt::ControlModifier) ? ShiftKey::Ctrl : 0) |
                (modifiers.testFlag(Qt::AltModifier) ? ShiftKey::Alt : 0);
    if (qtKey == Qt::Key_Shift)
        shift |= ShiftKey::Shift;
    else if (qtKey == Qt::Key_Control)
        shift |= ShiftKey::Ctrl;
    else if (qtKey == Qt::Key_Alt)
        shift |= ShiftKey::Alt;
    return shift;
}

int TypedCode(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text)
{
    if (modifiers.testFlag(Qt::AltModifier) && !modifiers.testFlag(Qt::ControlModifier))
        return -1;
    switch (qtKey) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Delete:
        return -1;
    default:
        break;
    }
    return text.size() == 1 ? text.front().unicode() : -1;
}

} // namespace morvaw
