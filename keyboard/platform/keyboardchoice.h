#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace morvaw {

// An input device of this computer that is a keyboard.
struct KeyboardCandidate
{
    QString path; // /dev/input/eventN
    int bus = 0;  // BUS_* as EVIOCGID gives it
    QString name;
    bool permitted = true; // the user may read and change it
    bool present = true;   // its device file is there (a container may lack it)
};

// The keyboard the keyboard port sends its changes to, or why there is none.
struct KeyboardChoice
{
    std::optional<KeyboardCandidate> keyboard;
    QString reason; // empty when a keyboard can be used

    // What the programming window says beside "Send setup using KBD".
    [[nodiscard]] QString note() const;
};

// The bus in words: "PS/2 port", "USB", "Bluetooth", ...
[[nodiscard]] QString BusName(int bus);

// Only a keyboard on the PS/2 port (BUS_I8042) gets a typematic command for a
// change of the repeat settings: for a USB or Bluetooth keyboard, and one on
// a USB-to-PS/2 adapter, the system repeats keys itself and the keyboard
// hears nothing. So that keyboard is chosen whatever the order of names, and
// none other; the device the user gave (requestedPath, already resolved to
// its /dev/input/eventN) is used and no other.
[[nodiscard]] KeyboardChoice ChooseKeyboard(const std::vector<KeyboardCandidate>& candidates,
                                            const QString& requestedPath = {});

// A by-path or by-id name as the event device it leads to; a path that leads
// nowhere as it is.
[[nodiscard]] QString ResolvedDevicePath(const QString& path);

// The keyboards that sysfs (sysClassInput, /sys/class/input) shows, with their
// device nodes in devInput (/dev/input), in the order of their numbers.
[[nodiscard]] std::vector<KeyboardCandidate>
KeyboardsOfThisComputer(const QString& sysClassInput = QStringLiteral("/sys/class/input"),
                        const QString& devInput = QStringLiteral("/dev/input"));

} // namespace morvaw
