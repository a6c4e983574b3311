#include "commandline.h"

#include <array>

namespace morvaw {

namespace {

const QString kKeyboardDevice = QStringLiteral("--keyboard-device");

// --- A layout's files without a window ---

using LayoutMode = CommandLineOptions::LayoutMode;

struct LayoutOption
{
    const char* name;
    LayoutMode mode;
    int files;
};
constexpr std::array<LayoutOption, 4> kLayoutOptions{{
    {"--legends", LayoutMode::Legends, 1},
    {"--export", LayoutMode::Export, 1},
    {"--import", LayoutMode::Import, 1},
    {"--diff", LayoutMode::Diff, 2},
}};

// Reads argv[i] if it is one of the layout options, with its values; i moves
// past them. False when it is none of them.
bool readLayoutOption(int argc, const char* const* argv, int& i, CommandLineOptions& options)
{
    const QString argument = QString::fromLocal8Bit(argv[i]);
    auto value = [&](const QString& what) -> std::optional<QString> {
        if (i + 1 == argc) {
            options.error = QStringLiteral("%1 needs %2").arg(argument, what);
            return std::nullopt;
        }
        return QString::fromLocal8Bit(argv[++i]);
    };
    if (argument == QStringLiteral("--output")) {
        if (const auto file = value(QStringLiteral("the name of a file")))
            options.output = *file;
        return true;
    }
    if (argument == QStringLiteral("--size")) {
        const auto text = value(QStringLiteral("a size in millimetres"));
        bool number = false;
        const double size = text ? text->toDouble(&number) : 0;
        if (text && !number)
            options.error =
                QStringLiteral("--size needs a size in millimetres, not \"%1\"").arg(*text);
        else if (text)
            options.legendSize = size;
        return true;
    }
    for (const LayoutOption& o : kLayoutOptions) {
        if (argument != QLatin1String(o.name))
            continue;
        if (options.layoutMode != LayoutMode::None) {
            options.error = QStringLiteral("%1: only one of --legends, --export, --import and "
                                           "--diff at a time")
                                .arg(argument);
            return true;
        }
        options.layoutMode = o.mode;
        for (int n = 0; n < o.files && options.error.isEmpty(); ++n) {
            if (const auto file = value(o.files == 1 ? QStringLiteral("the name of a file")
                                                     : QStringLiteral("the names of two files")))
                options.layoutFiles << *file;
        }
        return true;
    }
    return false;
}

// What the layout options need of each other.
QString layoutOptionsProblem(const CommandLineOptions& options)
{
    const bool output = !options.output.isEmpty();
    switch (options.layoutMode) {
    case LayoutMode::None:
        if (output || options.legendSize)
            return QStringLiteral("--output and --size go with --legends, --export or --import");
        return {};
    case LayoutMode::Legends:
        return output ? QString() : QStringLiteral("--legends needs --output FILE.pdf");
    case LayoutMode::Import:
        return output ? QString() : QStringLiteral("--import needs --output LAYOUT.KBD");
    case LayoutMode::Export:
    case LayoutMode::Diff:
        if (options.legendSize)
            return QStringLiteral("--size goes with --legends");
        if (output && options.layoutMode == LayoutMode::Diff)
            return QStringLiteral("--diff writes no file: it has no --output");
        return {};
    }
    return {};
}

} // namespace

CommandLineOptions ReadCommandLine(int argc, const char* const* argv)
{
    CommandLineOptions options;
    for (int i = 1; i < argc && options.error.isEmpty(); ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument == QStringLiteral("--list-ports")) {
            options.listPorts = true;
        } else if (argument == kKeyboardDevice) {
            if (i + 1 == argc) {
                options.error = kKeyboardDevice + QStringLiteral(" needs the path of a device");
                break;
            }
            options.keyboardDevice = QString::fromLocal8Bit(argv[++i]);
        } else if (argument.startsWith(kKeyboardDevice + QLatin1Char('='))) {
            options.keyboardDevice = argument.mid(kKeyboardDevice.size() + 1);
        } else {
            (void)readLayoutOption(argc, argv, i, options);
        }
    }
    if (options.error.isEmpty())
        options.error = layoutOptionsProblem(options);
    return options;
}

QString CommandLineUsage()
{
    return QStringLiteral(
        "usage: morvaw [--keyboard-device PATH] [--list-ports]\n"
        "       morvaw --legends LAYOUT.KBD --output FILE.pdf [--size MM]\n"
        "       morvaw --export LAYOUT.KBD [--output FILE.json]\n"
        "       morvaw --import FILE.json --output LAYOUT.KBD\n"
        "       morvaw --diff A.KBD B.KBD\n"
        "  --keyboard-device PATH  program through the keyboard port with this event device\n"
        "                          (/dev/input/eventN or a /dev/input/by-path or by-id name)\n"
        "                          instead of the keyboard on the PS/2 port\n"
        "  --list-ports            list the ports a keyboard can be programmed through, and end\n"
        "  --legends LAYOUT.KBD    print the key legends (the inserts under the keycaps) into\n"
        "                          a PDF, as File > Print legends does; --size MM sets the\n"
        "                          inserts' side, 10 to 20 mm (default: the legends file's, or "
        "14)\n"
        "  --export LAYOUT.KBD     write the layout as readable JSON, to the terminal or --output\n"
        "  --import FILE.json      make the layout file of an exported JSON, byte for byte\n"
        "  --diff A.KBD B.KBD      list the keys and settings in which B differs from A\n"
        "These need no display and end when done, with the exit code\n"
        "  0  done (--diff: the layouts are the same)\n"
        "  1  --diff: the layouts differ\n"
        "  2  a wrong command line, or a file that cannot be read or written: nothing is "
        "written\n");
}

} // namespace morvaw
