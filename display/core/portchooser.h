#pragma once

#include "portbindings.h"
#include "portdoctor.h"
#include "portsystem.h"

#include <QString>

#include <optional>
#include <vector>

namespace vornestw {

class OutputChannel;

// One line of the port list: a device and the ports that lead to it, or a
// bound port that leads to no listed device (a dangling link, a file).
struct PortRow
{
    SerialDevice device;
    std::vector<int> boundTo; // COM numbers
    PortFacts facts;
    PortDiagnosis diagnosis;
};

// The port list of Setup > Connection > Ports…: the machine's serial devices,
// which COMn each is bound to, and whether the user can use it; binding
// writes the comN link the serial port reads.
class PortChooser
{
public:
    PortChooser(PortSystem& system, const QString& userFolder, OutputChannel& channel);

    [[nodiscard]] std::vector<PortRow> List() const;
    // Binds to the device's stable name when it has one, so that the binding
    // survives replugging and reboots. A port open on COMn is closed, so the
    // next command opens the new device. The cause when it failed.
    std::optional<QString> Bind(int comNumber, const SerialDevice& device);
    std::optional<QString> Unbind(int comNumber);

    // Whether the display behind COMn is ready; nothing is sent.
    [[nodiscard]] QString TestConnection(int comNumber);

    [[nodiscard]] PortSystem& system() { return m_system; }
    [[nodiscard]] const PortBindings& bindings() const { return m_bindings; }

private:
    PortSystem& m_system;
    PortBindings m_bindings;
    OutputChannel& m_channel;
};

// All the port list in one line per device, for `vornestw --list-ports`.
[[nodiscard]] std::vector<PortRow> ListPorts(PortSystem& system, const PortBindings& bindings);
[[nodiscard]] QString PortLine(const PortRow& row);
// "COM1, COM3", or "" for none.
[[nodiscard]] QString BoundPortsText(const std::vector<int>& ports);

} // namespace vornestw
