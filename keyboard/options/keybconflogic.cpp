#include "keybconflogic.h"

#include "bvalidate.h"

#include <algorithm>
#include <utility>

namespace morvaw {

namespace {

constexpr std::array<const char*, KeybConfLogic::kLanguageCount> kLanguages = {
    "USA", "UK", "SPAIN", "ITALY", "GERMANY", "FRANCE", "BELGIUM", "SWITZERLAND"};

} // namespace

QString KeybConfLogic::LangSt(int index)
{
    if (index < 0 || index >= kLanguageCount)
        return QStringLiteral("Unknown");
    return QString::fromLatin1(kLanguages[static_cast<std::size_t>(index)]);
}

void KeybConfLogic::open(const KeyboardOptions& options)
{
    m_options = options;
    m_type = KeyboardType(options.KbdFlags);
    m_shape = options.KbdShape == 0 ? Shape12x7 : Shape14x6;
    m_accepted.reset();
    m_scroll[MacroPlayDelay] = options.MacroPlayDelay;
    m_text[MacroPlayDelay] = QString::number(options.MacroPlayDelay);
    m_scroll[DelayKeyTime] = options.DelayKeyTime;
    m_text[DelayKeyTime] = QString::number(options.DelayKeyTime);
    m_open = true;
}

KeyboardOptions KeybConfLogic::optionsOnOk() const
{
    KeyboardOptions options = m_options;
    std::uint8_t settings = options.KbdFlags & 227;
    settings = BuzzerOn() ? (settings | kBuzzerBit) : (settings & 253);
    options.KbdFlags = WithKeyboardType(settings, m_type);
    options.KbdShape = m_shape == Shape12x7 ? 0 : 1;
    return options;
}

void KeybConfLogic::accept()
{
    m_accepted = optionsOnOk();
    m_open = false;
}

std::optional<KeyboardOptions> KeybConfLogic::unconfirmedOptions() const
{
    if (!m_open)
        return std::nullopt;
    return optionsOnOk();
}

std::optional<KeyboardOptions> KeybConfLogic::takeAccepted()
{
    return std::exchange(m_accepted, std::nullopt);
}

void KeybConfLogic::pickType(KeyboardKind type)
{
    if (type != KeyboardKind::Detect)
        m_type = static_cast<int>(type);
}

void KeybConfLogic::pickShape(Shape shape)
{
    m_shape = shape;
}

void KeybConfLogic::pickLanguage(int listIndex)
{
    // No entry picked keeps the language the layout has, known or not.
    if (listIndex >= 0 && listIndex < kLanguageCount)
        m_options.KbdLanguage = static_cast<std::uint8_t>(listIndex);
}

void KeybConfLogic::setBuzzer(bool on)
{
    m_options.KbdFlags = on ? (m_options.KbdFlags | kBuzzerBit) : (m_options.KbdFlags & 253);
}

void KeybConfLogic::scrollDelay(Delay delay, int value)
{
    const auto byte = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
    m_scroll[delay] = byte;
    m_text[delay] = QString::number(byte);
    (delay == MacroPlayDelay ? m_options.MacroPlayDelay : m_options.DelayKeyTime) = byte;
}

void KeybConfLogic::typeDelay(Delay delay, const QString& text)
{
    m_text[delay] = text;
    if (delay == MacroPlayDelay) {
        m_options.MacroPlayDelay = BValidate(text);
        m_scroll[MacroPlayDelay] = m_options.MacroPlayDelay;
    } else {
        // This box's scroll bar stays where it was.
        m_options.DelayKeyTime = BValidate(text);
    }
}

void KeybConfLogic::cancel()
{
    m_open = false;
}

void KeybConfLogic::closeWindow()
{
    m_open = false;
}

int KeybConfLogic::SelectedType() const
{
    return m_type <= 2 ? m_type : -1;
}

int KeybConfLogic::LangListIndex() const
{
    return m_options.KbdLanguage < kLanguageCount ? m_options.KbdLanguage : -1;
}

QString KeybConfLogic::BuzzerCaption() const
{
    return BuzzerOn() ? QStringLiteral("Buzzer on") : QStringLiteral("Buzzer off");
}

const QString& KeybConfLogic::Text1(Delay delay) const
{
    return m_text.at(delay);
}

int KeybConfLogic::VScr(Delay delay) const
{
    return m_scroll.at(delay);
}

} // namespace morvaw
