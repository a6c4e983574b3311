#include "qtseriallink.h"

#include "portbindings.h"
#include "portdoctor.h"
#include "systemports.h"

#include <QFile>

#include <linux/serial.h>
#include <sys/ioctl.h>

#include <utility>

namespace morvaw {

namespace {

QString comName(int comNumber)
{
    return QStringLiteral("COM%1").arg(comNumber);
}

} // namespace

QtSerialLink::QtSerialLink(std::filesystem::path userFolder) : m_userFolder(std::move(userFolder))
{
    QObject::connect(&m_port, &QSerialPort::errorOccurred, &m_port,
                     [this](QSerialPort::SerialPortError error) { onError(error); });
}

QtSerialLink::~QtSerialLink()
{
    close();
}

int QtSerialLink::ErrorNumberOf(const PortDiagnosis& diagnosis)
{
    switch (diagnosis.verdict) {
    case PortDiagnosis::Verdict::LeadsNowhere:
    case PortDiagnosis::Verdict::Missing:
        return QSerialPort::DeviceNotFoundError;
    case PortDiagnosis::Verdict::NotSerial:
        return QSerialPort::UnsupportedOperationError;
    case PortDiagnosis::Verdict::NoPermission:
    case PortDiagnosis::Verdict::LogInAgain:
    case PortDiagnosis::Verdict::InUse: // Qt, too, reports a device locked by another so
        return QSerialPort::PermissionError;
    case PortDiagnosis::Verdict::Ready:
        break;
    }
    return QSerialPort::NoError;
}

std::optional<PortError> QtSerialLink::open(int comNumber)
{
    if (m_port.isOpen())
        close();
    // A device named on the command line stands for every COM number and is
    // known by its path alone.
    const bool named = !m_fixedDevice.isEmpty();
    const std::filesystem::path location =
        named ? std::filesystem::path(QFile::encodeName(m_fixedDevice).toStdString())
              : PortBindings(m_userFolder).Location(comNumber);
    const QString port = named ? QString() : comName(comNumber);
    PortFacts facts = SystemPorts::FactsOf(location, port);
    m_device = facts.device.isEmpty() ? QFile::decodeName(location.c_str()) : facts.device;
    if (const PortDiagnosis diagnosis = DiagnosePort(facts); !diagnosis.usable())
        return PortError{ErrorNumberOf(diagnosis), OpenFailureText(facts, diagnosis)};

    // The device itself, not the link: Qt names its lock file after what it
    // opens, so every program that reaches the device by any link finds it.
    m_port.setPortName(facts.device);
    const auto failure = [&] {
        PortError reported{static_cast<int>(m_port.error()),
                           PortName(facts) + QStringLiteral(": ") + m_port.errorString()};
        m_port.close();
        // Taken meanwhile, or held by a program that keeps no lock file.
        facts = SystemPorts::FactsOf(location, port, true);
        if (const PortDiagnosis diagnosis = DiagnosePort(facts); !diagnosis.usable())
            return PortError{ErrorNumberOf(diagnosis), OpenFailureText(facts, diagnosis)};
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
    setLowLatency();
    // Whatever the keyboard said before this transfer is not an answer to it.
    m_port.clear(QSerialPort::Input);
    return std::nullopt;
}

QString QtSerialLink::portName(int comNumber) const
{
    if (!m_fixedDevice.isEmpty())
        return m_fixedDevice;
    return PortName(
        SystemPorts::FactsOf(PortBindings(m_userFolder).Location(comNumber), comName(comNumber)));
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
