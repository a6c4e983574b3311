// A programmable keyboard on a pseudo-terminal, for programming a layout
// with no keyboard at hand (kbdsim --help tells how).
#include "keyboarddevice.h"
#include "memorydescription.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// A pseudo-terminal passes bytes at once; a keyboard's line at 9600 baud
// takes ten bits a byte, each way. Bytes here wait as long as they would on
// that line, so that a host that goes on as soon as it is answered is timed
// as it would be against the keyboard.
constexpr std::chrono::microseconds kByteTime{1042};

volatile std::sig_atomic_t g_stop = 0;

void onSignal(int)
{
    g_stop = 1;
}

constexpr const char* kUsage =
    "usage: %s <program folder> [--com 1..4] [--type 0|1|2] [--silent] [--wrong]\n"
    "          [--late MS] [--write-time MS] [--stop-after N] [--vanish-after N]\n"
    "Makes <program folder>/comN a link to a new pseudo-terminal and answers there as a\n"
    "programmable keyboard would; after every completed transfer it prints what the\n"
    "keyboard holds, key by key. Ctrl+C ends it and removes the link.\n"
    "  --com N          the port: COM2 by default, the one a new program folder selects\n"
    "  --type T         0 no macros, 1 reduced, 2 enhanced (default)\n"
    "  --silent         never answers\n"
    "  --wrong          answers wrongly\n"
    "  --late MS        answers MS milliseconds late\n"
    "  --write-time MS  time to store a byte before answering it (default 5)\n"
    "  --stop-after N   takes N writes, then goes quiet\n"
    "  --vanish-after N disappears after N writes\n";

struct Options
{
    std::string folder;
    int com = 2;
    int type = 2;
    kbdsim::Faults faults;
    int writeTimeMs = 5;
    int vanishAfter = -1;
};

bool parse(int argc, char* argv[], Options& options)
{
    if (argc < 2)
        return false;
    options.folder = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--silent")
            options.faults.silent = true;
        else if (arg == "--wrong")
            options.faults.wrongAnswer = true;
        else if (arg == "--com" && hasValue)
            options.com = std::atoi(argv[++i]);
        else if (arg == "--type" && hasValue)
            options.type = std::atoi(argv[++i]);
        else if (arg == "--late" && hasValue)
            options.faults.answerDelayMs = std::atoi(argv[++i]);
        else if (arg == "--write-time" && hasValue)
            options.writeTimeMs = std::atoi(argv[++i]);
        else if (arg == "--stop-after" && hasValue)
            options.faults.stopAfterWrites = std::atoi(argv[++i]);
        else if (arg == "--vanish-after" && hasValue)
            options.vanishAfter = std::atoi(argv[++i]);
        else
            return false;
    }
    return options.com >= 1 && options.com <= 4 && options.type >= 0 && options.type <= 2 &&
           options.writeTimeMs >= 0 && options.faults.answerDelayMs >= 0;
}

} // namespace

int main(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf(kUsage, argv[0]);
            return 0;
        }
    }
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr, kUsage, argv[0]);
        return 2;
    }
    const std::string link = options.folder + "/com" + std::to_string(options.com);
    const auto names = kbdsim::ReadScanNames(options.folder + "/SCNTBL.BIN");

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        std::perror("pseudo-terminal");
        return 1;
    }
    const char* terminal = ::ptsname(master);
    // Held open so the line stays up while the configurator closes and reopens it.
    const int slave = terminal ? ::open(terminal, O_RDWR | O_NOCTTY | O_CLOEXEC) : -1;
    termios tio{};
    if (slave < 0 || ::tcgetattr(slave, &tio) != 0) {
        std::perror("terminal side");
        return 1;
    }
    ::cfmakeraw(&tio);
    ::tcsetattr(slave, TCSANOW, &tio);

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
    std::printf("Keyboard type %d on COM%d: %s -> %s (Ctrl+C ends)\n", options.type, options.com,
                link.c_str(), terminal);
    if (!binding.empty())
        std::printf("COM%d led to %s; it does again when the simulator ends\n", options.com,
                    binding.c_str());
    std::fflush(stdout);

    kbdsim::KeyboardDevice device(options.type);
    device.faults = options.faults;
    device.writeTimeMs = options.writeTimeMs;
    // Bytes on their way to the keyboard, and answers on their way back,
    // each with the moment it is through the line.
    std::deque<std::pair<Clock::time_point, std::uint8_t>> arriving;
    std::deque<std::pair<Clock::time_point, std::string>> replies;
    Clock::time_point lineToKeyboardFree;
    Clock::time_point lineToHostFree;
    int printedTransfers = 0;
    int writesPrinted = 0;
    const auto printMemory = [&] {
        std::printf("%s", kbdsim::DescribeMemory(device, names).c_str());
        std::fflush(stdout);
        writesPrinted = device.writes();
    };
    // The keyboard reads the bytes that are through; what it answers goes
    // back after its write time and its own time on the line.
    const auto takeArrived = [&](Clock::time_point now) {
        while (!g_stop && !arriving.empty() && arriving.front().first <= now) {
            const auto [at, byte] = arriving.front();
            arriving.pop_front();
            const std::string answer = device.receive(byte);
            if (!answer.empty()) {
                const auto start =
                    std::max(at + std::chrono::milliseconds(device.replyDelayMs()), lineToHostFree);
                lineToHostFree = start + kByteTime * static_cast<int>(answer.size());
                replies.emplace_back(lineToHostFree, answer);
            }
            if (options.vanishAfter >= 0 && device.writes() >= options.vanishAfter) {
                std::printf("Disappearing after %d writes\n", device.writes());
                g_stop = 1;
            }
        }
    };
    unsigned char buffer[256];
    while (!g_stop) {
        Clock::time_point wake = Clock::now() + std::chrono::milliseconds(200);
        if (!arriving.empty())
            wake = std::min(wake, arriving.front().first);
        if (!replies.empty())
            wake = std::min(wake, replies.front().first);
        const auto wait = std::max(Clock::duration::zero(), wake - Clock::now());
        const timespec timeout{
            static_cast<time_t>(std::chrono::duration_cast<std::chrono::seconds>(wait).count()),
            static_cast<long>((wait % std::chrono::seconds(1)) / std::chrono::nanoseconds(1))};
        pollfd p{master, POLLIN, 0};
        const int ready = ::ppoll(&p, 1, &timeout, nullptr);
        if (ready < 0 && errno != EINTR)
            break;
        const Clock::time_point now = Clock::now();
        if (ready > 0 && (p.revents & POLLIN)) {
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            for (ssize_t i = 0; i < n; ++i) {
                lineToKeyboardFree = std::max(now, lineToKeyboardFree) + kByteTime;
                arriving.emplace_back(lineToKeyboardFree, buffer[i]);
            }
        }
        takeArrived(now);
        while (!replies.empty() && replies.front().first <= now) {
            const std::string& bytes = replies.front().second;
            if (::write(master, bytes.data(), bytes.size()) < 0)
                std::perror("answer");
            replies.pop_front();
        }
        // Describing the memory takes a while: the end record's answer goes
        // out first, or the host would wait for it in vain.
        if (device.transfers() != printedTransfers && replies.empty()) {
            printedTransfers = device.transfers();
            std::printf("Transfer %d complete:\n", printedTransfers);
            printMemory();
        }
    }
    if (device.writes() != writesPrinted) // a transfer cut short
        printMemory();
    // Only our own link goes: another simulator may have taken the port since.
    std::error_code error;
    if (std::filesystem::read_symlink(link, error) == terminal) {
        ::unlink(link.c_str());
        if (!binding.empty() && ::symlink(binding.c_str(), link.c_str()) != 0)
            std::perror(link.c_str());
    }
    ::close(slave);
    ::close(master);
    return 0;
}
