// Measures what the display utility adds per byte on top of the line itself:
// the real serial code sends to a pseudo-terminal, which has no baud rate,
// so all of the time measured is the program's own (waits, event rounds).
// Run by hand: build/<config>/tests/vornestw_sendbench [strings]
#include "displaystate.h"
#include "eventloopwaiter.h"
#include "outputchannel.h"
#include "pseudoterminal.h"
#include "qtseriallink.h"
#include "recordingnotice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <string>

using namespace vornestw;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int strings = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;

    QTemporaryDir folder;
    test::PseudoTerminal pty;
    if (!folder.isValid() || !pty.isValid() ||
        !QFile::link(pty.terminalPath(), folder.filePath("com2"))) {
        std::fprintf(stderr, "cannot set up a pseudo-terminal as COM2\n");
        return 1;
    }

    DisplayState state;
    state.Port = 1; // COM2
    QtSerialLink port(folder.path());
    test::FakePrinter printer;
    EventLoopWaiter waiter;
    test::RecordingNotice notice;
    OutputChannel channel(state, port, printer, waiter, notice);

    // A two-line command of the size the windows send.
    const std::string text =
        "\x1B[2J" + std::string(20, 'A') + "\x1B[02;01H" + std::string(20, 'B');
    channel.SendString(text); // opens the port; not timed

    std::size_t received = 0;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < strings; ++i) {
        channel.SendString(text);
        received += pty.takeReceived().size();
    }
    const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    const double bytes = static_cast<double>(strings) * static_cast<double>(text.size());
    std::printf("%d strings of %zu bytes in %.1f ms: %.3f ms per byte (%zu bytes received)\n",
                strings, text.size(), ms, ms / bytes, received);
    std::printf("for comparison, one byte at 9600 baud 8N1 takes 1.042 ms on the line\n");
    return notice.messages.empty() ? 0 : 1;
}
