#include "simulatedlinks.h"

#include <algorithm>

namespace morvaw::test {

std::optional<PortError> SimulatedSerialPort::open(int comNumber)
{
    if (openError)
        return openError;
    if (vanished)
        return PortError{1, QStringLiteral("No such file or directory")};
    m_open = true;
    openedPorts.push_back(comNumber);
    m_input.clear();
    return std::nullopt;
}

void SimulatedSerialPort::write(std::string_view bytes)
{
    if (!m_open)
        return;
    written += bytes;
    if (vanished)
        return;
    for (char c : bytes) { // one byte after the other, a millisecond each
        m_lineFreeAt = std::max(m_now, m_lineFreeAt) + 1;
        m_toDevice.push(m_lineFreeAt, std::string(1, c));
    }
}

std::optional<std::uint8_t> SimulatedSerialPort::readChar()
{
    if (!m_open || m_input.empty())
        return std::nullopt;
    const auto c = static_cast<std::uint8_t>(m_input.front());
    m_input.erase(0, 1);
    return c;
}

void SimulatedSerialPort::tick(long long now)
{
    m_now = now;
    if (vanished) {
        m_toDevice.clear();
        m_toHost.clear();
        return;
    }
    m_toDevice.release(now, [this](std::uint8_t b) {
        const std::string answer = m_device.receive(b);
        m_toHost.push(m_now + 1 + m_device.replyDelayMs(), answer);
    });
    m_toHost.release(now, [this](std::uint8_t b) {
        if (m_open)
            m_input += static_cast<char>(b);
    });
}

bool SimulatedRepeatSettings::setSpeed(int speed)
{
    if (unavailable.isEmpty()) {
        speedsSet.push_back(currentSpeed = speed);
        changed();
    }
    return unavailable.isEmpty();
}

bool SimulatedRepeatSettings::setDelay(int delay)
{
    if (unavailable.isEmpty()) {
        currentDelay = delay;
        changed();
    }
    return unavailable.isEmpty();
}

void SimulatedRepeatSettings::changed()
{
    ++changes;
    const bool tooSoon = m_now - m_lastChangeAt <= kMergeWindowMs;
    m_lastChangeAt = m_now;
    if (!tooSoon)
        command();
    else if (m_heldUntil < 0)
        m_heldUntil = m_now + kMergeWindowMs;
}

void SimulatedRepeatSettings::command()
{
    // The keyboard gets the command a moment later and types back.
    commands.emplace_back(currentSpeed, currentDelay);
    m_typed.push(m_now + 4, m_device.typematic(currentSpeed, currentDelay), 2);
    if (m_device.awaitingCornerKeys() && m_knockAt < 0)
        m_knockAt = m_now;
}

void SimulatedRepeatSettings::tick(long long now)
{
    m_now = now;
    if (m_heldUntil >= 0 && now >= m_heldUntil) {
        m_heldUntil = -1;
        command();
    }
    if (m_knockAt >= 0 && pressAfterMs >= 0 && now >= m_knockAt + pressAfterMs) {
        m_knockAt = -1;
        m_typed.push(now, m_device.pressCornerKeys(), 2);
    }
    m_typed.release(now, [this](std::uint8_t c) {
        if (typeKey)
            typeKey(static_cast<char>(c));
    });
}

} // namespace morvaw::test
