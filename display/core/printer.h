#pragma once

#include "printqueue.h"

#include <QString>

#include <optional>
#include <string_view>

namespace vornestw {

// The print server, taking one raw item per call as one job.
class Printer
{
public:
    virtual ~Printer() = default;

    // Prints to `queue`, or to the default printer when it is empty. The
    // error's description when the item did not reach the printer; a job the
    // queue held is cancelled, so that it never comes out later.
    virtual std::optional<QString> printRaw(const QString& queue, std::string_view bytes) = 0;

    virtual PrintQueueList listQueues() = 0;
};

} // namespace vornestw
