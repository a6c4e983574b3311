#pragma once

#include "keyboardchoice.h"
#include "portchooser.h"

#include <QString>
#include <QStringList>

#include <filesystem>
#include <vector>

namespace morvaw {

// One part of what `morvaw --list-ports` prints: a title and a line a device.
struct PortListingSection
{
    QString title;
    QStringList lines;
};

// The serial devices and COM1..COM4, as the port chooser lists them.
[[nodiscard]] PortListingSection SerialPortSection(const std::vector<PortRow>& rows);

// The keyboards, "*" before the one the keyboard port would use.
[[nodiscard]] PortListingSection
KeyboardPortSection(const std::vector<KeyboardCandidate>& keyboards, const KeyboardChoice& choice);

// What `morvaw --list-ports` prints on this computer; requestedKeyboard is
// the --keyboard-device given, if any; userFolder holds the comN links.
[[nodiscard]] QString ListPorts(const QString& requestedKeyboard,
                                const std::filesystem::path& userFolder);

[[nodiscard]] QString FormatPortListing(const std::vector<PortListingSection>& sections);

} // namespace morvaw
