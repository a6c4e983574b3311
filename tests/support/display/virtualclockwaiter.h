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
                      const bool& abort, const std::function<void()>& eachRound) override
    {
        const long long deadline = m_now + limit.count();
        for (;;) {
            if (ready())
                return Outcome::Ready;
            if (abort)
                return Outcome::Aborted;
            if (m_now >= deadline)
                return Outcome::TimedOut;
            if (eachRound)
                eachRound();
            processEvents();
        }
    }
    void processEvents() override
    {
        ++m_now;
        if (onTick)
            onTick();
    }

    std::function<void()> onTick;
    [[nodiscard]] long long now() const { return m_now; }

private:
    long long m_now = 0; // ms, one event round each
};

} // namespace vornestw::test
