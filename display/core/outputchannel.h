#pragma once

#include "printqueue.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vornestw {

struct DisplayState;
class Printer;
class SerialLink;
class UserNotice;
class Waiter;

// The single road of every command to the display: the COM port, byte by
// byte with clear-to-send flow control, or the default printer; then the
// readable echo of what was sent.
class OutputChannel : public QObject
{
    Q_OBJECT
public:
    // The display answers within this or is taken as not ready.
    static constexpr std::chrono::milliseconds kHandshakeTimeout{2000};
    // Event rounds granted to a display holding clear-to-send low at exit.
    static constexpr int kCloseRounds = 10001;

    OutputChannel(DisplayState& state, SerialLink& port, Printer& printer, Waiter& waiter,
                  UserNotice& notice, QObject* parent = nullptr);

    // Ignored while another string is being sent: the bytes of two commands
    // must never mix on the line.
    void SendString(std::string_view text);
    // False only after an error that was reported.
    bool OpenPort();
    // Reports a time-out through SendError.
    void SendByte(std::uint8_t code);
    void ShowSentText(std::string_view text);

    // The connection window's change: closes the port, opens the new one at
    // once (without the first-open steps of OpenPort) and sets the caption;
    // the printer channel takes `queue` (empty: the default printer). On
    // failure the channel and the caption keep their values and the error's
    // description comes back.
    std::optional<QString> ChangePort(int newPort, const QString& queue = {});

    // COMn leads to another device now: an open COMn is closed, so that the
    // next command opens the new one.
    void PortRebound(int comNumber);
    // Whether the display behind COMn is ready, in words; nothing is sent.
    [[nodiscard]] QString TestConnection(int comNumber);

    // What the connection window offers for the printer channel.
    [[nodiscard]] PrintQueueList ListPrintQueues();

    // Closing the main window: waits a bounded number of event rounds for
    // clear-to-send, then closes the port.
    void CloseForShutdown();

    [[nodiscard]] bool isSending() const { return m_sending; }
    // Bytes of a command are going out (or a print job runs); not while a
    // message about the send is shown.
    [[nodiscard]] bool isTransmitting() const { return m_transmitting; }
    [[nodiscard]] static QString ChannelCaption(int port, const QString& queue = {});

signals:
    void sentTextChanged();
    void sendingChanged(bool sending);
    void transmittingChanged(bool transmitting);
    void channelCaptionChanged();

private:
    void sendToPort(std::string_view text);
    void sendToPrinter(std::string_view text);
    // False when `abort` ended the wait before the byte went out.
    bool sendByte(std::uint8_t code, const bool& abort);
    // Reports a failed line once; true when it failed.
    bool reportedLineFailure();
    void setTransmitting(bool transmitting);

    DisplayState& m_state;
    SerialLink& m_port;
    Printer& m_printer;
    Waiter& m_waiter;
    UserNotice& m_notice;
    bool m_sending = false;
    bool m_transmitting = false;
    const bool m_noAbort = false;
};

} // namespace vornestw
