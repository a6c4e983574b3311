#pragma once

#include "portsystem.h"

#include <QStringList>

#include <filesystem>

class QFileSystemWatcher;
class QTimer;

namespace morvaw {

// The serial devices Linux has (from Qt SerialPort, with their stable names
// from /dev/serial/by-id) and the facts about a port: its links, its mode,
// owner and group, the user's groups, and who holds it. Says `changed` when
// a device is plugged in or out or a comN link in `watchedFolder` changes.
class SystemPorts : public PortSystem
{
    Q_OBJECT
public:
    explicit SystemPorts(const std::filesystem::path& watchedFolder = {},
                         QObject* parent = nullptr);

    [[nodiscard]] std::vector<PortDevice> devices() override;
    [[nodiscard]] PortFacts factsFor(const std::filesystem::path& path,
                                     const QString& port) override;

    // The facts without an object. With `lookAtOpeners`, a device without a
    // lock file is also looked for among the files other processes hold
    // open (slow on a busy machine: only after an open failed).
    [[nodiscard]] static PortFacts FactsOf(const std::filesystem::path& path, const QString& port,
                                           bool lookAtOpeners = false);

private:
    void watch();

    QFileSystemWatcher* m_watcher = nullptr;
    QTimer* m_settle = nullptr;
    QStringList m_folders;
};

} // namespace morvaw
