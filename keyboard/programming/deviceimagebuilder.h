#pragma once

#include "layoutsource.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace morvaw {

// The memory of "Enhanced" keyboards: 2049 bytes, byte a going to keyboard
// address a. Key p's entry lies at bytes 2p + 1 and 2p + 2, settings in the
// entries of the matrix codes 8k + 7 that no key has, macros from byte 204 up
// to 2046; byte 2047 is the end-of-programming mark.
class DeviceImageBuilder
{
public:
    static constexpr int kLastByte = 2048;
    static constexpr int kFirstMacroByte = 204;
    static constexpr int kEndByte = 2047;
    static constexpr int kKeypadByte = 192;

    explicit DeviceImageBuilder(const LayoutSource& source);

    // The whole image of a layout, as one transfer builds it.
    [[nodiscard]] static DeviceImageBuilder Build(const LayoutSource& source);

    // Key 1..84: its keypad-map entry and its key entry with its macro.
    // False once a macro did not fit.
    bool addKey(int key);
    // The settings, the keypad map and the MSR keys (those only while
    // nothing has overflowed).
    void finish();

    // Writes one key entry for matrix code matrixOffset and its macro, if
    // any. True when the macro did not fit: it is then left out, and the
    // entry stays empty.
    bool NewAddKeyToArray(int keyNo, int matrixOffset, std::string_view keySt,
                          std::string_view func1St, std::string_view func2St,
                          const FixedText<4>& keyFuncSt);

    [[nodiscard]] std::uint8_t byte(int address) const
    {
        return m_image[static_cast<std::size_t>(address)];
    }
    [[nodiscard]] int NextSlot() const { return m_nextSlot; }
    [[nodiscard]] bool overflow() const { return m_overflow; }
    [[nodiscard]] const KeypadMap& keypadMap() const { return m_keypad; }

private:
    void setEntry(int matrixCode, std::uint8_t first, std::uint8_t second);
    void addMsrKey(int record, int matrixCode);

    LayoutSource m_source;
    std::array<std::uint8_t, kLastByte + 1> m_image{};
    KeypadMap m_keypad;
    int m_nextSlot = kFirstMacroByte;
    bool m_overflow = false;
};

} // namespace morvaw
