#pragma once

#include "repeatsettings.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

namespace morvaw {

class TransferWaits;

// The keyboard's commands through its own cable. The host sends a nibble as
// a change of the system's keyboard repeat speed; the keyboard answers by
// typing characters, which reach the programming window as key presses and
// are handed over with keyTyped.
class KeyboardPortDevice
{
public:
    static constexpr std::chrono::milliseconds kBlinkInterval{200};
    static constexpr int kCountdownSteps = 30;
    static constexpr int kPatience = 70;
    static constexpr int kPatienceAfterCharacter = 200;
    static constexpr std::chrono::milliseconds kFlushQuietTime{200};
    static constexpr std::chrono::milliseconds kLateKeysQuietTime{300};
    // What the keyboard types is kept in KeyBuffer[1..KeyCount - 1].
    static constexpr int kKeyBufferSize = 50;

    // One step of the handshake's countdown, as the window shows it: the
    // number left (the first step shows the whole count without counting),
    // whether the two corner keys are lit, and at last whether the keyboard
    // confirmed.
    struct CountdownStep
    {
        int countdown = kCountdownSteps;
        bool counting = false;
        bool cornersLit = false;
        bool confirmed = false;
    };

    // changeFailed: a change of the repeat settings the system refused.
    KeyboardPortDevice(TransferWaits& waits, RepeatSettings& repeat,
                       std::function<void()> changeFailed);

    // Sends a 4-bit value as the repeat speed that stands for it.
    void SendNibble(int value);
    // One byte: five nibbles (data high, data low, address bits 7-4, 3-0,
    // 11-8), echoed by the keyboard as their hexadecimal digits and "=".
    bool KbdWriteE2(int long1, std::uint8_t data1);
    // Takes the oldest typed character; 0 for a blank or control character,
    // or when nothing is waiting.
    std::uint16_t Readkeyword();
    // A character the keyboard typed into the programming window.
    void keyTyped(int keyAscii);
    // Waits until the keyboard has stopped typing for a while.
    void FlushKbd();
    // Knocks, asks the user to press the two upper corner keys and waits for
    // the keyboard's "*", "+", "-"; true when it came. Without it the user's
    // settings are put back.
    bool KbdProgMode(const std::optional<RepeatValues>& userSettings,
                     const std::function<void(const CountdownStep&)>& showStep);
    // After a failed write: lets the keyboard finish typing what it still had.
    void waitForLateKeys();

    // New transfer: nothing acknowledged, nothing failed.
    void reset();
    // The typed characters are collected for the echo check from now on.
    void collectEchoes();
    [[nodiscard]] bool writeFailed() const { return m_writeFailed; }
    [[nodiscard]] bool acknowledged() const { return m_acknowledged; }

    bool setSpeed(int speed);
    bool setDelay(int delay);
    // Puts the user's settings back, when they were read.
    void restore(const std::optional<RepeatValues>& values);

private:
    enum class KeyModes { Collect, Handshake, Watch };

    bool reported(bool ok);
    // Waits while the keyboard keeps typing, quietTime at a time.
    void waitWhileTyping(std::chrono::milliseconds quietTime);

    TransferWaits& m_waits;
    RepeatSettings& m_repeat;
    std::function<void()> m_changeFailed;

    std::array<std::uint16_t, kKeyBufferSize + 1> m_keyBuffer{};
    int m_keyCount = 1;
    KeyModes m_keyMode = KeyModes::Collect;
    bool m_keySeen = false;
    std::array<char, 3> m_handshake{' ', ' ', ' '};
    bool m_acknowledged = false; // KbdAcknowledged
    bool m_writeFailed = false;
};

} // namespace morvaw
