#pragma once

#include "waiter.h"

#include <functional>

namespace vornestw::test {

// Each round of a wait is one millisecond of a virtual clock; onTick runs
// every round, standing for the device and for whatever the user does.
class VirtualClockWaiter : public Waiter
{
public:
    Outcome waitUntil(const std::function<bool()>& ready, std::chrono::milliseconds limit,
                      const bool& abort, const std::function<void()>& eachRound) override;
    void processEvents() override;

    std::function<void()> onTick;

    [[nodiscard]] long long now() const { return m_now; }
    [[nodiscard]] int eventRounds() const { return m_eventRounds; }
    [[nodiscard]] int timeouts() const { return m_timeouts; }

private:
    void advance();

    long long m_now = 0; // ms
    int m_eventRounds = 0;
    int m_timeouts = 0;
};

} // namespace vornestw::test
