#pragma once

#include "waiter.h"

#include <QElapsedTimer>

namespace morvaw {

// Waits in short rounds of the event loop, so that clicks, timers, typed
// characters and the serial port's notifications go on during a transfer.
class EventLoopWaiter : public Waiter
{
public:
    // Answers come within milliseconds; polling faster gains nothing.
    static constexpr std::chrono::milliseconds kPollInterval{1};

    EventLoopWaiter();

    bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
                   const std::function<void()>& eachRound) override;
    void processEvents() override;
    [[nodiscard]] std::chrono::milliseconds now() const override;

private:
    QElapsedTimer m_clock;
};

} // namespace morvaw
