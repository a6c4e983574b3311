#pragma once

#include <chrono>
#include <cstdint>

namespace morvaw {

class TransferSession;

// The keyboard's commands through its own cable. The host sends a nibble as
// a change of the system's keyboard repeat speed; the keyboard answers by
// typing characters, which reach the programming window as key presses.
class KeyboardPortDevice
{
public:
    static constexpr std::chrono::milliseconds kBlinkInterval{200};
    static constexpr int kCountdownSteps = 30;
    static constexpr int kPatience = 70;
    static constexpr int kPatienceAfterCharacter = 200;
    static constexpr std::chrono::milliseconds kFlushQuietTime{200};

    explicit KeyboardPortDevice(TransferSession& session);

    // Sends a 4-bit value as the repeat speed that stands for it.
    void SendNibble(int value);
    // One byte: five nibbles (data high, data low, address bits 7-4, 3-0,
    // 11-8), echoed by the keyboard as their hexadecimal digits and "=".
    bool KbdWriteE2(int long1, std::uint8_t data1);
    // Takes the oldest typed character; 0 for a blank or control character,
    // or when nothing is waiting.
    std::uint16_t Readkeyword();
    // A character typed into the programming window.
    void Form_KeyPress(int keyAscii);
    // Waits until the keyboard has stopped typing for a while.
    void FlushKbd();
    // Knocks, asks the user to press the two upper corner keys and waits
    // for the keyboard's "*", "+", "-"; true when it came.
    bool KbdProgMode();
    // The handshake timer: blinks the corner keys and counts down.
    void Timer2_Timer();

    bool setSpeed(int speed);
    bool setDelay(int delay);
    // Puts back the repeat settings read when the window opened.
    void restoreSavedSettings();

private:
    TransferSession& m_session;
};

} // namespace morvaw
