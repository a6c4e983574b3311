#pragma once

#include <chrono>
#include <functional>

namespace vornestw {

// Every wait of the utility goes through this, so that the program keeps its
// real timings while tests run the same code on a virtual clock.
class Waiter
{
public:
    enum class Outcome { Ready, TimedOut, Aborted };

    virtual ~Waiter() = default;

    // Lets the user interface run until ready() holds, `abort` is set or
    // `limit` has passed; each round that finds it not ready first calls
    // eachRound (when given). ready() is tested before `abort`.
    virtual Outcome waitUntil(const std::function<bool()>& ready, std::chrono::milliseconds limit,
                              const bool& abort, const std::function<void()>& eachRound = {}) = 0;

    // One round of pending events.
    virtual void processEvents() = 0;
};

} // namespace vornestw
