#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kbdsim {

// How a simulated keyboard can be told to misbehave.
struct Faults
{
    bool silent = false;      // never answers
    bool wrongAnswer = false; // "-" for "+", a version byte below 164, a bad echo
    int answerDelayMs = 0;    // answers this much later (the line applies it)
    int stopAfterWrites = -1; // takes this many writes, then goes quiet
};

// A programmable point-of-sale keyboard as its host sees it. On the serial
// line it answers "V" with 164 + its type, stores "*" word records (older
// keyboards) or "@" byte records (enhanced ones) and acknowledges each with
// "+". Through its own cable (enhanced keyboards) it reads the repeat speed
// the host sets as nibbles after a knock and the person's press of the two
// upper corner keys, and types its answers.
class KeyboardDevice
{
public:
    static constexpr int kWords = 256;
    static constexpr int kBytes = 2048;

    explicit KeyboardDevice(int type);

    [[nodiscard]] int type() const { return m_type; }
    Faults faults;
    // How long storing a byte or word takes: the answer to a record comes
    // after it, the answer to a question at once.
    int writeTimeMs = 5;

    // How long after the last receive() its answer goes out.
    [[nodiscard]] int replyDelayMs() const
    {
        return faults.answerDelayMs + (m_lastStored ? writeTimeMs : 0);
    }

    // One byte from the host's serial line; what the keyboard sends back.
    std::string receive(std::uint8_t byte);

    // A typematic command (repeat speed 0..31, delay 0..3) through the
    // keyboard cable; what the keyboard types in answer.
    std::string typematic(int speed, int delay);
    // The person presses the two upper corner keys.
    std::string pressCornerKeys();
    [[nodiscard]] bool awaitingCornerKeys() const { return m_awaitingKeys; }
    [[nodiscard]] bool programmingMode() const { return m_programming; }

    [[nodiscard]] std::uint16_t word(int address) const;
    [[nodiscard]] std::uint8_t byte(int address) const;
    [[nodiscard]] const std::array<std::uint8_t, kBytes>& bytes() const { return m_bytes; }
    // Writes taken (stored and acknowledged).
    [[nodiscard]] int writes() const { return m_writes; }
    // The last record taken was the end-of-programming record.
    [[nodiscard]] bool complete() const { return m_complete; }
    // Transfers completed so far (end records taken).
    [[nodiscard]] int transfers() const { return m_transfers; }

private:
    std::string acknowledge();
    bool takeWrite();
    // After each stored write: whether it ended a transfer.
    void noteStored(bool endRecord);
    void storeWord(const std::string& record);
    void storeByte(const std::string& record);

    int m_type;
    std::string m_record; // a "*" or "@" record being received
    bool m_lastStored = false;
    std::array<std::uint16_t, kWords> m_words{};
    std::array<std::uint8_t, kBytes> m_bytes{};
    int m_writes = 0;
    bool m_complete = false;
    int m_transfers = 0;

    std::vector<std::pair<int, int>> m_commands; // last typematic commands
    bool m_awaitingKeys = false;
    bool m_programming = false;
    std::vector<int> m_nibbles;
};

} // namespace kbdsim
