#pragma once

#include "keyboardchoice.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace morvaw {

// One part of what `morvaw --list-ports` prints: a title and a line a device.
struct PortListingSection
{
    QString title;
    QStringList lines;
};

// The keyboards, "*" before the one the keyboard port would use.
[[nodiscard]] PortListingSection
KeyboardPortSection(const std::vector<KeyboardCandidate>& keyboards, const KeyboardChoice& choice);

// What `morvaw --list-ports` prints on this computer; requestedKeyboard is
// the --keyboard-device given, if any.
[[nodiscard]] QString ListPorts(const QString& requestedKeyboard);

[[nodiscard]] QString FormatPortListing(const std::vector<PortListingSection>& sections);

} // namespace morvaw
