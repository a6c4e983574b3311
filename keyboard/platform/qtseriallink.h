#pragma once

#include "seriallink.h"

#include <QSerialPort>
#include <QString>

namespace morvaw {

// COMn through Qt SerialPort: the link `comN` in the folder of the user's
// files (ProgramFolders) when it exists (e.g. com1 -> /dev/ttyUSB0),
// /dev/ttyS<n-1> otherwise.
class QtSerialLink : public SerialLink
{
public:
    explicit QtSerialLink(QString programFolder);

    [[nodiscard]] static QString PortLocation(const QString& programFolder, int comNumber);

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
