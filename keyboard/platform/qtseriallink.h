#pragma once

#include "seriallink.h"

#include <QSerialPort>
#include <QString>

#include <filesystem>

namespace morvaw {

struct PortDiagnosis;

// COMn through Qt SerialPort: the entry `comN` in the folder of the user's
// files (ProgramFolders) when there is one (e.g. com1 -> /dev/ttyUSB0),
// whatever it leads to; /dev/ttyS<n-1> only when there is none. The device
// it leads to is opened and locked, so that a second program reaching it by
// another link is refused at once.
class QtSerialLink : public SerialLink
{
public:
    explicit QtSerialLink(std::filesystem::path userFolder);
    ~QtSerialLink() override;

    // The "Error # " number of a port the doctor finds unusable: the error Qt
    // reports for the same trouble.
    [[nodiscard]] static int ErrorNumberOf(const PortDiagnosis& diagnosis);

    std::optional<PortError> open(int comNumber) override;
    void close() override;
    [[nodiscard]] bool isOpen() const override;
    void write(std::string_view bytes) override;
    [[nodiscard]] std::optional<std::uint8_t> readChar() override;
    [[nodiscard]] int inBufferCount() override;
    [[nodiscard]] QString portName(int comNumber) const override;
    [[nodiscard]] QString deviceName() const override { return m_device; }

    // Every COM number opens this device instead (the command line's
    // --port /dev/ttyUSB0).
    void useDevice(const QString& path) { m_fixedDevice = path; }

private:
    void onError(QSerialPort::SerialPortError error);
    // USB adapters hold back what they receive up to their latency timer
    // (16 ms on FTDI ones), which would cap an answer-paced transfer; while
    // the port is open the driver is asked to hand bytes on at once, where
    // it takes the request, and put back on close.
    void setLowLatency();
    void restoreLatency();

    std::filesystem::path m_userFolder;
    QString m_fixedDevice;
    QString m_device;
    QSerialPort m_port;
    bool m_latencyChanged = false;
};

} // namespace morvaw
