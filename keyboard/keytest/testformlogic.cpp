#include "testformlogic.h"

#include "displaytext.h"
#include "virtualkeys.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

namespace morvaw {

namespace {

// Keys written the same whatever modifiers are held.
constexpr std::array<std::pair<int, const char*>, 22> kKeyTokens{{
    {13, "<Return>"},    {27, "<Esc>"},       {8, "<BackSpace>"}, {19, "<Pause>"},
    {20, "<Caps Lock>"}, {32, "<Space>"},     {33, "<Page Up>"},  {34, "<Page Down>"},
    {35, "<End>"},       {36, "<Home>"},      {37, "<Left>"},     {39, "<Right>"},
    {38, "<Up>"},        {40, "<Down>"},      {41, "<Select>"},   {42, "<Print Screen>"},
    {43, "<Execute>"},   {44, "<SnapShot>"},  {45, "<Insert>"},   {46, "<Del>"},
    {47, "<Help>"},      {144, "<Num Lock>"},
}};

// The modifier keys, written only when held alone.
constexpr std::array<std::pair<int, const char*>, 3> kModifierTokens{{
    {16, "<Shift>"},
    {17, "<Ctrl>"},
    {18, "<Alt>"},
}};
constexpr std::array<int, 3> kModifierShift = {ShiftKey::Shift, ShiftKey::Ctrl, ShiftKey::Alt};

constexpr int kFirstFunctionKey = 112; // F1
constexpr int kLastFunctionKey = 127;  // F16
constexpr int kFirstPadDigit = 96;
constexpr int kLastPadDigit = 105;

// A typed character that the token of its key-down already stands for.
bool hiddenByToken(int keyAscii)
{
    return (keyAscii >= 0 && keyAscii <= 105) || keyAscii == 108 || keyAscii == 121;
}

} // namespace

QString TestFormLogic::KeyToken(int keyCode, int shift)
{
    QString token;
    for (const auto& [code, text] : kKeyTokens) {
        if (code == keyCode)
            token = QString::fromLatin1(text);
    }
    for (std::size_t i = 0; i < kModifierTokens.size(); ++i) {
        if (kModifierTokens[i].first == keyCode && shift == kModifierShift[i])
            token = QString::fromLatin1(kModifierTokens[i].second);
    }
    // Ctrl or Alt with a key: the key's own character (Alt+A writes A).
    const bool character = keyCode > 0 && keyCode <= 255;
    if (token.isEmpty() && character && (shift == ShiftKey::Alt || shift == ShiftKey::Ctrl))
        token = ToDisplayText(std::string(1, static_cast<char>(keyCode)));
    if (keyCode >= kFirstFunctionKey && keyCode <= kLastFunctionKey)
        token = QStringLiteral("<F%1>").arg(keyCode - kFirstFunctionKey + 1);
    if (keyCode >= kFirstPadDigit && keyCode <= kLastPadDigit)
        token = QStringLiteral("<Pad%1>").arg(keyCode - kFirstPadDigit);
    return token;
}

void TestFormLogic::Form_Activate()
{
    m_keyCount = 0;
}

void TestFormLogic::insert(const QString& text)
{
    m_caret = std::clamp(m_caret, 0, static_cast<int>(m_text.size()));
    m_text.insert(m_caret, text);
    m_caret += static_cast<int>(text.size());
}

void TestFormLogic::Text1_KeyDown(int keyCode, int shift)
{
    if (!m_open)
        return;
    if (++m_keyCount >= kTrimAt) {
        // Long tests keep a short text; the caret stays with its characters.
        const int cut = kTrimFrom - 1;
        m_text.remove(0, cut);
        m_caret = std::max(0, m_caret - cut);
        m_keyCount = kTrimFrom;
    }
    const QString token = KeyToken(keyCode, shift);
    m_tokenShown = !token.isEmpty();
    if (m_tokenShown)
        insert(token);
    if (keyCode == kAltX && shift == ShiftKey::Alt)
        return2main();
}

void TestFormLogic::Text1_KeyPress(int keyAscii)
{
    if (!m_open || (m_tokenShown && hiddenByToken(keyAscii)))
        return;
    // Control characters that no token stands for are not typed either.
    if (keyAscii < 32 || keyAscii == 127 || keyAscii > 0xFFFF)
        return;
    insert(QString(QChar(static_cast<char16_t>(keyAscii))));
}

void TestFormLogic::Text1_KeyUp()
{
    m_caret = static_cast<int>(m_text.size());
}

void TestFormLogic::Text1_SetCaret(int position)
{
    m_caret = std::clamp(position, 0, static_cast<int>(m_text.size()));
}

void TestFormLogic::Form_MouseDown(QPoint point, QRect label1)
{
    // Edges count as inside, as the label's own click would.
    if (point.x() >= label1.left() && point.x() <= label1.left() + label1.width() &&
        point.y() >= label1.top() && point.y() <= label1.top() + label1.height())
        return2main();
}

void TestFormLogic::Label1_Click()
{
    return2main();
}

void TestFormLogic::Form_Unload()
{
    return2main();
}

void TestFormLogic::return2main()
{
    m_open = false;
}

} // namespace morvaw
