#include "transferwaits.h"

#include "waiter.h"

#include <algorithm>

namespace morvaw {

void TransferWaits::delay(std::chrono::milliseconds time)
{
    m_waiter.waitUntil([this] { return !m_keepRunning; }, std::max(time, kTimerTick));
}

void TransferWaits::yield()
{
    m_waiter.processEvents();
}

void TransferWaits::waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
                              const std::function<void()>& eachRound)
{
    m_waiter.waitUntil([&] { return !m_keepRunning || done(); }, limit, eachRound);
}

std::chrono::milliseconds TransferWaits::now() const
{
    return m_waiter.now();
}

} // namespace morvaw
