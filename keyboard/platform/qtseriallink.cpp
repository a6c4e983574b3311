#include "qtseriallink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

#include <utility>

namespace morvaw {

namespace {

// The group whose members may use a device: its own group where that may
// read and write it, else the one Debian gives serial ports.
QString groupToJoin(const QString& device)
{
    struct stat info
    {
    };
    constexpr mode_t kReadWrite = S_IRGRP | S_IWGRP;
    if (::stat(QFile::encodeName(device).constData(), &info) == 0 &&
        (info.st_mode & kReadWrite) == kReadWrite && info.st_gid != 0) {
        if (const group* owner = ::getgrgid(info.st_gid))
            return QString::fromLocal8Bit(owner->gr_name);
    }
    return QStringLiteral("dialout");
}

bool isSerialDevice(const QString& device)
{
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(device).constData(), &info) != 0 || S_ISCHR(info.st_mode);
}

} // namespace

QtSerialLink::QtSerialLink(QString programFolder) : m_programFolder(std::move(programFolder))
{
    QObject::connect(&m_port, &QSerialPort::errorOccurred, &m_port,
                     [this](QSerialPort::SerialPortError error) { onError(error); });
}

QtSerialLink::~QtSerialLink()
{
    close();
}

QString QtSerialLink::PortLocation(const QString& programFolder, int comNumber)
{
    const QString link = QDir(programFolder).filePath(QStringLiteral("com%1").arg(comNumber));
    // An entry that is there is the port even when it leads nowhere: the
    // built-in port of the same number is another device, maybe a printer.
    const QFileInfo entry(link);
    if (entry.isSymLink() || entry.exists())
        return link;
    return QStringLiteral("/dev/ttyS%1").arg(comNumber - 1);
}

QString QtSerialLink::OpenErrorText(int comNumber, const QString& device, int error,
                                    const QString& description, const QString& linkFolder)
{
    const QString name = comNumber > 0 ? QStringLiteral("COM%1 (%2): ").arg(comNumber).arg(device)
                                       : device + QStringLiteral(": ");
    if (error == QSerialPort::PermissionError)
        return name + QStringLiteral("%1. Add your user to the %2 group and log in again, "
                                     "or link com%3 in %4 to a port you may use.")
                          .arg(description, groupToJoin(device))
                          .arg(comNumber)
                          .arg(linkFolder);
    if (!isSerialDevice(device) || description == QString::fromLocal8Bit(std::strerror(ENOTTY)))
        return name + QStringLiteral("not a serial port (%1)").arg(description);
    return name + description;
}

std::optional<PortError> QtSerialLink::open(int comNumber)
{
    if (m_port.isOpen())
        close();
    const bool named = !m_fixedDevice.isEmpty();
    const QString location = named ? m_fixedDevice : PortLocation(m_programFolder, comNumber);
    const QFileInfo entry(location);
    if (!named && entry.isSymLink() && !entry.exists())
        return PortError{QSerialPort::DeviceNotFoundError,
                         QStringLiteral("COM%1: the link %2 leads to %3, which is not there. "
                                        "Plug the device in, point the link at one that is "
                                        "there, or remove it to use /dev/ttyS%4.")
                             .arg(comNumber)
                             .arg(location, entry.symLinkTarget())
                             .arg(comNumber - 1)};
    // The device a person knows the port by; locking it, not the link, keeps
    // two links to one device from both opening it.
    const QString device =
        entry.isSymLink() && entry.exists() ? entry.canonicalFilePath() : location;
    m_device = device;
    m_port.setPortName(device);
    const auto failure = [&] {
        const int error = static_cast<int>(m_port.error());
        PortError reported{error, OpenErrorText(named ? 0 : comNumber, device, error,
                                                m_port.errorString(), m_programFolder)};
        m_port.close();
        return reported;
    };
    if (!m_port.open(QIODevice::ReadWrite))
        return failure();
    const bool configured =
        m_port.setBaudRate(QSerialPort::Baud9600) && m_port.setDataBits(QSerialPort::Data8) &&
        m_port.setParity(QSerialPort::NoParity) && m_port.setStopBits(QSerialPort::OneStop) &&
        m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured)
        return failure();
    // Whatever the keyboard said before this transfer is not an answer to it.
    m_port.clear(QSerialPort::Input);
    setLowLatency();
    return std::nullopt;
}

void QtSerialLink::setLowLatency()
{
    serial_struct serial{};
    const int fd = static_cast<int>(m_port.handle());
    // A pseudo-terminal or a driver without these requests: nothing to change.
    if (fd < 0 || ::ioctl(fd, TIOCGSERIAL, &serial) != 0 || (serial.flags & ASYNC_LOW_LATENCY))
        return;
    serial.flags |= ASYNC_LOW_LATENCY;
    m_latencyChanged = ::ioctl(fd, TIOCSSERIAL, &serial) == 0;
}

void QtSerialLink::restoreLatency()
{
    serial_struct serial{};
    const int fd = static_cast<int>(m_port.handle());
    if (!std::exchange(m_latencyChanged, false) || fd < 0 || ::ioctl(fd, TIOCGSERIAL, &serial) != 0)
        return;
    serial.flags &= ~ASYNC_LOW_LATENCY;
    ::ioctl(fd, TIOCSSERIAL, &serial);
}

void QtSerialLink::onError(QSerialPort::SerialPortError error)
{
    // An adapter pulled out or a line hung up: the port is gone, and every
    // later write must fail at once instead of waiting for answers.
    if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
        error == QSerialPort::WriteError) {
        if (m_port.isOpen()) {
            restoreLatency(); // fails harmlessly on a device that is gone
            m_port.close();
        }
    }
}

void QtSerialLink::close()
{
    if (m_port.isOpen())
        restoreLatency();
    m_port.close();
}

bool QtSerialLink::isOpen() const
{
    return m_port.isOpen();
}

void QtSerialLink::write(std::string_view bytes)
{
    if (!m_port.isOpen())
        return;
    m_port.write(bytes.data(), static_cast<qint64>(bytes.size()));
    // Out now, not when the event loop next runs: the answer wait starts now.
    if (m_port.isOpen())
        m_port.flush();
}

std::optional<std::uint8_t> QtSerialLink::readChar()
{
    if (inBufferCount() == 0)
        return std::nullopt;
    char c = 0;
    if (!m_port.getChar(&c))
        return std::nullopt;
    return static_cast<std::uint8_t>(c);
}

int QtSerialLink::inBufferCount()
{
    if (!m_port.isOpen())
        return 0;
    // Picks up what the driver holds even when no event loop ran since it came.
    if (m_port.bytesAvailable() == 0)
        m_port.waitForReadyRead(0);
    return m_port.isOpen() ? static_cast<int>(m_port.bytesAvailable()) : 0;
}

} // namespace morvaw
