#pragma once

#include "printqueue.h"
#include "settingsfile.h"
#include "settingsrecord.h"

#include <QString>
#include <QTime>

#include <optional>
#include <string>
#include <vector>

namespace vornestw {

struct DisplayState;
class OutputChannel;
class UserNotice;

// The parameter window a menu item opens.
enum class ParameterWindow { None, TwoLines, CursorPosition, LongText, Prefix };

// What the main window shows for the current protocol: the mode label and
// the captions of items 0..N; items N+1..20 are hidden.
struct FunctionMenu
{
    QString modeLabel;
    std::vector<QString> captions;
};

// The commands of the utility, called by the windows with plain values. A
// command that sends does nothing while another one is being sent.
class DisplayUtility
{
public:
    DisplayUtility(DisplayState& state, OutputChannel& channel);

    // Nothing for a mode outside the eight protocols: the menu stays as it is.
    [[nodiscard]] std::optional<FunctionMenu> BuildFunctionMenu() const;

    // Sends the item's sequence, or names the window to open.
    ParameterWindow MenuFunction_Click(int index, const QTime& now = QTime::currentTime());

    void SendTwoLines(const std::string& line1, const std::string& line2);
    void SendLongText(const std::string& text);
    void SendCursor(int lineNo, int xPos);
    // Sends the change from the current prefixes, then takes the new ones.
    void SendPrefix(int new1, int new2);
    // Switches the display itself to Mode.
    void SendProgramMode();

    // "Default configuration": texts empty, COM3, cursor home, default prefixes.
    void SetDefaultConfiguration();

    // Values a window hands back without sending anything.
    void KeepTwoLines(const std::string& line1, const std::string& line2);
    void KeepLongText(const std::string& text);
    void KeepCursor(int lineNo, int xPos);
    void AcceptPrefixes(char prefix1, char prefix2);
    // The protocol the utility speaks from now on; the display is not told.
    void SelectMode(int mode);

    // The connection window's change (`queue` for the printer channel, empty
    // for the default printer); the error's description when the new port
    // cannot be opened (the old channel stays).
    std::optional<QString> ChangePort(int newPort, const QString& queue = {});
    // The queues the connection window offers; the window keeps running
    // while the print server is asked.
    [[nodiscard]] PrintQueueList ListPrintQueues();

    // Ends a wait of the output routine at once.
    void CancelSend();
    // What the settings file holds as the run starts, to tell at its end
    // whether another program (a second Vornest) has written it since.
    void RememberSettings(const SettingsFile& settings);
    // Closing the main window: gives the display its bounded chance to take
    // what is queued, closes the port and saves; the cause when the settings
    // could not be written. When another program wrote the file meanwhile,
    // its settings stay unless this run changed some and `askFirst` (none
    // when the session is ending) says to save them over it.
    std::optional<QString> ShutDown(const SettingsFile& settings, UserNotice* askFirst);

    [[nodiscard]] const DisplayState& state() const { return m_state; }
    [[nodiscard]] OutputChannel& channel() { return m_channel; }

private:
    DisplayState& m_state;
    OutputChannel& m_channel;
    SettingsStamp m_readStamp;
    SettingsRecord m_readRecord;
    QString m_readQueue;
};

// Start-up: the settings and the channel caption; why the settings file was
// left alone, when it was.
std::optional<QString> ReadSettings(DisplayState& state, const SettingsFile& file);
// The cause when the file could not be written.
std::optional<QString> SaveSettings(const DisplayState& state, const SettingsFile& file);

} // namespace vornestw
