#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <string_view>

namespace morvaw {

// Why a COM port could not be opened: the number and description that the
// "Error # " message shows.
struct PortError
{
    int number = 0;
    QString description;
};

// The COM port as programming sees it: 9600 baud, no parity, 8 data bits,
// 1 stop bit, each read giving at most one character.
class SerialLink
{
public:
    virtual ~SerialLink() = default;

    // Opens COM1..COM4.
    virtual std::optional<PortError> open(int comNumber) = 0;
    virtual void close() = 0;
    [[nodiscard]] virtual bool isOpen() const = 0;

    virtual void write(std::string_view bytes) = 0;
    // The next received character, if one is there.
    [[nodiscard]] virtual std::optional<std::uint8_t> readChar() = 0;
    // Characters received and not read yet.
    [[nodiscard]] virtual int inBufferCount() = 0;
    // How a person knows COMn: "COM2 (/dev/ttyUSB0)" where the device is known.
    [[nodiscard]] virtual QString portName(int comNumber) const
    {
        return QStringLiteral("COM%1").arg(comNumber);
    }
    // The device the port last opened, or tried to open, leads to.
    [[nodiscard]] virtual QString deviceName() const { return {}; }
};

} // namespace morvaw
