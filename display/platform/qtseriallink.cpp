#include "qtseriallink.h"

#include <QDir>
#include <QFileInfo>

#include <sys/ioctl.h>
#include <termios.h>

#include <utility>

namespace vornestw {

QtSerialLink::QtSerialLink(QString programFolder) : m_programFolder(std::move(programFolder)) {}

QString QtSerialLink::PortLocation(const QString& programFolder, int comNumber)
{
    const QString link = QDir(programFolder).filePath(QStringLiteral("com%1").arg(comNumber));
    // exists() follows the link: a dangling one falls back like a missing one.
    if (QFileInfo::exists(link))
        return link;
    return QStringLiteral("/dev/ttyS%1").arg(comNumber - 1);
}

std::optional<QString> QtSerialLink::open(int comNumber)
{
    if (m_port.isOpen())
        m_port.close();
    m_port.setPortName(PortLocation(m_programFolder, comNumber));
    // Nothing is read from the display; write-only keeps incoming bytes from
    // piling up in Qt's buffer.
    if (!m_port.open(QIODevice::WriteOnly))
        return m_port.errorString();
    const bool configured =
        m_port.setBaudRate(QSerialPort::Baud9600) && m_port.setDataBits(QSerialPort::Data8) &&
        m_port.setParity(QSerialPort::NoParity) && m_port.setStopBits(QSerialPort::OneStop) &&
        m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        QString error = m_port.errorString();
        m_port.close();
        return error;
    }
    return std::nullopt;
}

void QtSerialLink::close()
{
    m_port.close();
}

bool QtSerialLink::isOpen() const
{
    return m_port.isOpen();
}

bool QtSerialLink::ctsHolding()
{
    if (!m_port.isOpen())
        return false;
    int lines = 0;
    // A pseudo-terminal has no modem lines; it is always ready.
    if (::ioctl(static_cast<int>(m_port.handle()), TIOCMGET, &lines) != 0)
        return true;
    return (lines & TIOCM_CTS) != 0;
}

void QtSerialLink::write(std::uint8_t byte)
{
    if (!m_port.isOpen())
        return;
    const char c = static_cast<char>(byte);
    m_port.write(&c, 1);
    m_port.flush();
}

int QtSerialLink::outBufferCount()
{
    if (!m_port.isOpen())
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
