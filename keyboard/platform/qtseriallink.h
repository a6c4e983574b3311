#pragma once

#include "seriallink.h"

#include <QSerialPort>
#include <QString>

namespace morvaw {

// COMn through Qt SerialPort: the entry `comN` in the folder of the user's
// files (ProgramFolders) when there is one (e.g. com1 -> /dev/ttyUSB0),
// whatever it leads to; /dev/ttyS<n-1> only when there is none.
class QtSerialLink : public SerialLink
{
public:
    explicit QtSerialLink(QString programFolder);
    ~QtSerialLink() override;

    [[nodiscard]] static QString PortLocation(const QString& programFolder, int comNumber);
    // What the "Error # " message says below its number: "COM3 (/dev/ttyUSB0): "
    // and what went wrong, with a way out where there is one. error is the
    // QSerialPort error; linkFolder is where a comN link would be made.
    // comNumber 0: the device was named by its path ("/dev/ttyUSB0: ").
    [[nodiscard]] static QString OpenErrorText(int comNumber, const QString& device, int error,
                                               const QString& description,
                                               const QString& linkFolder);

    std::optional<PortError> open(int comNumber) override;
    void close() override;
    [[nodiscard]] bool isOpen() const override;
    void write(std::string_view bytes) override;
    [[nodiscard]] std::optional<std::uint8_t> readChar() override;
    [[nodiscard]] int inBufferCount() override;
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

    QString m_programFolder;
    QString m_fixedDevice;
    QString m_device;
    QSerialPort m_port;
    bool m_latencyChanged = false;
};

} // namespace morvaw
