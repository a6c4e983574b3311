// A customer display on a pseudo-terminal, for trying Vornestw without one:
//   displaysim <program folder> [COM number, default 2]
// makes <program folder>/comN a link to the terminal, shows every byte that
// arrives and the two lines as the display would show them. Ctrl+C ends it
// and removes the link.
#include "displayscreen.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int)
{
    g_stop = 1;
}

const char* protocolName(int protocol)
{
    static const char* names[] = {"QN",  "Aedex", "Terminal", "Ultimate",
                                  "ICD", "Set 2", "EPSON",    "IDM"};
    return protocol >= 0 && protocol < 8 ? names[protocol] : "?";
}

void show(const displaysim::DisplayScreen& screen, const unsigned char* bytes, ssize_t n)
{
    std::printf("<-");
    for (ssize_t i = 0; i < n; ++i)
        std::printf(" %02X", bytes[i]);
    std::printf("\n +--------------------+\n |%s|  %s\n |%s|\n +--------------------+\n",
                screen.line(1).c_str(), protocolName(screen.protocol()), screen.line(2).c_str());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s <program folder> [COM number 1..4, default 2]\n", argv[0]);
        return 2;
    }
    const int com = argc == 3 ? std::atoi(argv[2]) : 2;
    if (com < 1 || com > 4) {
        std::fprintf(stderr, "COM number must be 1..4\n");
        return 2;
    }
    const std::string link = std::string(argv[1]) + "/com" + std::to_string(com);

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        std::perror("pseudo-terminal");
        return 1;
    }
    const char* terminal = ::ptsname(master);
    // Held open so the line stays up while the utility closes and reopens it.
    const int slave = terminal ? ::open(terminal, O_RDWR | O_NOCTTY | O_CLOEXEC) : -1;
    termios tio{};
    if (slave < 0 || ::tcgetattr(slave, &tio) != 0) {
        std::perror("terminal side");
        return 1;
    }
    ::cfmakeraw(&tio);
    ::tcsetattr(slave, TCSANOW, &tio);

    struct stat existing
    {
    };
    if (::lstat(link.c_str(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode)) {
            std::fprintf(stderr, "%s exists and is not a link; not touching it\n", link.c_str());
            return 1;
        }
        ::unlink(link.c_str());
    }
    if (::symlink(terminal, link.c_str()) != 0) {
        std::perror(link.c_str());
        return 1;
    }
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::printf("COM%d is %s -> %s (Ctrl+C ends)\n", com, link.c_str(), terminal);
    std::fflush(stdout);

    displaysim::DisplayScreen screen;
    unsigned char buffer[256];
    while (!g_stop) {
        pollfd p{master, POLLIN, 0};
        const int ready = ::poll(&p, 1, 200);
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0)
            continue;
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0)
            continue;
        for (ssize_t i = 0; i < n; ++i)
            screen.feed(buffer[i]);
        show(screen, buffer, n);
    }
    ::unlink(link.c_str());
    ::close(slave);
    ::close(master);
    return 0;
}
