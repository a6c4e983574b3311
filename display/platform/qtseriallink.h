#pragma once

#include "seriallink.h"

#include <QSerialPort>
#include <QString>

namespace vornestw {

// COMn through Qt SerialPort: the link `comN` in the program folder when it
// exists (e.g. com2 -> /dev/ttyUSB0), /dev/ttyS<n-1> otherwise.
class QtSerialLink : public SerialLink
{
public:
    explicit QtSerialLink(QString programFolder);

    [[nodiscard]] static QString PortLocation(const QString& programFolder, int comNumber);

    std::optional<QString> open(int comNumber) override;
    void close() override;
    [[nodiscard]] bool isOpen() const override;
    [[nodiscard]] bool ctsHolding() override;
    void write(std::uint8_t byte) override;
    [[nodiscard]] int outBufferCount() override;
    void discardOutput() override;

private:
    QString m_programFolder;
    QSerialPort m_port;
};

} // namespace vornestw
