#include "stdconsole.h"

#include "waiter.h"

#include <cstdio>
#include <poll.h>
#include <unistd.h>

namespace morvaw {

void StdConsole::print(const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

void StdConsole::error(const QString& text)
{
    std::fprintf(stderr, "morvaw: %s\n", text.toLocal8Bit().constData());
}

bool StdConsole::isTerminal() const
{
    return ::isatty(STDOUT_FILENO) == 1;
}

bool StdConsole::waitForEnter(const std::function<bool()>& stopped)
{
    bool ended = false;
    const auto lineTyped = [&] {
        if (m_typed.find('\n') != std::string::npos)
            return true;
        pollfd input{STDIN_FILENO, POLLIN, 0};
        if (::poll(&input, 1, 0) <= 0)
            return false;
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            ended = true;
            return true;
        }
        m_typed.append(buffer, static_cast<std::size_t>(n));
        return m_typed.find('\n') != std::string::npos;
    };
    m_waiter.waitUntil([&] { return stopped() || lineTyped(); }, Waiter::kForever);
    const std::size_t end = m_typed.find('\n');
    if (ended || stopped() || end == std::string::npos)
        return false;
    m_typed.erase(0, end + 1);
    return true;
}

} // namespace morvaw
