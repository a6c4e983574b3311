#pragma once

#include "seriallink.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

namespace morvaw {

class TransferWaits;

// The keyboard's commands over a COM port: word records ("*" and six digits)
// for older keyboards, byte records ("@", address, data) for enhanced ones,
// each answered by "+", and the "V" query answered by 164 + the version.
// It reports what happened; saying so is for whoever runs the transfer.
class SerialDevice
{
public:
    static constexpr std::chrono::milliseconds kAnswerWait{50};
    static constexpr std::chrono::milliseconds kDetectWait{100};
    static constexpr std::chrono::milliseconds kVersionWait{500};
    // The byte that wakes the keyboard's serial side when the port opens.
    static constexpr std::uint8_t kWakeByte = 227;
    static constexpr int kVersionBase = 164;
    static constexpr int kUnknownType = 99;

    enum class WriteResult {
        Acknowledged,
        NotAcknowledged, // sent, and not answered "+"
        NotSent,         // the port was not open
    };

    // What the type detection found out.
    struct Detection
    {
        int type = kUnknownType; // 0, 1 or 2, or kUnknownType
        // The byte that answered "V" last, 0 for none: kVersionBase + the
        // version, which is also the type of a "Reduced" or "Enhanced" one.
        int answer = 0;
        std::optional<PortError> portError;
        // The probe record of a keyboard without macros was not answered
        // while the transfer was running.
        bool probeNotAcknowledged = false;
    };

    SerialDevice(TransferWaits& waits, SerialLink& port);

    // Opens COM1..COM4 unless it is open; the error when it cannot be opened.
    std::optional<PortError> AskForCom(int comNumber);
    // The next received character, 0 if none.
    std::uint8_t GetChar();
    // Older keyboards: the word (data1, data2) at word address long1.
    WriteResult WriteE2(int long1, std::uint8_t data1, std::uint8_t data2);
    // Enhanced keyboards: one byte at address long1 (0..2047).
    WriteResult NewWriteE2(int long1, std::uint8_t data1);
    // Sends "V" and reads the answer after `wait`: the version, or nothing
    // when the keyboard did not answer with 164 or more.
    std::optional<int> QueryVersion(std::chrono::milliseconds wait);
    // The keyboard's type on COM port comNumber.
    Detection AutoDetectKbd(int comNumber);

    // Fast: the wait for a record's answer ends as soon as a character has
    // come, else after kAnswerWait as always.
    void setFast(bool fast) { m_fast = fast; }

    // Sends a question, after dropping what is left of earlier answers.
    void send(std::string_view bytes);
    void closePort();
    [[nodiscard]] bool portOpen() const;

private:
    void discardStaleAnswers();
    // Waits for the answer to a record; "+" is success.
    WriteResult acknowledged();

    TransferWaits& m_waits;
    SerialLink& m_port;
    bool m_fast = false;
};

} // namespace morvaw
