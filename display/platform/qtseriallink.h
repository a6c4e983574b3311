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
    // "COM3 (/dev/ttyS2): " and what went wrong, with a way out where there is one.
    // linkFolder is where a comN link would be made.
    [[nodiscard]] static QString OpenErrorText(int comNumber, const QString& location, int error,
                                               const QString& description,
                                               const QString& linkFolder);

    std::optional<QString> open(int comNumber) override;
    void close() override;
    [[nodiscard]] bool isOpen() const override;
    [[nodiscard]] bool ctsHolding() override;
    void write(std::uint8_t byte) override;
    [[nodiscard]] int outBufferCount() override;
    void discardOutput() override;
    [[nodiscard]] std::optional<QString> failure() const override { return m_failure; }

private:
    // False, with the port closed, once the far end is gone.
    bool lineAlive();
    void fail();

    QString m_programFolder;
    QSerialPort m_port;
    QString m_name; // "COM2 (/dev/ttyUSB0)"
    std::optional<QString> m_failure;
};

} // namespace vornestw
