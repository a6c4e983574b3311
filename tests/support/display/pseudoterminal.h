#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace vornestw::test {

// A pseudo-terminal standing for a display on a serial line: the program
// opens the terminal side (through a comN link), the test reads the bytes
// that arrive on the other side.
class PseudoTerminal
{
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    [[nodiscard]] bool isValid() const { return m_master >= 0 && m_slave >= 0; }
    [[nodiscard]] const QString& terminalPath() const { return m_path; }

    // Everything that arrived since the last call.
    [[nodiscard]] std::vector<std::uint8_t> takeReceived();

    // Everything that arrives until at least `expected` bytes are in (or 5 s
    // passed), running the event loop meanwhile so that the sender can write;
    // bytes beyond `expected` that are already there come along too.
    [[nodiscard]] std::vector<std::uint8_t> receiveAtLeast(std::size_t expected);

private:
    int m_master = -1;
    int m_slave = -1; // held open so that the line never hangs up between opens
    QString m_path;
};

} // namespace vornestw::test
