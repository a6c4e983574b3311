#pragma once

#include "commandlinetransfer.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace morvaw {

// What the configurator is asked to do on its command line. Options of Qt
// itself (-platform, -style, ...) are left to it. Each mode other than the
// window is a function of its feature, which main calls.
struct CommandLineOptions
{
    // --help: print the usage text, and end.
    bool help = false;
    // Print the ports the configurator can program through, and end.
    bool listPorts = false;
    // --keyboard-device PATH: the keyboard port uses this event device.
    QString keyboardDevice;

    // A layout's files without a window: --legends LAYOUT.KBD, --export
    // LAYOUT.KBD, --import FILE.json (each one file), --diff A.KBD B.KBD (two).
    enum class LayoutMode { None, Legends, Export, Import, Diff };
    LayoutMode layoutMode = LayoutMode::None;
    QStringList layoutFiles;
    // --output FILE: where --legends, --import and --export write.
    QString output;
    // --size MM: the legends' insert size.
    std::optional<double> legendSize;

    // --program LAYOUT.KBD --port ... or --check LAYOUT.KBD: no window.
    ProgrammingCommand programming;
    // What is wrong with the command line, or empty.
    QString error;
};

[[nodiscard]] CommandLineOptions ReadCommandLine(int argc, const char* const* argv);

// Why --output may not be written: it is the very file read (under this or
// another name), which it would replace. Empty when it may.
[[nodiscard]] QString OutputReplacesInput(const CommandLineOptions& options);

[[nodiscard]] QString CommandLineUsage();

// The layouts named for the window among the arguments left once Qt took its
// own: neither an option nor the device given with --keyboard-device.
[[nodiscard]] QStringList LayoutsNamedForTheWindow(const QStringList& arguments);

} // namespace morvaw
