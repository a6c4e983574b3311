#pragma once

#include "layoutmodel.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace morvaw {

// KeybConf ("Keyboard Configure") without its widgets: the keyboard type,
// keypad shape, language, buzzer and the two delays of a layout's options,
// held as copies while the window is open and handed back by "&Ok" only.
class KeybConfLogic
{
public:
    static constexpr int kLanguageCount = 8;
    static constexpr std::uint8_t kBuzzerBit = 2;
    // The delay boxes and their scroll bars (Text1 and VScr of this index).
    enum Delay { MacroPlayDelay = 0, DelayKeyTime = 1 };
    // The keypad shape buttons (kbdshape).
    enum Shape { Shape12x7 = 0, Shape14x6 = 1 };

    // Language name of a KbdLang entry; "Unknown" outside 0..7.
    [[nodiscard]] static QString LangSt(int index);

    // Every opening: the copies from the layout's options and the controls from them.
    void open(const KeyboardOptions& options);

    // Control events.
    void pickType(KeyboardKind type); // kbd: "No macros", "Reduced", "Enhanced"
    void pickShape(Shape shape);
    void pickLanguage(int listIndex); // KbdLang
    void setBuzzer(bool on);          // cbBuzzerEnable
    void scrollDelay(Delay delay, int value);
    void typeDelay(Delay delay, const QString& text);
    void accept(); // "&Ok"
    void cancel(); // "&Cancel"
    void closeWindow();

    // What the window shows.
    [[nodiscard]] bool IsOpen() const { return m_open; }
    // The options "&Ok" handed back, once.
    [[nodiscard]] std::optional<KeyboardOptions> takeAccepted();
    // What "&Ok" would hand back now, while open.
    [[nodiscard]] std::optional<KeyboardOptions> unconfirmedOptions() const;
    // The kbd button of the type copy, -1 for type 3 (picked at transfer time).
    [[nodiscard]] int SelectedType() const;
    [[nodiscard]] Shape SelectedShape() const { return m_shape; }
    // -1 when the layout's language has no entry in the list.
    [[nodiscard]] int LangListIndex() const;
    // The box follows the copy both ways: one left checked from an earlier
    // opening must not switch the buzzer on at the next "&Ok".
    [[nodiscard]] bool BuzzerOn() const { return (m_options.KbdFlags & kBuzzerBit) != 0; }
    [[nodiscard]] QString BuzzerCaption() const;
    [[nodiscard]] const QString& Text1(Delay delay) const;
    [[nodiscard]] int VScr(Delay delay) const;

private:
    [[nodiscard]] KeyboardOptions optionsOnOk() const;

    bool m_open = false;
    int m_type = 0;
    KeyboardOptions m_options;
    Shape m_shape = Shape12x7;
    std::optional<KeyboardOptions> m_accepted;
    std::array<QString, 2> m_text{QString(), QStringLiteral("100")};
    std::array<int, 2> m_scroll{};
};

} // namespace morvaw
