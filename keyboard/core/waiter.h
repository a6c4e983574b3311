#pragma once

#include <chrono>
#include <functional>

namespace morvaw {

// Every wait of the configurator goes through this, so that the program keeps
// the keyboard's timings while tests run the same code on a virtual clock.
// Waiting never blocks the window: the user interface runs during a wait.
class Waiter
{
public:
    static constexpr std::chrono::milliseconds kForever = std::chrono::milliseconds::max();

    virtual ~Waiter() = default;

    // Lets the user interface run until done() holds or `limit` has passed;
    // each round that finds it not done first calls eachRound (when given).
    // True when done() held.
    virtual bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
                           const std::function<void()>& eachRound = {}) = 0;

    // One round of pending events.
    virtual void processEvents() = 0;

    // A steady clock, for timers that must tick during waits.
    [[nodiscard]] virtual std::chrono::milliseconds now() const = 0;
};

} // namespace morvaw
