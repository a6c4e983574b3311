#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace vornestw {

// What a look at a port's lines found, without sending anything.
struct LineCheck
{
    enum class ClearToSend { Up, Down, NoModemLines };

    QString name;                 // "COM2 (/dev/ttyUSB0)"
    std::optional<QString> error; // why it could not be opened
    ClearToSend clearToSend = ClearToSend::Down;
};

// The COM port as the output routine sees it (9600 baud, 8 data bits, no
// parity, 1 stop bit; only the port number changes).
class SerialLink
{
public:
    virtual ~SerialLink() = default;

    // Opens COM1..COM4; when it cannot, a description that names the port
    // and its device.
    virtual std::optional<QString> open(int comNumber) = 0;
    virtual void close() = 0;
    [[nodiscard]] virtual bool isOpen() const = 0;

    // The display's clear-to-send line.
    [[nodiscard]] virtual bool ctsHolding() = 0;
    virtual void write(std::uint8_t byte) = 0;
    // Bytes not yet on the wire.
    [[nodiscard]] virtual int outBufferCount() = 0;
    virtual void discardOutput() = 0;

    // Reads COMn's clear-to-send line: through the open port when it is that
    // one, else by opening it for a moment. Writes nothing.
    [[nodiscard]] virtual LineCheck checkLine(int comNumber) = 0;

    // Once the line has failed (a write error, the far end hung up) the port
    // is closed and this says what happened, until the next open.
    [[nodiscard]] virtual std::optional<QString> failure() const = 0;
};

} // namespace vornestw
