#pragma once

#include "waiter.h"

#include <functional>

namespace morvaw::test {

// Each round of a wait, and each yield, is one millisecond of a virtual
// clock; onTick runs every round, standing for the keyboard and the user.
class VirtualClock : public Waiter
{
public:
    bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
                   const std::function<void()>& eachRound) override
    {
        const long long deadline = limit == kForever ? -1 : m_now + limit.count();
        for (;;) {
            if (done())
                return true;
            if (deadline >= 0 && m_now >= deadline)
                return false;
            if (eachRound)
                eachRound();
            advance();
        }
    }
    void processEvents() override { advance(); }
    [[nodiscard]] std::chrono::milliseconds now() const override
    {
        return std::chrono::milliseconds(m_now);
    }

    std::function<void()> onTick;

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
