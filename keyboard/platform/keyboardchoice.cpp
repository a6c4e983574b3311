#include "keyboardchoice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <linux/input.h>
#include <unistd.h>

namespace morvaw {

namespace {

const QString kNoKeyboard =
    QStringLiteral("Not usable here: this computer shows no keyboard device (/dev/input/event*). "
                   "Connect the keyboard to its keyboard port, or program it over a COM port.");
const QString kNotPermitted =
    QStringLiteral("Not usable here: no permission to change the keyboard's settings (%1). Add "
                   "your user to the group \"input\" and log in again.");
const QString kNoDeviceFile = QStringLiteral(
    "Not usable here: the system shows the keyboard %2, but its device file %1 is not there "
    "(Morvaw may run in a container or sandbox that hides /dev/input). Start it outside, or "
    "program the keyboard over a COM port.");
const QString kNoPs2Keyboard = QStringLiteral(
    "Not usable here: only a keyboard on a PS/2 keyboard port can be programmed this way, not "
    "one on USB or through a USB adapter. Keyboards found: %1.");
const QString kNotAKeyboard =
    QStringLiteral("Not usable here: %1, given with --keyboard-device, is no keyboard this "
                   "computer shows. morvaw --list-ports lists the keyboards: name one of them, "
                   "or leave the option out to use the keyboard on the PS/2 port.");

QString readLine(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readLine()).trimmed();
}

// A bit of a sysfs bitmap: hexadecimal words of an unsigned long, the most
// significant first.
bool hasBit(const QString& bitmap, int bit)
{
    constexpr int kBitsPerWord = static_cast<int>(sizeof(unsigned long) * 8);
    const QStringList words = bitmap.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const int index = static_cast<int>(words.size()) - 1 - bit / kBitsPerWord;
    if (index < 0)
        return false;
    bool ok = false;
    const unsigned long long word = words[index].toULongLong(&ok, 16);
    return ok && (word >> (bit % kBitsPerWord)) & 1ULL;
}

int eventNumber(const QString& name)
{
    return name.mid(5).toInt();
}

} // namespace

QString KeyboardChoice::note() const
{
    if (!keyboard)
        return reason;
    QString text = keyboard->name + QStringLiteral(", ") + keyboard->path;
    if (keyboard->bus != BUS_I8042)
        text += QStringLiteral(" (%1: the system repeats its keys itself, the keyboard may get "
                               "no commands)")
                    .arg(BusName(keyboard->bus));
    return text;
}

QString BusName(int bus)
{
    switch (bus) {
    case BUS_I8042:
        return QStringLiteral("PS/2 port");
    case BUS_USB:
        return QStringLiteral("USB");
    case BUS_BLUETOOTH:
        return QStringLiteral("Bluetooth");
    case BUS_VIRTUAL:
        return QStringLiteral("virtual");
    case BUS_HOST:
        return QStringLiteral("built in");
    case BUS_I2C:
        return QStringLiteral("I2C");
    default:
        return QStringLiteral("bus 0x%1").arg(bus, 2, 16, QLatin1Char('0'));
    }
}

KeyboardChoice ChooseKeyboard(const std::vector<KeyboardCandidate>& candidates,
                              const QString& requestedPath)
{
    KeyboardChoice choice;
    const auto usable = [&choice](const KeyboardCandidate& keyboard) {
        if (keyboard.permitted)
            choice.keyboard = keyboard;
        else if (!keyboard.present)
            choice.reason = kNoDeviceFile.arg(keyboard.path, keyboard.name);
        else
            choice.reason = kNotPermitted.arg(keyboard.path);
        return choice;
    };
    if (!requestedPath.isEmpty()) {
        const auto it = std::ranges::find(candidates, requestedPath, &KeyboardCandidate::path);
        if (it == candidates.end()) {
            choice.reason = kNotAKeyboard.arg(requestedPath);
            return choice;
        }
        return usable(*it);
    }
    if (candidates.empty()) {
        choice.reason = kNoKeyboard;
        return choice;
    }
    const auto ps2 = std::ranges::find(candidates, BUS_I8042, &KeyboardCandidate::bus);
    if (ps2 != candidates.end())
        return usable(*ps2);
    QStringList found;
    for (const KeyboardCandidate& keyboard : candidates)
        found << QStringLiteral("%1 (%2)").arg(keyboard.name, BusName(keyboard.bus));
    choice.reason = kNoPs2Keyboard.arg(found.join(QStringLiteral("; ")));
    return choice;
}

QString ResolvedDevicePath(const QString& path)
{
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved;
}

std::vector<KeyboardCandidate> KeyboardsOfThisComputer(const QString& sysClassInput,
                                                       const QString& devInput)
{
    QStringList events =
        QDir(sysClassInput).entryList({QStringLiteral("event*")}, QDir::AllEntries);
    std::ranges::sort(events, {}, eventNumber);
    std::vector<KeyboardCandidate> keyboards;
    for (const QString& event : events) {
        const QString device =
            sysClassInput + QLatin1Char('/') + event + QStringLiteral("/device/");
        const QString ev = readLine(device + QStringLiteral("capabilities/ev"));
        const QString keys = readLine(device + QStringLiteral("capabilities/key"));
        // One that repeats keys and has letters and Enter, not a power button.
        if (!hasBit(ev, EV_KEY) || !hasBit(ev, EV_REP) || !hasBit(keys, KEY_A) ||
            !hasBit(keys, KEY_ENTER))
            continue;
        KeyboardCandidate keyboard;
        keyboard.path = devInput + QLatin1Char('/') + event;
        keyboard.name = readLine(device + QStringLiteral("name"));
        keyboard.bus = readLine(device + QStringLiteral("id/bustype")).toInt(nullptr, 16);
        keyboard.permitted =
            ::access(QFile::encodeName(keyboard.path).constData(), R_OK | W_OK) == 0;
        keyboard.present = keyboard.permitted || errno != ENOENT;
        keyboards.push_back(keyboard);
    }
    return keyboards;
}

} // namespace morvaw
