#pragma once

#include "displaystate.h"
#include "displayutility.h"
#include "outputchannel.h"
#include "portchooser.h"
#include "settingsfile.h"

#include <QString>

#include <memory>

namespace vornestw {

class MainForm;
class PortSystem;
class Printer;
class SerialLink;
class UserNotice;
class Waiter;

// The start of Vornestw up to its main window: the settings of the folder,
// the channel caption, every window and their icon. main passes the real
// port, printer and waiter; tests pass their own.
class DisplayProgram
{
public:
    // The icon from programFolder; the settings file is userFolder's path with
    // ".INI" appended and the comN links lie in userFolder (the first form:
    // programFolder's).
    DisplayProgram(const QString& programFolder, SerialLink& port, PortSystem& ports,
                   Printer& printer, Waiter& waiter, UserNotice& notice);
    DisplayProgram(const QString& programFolder, const QString& userFolder, SerialLink& port,
                   PortSystem& ports, Printer& printer, Waiter& waiter, UserNotice& notice);
    ~DisplayProgram();
    DisplayProgram(const DisplayProgram&) = delete;
    DisplayProgram& operator=(const DisplayProgram&) = delete;

    // Shows the main window, then says why the settings file was left alone.
    void Main();

    // Starts on the printer channel with this queue (empty: the default
    // printer), as if chosen in the connection window.
    void ChoosePrinterQueue(const QString& queue);

    [[nodiscard]] DisplayState& state() { return m_state; }
    [[nodiscard]] MainForm& mainForm() { return *m_mainForm; }
    [[nodiscard]] const SettingsFile& settingsFile() const { return m_settingsFile; }

private:
    DisplayState m_state;
    SettingsFile m_settingsFile;
    OutputChannel m_channel;
    DisplayUtility m_utility;
    PortChooser m_ports;
    std::unique_ptr<MainForm> m_mainForm;
    UserNotice& m_notice;
    std::optional<QString> m_settingsProblem;
};

} // namespace vornestw
