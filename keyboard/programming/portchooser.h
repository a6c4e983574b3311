#pragma once

#include "portbindings.h"
#include "portdoctor.h"
#include "portsystem.h"

#include <QString>

#include <filesystem>
#include <optional>
#include <vector>

namespace morvaw {

// One line of the port list: a device and the ports that lead to it, or a
// bound port that leads to no listed device (a dangling link, a file).
struct PortRow
{
    PortDevice device;
    std::vector<int> boundTo; // COM numbers
    PortFacts facts;
    PortDiagnosis diagnosis;
};

// The port list of "Program Kbd" > Ports…: the machine's serial devices,
// which COMn each is bound to, and whether the user can use it; binding
// writes the comN link the serial port reads.
class PortChooser
{
public:
    PortChooser(PortSystem& system, std::filesystem::path userFolder);

    [[nodiscard]] std::vector<PortRow> List() const;
    // Binds to the device's stable name when it has one, so that the binding
    // survives replugging and reboots. The cause when it failed.
    std::optional<QString> Bind(int comNumber, const PortDevice& device) const;
    std::optional<QString> Unbind(int comNumber) const;

    [[nodiscard]] PortSystem& system() const { return m_system; }
    [[nodiscard]] const PortBindings& bindings() const { return m_bindings; }

private:
    PortSystem& m_system;
    PortBindings m_bindings;
};

// All the port list, for the chooser and `morvaw --list-ports`.
[[nodiscard]] std::vector<PortRow> ListSerialPorts(PortSystem& system,
                                                   const PortBindings& bindings);
// One device a line, with what to do when it cannot be used.
[[nodiscard]] QString PortLine(const PortRow& row);
// "COM1, COM3", or "" for none.
[[nodiscard]] QString BoundPortsText(const std::vector<int>& ports);

} // namespace morvaw
