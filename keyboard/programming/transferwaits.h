#pragma once

#include <chrono>
#include <functional>

namespace morvaw {

class Waiter;

// The waits of one transfer. Each ends early once the transfer is stopped
// (Cancel, a click, the window closing), so that a stop takes effect within
// one round of the event loop wherever the transfer is waiting.
class TransferWaits
{
public:
    // The keyboard's firmware was timed against a timer that never fires
    // sooner than this, so no pause of the link is shorter.
    static constexpr std::chrono::milliseconds kTimerTick{16};

    explicit TransferWaits(Waiter& waiter) : m_waiter(waiter) {}

    void start() { m_keepRunning = true; }
    void stop() { m_keepRunning = false; }
    [[nodiscard]] bool keepRunning() const { return m_keepRunning; }

    // Waits at least one timer tick; ends early when stopped.
    void delay(std::chrono::milliseconds time);
    // Lets pending events run once.
    void yield();
    // Waits until done() holds, the transfer is stopped or `limit` has passed;
    // eachRound runs in every round that finds it not done.
    void waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
                   const std::function<void()>& eachRound = {});
    [[nodiscard]] std::chrono::milliseconds now() const;

private:
    Waiter& m_waiter;
    bool m_keepRunning = false;
};

} // namespace morvaw
