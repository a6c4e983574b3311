#pragma once

#include "waiter.h"

#include <algorithm>
#include <functional>

namespace morvaw::test {

// Each round of a wait, and each yield, is one millisecond of a virtual
// clock; onTick runs every round, standing for the keyboard and the user.
// Waits in a row that let no time pass are counted: a loop spinning on them
// is busy.
class VirtualClock : public Waiter
{
public:
    bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
                   const std::function<void()>& eachRound) override
    {
        const long long start = m_now;
        const long long deadline = limit == kForever ? -1 : m_now + limit.count();
        bool met = false;
        while (!(met = done()) && (deadline < 0 || m_now < deadline)) {
            if (eachRound)
                eachRound();
            advance();
        }
        idleWaits = m_now == start ? idleWaits + 1 : 0;
        mostIdleWaits = std::max(mostIdleWaits, idleWaits);
        return met;
    }
    void processEvents() override { advance(); }
    [[nodiscard]] std::chrono::milliseconds now() const override
    {
        return std::chrono::milliseconds(m_now);
    }

    std::function<void()> onTick;
    int idleWaits = 0;
    int mostIdleWaits = 0;

private:
    void advance()
    {
        ++m_now;
        if (onTick)
            onTick();
    }

    long long m_now = 0;
};

} // namespace morvaw::test
