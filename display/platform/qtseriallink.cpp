#include "qtseriallink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <utility>

namespace vornestw {

namespace {

// The device a person knows the port by: the target of a comN link.
QString deviceOf(const QString& location)
{
    const QFileInfo info(location);
    return info.isSymLink() ? info.symLinkTarget() : location;
}

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

} // namespace

QtSerialLink::QtSerialLink(QString programFolder) : m_programFolder(std::move(programFolder)) {}

QString QtSerialLink::PortLocation(const QString& programFolder, int comNumber)
{
    const QString link = QDir(programFolder).filePath(QStringLiteral("com%1").arg(comNumber));
    // A link that exists decides the port even when it points nowhere: the
    // built-in port of the same number would be another device.
    if (QFileInfo(link).exists() || QFileInfo(link).isSymLink())
        return link;
    return QStringLiteral("/dev/ttyS%1").arg(comNumber - 1);
}

QString QtSerialLink::OpenErrorText(int comNumber, const QString& location, int error,
                                    const QString& description, const QString& linkFolder)
{
    const QString name = QStringLiteral("COM%1 (%2): ").arg(comNumber).arg(deviceOf(location));
    if (error == EACCES || error == EPERM)
        return name + QStringLiteral("%1. Add your user to the dialout group and log in again, "
                                     "or link com%2 in %3 to a port you may use.")
                          .arg(description)
                          .arg(comNumber)
                          .arg(linkFolder);
    return name + description;
}

std::optional<QString> QtSerialLink::open(int comNumber)
{
    if (m_port.isOpen())
        m_port.close();
    m_failure.reset();
    const QString location = PortLocation(m_programFolder, comNumber);
    m_name = QStringLiteral("COM%1 (%2)").arg(comNumber).arg(deviceOf(location));

    struct stat target
    {
    };
    if (::stat(QFile::encodeName(location).constData(), &target) != 0) {
        const int error = errno;
        if (QFileInfo(location).isSymLink())
            return m_name + QStringLiteral(": the link com%1 in %2 points to no device")
                                .arg(comNumber)
                                .arg(m_programFolder);
        return OpenErrorText(comNumber, location, error,
                             QString::fromLocal8Bit(std::strerror(error)), m_programFolder);
    }
    if (!S_ISCHR(target.st_mode))
        return m_name + QStringLiteral(": not a serial port");
    if (::access(QFile::encodeName(location).constData(), R_OK | W_OK) != 0) {
        const int error = errno;
        return OpenErrorText(comNumber, location, error,
                             QString::fromLocal8Bit(std::strerror(error)), m_programFolder);
    }

    m_port.setPortName(location);
    // Nothing is read from the display; write-only keeps incoming bytes from
    // piling up in Qt's buffer.
    if (!m_port.open(QIODevice::WriteOnly))
        return OpenErrorText(comNumber, location, 0, m_port.errorString(), m_programFolder);
    const bool configured =
        m_port.setBaudRate(QSerialPort::Baud9600) && m_port.setDataBits(QSerialPort::Data8) &&
        m_port.setParity(QSerialPort::NoParity) && m_port.setStopBits(QSerialPort::OneStop) &&
        m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        QString error = m_port.errorString();
        m_port.close();
        return OpenErrorText(comNumber, location, 0, error, m_programFolder);
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

void QtSerialLink::fail()
{
    // Closing also stops Qt from retrying the failed write on every turn of
    // the event loop, which would keep a processor busy.
    m_failure = m_name + QStringLiteral(": the device is gone");
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
