#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace displaysim {

// A two-line, 20-column customer display as seen from its serial line: it
// follows the protocol switch (FE 66 code) and, per protocol, the commands
// that clear it, place the cursor and write text, so that what the utility
// sends can be read as the customer would see it. Styles, scrolling and
// other commands that do not change the characters are taken and ignored.
class DisplayScreen
{
public:
    static constexpr int kColumns = 20;
    static constexpr int kCells = 2 * kColumns;

    // Protocol numbers as the utility counts them: 0 QN ... 7 IDM.
    explicit DisplayScreen(int protocol = 0);

    void feed(std::string_view bytes);
    void feed(std::uint8_t byte);

    [[nodiscard]] std::string line(int number) const; // 1 or 2, always 20 characters
    // The line as a person reads it on a terminal (UTF-8): bytes 128..255 as
    // the utility's characters (Windows-1252), other control bytes as dots.
    [[nodiscard]] std::string readableLine(int number) const;
    [[nodiscard]] int protocol() const { return m_protocol; }
    [[nodiscard]] int cursor() const { return m_cursor; } // 0..39
    [[nodiscard]] std::string prefix() const { return {m_prefix1, m_prefix2}; }
    [[nodiscard]] const std::string& clock() const { return m_clock; }

private:
    void put(char c);
    void clear();
    void lineStart() { m_cursor = m_cursor / kColumns * kColumns; }
    void nextLine() { m_cursor = (m_cursor / kColumns + 1) % 2 * kColumns; }
    void vtByte(std::uint8_t b);
    void aedexByte(std::uint8_t b);
    void aedexCommand(const std::string& command);
    void simpleByte(std::uint8_t b);

    int m_protocol = 0;
    std::array<char, kCells> m_cells{};
    int m_cursor = 0;
    int m_switchState = 0;  // bytes of FE 66 seen
    std::string m_sequence; // an escape or Aedex command being collected
    bool m_inSequence = false;
    bool m_homePending = false; // IDM: after a clear, the next CR starts line 1
    enum class IdmState { None, Position, PositionEnd };
    IdmState m_idmState = IdmState::None;
    char m_prefix1 = '!';
    char m_prefix2 = '#';
    std::string m_clock;
};

} // namespace displaysim
