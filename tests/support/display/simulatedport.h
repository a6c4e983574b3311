#pragma once

#include "seriallink.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace vornestw::test {

// A COM port with a display behind it, driven by a virtual clock: bytes
// leave the output queue one per millisecond (about 9600 baud) and the
// display's clear-to-send line is whatever the test makes it.
class SimulatedPort : public SerialLink
{
public:
    std::optional<QString> open(int comNumber) override;
    void close() override { m_open = false; }
    [[nodiscard]] bool isOpen() const override { return m_open; }
    [[nodiscard]] bool ctsHolding() override { return m_cts; }
    void write(std::uint8_t byte) override;
    [[nodiscard]] int outBufferCount() override { return static_cast<int>(m_queue.size()); }
    void discardOutput() override { m_queue.clear(); }

    // One millisecond of the line: the display takes one queued byte.
    void tick();

    void setCts(bool cts) { m_cts = cts; }
    // The next open fails with this description.
    void failNextOpen(QString description) { m_openError = std::move(description); }
    // The queue never drains, as with a stalled driver.
    void stallOutput(bool stalled) { m_stalled = stalled; }

    [[nodiscard]] const std::vector<std::uint8_t>& received() const { return m_received; }
    [[nodiscard]] const std::vector<std::uint8_t>& written() const { return m_written; }
    [[nodiscard]] const std::vector<int>& openedPorts() const { return m_opened; }
    void clearReceived()
    {
        m_received.clear();
        m_written.clear();
    }

private:
    bool m_open = false;
    bool m_cts = true;
    bool m_stalled = false;
    std::optional<QString> m_openError;
    std::vector<std::uint8_t> m_queue;
    std::vector<std::uint8_t> m_received; // what reached the display
    std::vector<std::uint8_t> m_written;  // everything handed to the port
    std::vector<int> m_opened;
};

} // namespace vornestw::test
