#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

namespace morvaw {

class KeyboardPortDevice;
class SerialLink;
class TransferSession;
class UserDialogs;

// The keyboard's commands over a COM port: word records ("*" and six digits)
// for older keyboards, byte records ("@", address, data) for enhanced ones,
// each answered by "+", and the "V" query answered by 164 + the version.
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

    SerialDevice(TransferSession& session, SerialLink& port, KeyboardPortDevice& keyboardPort,
                 UserDialogs& dialogs);

    // Opens the selected COM port (unless it is open or the keyboard port is
    // selected); false after an "Error # " message.
    bool AskForCom();
    // The next received character, 0 if none.
    std::uint8_t GetChar();
    // Older keyboards: the word (data1, data2) at word address long1.
    bool WriteE2(int long1, std::uint8_t data1, std::uint8_t data2);
    // Enhanced keyboards: one byte at address long1 (0..2047), over the
    // selected channel.
    bool NewWriteE2(int long1, std::uint8_t data1);
    // Sends "V" and reads the answer after `wait`: the version, or nothing
    // when the keyboard did not answer with 164 or more.
    std::optional<int> QueryVersion(std::chrono::milliseconds wait);
    // 0, 1 or 2 for the keyboard's type, 99 when it cannot be told.
    int AutoDetectKbd();

    // Sends a question, after dropping what is left of earlier answers.
    void send(std::string_view bytes);
    void closePort();
    [[nodiscard]] bool portOpen() const;

private:
    void discardStaleAnswers();
    // Reads the answer to a record; "+" is success. The first failure of a
    // transfer is reported.
    bool acknowledged();

    TransferSession& m_session;
    SerialLink& m_port;
    KeyboardPortDevice& m_keyboardPort;
    UserDialogs& m_dialogs;
};

} // namespace morvaw
