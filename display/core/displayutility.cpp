#include "displayutility.h"

#include "commandbuilders.h"
#include "displaystate.h"
#include "outputchannel.h"
#include "protocoltables.h"
#include "settingsfile.h"
#include "usernotice.h"

#include <QDateTime>

namespace vornestw {

DisplayUtility::DisplayUtility(DisplayState& state, OutputChannel& channel)
    : m_state(state), m_channel(channel)
{
}

std::optional<FunctionMenu> DisplayUtility::BuildFunctionMenu() const
{
    const auto protocol = ProtocolOf(m_state.Mode);
    if (!protocol)
        return std::nullopt;
    FunctionMenu menu;
    menu.modeLabel = QString::fromLatin1(protocol->modeLabel);
    for (const FunctionItem& item : protocol->functions)
        menu.captions.push_back(QString::fromLatin1(item.caption));
    return menu;
}

ParameterWindow DisplayUtility::MenuFunction_Click(int index, const QTime& now)
{
    if (m_channel.isSending())
        return ParameterWindow::None;
    m_state.MenuIndex = index;
    m_state.AbortFlag = false;
    const auto item = FunctionOf(m_state.Mode, index);
    if (!item)
        return ParameterWindow::None;
    switch (item->action) {
    case Action::Send:
        m_channel.SendString(item->bytes);
        return ParameterWindow::None;
    case Action::SetClock:
        m_channel.SendString(ClockCommand(m_state, now));
        return ParameterWindow::None;
    case Action::ShowClock:
        m_channel.SendString(ShowClockCommand(m_state));
        return ParameterWindow::None;
    case Action::TwoLinesWindow:
        return ParameterWindow::TwoLines;
    case Action::CursorWindow:
        return ParameterWindow::CursorPosition;
    case Action::LongTextWindow:
        return ParameterWindow::LongText;
    case Action::PrefixWindow:
        return ParameterWindow::Prefix;
    }
    return ParameterWindow::None;
}

void DisplayUtility::SendTwoLines(const std::string& line1, const std::string& line2)
{
    if (m_channel.isSending())
        return;
    m_state.AbortFlag = false;
    m_state.Line1 = line1;
    m_state.Line2 = line2;
    m_channel.SendString(TwoLineCommand(m_state, m_state.Mode));
}

void DisplayUtility::SendLongText(const std::string& text)
{
    if (m_channel.isSending())
        return;
    m_state.AbortFlag = false;
    m_state.LongText = text;
    m_channel.SendString(LongTextCommand(m_state, m_state.MenuIndex));
}

void DisplayUtility::SendCursor(int lineNo, int xPos)
{
    if (m_channel.isSending())
        return;
    m_state.AbortFlag = false;
    m_state.LineNo = lineNo;
    m_state.XPos = xPos;
    m_channel.SendString(CursorCommand(m_state, m_state.Mode));
}

void DisplayUtility::SendPrefix(int new1, int new2)
{
    if (m_channel.isSending())
        return;
    m_state.AbortFlag = false;
    m_channel.SendString(PrefixCommand(m_state, new1, new2));
    m_state.Prefix1 = static_cast<char>(new1 & 0xFF);
    m_state.Prefix2 = static_cast<char>(new2 & 0xFF);
}

void DisplayUtility::SendProgramMode()
{
    if (m_channel.isSending())
        return;
    m_state.AbortFlag = false;
    m_channel.SendString(ProgramModeCommand(m_state.Mode));
}

void DisplayUtility::SetDefaultConfiguration()
{
    m_state.Line1.clear();
    m_state.Line2.clear();
    m_state.LongText.clear();
    m_state.Port = 2;
    m_state.PrinterQueue.clear();
    m_state.XPos = 1;
    m_state.LineNo = 1;
    m_state.Prefix1 = '!';
    m_state.Prefix2 = '#';
}

void DisplayUtility::KeepTwoLines(const std::string& line1, const std::string& line2)
{
    m_state.Line1 = line1;
    m_state.Line2 = line2;
}

void DisplayUtility::KeepLongText(const std::string& text)
{
    m_state.LongText = text;
}

void DisplayUtility::KeepCursor(int lineNo, int xPos)
{
    m_state.LineNo = lineNo;
    m_state.XPos = xPos;
}

void DisplayUtility::AcceptPrefixes(char prefix1, char prefix2)
{
    m_state.Prefix1 = prefix1;
    m_state.Prefix2 = prefix2;
}

void DisplayUtility::SelectMode(int mode)
{
    m_state.Mode = mode;
}

std::optional<QString> DisplayUtility::ChangePort(int newPort, const QString& queue)
{
    return m_channel.ChangePort(newPort, queue);
}

PrintQueueList DisplayUtility::ListPrintQueues()
{
    return m_channel.ListPrintQueues();
}

void DisplayUtility::CancelSend()
{
    m_state.AbortFlag = true;
}

void DisplayUtility::RememberSettings(const SettingsFile& settings)
{
    m_readStamp = settings.Stamp();
    m_readRecord = RecordOf(m_state);
    m_readQueue = m_state.PrinterQueue;
}

std::optional<QString> DisplayUtility::ShutDown(const SettingsFile& settings, UserNotice* askFirst)
{
    m_state.AbortFlag = true;
    m_channel.CloseForShutdown();
    const SettingsStamp now = settings.Stamp();
    if (!now.sameContent(m_readStamp)) {
        const bool changedHere = RecordOf(m_state).toBytes() != m_readRecord.toBytes() ||
                                 m_state.PrinterQueue != m_readQueue;
        if (!changedHere)
            return std::nullopt;
        const QString when = QDateTime::fromMSecsSinceEpoch(now.modified).toString("HH:mm:ss");
        if (askFirst &&
            !askFirst->askYesNo(
                "Vornest", QStringLiteral("Another program changed the settings file %1 at %2, "
                                          "after Vornest read it. Save the settings of this "
                                          "window over it?\n\nYes saves this window's settings; "
                                          "No keeps the other program's.")
                               .arg(settings.path(), when)))
            return std::nullopt;
    }
    return SaveSettings(m_state, settings);
}

std::optional<QString> ReadSettings(DisplayState& state, const SettingsFile& file)
{
    std::optional<QString> problem;
    ApplySettings(file.Load(&problem), state);
    state.PrinterQueue = file.LoadPrinterQueue();
    state.ChannelCaption = OutputChannel::ChannelCaption(state.Port, state.PrinterQueue);
    return problem;
}

std::optional<QString> SaveSettings(const DisplayState& state, const SettingsFile& file)
{
    if (auto error = file.Save(RecordOf(state)))
        return QStringLiteral("The settings could not be saved to %1: %2").arg(file.path(), *error);
    if (auto error = file.SavePrinterQueue(state.PrinterQueue))
        return QStringLiteral("The printer queue could not be saved to %1: %2")
            .arg(file.PrinterQueuePath(), *error);
    return std::nullopt;
}

} // namespace vornestw
