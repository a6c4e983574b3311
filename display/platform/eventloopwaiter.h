#pragma once

#include "waiter.h"

namespace vornestw {

// Waits in short nested event loops, so that clicks, timers and the serial
// port's own notifications go on while the display is slow.
class EventLoopWaiter : public Waiter
{
public:
    // One byte takes about 1 ms at 9600 baud; polling faster gains nothing.
    static constexpr std::chrono::milliseconds kPollInterval{1};

    Outcome waitUntil(const std::function<bool()>& ready, std::chrono::milliseconds limit,
                      const bool& abort, const std::function<void()>& eachRound) override;
    void processEvents() override;
};

} // namespace vornestw
