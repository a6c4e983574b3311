#include "pseudoterminal.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace vornestw::test {

PseudoTerminal::PseudoTerminal()
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
        return;
    const char* name = ::ptsname(m_master);
    if (name == nullptr)
        return;
    m_path = QString::fromLocal8Bit(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios tio{};
    // Raw, so that CR, LF and zero bytes pass unchanged.
    if (m_slave >= 0 && ::tcgetattr(m_slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(m_slave, TCSANOW, &tio);
    }
}

PseudoTerminal::~PseudoTerminal()
{
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
}

std::vector<std::uint8_t> PseudoTerminal::takeReceived()
{
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[256];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

std::vector<std::uint8_t> PseudoTerminal::receiveAtLeast(std::size_t expected)
{
    std::vector<std::uint8_t> got;
    QElapsedTimer clock;
    clock.start();
    while (got.size() < expected && clock.elapsed() < 5000) {
        const auto more = takeReceived();
        got.insert(got.end(), more.begin(), more.end());
        QCoreApplication::processEvents();
    }
    const auto rest = takeReceived();
    got.insert(got.end(), rest.begin(), rest.end());
    return got;
}

} // namespace vornestw::test
