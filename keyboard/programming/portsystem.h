#pragma once

#include "portdoctor.h"

#include <QObject>
#include <QString>

#include <filesystem>
#include <vector>

namespace morvaw {

// A serial device the machine has.
struct PortDevice
{
    QString location; // /dev/ttyUSB0
    QString description;
    QString manufacturer;
    QString serialNumber;
    QString stableName; // /dev/serial/by-id/..., which survives replugging; empty when none
};

// The machine's serial devices and the facts about a port's path; the
// platform asks Linux, tests make them up.
class PortSystem : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    [[nodiscard]] virtual std::vector<PortDevice> devices() = 0;
    // `port` names the port the path stands for ("COM2"), or is empty. The
    // path is bytes: a comN link in a folder whose name is no UTF-8.
    [[nodiscard]] virtual PortFacts factsFor(const std::filesystem::path& path,
                                             const QString& port) = 0;

signals:
    // A device was plugged in or out, or a binding changed.
    void changed();
};

} // namespace morvaw
