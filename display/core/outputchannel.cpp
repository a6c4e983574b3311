#include "outputchannel.h"

#include "displaystate.h"
#include "printer.h"
#include "senttext.h"
#include "seriallink.h"
#include "usernotice.h"
#include "waiter.h"

namespace vornestw {

namespace {

const QString kAppTitle = QStringLiteral("Vornest");

} // namespace

OutputChannel::OutputChannel(DisplayState& state, SerialLink& port, Printer& printer,
                             Waiter& waiter, UserNotice& notice, QObject* parent)
    : QObject(parent), m_state(state), m_port(port), m_printer(printer), m_waiter(waiter),
      m_notice(notice)
{
}

QString OutputChannel::ChannelCaption(int port, const QString& queue)
{
    if (port < kPrinterPort)
        return QStringLiteral("Send to Com %1").arg(port + 1);
    if (queue.isEmpty())
        return QStringLiteral("Send to default printer");
    return QStringLiteral("Send to printer %1").arg(queue);
}

void OutputChannel::SendString(std::string_view text)
{
    if (m_sending)
        return;
    m_sending = true;
    emit sendingChanged(true);
    const bool ok = OpenPort();
    if (m_state.Port == kPrinterPort)
        sendToPrinter(text);
    else if (ok)
        sendToPort(text);
    m_sending = false;
    emit sendingChanged(false);
}

void OutputChannel::setTransmitting(bool transmitting)
{
    if (m_transmitting != transmitting) {
        m_transmitting = transmitting;
        emit transmittingChanged(transmitting);
    }
}

void OutputChannel::sendToPrinter(std::string_view text)
{
    setTransmitting(true);
    const auto error = m_printer.printRaw(m_state.PrinterQueue, PrinterForm(text));
    setTransmitting(false);
    // One message and the send is given up: retrying after every message
    // would trap the user in a loop while the printer stays broken.
    if (error) {
        m_notice.message(UserNotice::Severity::Warning, kAppTitle,
                         QStringLiteral("Printer Error: ") + *error);
        return;
    }
    ShowSentText(text);
}

bool OutputChannel::reportedLineFailure()
{
    const auto failure = m_port.failure();
    if (failure) {
        setTransmitting(false);
        m_notice.message(UserNotice::Severity::Critical, QStringLiteral("Communication error"),
                         *failure);
    }
    return failure.has_value();
}

void OutputChannel::sendToPort(std::string_view text)
{
    bool started = false;
    bool dropped = false;
    setTransmitting(true);
    for (char c : text) {
        // An abort (the protocol window closing) drops a command that has not
        // started; once its first byte is out the command is finished, so
        // that the display never keeps half of it. Only a failing line cuts it.
        m_state.SendError = false;
        if (!sendByte(static_cast<std::uint8_t>(c), started ? m_noAbort : m_state.AbortFlag)) {
            dropped = true;
            break;
        }
        if (reportedLineFailure()) {
            m_state.AbortFlag = true;
            break;
        }
        started = true;
        if (m_state.SendError) {
            setTransmitting(false);
            m_notice.message(UserNotice::Severity::Warning, QStringLiteral("Communication error"),
                             QStringLiteral("Time out error"));
            m_state.SendError = false;
            m_state.AbortFlag = true;
            break;
        }
    }
    setTransmitting(false);
    // A line that failed before the first byte, or a command dropped before
    // it, took nothing: the echo keeps the last command that went out.
    if (started || (!dropped && !m_port.failure()))
        ShowSentText(text);
}

bool OutputChannel::OpenPort()
{
    m_state.AbortFlag = false;
    if (m_state.Port == kPrinterPort)
        return true;
    if (m_port.isOpen())
        return true;
    if (const auto error = m_port.open(m_state.Port + 1)) {
        m_notice.message(UserNotice::Severity::Critical, kAppTitle, *error);
        return false;
    }

    // Spaces nudge a display that has not raised clear-to-send yet; whatever
    // of them is still queued is thrown away below.
    const auto outcome =
        m_waiter.waitUntil([this] { return m_port.ctsHolding() || m_port.failure(); },
                           kHandshakeTimeout, m_state.AbortFlag, [this] { m_port.write(' '); });
    if (reportedLineFailure())
        return false;
    m_state.TimeoutFlag = outcome == Waiter::Outcome::TimedOut;
    if (m_state.TimeoutFlag)
        m_state.SendError = true;
    m_port.discardOutput();
    // Nothing more is sent here: every command positions or clears the display
    // itself, and an opening text would only show up on the customer's side.
    return true;
}

void OutputChannel::SendByte(std::uint8_t code)
{
    sendByte(code, m_state.AbortFlag);
}

bool OutputChannel::sendByte(std::uint8_t code, const bool& abort)
{
    auto outcome = m_waiter.waitUntil([this] { return m_port.ctsHolding() || m_port.failure(); },
                                      kHandshakeTimeout, abort);
    if (outcome == Waiter::Outcome::Aborted)
        return false;
    m_state.TimeoutFlag = outcome == Waiter::Outcome::TimedOut;
    if (m_state.TimeoutFlag)
        m_state.SendError = true;

    // Written even after a time-out: the display may only have been slow.
    m_port.write(code);

    outcome =
        m_waiter.waitUntil([this] { return m_port.outBufferCount() == 0 || m_port.failure(); },
                           kHandshakeTimeout, abort);
    m_state.TimeoutFlag = outcome == Waiter::Outcome::TimedOut;
    if (m_state.TimeoutFlag)
        m_state.SendError = true;
    return true;
}

void OutputChannel::ShowSentText(std::string_view text)
{
    m_state.SentText = RenderSentText(text);
    m_state.LastSent = text;
    emit sentTextChanged();
}

std::optional<QString> OutputChannel::ChangePort(int newPort, const QString& queue)
{
    m_state.AbortFlag = false;
    if (m_port.isOpen())
        m_port.close();
    if (newPort >= 0 && newPort < kPrinterPort) {
        if (auto error = m_port.open(newPort + 1))
            return error;
    }
    m_state.Port = newPort;
    if (newPort == kPrinterPort)
        m_state.PrinterQueue = queue;
    m_state.ChannelCaption = ChannelCaption(newPort, m_state.PrinterQueue);
    emit channelCaptionChanged();
    return std::nullopt;
}

void OutputChannel::PortRebound(int comNumber)
{
    if (!m_sending && m_state.Port == comNumber - 1 && m_port.isOpen())
        m_port.close();
}

QString OutputChannel::TestConnection(int comNumber)
{
    const LineCheck check = m_port.checkLine(comNumber);
    if (check.error)
        return *check.error;
    switch (check.clearToSend) {
    case LineCheck::ClearToSend::Up:
        return QStringLiteral("%1: clear-to-send is up: the display is ready.").arg(check.name);
    case LineCheck::ClearToSend::Down:
        break;
    case LineCheck::ClearToSend::NoModemLines:
        return QStringLiteral("%1 has no modem lines (a pseudo-terminal or a simulator): it "
                              "counts as ready.")
            .arg(check.name);
    }
    return QStringLiteral("%1: clear-to-send is down: the display is off, not connected, or "
                          "busy. Check its power and its cable (it must carry the CTS line).")
        .arg(check.name);
}

PrintQueueList OutputChannel::ListPrintQueues()
{
    return m_printer.listQueues();
}

void OutputChannel::CloseForShutdown()
{
    if (!m_port.isOpen())
        return;
    for (int round = 0; round < kCloseRounds && m_port.isOpen() && !m_port.ctsHolding(); ++round)
        m_waiter.processEvents();
    m_port.close();
}

} // namespace vornestw
