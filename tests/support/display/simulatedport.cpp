#include "simulatedport.h"

namespace vornestw::test {

std::optional<QString> SimulatedPort::open(int comNumber)
{
    if (m_openError) {
        auto error = std::move(m_openError);
        m_openError.reset();
        return error;
    }
    m_open = true;
    m_opened.push_back(comNumber);
    return std::nullopt;
}

void SimulatedPort::write(std::uint8_t byte)
{
    if (!m_open)
        return;
    m_written.push_back(byte);
    m_queue.push_back(byte);
}

void SimulatedPort::tick()
{
    if (m_stalled || m_queue.empty())
        return;
    m_received.push_back(m_queue.front());
    m_queue.erase(m_queue.begin());
}

} // namespace vornestw::test
