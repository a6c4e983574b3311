#pragma once

#include "printer.h"

namespace vornestw {

// The CUPS default destination; each item is one raw job, so the display
// behind a plain-text queue receives the bytes unchanged.
class CupsPrinter : public Printer
{
public:
    std::optional<QString> printRaw(std::string_view bytes) override;
};

} // namespace vornestw
