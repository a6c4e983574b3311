#pragma once

#include <QString>

#include <optional>
#include <string_view>

namespace vornestw {

// The default printer, taking one raw item per call as one job.
class Printer
{
public:
    virtual ~Printer() = default;

    // The error's description when the item could not be printed.
    virtual std::optional<QString> printRaw(std::string_view bytes) = 0;
};

} // namespace vornestw
