#pragma once

#include "portdoctor.h"

#include <QObject>
#include <QString>

#include <vector>

namespace vornestw {

// A serial device the machine has.
struct SerialDevice
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

    [[nodiscard]] virtual std::vector<SerialDevice> devices() = 0;
    // `port` names the port the path stands for ("COM2"), or is empty.
    [[nodiscard]] virtual PortFacts factsFor(const QString& path, const QString& port) = 0;

signals:
    // A device was plugged in or out, or a binding changed.
    void changed();
};

} // namespace vornestw
