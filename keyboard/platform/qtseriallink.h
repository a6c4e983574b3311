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

    [[nodiscard]] static QString PortLocation(const QString& programFolder, int comNumber);
    // What the "Error # " message says below its number: "COM3 (/dev/ttyUSB0): "
    // and what went wrong, with a way out where there is one. error is the
    // QSerialPort error; linkFolder is where a comN link would be made.
    [[nodiscard]] static QString OpenErrorText(int comNumber, const QString& device, int error,
                                               const QString& description,
                                               const QString& linkFolder);

    std::optional<PortError> open(int comNumber) override;
    void close() override;
    [[nodiscard]] bool isOpen() const override;
    void write(std::string_view bytes) override;
    [[nodiscard]] std::optional<std::uint8_t> readChar() override;
    [[nodiscard]] int inBufferCount() override;

private:
    void onError(QSerialPort::SerialPortError error);

    QString m_programFolder;
    QSerialPort m_port;
};

} // namespace morvaw
