#include "commandline.h"

#include <QStringList>

#include <optional>
#include <utility>

namespace morvaw {

namespace {

const QString kKeyboardDevice = QStringLiteral("--keyboard-device");

// Programming without a window: --program, --check and their options.
struct ProgrammingOptionReader
{
    int argc;
    const char* const* argv;
    int& i;
    CommandLineOptions& options;
    bool portGiven = false;
    bool programOnly = false; // --port, --units or --fast given

    // The value of `--name VALUE` or `--name=VALUE`, if argument is that option.
    std::optional<QString> value(const QString& argument, const QString& name)
    {
        if (argument.startsWith(name + QLatin1Char('=')))
            return argument.mid(name.size() + 1);
        if (argument != name)
            return std::nullopt;
        if (i + 1 == argc) {
            options.error = name + QStringLiteral(" needs a value");
            return QString();
        }
        return QString::fromLocal8Bit(argv[++i]);
    }

    void fail(const QString& why)
    {
        if (options.error.isEmpty())
            options.error = why;
    }

    // True when the argument was one of them.
    bool read(const QString& argument)
    {
        ProgrammingCommand& command = options.programming;
        using Mode = ProgrammingCommand::Mode;
        for (const auto& [name, mode] : {std::pair{QStringLiteral("--program"), Mode::Program},
                                         std::pair{QStringLiteral("--check"), Mode::Check}}) {
            if (const auto file = value(argument, name)) {
                if (command.mode != Mode::None)
                    fail(QStringLiteral("--program and --check are given once, not together"));
                command.mode = mode;
                command.layoutFile = *file;
                return true;
            }
        }
        if (const auto port = value(argument, QStringLiteral("--port"))) {
            readPort(*port);
            return true;
        }
        if (const auto type = value(argument, QStringLiteral("--type"))) {
            static const QStringList kTypes{QStringLiteral("0"), QStringLiteral("1"),
                                            QStringLiteral("2"), QStringLiteral("auto")};
            const int index = static_cast<int>(kTypes.indexOf(*type));
            if (index < 0)
                fail(QStringLiteral("--type takes auto, 0, 1 or 2, not \"%1\"").arg(*type));
            command.type = index; // "auto" is 3, detected at transfer time
            return true;
        }
        if (const auto units = value(argument, QStringLiteral("--units"))) {
            bool number = false;
            command.units = units->toInt(&number);
            if (!number || command.units < 1 || command.units > 999)
                fail(
                    QStringLiteral("--units takes a number from 1 to 999, not \"%1\"").arg(*units));
            programOnly = true;
            return true;
        }
        if (argument == QStringLiteral("--fast")) {
            command.fast = true;
            programOnly = true;
            return true;
        }
        return false;
    }

    void readPort(const QString& port)
    {
        ProgrammingCommand& command = options.programming;
        portGiven = programOnly = true;
        command.port = port;
        const QString upper = port.toUpper();
        if (upper.size() == 4 && upper.startsWith(QStringLiteral("COM")) && upper[3] >= u'1' &&
            upper[3] <= u'4') {
            command.port = upper;
            command.channel = static_cast<Channel>(upper[3].unicode() - u'1');
        } else if (port.startsWith(QLatin1Char('/'))) {
            command.device = port;
        } else {
            fail(QStringLiteral("--port takes COM1 to COM4 or the path of a device such as "
                                "/dev/ttyUSB0, not \"%1\"")
                     .arg(port));
        }
    }

    // The options that only go together.
    void finish()
    {
        const auto mode = options.programming.mode;
        if (programOnly && mode != ProgrammingCommand::Mode::Program)
            fail(QStringLiteral("--port, --units and --fast go with --program"));
        else if (options.programming.type && mode == ProgrammingCommand::Mode::None)
            fail(QStringLiteral("--type goes with --program or --check"));
        else if (mode == ProgrammingCommand::Mode::Program && !portGiven)
            fail(QStringLiteral("--program needs --port COM1..COM4 or the path of a device"));
    }
};

} // namespace

CommandLineOptions ReadCommandLine(int argc, const char* const* argv)
{
    CommandLineOptions options;
    int i = 1;
    ProgrammingOptionReader programming{argc, argv, i, options};
    for (; i < argc && options.error.isEmpty(); ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (programming.read(argument))
            continue;
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
    programming.finish();
    return options;
}

QString CommandLineUsage()
{
    return QStringLiteral(
        "usage: morvaw [--keyboard-device PATH] [--list-ports]\n"
        "  --keyboard-device PATH  program through the keyboard port with this event device\n"
        "                          (/dev/input/eventN or a /dev/input/by-path or by-id name)\n"
        "                          instead of the keyboard on the PS/2 port\n"
        "  --list-ports            list the ports a keyboard can be programmed through, and end\n"
        "\n"
        "       morvaw --program LAYOUT.KBD --port COM1..COM4|DEVICE [--type auto|0|1|2]\n"
        "              [--units N] [--fast]\n"
        "       morvaw --check LAYOUT.KBD [--type auto|0|1|2]\n"
        "  --program LAYOUT.KBD    program the layout into N keyboards (--units, default 1)\n"
        "                          one after the other, Enter between them, without a window;\n"
        "                          each unit is recorded in the programming log\n"
        "  --port PORT             COM1 to COM4 (as the programming window has them) or the\n"
        "                          path of a serial device such as /dev/ttyUSB0\n"
        "  --type TYPE             the keyboard type to program as: 0 no macros, 1 reduced,\n"
        "                          2 enhanced, auto to ask the keyboard (default: the layout's)\n"
        "  --fast                  go on as soon as the keyboard answers each record\n"
        "  --check LAYOUT.KBD      print the keyboard type, how full its memory will be and\n"
        "                          the tokens without a scan code; exit 1 when it does not fit\n"
        "Exit: 0 every unit programmed, 2 a bad argument or file, 3 a unit not programmed.\n");
}

} // namespace morvaw
