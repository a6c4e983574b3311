#include "transfersession.h"

#include "configuratorstate.h"
#include "repeatsettings.h"
#include "waiter.h"

#include <algorithm>

namespace morvaw {

TransferSession::TransferSession(ConfiguratorState& state, Waiter& waiter, RepeatSettings& repeat)
    : m_state(state), m_waiter(waiter), m_repeat(repeat)
{
}

void TransferSession::delay(std::chrono::milliseconds time)
{
    m_waiter.waitUntil([this] { return !KeepRunning; }, std::max(time, kTimerTick));
}

void TransferSession::yield()
{
    m_waiter.processEvents();
}

void TransferSession::beepOnFailure(bool ok)
{
    if (!ok && m_repeat.unavailableReason().isEmpty())
        emit beep();
}

bool TransferSession::keyboardPortSelected() const
{
    return m_state.ComPortIndex >= 4;
}

} // namespace morvaw
