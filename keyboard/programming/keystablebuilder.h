#pragma once

#include "layoutsource.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace morvaw {

// The memory of "No macros" and "Reduced" keyboards: 256 words, word k going
// to keyboard address k. Key entries lie at matrix code + 1, fixed settings
// at the words 8k + 8 that no key uses, macros from word 103 upward.
class KeysTableBuilder
{
public:
    static constexpr int kWords = 256;
    static constexpr int kFirstMacroWord = 103;
    // NextSlot must stay below this: word 255 is the end-of-programming mark.
    static constexpr int kMacroLimit = 255;
    static constexpr int kEndWord = 255;

    explicit KeysTableBuilder(const LayoutSource& source);

    // The whole table of a layout, as one transfer builds it.
    [[nodiscard]] static KeysTableBuilder Build(const LayoutSource& source);

    // Key 1..84: its keypad-map entry and its key entry, with a macro when it
    // needs one. False once the macro area has overflowed.
    bool addKey(int key);
    // The settings, the keypad map and the MSR keys (those only while the
    // macro area holds).
    void finish();

    // Writes one key entry at word matrixOffset and its macro, if any. True
    // when the macro area overflowed.
    bool AddKeyToArray(int keyNo, int matrixOffset, std::string_view keySt,
                       std::string_view func1St, const FixedText<4>& keyFuncSt);

    [[nodiscard]] std::uint16_t word(int index) const
    {
        return m_words[static_cast<std::size_t>(index)];
    }
    [[nodiscard]] int NextSlot() const { return m_nextSlot; }
    [[nodiscard]] bool overflow() const { return m_overflow; }
    [[nodiscard]] const KeypadMap& keypadMap() const { return m_keypad; }

private:
    void setWord(int index, std::uint8_t high, std::uint8_t low);
    void addMsrKey(int record, int word);

    LayoutSource m_source;
    std::array<std::uint16_t, kWords + 1> m_words{}; // entry 0 unused
    KeypadMap m_keypad;
    int m_nextSlot = kFirstMacroWord;
    bool m_overflow = false;
};

} // namespace morvaw
