#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace vornestw {

// A queue of the print server, as the connection window lists it.
struct PrintQueue
{
    QString name;
    QString state; // "idle", "printing", "paused" or "rejecting jobs"
    bool isDefault = false;
    bool operator==(const PrintQueue&) const = default;
};

// The print server's queues, or why they could not be listed.
struct PrintQueueList
{
    std::vector<PrintQueue> queues;
    std::optional<QString> error;
};

// A name a print server can give a queue: printable, at most 127 bytes,
// without blanks or any of / \ # ? ' ". Anything else read from a file or
// the command line is no choice at all.
[[nodiscard]] bool IsPrintQueueName(const QString& name);

} // namespace vornestw
