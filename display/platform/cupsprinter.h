#pragma once

#include "printer.h"

#include <chrono>

namespace vornestw {

class Waiter;

// The CUPS default destination; each item is one raw job, so the display
// behind a plain-text queue receives the bytes unchanged. The job runs off
// the window's thread and the window waits for it through the waiter, so a
// print server that does not answer never freezes it.
class CupsPrinter : public Printer
{
public:
    // Each step of talking to the server may take this long.
    static constexpr std::chrono::milliseconds kAnswerLimit{5000};

    explicit CupsPrinter(Waiter& waiter, std::chrono::milliseconds answerLimit = kAnswerLimit);

    std::optional<QString> printRaw(std::string_view bytes) override;

private:
    Waiter& m_waiter;
    std::chrono::milliseconds m_answerLimit;
};

} // namespace vornestw
