// A customer display on a pseudo-terminal, for trying Vornestw without one:
//   displaysim <program folder> [COM number, default 2]
// makes <program folder>/comN a link to the terminal, shows every byte that
// arrives and the two lines as the display would show them. Ctrl+C ends it
// and removes the link.
#include "displayline.h"
#include "displayscreen.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <poll.h>
#include <string>
#include <sys/stat.h>
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
                screen.readableLine(1).c_str(), protocolName(screen.protocol()),
                screen.readableLine(2).c_str());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    const bool help =
        argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0);
    if (argc < 2 || argc > 3 || help || argv[1][0] == '-') {
        std::fprintf(help ? stdout : stderr,
                     "usage: %s <program folder> [COM number 1..4, default 2]\n", argv[0]);
        return help ? 0 : 2;
    }
    const int com = argc == 3 ? std::atoi(argv[2]) : 2;
    if (com < 1 || com > 4) {
        std::fprintf(stderr, "COM number must be 1..4\n");
        return 2;
    }
    const std::string link = std::string(argv[1]) + "/com" + std::to_string(com);

    displaysim::DisplayLine line;
    if (!line.isValid()) {
        std::perror("pseudo-terminal");
        return 1;
    }
    const char* terminal = line.path().c_str();

    // A binding of the user's (COM2 to an adapter) is only lent: it comes back
    // when the simulator ends.
    struct stat existing
    {
    };
    std::string binding;
    if (::lstat(link.c_str(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode)) {
            std::fprintf(stderr, "%s exists and is not a link; not touching it\n", link.c_str());
            return 1;
        }
        std::error_code error;
        binding = std::filesystem::read_symlink(link, error).native();
        ::unlink(link.c_str());
    }
    if (::symlink(terminal, link.c_str()) != 0) {
        std::perror(link.c_str());
        return 1;
    }
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::printf("COM%d is %s -> %s (Ctrl+C ends)\n", com, link.c_str(), terminal);
    if (!binding.empty())
        std::printf("COM%d led to %s; it does again when the simulator ends\n", com,
                    binding.c_str());
    std::fflush(stdout);

    displaysim::DisplayScreen screen;
    while (!g_stop) {
        pollfd p{line.displaySide(), POLLIN, 0};
        const int ready = ::poll(&p, 1, 200);
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0)
            continue;
        const auto bytes = line.takeReceived();
        for (std::uint8_t byte : bytes)
            screen.feed(byte);
        if (!bytes.empty())
            show(screen, bytes.data(), static_cast<ssize_t>(bytes.size()));
    }
    // Only our own link goes: another simulator may have taken the port since.
    std::error_code error;
    if (std::filesystem::read_symlink(link, error) == terminal) {
        ::unlink(link.c_str());
        if (!binding.empty() && ::symlink(binding.c_str(), link.c_str()) != 0)
            std::perror(link.c_str());
    }
    return 0;
}
