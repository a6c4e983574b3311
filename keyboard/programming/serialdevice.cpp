#include "serialdevice.h"

#include "configuratorstate.h"
#include "keyboardportdevice.h"
#include "linkcodes.h"
#include "seriallink.h"
#include "transfersession.h"
#include "userdialogs.h"

#include <string>

namespace morvaw {

SerialDevice::SerialDevice(TransferSession& session, SerialLink& port,
                           KeyboardPortDevice& keyboardPort, UserDialogs& dialogs)
    : m_session(session), m_port(port), m_keyboardPort(keyboardPort), m_dialogs(dialogs)
{
}

bool SerialDevice::AskForCom()
{
    if (m_session.keyboardPortSelected() || m_port.isOpen())
        return true;
    if (const auto error = m_port.open(m_session.state().ComPortIndex + 1)) {
        m_dialogs.warn(QStringLiteral("Error # ") +
                           QString::fromStdString(NumberText(error->number)) + QLatin1Char('\n') +
                           error->description,
                       QStringLiteral("Error"));
        return false;
    }
    m_port.write(std::string(1, static_cast<char>(kWakeByte)));
    return true;
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

bool SerialDevice::acknowledged()
{
    m_session.delay(kAnswerWait);
    if (GetChar() == '+')
        return true;
    // A write cut short by Cancel or by closing the window says nothing about the line.
    if (!m_session.ErrorShown && m_session.KeepRunning) {
        m_session.ErrorShown = true;
        m_dialogs.warn(QStringLiteral("Check connection, port number, macro mode"),
                       QStringLiteral("Data transmit. error"));
    }
    return false;
}

bool SerialDevice::WriteE2(int long1, std::uint8_t data1, std::uint8_t data2)
{
    if (!m_port.isOpen())
        return false;
    send("*" + Hex2Asc(long1) + Hex2Asc(data1) + Hex2Asc(data2));
    return acknowledged();
}

bool SerialDevice::NewWriteE2(int long1, std::uint8_t data1)
{
    if (m_session.keyboardPortSelected())
        return m_keyboardPort.KbdWriteE2(long1, data1);
    if (!m_port.isOpen())
        return false;
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
    m_session.delay(wait);
    const int c = GetChar();
    if (c >= kVersionBase)
        return c - kVersionBase;
    return std::nullopt;
}

int SerialDevice::AutoDetectKbd()
{
    if (!AskForCom())
        return kUnknownType;
    for (int attempt = 0; attempt < 2; ++attempt) {
        send("V");
        m_session.delay(kDetectWait);
        const int n = GetChar() - kVersionBase;
        if (n == 1 || n == 2)
            return n;
        // Any other answer: a keyboard that takes a word record is one
        // without macros.
        if (WriteE2(102, 0x55, 0xAA))
            return 0;
    }
    return kUnknownType;
}

} // namespace morvaw
