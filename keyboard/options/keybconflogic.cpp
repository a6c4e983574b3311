#include "keybconflogic.h"

#include "bvalidate.h"
#include "configuratorstate.h"

#include <algorithm>

namespace morvaw {

namespace {

constexpr std::array<const char*, KeybConfLogic::kLanguageCount> kLanguages = {
    "USA", "UK", "SPAIN", "ITALY", "GERMANY", "FRANCE", "BELGIUM", "SWITZERLAND"};

} // namespace

KeybConfLogic::KeybConfLogic(ConfiguratorState& state) : m_state(state) {}

QString KeybConfLogic::LangSt(int index)
{
    if (index < 0 || index >= kLanguageCount)
        return QStringLiteral("Unknown");
    return QString::fromLatin1(kLanguages[static_cast<std::size_t>(index)]);
}

void KeybConfLogic::GetIn()
{
    const auto& r = m_state.LayoutRecords;
    m_flags = r[Settings::KbdFlags].PosX;
    m_type = KeyboardType(m_flags);
    m_language = m_state.CurrentLanguage;
    m_macroPlayDelay = r[Settings::MacroPlayDelay].PosX;
    m_delayKeyTime = r[Settings::DelayKeyTime].PosX;
    m_shapeButton = r[Settings::KbdShape].PosX == 0 ? 0 : 1;
}

void KeybConfLogic::Open()
{
    GetIn();
    m_scroll[kMacroPlayDelay] = m_macroPlayDelay;
    m_text[kMacroPlayDelay] = QString::number(m_macroPlayDelay);
    m_scroll[kDelayKeyTime] = m_delayKeyTime;
    m_text[kDelayKeyTime] = QString::number(m_delayKeyTime);
    m_open = true;
}

void KeybConfLogic::FillOut()
{
    std::uint8_t settings = m_flags & 227;
    settings = BuzzerOn() ? (settings | kBuzzerBit) : (settings & 253);
    settings = WithKeyboardType(settings, m_type);

    auto& r = m_state.LayoutRecords;
    if (m_language != m_state.CurrentLanguage) {
        m_state.CurrentLanguage = m_language;
        LoadLanguageTables(m_state);
    }
    r[Settings::KbdFlags].PosX = settings;
    r[Settings::MacroPlayDelay].PosX = m_macroPlayDelay;
    r[Settings::DelayKeyTime].PosX = m_delayKeyTime;
    r[Settings::KbdShape].PosX = m_shapeButton == 0 ? 0 : 1;
}

void KeybConfLogic::kbd_Click(int index)
{
    if (index >= 0 && index <= 2)
        m_type = index;
}

void KeybConfLogic::kbdshape_Click(int index)
{
    if (index == 0 || index == 1)
        m_shapeButton = index;
}

void KeybConfLogic::KbdLang_Click(int listIndex)
{
    // No entry picked keeps the language the layout has, known or not.
    if (listIndex >= 0 && listIndex < kLanguageCount)
        m_language = static_cast<std::uint8_t>(listIndex);
}

void KeybConfLogic::cbBuzzerEnable_Click(bool checked)
{
    m_flags = checked ? (m_flags | kBuzzerBit) : (m_flags & 253);
}

void KeybConfLogic::VScr_Change(int index, int value)
{
    if (index != kMacroPlayDelay && index != kDelayKeyTime)
        return;
    const auto byte = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
    m_scroll[static_cast<std::size_t>(index)] = byte;
    m_text[static_cast<std::size_t>(index)] = QString::number(byte);
    (index == kMacroPlayDelay ? m_macroPlayDelay : m_delayKeyTime) = byte;
}

void KeybConfLogic::Text1_Change(int index, const QString& text)
{
    if (index != kMacroPlayDelay && index != kDelayKeyTime)
        return;
    m_text[static_cast<std::size_t>(index)] = text;
    if (index == kMacroPlayDelay) {
        m_macroPlayDelay = BValidate(text);
        m_scroll[kMacroPlayDelay] = m_macroPlayDelay;
    } else {
        // This box's scroll bar stays where it was.
        m_delayKeyTime = BValidate(text);
    }
}

void KeybConfLogic::Command1_Click()
{
    FillOut();
    m_open = false;
}

void KeybConfLogic::Command2_Click()
{
    m_open = false;
}

void KeybConfLogic::Form_Unload()
{
    m_open = false;
}

int KeybConfLogic::SelectedType() const
{
    return m_type <= 2 ? m_type : -1;
}

int KeybConfLogic::LangListIndex() const
{
    return m_language < kLanguageCount ? m_language : -1;
}

QString KeybConfLogic::BuzzerCaption() const
{
    return BuzzerOn() ? QStringLiteral("Buzzer on") : QStringLiteral("Buzzer off");
}

const QString& KeybConfLogic::Text1(int index) const
{
    return m_text.at(static_cast<std::size_t>(index));
}

int KeybConfLogic::VScr(int index) const
{
    return m_scroll.at(static_cast<std::size_t>(index));
}

} // namespace morvaw
