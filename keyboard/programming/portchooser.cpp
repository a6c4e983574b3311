#include "portchooser.h"

#include <QFile>
#include <QStringList>

#include <algorithm>
#include <utility>

namespace morvaw {

std::vector<PortRow> ListSerialPorts(PortSystem& system, const PortBindings& bindings)
{
    std::vector<PortRow> rows;
    for (const PortDevice& device : system.devices()) {
        const std::filesystem::path location(QFile::encodeName(device.location).toStdString());
        rows.push_back({device, {}, system.factsFor(location, QString()), {}});
    }
    for (int com = 1; com <= PortBindings::kPortCount; ++com) {
        const std::filesystem::path location = bindings.Location(com);
        PortFacts facts = system.factsFor(location, QStringLiteral("COM%1").arg(com));
        const auto same = std::find_if(rows.begin(), rows.end(), [&](const PortRow& row) {
            return !facts.device.isEmpty() && row.facts.device == facts.device;
        });
        if (same != rows.end()) {
            // The advice names the port the user knows the device by.
            if (same->boundTo.empty())
                same->facts = facts;
            same->boundTo.push_back(com);
            continue;
        }
        // A built-in port this machine does not have is no news.
        if (!bindings.LinkTarget(com) && facts.kind == PortFacts::Kind::Missing)
            continue;
        PortDevice shown;
        shown.location = !facts.device.isEmpty()       ? facts.device
                         : !facts.linkTarget.isEmpty() ? facts.linkTarget
                                                       : facts.path;
        rows.push_back({shown, {com}, facts, {}});
    }
    for (PortRow& row : rows)
        row.diagnosis = DiagnosePort(row.facts);
    return rows;
}

QString BoundPortsText(const std::vector<int>& ports)
{
    QStringList names;
    for (int com : ports)
        names << QStringLiteral("COM%1").arg(com);
    return names.join(QStringLiteral(", "));
}

QString PortLine(const PortRow& row)
{
    QStringList about{row.device.location};
    if (!row.device.description.isEmpty())
        about << row.device.description;
    if (!row.device.manufacturer.isEmpty())
        about << row.device.manufacturer;
    if (!row.device.serialNumber.isEmpty())
        about << QStringLiteral("serial number %1").arg(row.device.serialNumber);
    if (!row.device.stableName.isEmpty())
        about << QStringLiteral("stable name %1").arg(row.device.stableName);
    const QString bound =
        row.boundTo.empty() ? QStringLiteral("not bound") : BoundPortsText(row.boundTo);
    QString line = QStringLiteral("%1: %2: %3")
                       .arg(bound, about.join(QStringLiteral(", ")), row.diagnosis.state);
    if (!row.diagnosis.usable())
        line += QStringLiteral(". ") + row.diagnosis.advice;
    return line;
}

PortChooser::PortChooser(PortSystem& system, std::filesystem::path userFolder)
    : m_system(system), m_bindings(std::move(userFolder))
{
}

std::vector<PortRow> PortChooser::List() const
{
    return ListSerialPorts(m_system, m_bindings);
}

std::optional<QString> PortChooser::Bind(int comNumber, const PortDevice& device) const
{
    return m_bindings.Bind(comNumber,
                           device.stableName.isEmpty() ? device.location : device.stableName);
}

std::optional<QString> PortChooser::Unbind(int comNumber) const
{
    return m_bindings.Unbind(comNumber);
}

} // namespace morvaw
