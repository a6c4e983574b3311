#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace morvaw {

struct ConfiguratorState;

// KeybConf ("Keyboard Configure") without its widgets: the keyboard type,
// keypad shape, language, buzzer and the two delays, held as copies while the
// window is open and written into the layout by "&Ok" only.
class KeybConfLogic
{
public:
    static constexpr int kLanguageCount = 8;
    static constexpr int kMacroPlayDelay = 0; // Text1 / VScr index
    static constexpr int kDelayKeyTime = 1;
    static constexpr std::uint8_t kBuzzerBit = 2;

    explicit KeybConfLogic(ConfiguratorState& state);

    // Language name of a KbdLang entry; "Unknown" outside 0..7.
    [[nodiscard]] static QString LangSt(int index);

    // Every opening: the copies from the layout and the controls from them.
    void Open();
    void GetIn();
    void FillOut();

    // Control events.
    void kbd_Click(int index);
    void kbdshape_Click(int index);
    void KbdLang_Click(int listIndex);
    void cbBuzzerEnable_Click(bool checked);
    void VScr_Change(int index, int value);
    void Text1_Change(int index, const QString& text);
    void Command1_Click(); // "&Ok"
    void Command2_Click(); // "&Cancel"
    void Form_Unload();

    // What the window shows.
    [[nodiscard]] bool IsOpen() const { return m_open; }
    // The kbd button of the type copy, -1 for type 3 (picked at transfer time).
    [[nodiscard]] int SelectedType() const;
    [[nodiscard]] int SelectedShape() const { return m_shapeButton; }
    // -1 when the layout's language has no entry in the list.
    [[nodiscard]] int LangListIndex() const;
    // The box follows the copy both ways: one left checked from an earlier
    // opening must not switch the buzzer on at the next "&Ok".
    [[nodiscard]] bool BuzzerOn() const { return (m_flags & kBuzzerBit) != 0; }
    [[nodiscard]] QString BuzzerCaption() const;
    [[nodiscard]] const QString& Text1(int index) const;
    [[nodiscard]] int VScr(int index) const;

private:
    ConfiguratorState& m_state;
    bool m_open = false;
    int m_type = 0;
    std::uint8_t m_flags = 0;
    std::uint8_t m_language = 0;
    std::uint8_t m_macroPlayDelay = 0;
    std::uint8_t m_delayKeyTime = 0;
    int m_shapeButton = 0;
    std::array<QString, 2> m_text{QString(), QStringLiteral("100")};
    std::array<int, 2> m_scroll{};
};

} // namespace morvaw
