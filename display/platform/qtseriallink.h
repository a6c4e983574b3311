#pragma once

#include "seriallink.h"

#include <QSerialPort>
#include <QString>

namespace vornestw {

// COMn through Qt SerialPort: the link `comN` in the program folder when it
// exists (e.g. com2 -> /dev/ttyUSB0), /dev/ttyS<n-1> otherwise. The device
// it leads to is opened and locked, so that a second program reaching it by
// another link is refused at once.
class QtSerialLink : public SerialLink
{
public:
    explicit QtSerialLink(QString programFolder);

    std::optional<QString> open(int comNumber) override;
    void close() override;
    [[nodiscard]] bool isOpen() const override;
    [[nodiscard]] bool ctsHolding() override;
    void write(std::uint8_t byte) override;
    [[nodiscard]] int outBufferCount() override;
    void discardOutput() override;
    [[nodiscard]] std::optional<QString> failure() const override { return m_failure; }
    [[nodiscard]] LineCheck checkLine(int comNumber) override;

private:
    // Opens COMn's device on `port`; name and device say what was found.
    std::optional<QString> openPort(QSerialPort& port, int comNumber, QString& name,
                                    QString& device) const;
    // False, with the port closed, once the far end is gone.
    bool lineAlive();
    void fail();

    QString m_programFolder;
    QSerialPort m_port;
    QString m_name;   // "COM2 (/dev/ttyUSB0)"
    QString m_device; // /dev/ttyUSB0, what the port's link leads to
    std::optional<QString> m_failure;
};

} // namespace vornestw
