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
        m_failure.reset();
        if (m_unplugged)
            return QStringLiteral("COM%1 (simulated): No such file or directory").arg(comNumber);
        if (auto error = std::exchange(m_openError, std::nullopt))
            return error;
        m_opened.push_back(comNumber);
        m_open = true;
        return std::nullopt;
    }
    void close() override { m_open = false; }
    [[nodiscard]] bool isOpen() const override { return m_open; }
    [[nodiscard]] bool ctsHolding() override { return alive() && m_cts && m_ctsLowFor == 0; }
    void write(std::uint8_t byte) override
    {
        if (alive()) {
            m_written.push_back(byte);
            m_queue.push_back(byte);
        }
    }
    [[nodiscard]] int outBufferCount() override { return static_cast<int>(m_queue.size()); }
    void discardOutput() override { m_queue.clear(); }
    [[nodiscard]] std::optional<QString> failure() const override { return m_failure; }

    // One millisecond of the line: the display takes one queued byte and,
    // when paced, holds clear-to-send low for a while after it.
    void tick()
    {
        if (m_ctsLowFor > 0)
            --m_ctsLowFor;
        if (!alive() || m_stalled || m_queue.empty())
            return;
        m_received.push_back(m_queue.front());
        m_queue.pop_front();
        m_ctsLowFor = m_pace;
    }

    void setCts(bool cts) { m_cts = cts; }
    // The next open fails with this description.
    void failNextOpen(QString description) { m_openError = std::move(description); }
    // The queue never drains, as with a stalled driver.
    void stallOutput(bool stalled) { m_stalled = stalled; }
    // A slow display: clear-to-send drops for `ms` after every byte.
    void paceClearToSend(int ms) { m_pace = ms; }
    // The device goes away: an open port fails at its next use, and it
    // cannot be opened again.
    void unplug() { m_unplugged = true; }

    [[nodiscard]] const std::vector<std::uint8_t>& received() const { return m_received; }
    [[nodiscard]] const std::vector<std::uint8_t>& written() const { return m_written; }
    [[nodiscard]] const std::vector<int>& openedPorts() const { return m_opened; }
    void clearReceived() { m_received.clear(), m_written.clear(); }

private:
    bool alive()
    {
        if (m_open && m_unplugged) {
            m_failure =
                QStringLiteral("COM%1 (simulated): the device is gone").arg(m_opened.back());
            m_open = false;
            m_queue.clear();
        }
        return m_open;
    }

    bool m_open = false;
    bool m_cts = true;
    bool m_stalled = false;
    bool m_unplugged = false;
    int m_pace = 0;
    int m_ctsLowFor = 0;
    std::optional<QString> m_failure;
    std::optional<QString> m_openError;
    std::deque<std::uint8_t> m_queue;
    std::vector<std::uint8_t> m_received; // what reached the display
    std::vector<std::uint8_t> m_written;  // everything handed to the port
    std::vector<int> m_opened;
};

} // namespace vornestw::test
