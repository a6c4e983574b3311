#include "commandline.h"

namespace morvaw {

namespace {

const QString kKeyboardDevice = QStringLiteral("--keyboard-device");

} // namespace

CommandLineOptions ReadCommandLine(int argc, const char* const* argv)
{
    CommandLineOptions options;
    for (int i = 1; i < argc; ++i) {
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
        }
    }
    return options;
}

QString CommandLineUsage()
{
    return QStringLiteral(
        "usage: morvaw [--keyboard-device PATH] [--list-ports]\n"
        "  --keyboard-device PATH  program through the keyboard port with this event device\n"
        "                          (/dev/input/eventN or a /dev/input/by-path or by-id name)\n"
        "                          instead of the keyboard on the PS/2 port\n"
        "  --list-ports            list the ports a keyboard can be programmed through, and end\n");
}

} // namespace morvaw
