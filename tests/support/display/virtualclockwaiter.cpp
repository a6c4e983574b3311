#include "virtualclockwaiter.h"

namespace vornestw::test {

Waiter::Outcome VirtualClockWaiter::waitUntil(const std::function<bool()>& ready,
                                              std::chrono::milliseconds limit, const bool& abort,
                                              const std::function<void()>& eachRound)
{
    const long long deadline = m_now + limit.count();
    for (;;) {
        if (ready())
            return Outcome::Ready;
        if (abort)
            return Outcome::Aborted;
        if (m_now >= deadline) {
            ++m_timeouts;
            return Outcome::TimedOut;
        }
        if (eachRound)
            eachRound();
        advance();
    }
}

void VirtualClockWaiter::processEvents()
{
    advance();
}

void VirtualClockWaiter::advance()
{
    ++m_now;
    ++m_eventRounds;
    if (onTick)
        onTick();
}

} // namespace vornestw::test
