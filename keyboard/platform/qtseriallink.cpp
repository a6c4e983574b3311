#include "qtseriallink.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

namespace morvaw {

QtSerialLink::QtSerialLink(QString programFolder) : m_programFolder(std::move(programFolder))
{
    QObject::connect(&m_port, &QSerialPort::errorOccurred, &m_port,
                     [this](QSerialPort::SerialPortError error) { onError(error); });
}

QString QtSerialLink::PortLocation(const QString& programFolder, int comNumber)
{
    const QString link = QDir(programFolder).filePath(QStringLiteral("com%1").arg(comNumber));
    // exists() follows the link: a dangling one falls back like a missing one.
    if (QFileInfo::exists(link))
        return link;
    return QStringLiteral("/dev/ttyS%1").arg(comNumber - 1);
}

std::optional<PortError> QtSerialLink::open(int comNumber)
{
    if (m_port.isOpen())
        m_port.close();
    m_port.setPortName(PortLocation(m_programFolder, comNumber));
    const auto failure = [this] {
        PortError error{static_cast<int>(m_port.error()), m_port.errorString()};
        m_port.close();
        return error;
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
    return std::nullopt;
}

void QtSerialLink::onError(QSerialPort::SerialPortError error)
{
    // An adapter pulled out or a line hung up: the port is gone, and every
    // later write must fail at once instead of waiting for answers.
    if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
        error == QSerialPort::WriteError) {
        if (m_port.isOpen())
            m_port.close();
    }
}

void QtSerialLink::close()
{
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
