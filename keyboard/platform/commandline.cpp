#include "commandline.h"

#include <QFile>
#include <QStringList>
#include <array>
#include <filesystem>

#include <optional>
#include <utility>

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
    // "--output=a.json" as the programming options take it.
    QString argument = QString::fromLocal8Bit(argv[i]);
    std::optional<QString> given;
    if (const qsizetype equals = argument.indexOf(u'='); equals > 0) {
        given = argument.mid(equals + 1);
        argument.truncate(equals);
    }
    auto value = [&](const QString& what) -> std::optional<QString> {
        if (given)
            return std::exchange(given, std::nullopt);
        if (i + 1 == argc) {
            options.error = QStringLiteral("%1 needs %2").arg(argument, what);
            return std::nullopt;
        }
        return QString::fromLocal8Bit(argv[++i]);
    };
    if (argument == QStringLiteral("--output")) {
        // An empty name would quietly mean "no file": the terminal, or nothing.
        if (const auto file = value(QStringLiteral("the name of a file")); file && file->isEmpty())
            options.error = QStringLiteral("--output needs the name of a file");
        else if (file)
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

// Qt's own options, which it also takes with two dashes.
bool isQtOption(const QString& argument)
{
    static const QStringList kNames{
        QStringLiteral("platform"),      QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"), QStringLiteral("plugin"),
        QStringLiteral("qmljsdebugger"), QStringLiteral("qwindowgeometry"),
        QStringLiteral("qwindowicon"),   QStringLiteral("qwindowtitle"),
        QStringLiteral("reverse"),       QStringLiteral("session"),
        QStringLiteral("style"),         QStringLiteral("stylesheet"),
        QStringLiteral("widgetcount"),   QStringLiteral("display"),
        QStringLiteral("geometry"),      QStringLiteral("title"),
        QStringLiteral("icon"),          QStringLiteral("name"),
        QStringLiteral("nograb"),        QStringLiteral("dograb"),
        QStringLiteral("sync"),          QStringLiteral("visual")};
    return kNames.contains(argument.mid(2).section(QLatin1Char('='), 0, 0));
}

// A misspelt option must not quietly change what is done (--unit 5 programming
// one keyboard, --chek opening the window), nor may one mode hide another.
QString leftOverProblem(const CommandLineOptions& options, const QStringList& unknown)
{
    QStringList modes;
    if (options.listPorts)
        modes << QStringLiteral("--list-ports");
    if (options.layoutMode != LayoutMode::None)
        modes << QStringLiteral("--legends/--export/--import/--diff");
    if (options.programming.mode != ProgrammingCommand::Mode::None)
        modes << QStringLiteral("--program/--check");
    if (modes.size() > 1)
        return QStringLiteral("only one of %1 at a time").arg(modes.join(QStringLiteral(", ")));
    // The keyboard port is the window's: the keyboard types its answers into it.
    if (!options.keyboardDevice.isEmpty() && !modes.isEmpty() && !options.listPorts)
        return QStringLiteral("--keyboard-device goes with the window or --list-ports, not "
                              "with %1 (--program uses --port)")
            .arg(modes.first());
    for (const QString& argument : unknown) {
        if (argument.startsWith(QStringLiteral("--")) && !isQtOption(argument))
            return QStringLiteral("unknown option \"%1\"").arg(argument);
        // Qt's options and their values go to the window alone.
        if (!modes.isEmpty())
            return QStringLiteral("\"%1\" is not an option here, nor the value of one")
                .arg(argument);
    }
    return {};
}

} // namespace

CommandLineOptions ReadCommandLine(int argc, const char* const* argv)
{
    CommandLineOptions options;
    QStringList unknown;
    int i = 1;
    ProgrammingOptionReader programming{argc, argv, i, options};
    for (; i < argc && options.error.isEmpty(); ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (programming.read(argument))
            continue;
        if (argument == QStringLiteral("--help")) {
            options.help = true;
        } else if (argument == QStringLiteral("--list-ports")) {
            options.listPorts = true;
        } else if (argument == kKeyboardDevice ||
                   argument.startsWith(kKeyboardDevice + QLatin1Char('='))) {
            if (argument != kKeyboardDevice)
                options.keyboardDevice = argument.mid(kKeyboardDevice.size() + 1);
            else
                options.keyboardDevice =
                    i + 1 < argc ? QString::fromLocal8Bit(argv[++i]) : QString();
            // An empty name would quietly mean "the keyboard on the PS/2 port".
            if (options.keyboardDevice.isEmpty()) {
                options.error = kKeyboardDevice + QStringLiteral(" needs the path of a device");
                break;
            }
        } else if (!readLayoutOption(argc, argv, i, options)) {
            unknown << argument;
        }
    }
    if (options.error.isEmpty())
        options.error = layoutOptionsProblem(options);
    programming.finish();
    if (options.error.isEmpty())
        options.error = leftOverProblem(options, unknown);
    return options;
}

QString OutputReplacesInput(const CommandLineOptions& options)
{
    if (options.output.isEmpty())
        return {};
    const std::filesystem::path output(QFile::encodeName(options.output).toStdString());
    for (const QString& input : options.layoutFiles) {
        std::error_code error;
        if (std::filesystem::equivalent(QFile::encodeName(input).toStdString(), output, error))
            return QStringLiteral("%1: --output names the file that is read, which it would "
                                  "replace; give another file. Nothing was written.")
                .arg(options.output);
    }
    return {};
}

QStringList LayoutsNamedForTheWindow(const QStringList& arguments)
{
    QStringList named;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == kKeyboardDevice)
            ++i;
        else if (!arguments[i].startsWith(QLatin1Char('-')))
            named << arguments[i];
    }
    return named;
}

QString CommandLineUsage()
{
    return QStringLiteral(
        "usage: morvaw [LAYOUT.KBD] [--keyboard-device PATH] [--list-ports] [--help]\n"
        "       morvaw --legends LAYOUT.KBD --output FILE.pdf [--size MM]\n"
        "       morvaw --export LAYOUT.KBD [--output FILE.json]\n"
        "       morvaw --import FILE.json --output LAYOUT.KBD\n"
        "       morvaw --diff A.KBD B.KBD\n"
        "       morvaw --program LAYOUT.KBD --port COM1..COM4|DEVICE [--type auto|0|1|2]\n"
        "              [--units N] [--fast]\n"
        "       morvaw --check LAYOUT.KBD [--type auto|0|1|2]\n"
        "  LAYOUT.KBD              open the window with this layout\n"
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
        "  --program LAYOUT.KBD    program the layout into N keyboards (--units, default 1)\n"
        "                          one after the other, Enter between them, without a window;\n"
        "                          each unit is recorded in the programming log\n"
        "  --port PORT             COM1 to COM4 (as the programming window has them) or the\n"
        "                          path of a serial device such as /dev/ttyUSB0\n"
        "  --type TYPE             the keyboard type to program as: 0 no macros, 1 reduced,\n"
        "                          2 enhanced, auto to ask the keyboard (default: the layout's)\n"
        "  --fast                  go on as soon as the keyboard answers each record\n"
        "  --check LAYOUT.KBD      print the keyboard type, how full its memory will be and\n"
        "                          the tokens without a scan code\n"
        "These need no display and end when done, with the exit code\n"
        "  0  done (--diff: the layouts are the same; --program: every unit programmed)\n"
        "  1  --diff: the layouts differ; --check: the layout does not fit the keyboard\n"
        "  2  a wrong command line, or a file that cannot be read or written: nothing is "
        "written\n"
        "  3  --program: a unit was not programmed\n");
}

} // namespace morvaw
