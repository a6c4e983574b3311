#pragma once

#include "seriallink.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

namespace vornestw::test {

// A COM port with a display behind it, driven by a virtual clock: bytes
// leave the output queue one per millisecond (about 9600 baud) and the
// display's clear-to-send line is whatever the test makes it.
class SimulatedPort : public SerialLink
{
public:
    std::optional<QString> open(int comNumber) override
    {
        if (m_unplugged)
            return QStringLiteral("No such file or directory");
        if (auto error = std::exchange(m_openError, std::nullopt))
            return error;
        m_opened.push_back(comNumber);
        m_open = true;
        return std::nullopt;
    }
    void close() override { m_open = false; }
    [[nodiscard]] bool isOpen() const override { return m_open; }
    [[nodiscard]] bool ctsHolding() override { return m_open && m_cts; }
    void write(std::uint8_t byte) override
    {
        if (m_open) {
            m_written.push_back(byte);
            m_queue.push_back(byte);
        }
    }
    [[nodiscard]] int outBufferCount() override { return static_cast<int>(m_queue.size()); }
    void discardOutput() override { m_queue.clear(); }

    // One millisecond of the line: the display takes one queued byte.
    void tick()
    {
        if (m_stalled || m_unplugged || m_queue.empty())
            return;
        m_received.push_back(m_queue.front());
        m_queue.pop_front();
    }

    void setCts(bool cts) { m_cts = cts; }
    // The next open fails with this description.
    void failNextOpen(QString description) { m_openError = std::move(description); }
    // The queue never drains, as with a stalled driver.
    void stallOutput(bool stalled) { m_stalled = stalled; }
    // The device goes away: nothing drains any more and it cannot be opened.
    void unplug() { m_unplugged = true; }

    [[nodiscard]] const std::vector<std::uint8_t>& received() const { return m_received; }
    [[nodiscard]] const std::vector<std::uint8_t>& written() const { return m_written; }
    [[nodiscard]] const std::vector<int>& openedPorts() const { return m_opened; }
    void clearReceived() { m_received.clear(), m_written.clear(); }

private:
    bool m_open = false;
    bool m_cts = true;
    bool m_stalled = false;
    bool m_unplugged = false;
    std::optional<QString> m_openError;
    std::deque<std::uint8_t> m_queue;
    std::vector<std::uint8_t> m_received; // what reached the display
    std::vector<std::uint8_t> m_written;  // everything handed to the port
    std::vector<int> m_opened;
};

} // namespace vornestw::test
