#include "serialdevice.h"

#include "linkcodes.h"
#include "transferwaits.h"

#include <string>

namespace morvaw {

SerialDevice::SerialDevice(TransferWaits& waits, SerialLink& port) : m_waits(waits), m_port(port) {}

std::optional<PortError> SerialDevice::AskForCom(int comNumber)
{
    if (m_port.isOpen())
        return std::nullopt;
    if (auto error = m_port.open(comNumber))
        return error;
    m_port.write(std::string(1, static_cast<char>(kWakeByte)));
    return std::nullopt;
}

std::uint8_t SerialDevice::GetChar()
{
    if (!m_port.isOpen())
        return 0;
    return m_port.readChar().value_or(0);
}

void SerialDevice::send(std::string_view bytes)
{
    if (!m_port.isOpen())
        return;
    discardStaleAnswers();
    m_port.write(bytes);
}

void SerialDevice::discardStaleAnswers()
{
    // An answer that came after its wait, or twice, must not pass for the
    // answer to the next question: nothing in an answer tells them apart.
    for (int stale = m_port.inBufferCount(); stale > 0; --stale)
        (void)m_port.readChar();
}

void SerialDevice::closePort()
{
    if (m_port.isOpen())
        m_port.close();
}

bool SerialDevice::portOpen() const
{
    return m_port.isOpen();
}

SerialDevice::WriteResult SerialDevice::acknowledged()
{
    // Stale answers were dropped before the record went out, so the first
    // character now is the answer: waiting on after it changes nothing but
    // the time taken.
    if (m_fast)
        m_waits.waitUntil([this] { return !m_port.isOpen() || m_port.inBufferCount() > 0; },
                          kAnswerWait);
    else
        m_waits.delay(kAnswerWait);
    return GetChar() == '+' ? WriteResult::Acknowledged : WriteResult::NotAcknowledged;
}

SerialDevice::WriteResult SerialDevice::WriteE2(int long1, std::uint8_t data1, std::uint8_t data2)
{
    if (!m_port.isOpen())
        return WriteResult::NotSent;
    send("*" + Hex2Asc(long1) + Hex2Asc(data1) + Hex2Asc(data2));
    return acknowledged();
}

SerialDevice::WriteResult SerialDevice::NewWriteE2(int long1, std::uint8_t data1)
{
    if (!m_port.isOpen())
        return WriteResult::NotSent;
    // Four separate writes, as the keyboard reads them one by one.
    const std::uint8_t record[] = {'@', Lo(long1), static_cast<std::uint8_t>(Hi(long1) * 2), data1};
    discardStaleAnswers();
    for (std::uint8_t b : record)
        m_port.write(std::string(1, static_cast<char>(b)));
    return acknowledged();
}

std::optional<int> SerialDevice::QueryVersion(std::chrono::milliseconds wait)
{
    send("V");
    m_waits.delay(wait);
    const int c = GetChar();
    if (c >= kVersionBase)
        return c - kVersionBase;
    return std::nullopt;
}

SerialDevice::Detection SerialDevice::AutoDetectKbd(int comNumber)
{
    Detection found;
    if ((found.portError = AskForCom(comNumber)))
        return found;
    for (int attempt = 0; attempt < 2; ++attempt) {
        send("V");
        m_waits.delay(kDetectWait);
        found.answer = GetChar();
        const int n = found.answer - kVersionBase;
        if (n == 1 || n == 2) {
            found.type = n;
            return found;
        }
        // Any other answer: a keyboard that takes a word record is one
        // without macros. A record cut short by a stop says nothing.
        const WriteResult probe = WriteE2(102, 0x55, 0xAA);
        if (probe == WriteResult::Acknowledged) {
            found.type = 0;
            return found;
        }
        found.probeNotAcknowledged |=
            probe == WriteResult::NotAcknowledged && m_waits.keepRunning();
    }
    return found;
}

} // namespace morvaw
