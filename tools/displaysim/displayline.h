#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace displaysim {

// The serial line of a simulated display: a pseudo-terminal in raw mode, so
// that CR, LF and zero bytes pass unchanged. The program under test opens
// the terminal side (through a comN link); the display reads the other.
class DisplayLine
{
public:
    DisplayLine();
    ~DisplayLine();
    DisplayLine(const DisplayLine&) = delete;
    DisplayLine& operator=(const DisplayLine&) = delete;

    [[nodiscard]] bool isValid() const { return m_master >= 0 && m_slave >= 0; }
    [[nodiscard]] const std::string& path() const { return m_path; }
    // The display's side, for poll().
    [[nodiscard]] int displaySide() const { return m_master; }

    // Everything that arrived since the last call; never blocks.
    [[nodiscard]] std::vector<std::uint8_t> takeReceived();

private:
    int m_master = -1;
    int m_slave = -1; // held open so that the line never hangs up between opens
    std::string m_path;
};

} // namespace displaysim
