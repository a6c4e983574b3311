#pragma once

#include <QString>

namespace morvaw::test {

// A pseudo-terminal standing for a keyboard on a serial line: the program
// opens the terminal side (through a comN link), the test plays the keyboard
// on the other side.
class PseudoTerminal
{
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    [[nodiscard]] bool isValid() const { return m_master >= 0; }
    [[nodiscard]] const QString& terminalPath() const { return m_path; }
    [[nodiscard]] int master() const { return m_master; }
    // The keyboard is pulled out: the program's side hangs up.
    void hangUp();

private:
    int m_master = -1;
    int m_slave = -1; // held open so that the line never hangs up between opens
    QString m_path;
};

} // namespace morvaw::test
