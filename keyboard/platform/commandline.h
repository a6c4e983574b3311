#pragma once

#include "commandlinetransfer.h"

#include <QString>

namespace morvaw {

// What the configurator is asked to do on its command line. Options of Qt
// itself (-platform, -style, ...) are left to it.
struct CommandLineOptions
{
    // Print the ports the configurator can program through, and end.
    bool listPorts = false;
    // --keyboard-device PATH: the keyboard port uses this event device.
    QString keyboardDevice;

    // --program LAYOUT.KBD --port ... or --check LAYOUT.KBD: no window.
    ProgrammingCommand programming;
    // What is wrong with the command line, or empty.
    QString error;
};

[[nodiscard]] CommandLineOptions ReadCommandLine(int argc, const char* const* argv);

[[nodiscard]] QString CommandLineUsage();

} // namespace morvaw
