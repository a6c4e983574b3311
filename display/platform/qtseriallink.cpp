#include "qtseriallink.h"

#include "portbindings.h"
#include "portdoctor.h"
#include "systemports.h"

#include <cerrno>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <utility>

namespace vornestw {

namespace {

bool isGoneError(int error)
{
    return error == EIO || error == ENXIO || error == ENODEV;
}

// Room in the driver's output queue. A display that stops reading fills it
// (a pseudo-terminal's buffer, a UART held back); that is a slow display,
// not a lost one.
bool hasRoom(int descriptor)
{
    pollfd p{descriptor, POLLOUT, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & POLLOUT) != 0;
}

// The clear-to-send line; nothing for a device without modem lines (a
// pseudo-terminal).
std::optional<bool> clearToSend(int descriptor)
{
    int lines = 0;
    if (::ioctl(descriptor, TIOCMGET, &lines) != 0)
        return std::nullopt;
    return (lines & TIOCM_CTS) != 0;
}

} // namespace

QtSerialLink::QtSerialLink(QString programFolder) : m_programFolder(std::move(programFolder)) {}

std::optional<QString> QtSerialLink::openPort(QSerialPort& port, int comNumber, QString& name,
                                              QString& device) const
{
    const QString location = PortBindings(m_programFolder).Location(comNumber);
    const QString portName = QStringLiteral("COM%1").arg(comNumber);
    PortFacts facts = SystemPorts::FactsOf(location, portName);
    name = PortName(facts);
    device = facts.device;
    if (const PortDiagnosis diagnosis = DiagnosePort(facts); !diagnosis.usable())
        return OpenFailureText(facts, diagnosis);

    // The device itself, not the link: Qt names its lock file after what it
    // opens, so every program that reaches the device by any link finds it.
    port.setPortName(facts.device);
    // Nothing is read from the display; write-only keeps incoming bytes from
    // piling up in Qt's buffer.
    if (!port.open(QIODevice::WriteOnly)) {
        const QString error = port.errorString();
        // Taken meanwhile, or held by a program that keeps no lock file.
        facts = SystemPorts::FactsOf(location, portName, true);
        if (const PortDiagnosis diagnosis = DiagnosePort(facts); !diagnosis.usable())
            return OpenFailureText(facts, diagnosis);
        return name + QStringLiteral(": ") + error;
    }
    const bool configured =
        port.setBaudRate(QSerialPort::Baud9600) && port.setDataBits(QSerialPort::Data8) &&
        port.setParity(QSerialPort::NoParity) && port.setStopBits(QSerialPort::OneStop) &&
        port.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        const QString error = port.errorString();
        port.close();
        return name + QStringLiteral(": ") + error;
    }
    return std::nullopt;
}

std::optional<QString> QtSerialLink::open(int comNumber)
{
    if (m_port.isOpen())
        m_port.close();
    m_failure.reset();
    return openPort(m_port, comNumber, m_name, m_device);
}

LineCheck QtSerialLink::checkLine(int comNumber)
{
    LineCheck check;
    const QString location = PortBindings(m_programFolder).Location(comNumber);
    const PortFacts facts = SystemPorts::FactsOf(location, QStringLiteral("COM%1").arg(comNumber));
    std::optional<bool> cts;
    if (m_port.isOpen() && !facts.device.isEmpty() && facts.device == m_device) {
        check.name = m_name;
        cts = clearToSend(static_cast<int>(m_port.handle()));
    } else {
        QSerialPort probe;
        QString device;
        check.error = openPort(probe, comNumber, check.name, device);
        if (check.error)
            return check;
        cts = clearToSend(static_cast<int>(probe.handle()));
    }
    check.clearToSend = !cts   ? LineCheck::ClearToSend::NoModemLines
                        : *cts ? LineCheck::ClearToSend::Up
                               : LineCheck::ClearToSend::Down;
    return check;
}

void QtSerialLink::close()
{
    m_port.close();
}

bool QtSerialLink::isOpen() const
{
    return m_port.isOpen();
}

void QtSerialLink::fail()
{
    // Closing also stops Qt from retrying the failed write on every turn of
    // the event loop, which would keep a processor busy.
    m_failure = m_name + QStringLiteral(
                             ": the device is gone\nIt was unplugged or switched off, or the "
                             "simulator ended. Plug it in again and send the command again; if it "
                             "comes back under another name, bind the port to it with the Ports… "
                             "button in Setup > Connection.");
    m_port.close();
}

bool QtSerialLink::lineAlive()
{
    if (!m_port.isOpen())
        return false;
    // A pulled USB adapter or a pseudo-terminal whose other side closed
    // reports a hang-up; writes to it fail with EIO.
    pollfd p{static_cast<int>(m_port.handle()), POLLOUT, 0};
    const bool hungUp = ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    auto error = m_port.error();
    // Qt reports a write into a full queue (EAGAIN) as a write error; the
    // byte stays in its buffer and goes out once the display reads again.
    if (!hungUp && error == QSerialPort::WriteError &&
        !hasRoom(static_cast<int>(m_port.handle()))) {
        m_port.clearError();
        error = QSerialPort::NoError;
    }
    if (hungUp || error == QSerialPort::ResourceError || error == QSerialPort::WriteError) {
        fail();
        return false;
    }
    return true;
}

bool QtSerialLink::ctsHolding()
{
    if (!lineAlive())
        return false;
    int lines = 0;
    if (::ioctl(static_cast<int>(m_port.handle()), TIOCMGET, &lines) != 0) {
        if (isGoneError(errno)) {
            fail();
            return false;
        }
        return true; // a pseudo-terminal has no modem lines: always ready
    }
    return (lines & TIOCM_CTS) != 0;
}

void QtSerialLink::write(std::uint8_t byte)
{
    if (!lineAlive())
        return;
    const char c = static_cast<char>(byte);
    m_port.write(&c, 1);
    // Straight to the driver when it has room; otherwise Qt hands the byte
    // over as soon as the display takes some again.
    if (hasRoom(static_cast<int>(m_port.handle())))
        m_port.flush();
    lineAlive();
}

int QtSerialLink::outBufferCount()
{
    if (!lineAlive())
        return 0;
    int queued = 0;
    if (::ioctl(static_cast<int>(m_port.handle()), TIOCOUTQ, &queued) != 0)
        queued = 0;
    return static_cast<int>(m_port.bytesToWrite()) + queued;
}

void QtSerialLink::discardOutput()
{
    if (m_port.isOpen())
        m_port.clear(QSerialPort::Output);
}

} // namespace vornestw
