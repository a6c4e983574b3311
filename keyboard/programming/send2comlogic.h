#pragma once

#include "programminglog.h"
#include "programmingservice.h"
#include "transfermeter.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

namespace morvaw {

class PortChooser;
class RepeatSettings;
class SerialLink;
class UserDialogs;
class Waiter;

// What the programming window shows. The logic writes it; the window reads
// it whenever the logic reports a change.
struct ProgrammingView
{
    QString InfoLabel;
    QString InfoLabel2;
    QString InfoLabel3;
    // How full the keyboard's memory will be, from the build that is sent.
    QString MemoryText;
    // The keyboard the keyboard port uses, or why it cannot be used here.
    QString KbdPortNote;
    // During a keyboard-port transfer: the keyboard's answers need this window in front.
    QString KeepInFront;
    bool controlsVisible = true; // Frame1, Program and Cancel
    bool largeLayout = true;     // else the small one of a keyboard-port transfer
    bool outlinesVisible = false;
    bool blinkYellow = false; // keys 1 and 12 of the outlines: yellow, else dark blue
    bool mouseCaptured = false;
    bool kbdPortEnabled = false;
    Channel selectedPort = Channel::Com1;
    // What "Test" found on the selected COM port.
    QString TestResult;
    // "Ports…" and "Test": not while a transfer or a test runs; Test only for a COM port.
    bool portsEnabled = true;
    bool testEnabled = true;

    // A transfer runs: Program, the port choices and Fast look disabled, and
    // its progress shows.
    bool transferRunning = false;
    int progressDone = 0;
    int progressTotal = 0; // 0: no count yet, the bar only shows it is busy
    QString ProgressText;  // "Sending: 1020 of 2046 bytes" and the times below
    QString UnitText;      // "Unit 3 of this session"
    bool fast = false;     // "Fast: go on as soon as the keyboard answers"
};

// What the programming window works with, all owned by the program.
struct ProgrammingServices
{
    UserDialogs& dialogs;
    Waiter& waiter;
    SerialLink& port;
    RepeatSettings& repeat;
    // The layout to program, the scan table its names are looked up in and
    // the port kept in the settings, as they are at the moment of asking.
    std::function<TransferInput()> input;
    // Keeps the port the user picked (its ComPortIndex).
    std::function<void(int)> storePort;
    // Stores the KbdFlags a transfer leaves (a detected type, bit 7 after
    // an enhanced transfer) in the layout.
    std::function<void(std::uint8_t)> storeKeyboardFlags;
    // Makes the layout one for the keyboard type "Test" found, as the user chose.
    std::function<void(int)> storeKeyboardType;
    // The machine's serial devices and the comN links ("Ports…"), when there.
    PortChooser* ports = nullptr;

    // The record of each unit and the fast transfer; without them nothing
    // is recorded and the answer waits are the normal ones.
    const ProgrammingLog* log = nullptr;
    std::function<QString()> layoutFileName;
    std::function<bool()> fastMode;
    std::function<void(bool)> storeFastMode;
};

// The logic of "Program Kbd": the port choice, the transfer's progress in
// the window's texts, its messages and questions, and the window's own
// events during a transfer. A client of the programming service.
class Send2ComLogic : public QObject, private TransferObserver
{
    Q_OBJECT
public:
    explicit Send2ComLogic(ProgrammingServices services, QObject* parent = nullptr);

    [[nodiscard]] const ProgrammingView& view() const { return m_view; }
    [[nodiscard]] ProgrammingService& service() { return m_service; }
    [[nodiscard]] const std::optional<TransferOutcome>& lastOutcome() const { return m_outcome; }
    // What the port chooser of this window works with.
    [[nodiscard]] PortChooser* ports() const { return m_services.ports; }
    [[nodiscard]] UserDialogs& dialogs() const { return m_services.dialogs; }

    // The window is made, shown, left for another window of the program.
    void load();
    void activate();
    void deactivate();
    // The window is to close; false while a sending phase runs (it then ends by itself).
    [[nodiscard]] bool requestClose();
    // "&Program": one whole transfer, with its questions and messages.
    void program();
    // "&Cancel".
    void cancel();
    // The program is asked to end (a session logout, a kill): a transfer stops
    // as by Cancel, without a message nobody may be left to read.
    void terminate();
    void choosePort(Channel channel);
    // The chooser bound COMn to a device: that port is the one to use.
    void portBound(int comNumber);
    // "Test": asks the keyboard on the selected COM port for its type and
    // offers it for the layout when it is another.
    void testConnection();
    // "Fast: go on as soon as the keyboard answers", kept for the next time.
    void setFast(bool fast);
    // "Log…": where the record of the units is, and its last lines.
    [[nodiscard]] QString logPath() const;
    [[nodiscard]] QString logText() const;
    // A click on the window or its labels.
    void mouseClicked();
    void focusLost();
    // A character typed into the window: during a keyboard-port transfer, the keyboard's answer.
    void keyTyped(int keyAscii);

signals:
    void changed();
    void beep();
    // The window hides itself and the main window comes back.
    void leaveRequested();

private:
    void progressed(const TransferProgress& progress) override;
    void detectionTrouble(const TransferOutcome& trouble) override;
    bool programAnother(const TransferOutcome& pass) override;
    // Shows the pass's message and asks the final question.
    bool askAnother(const TransferOutcome& pass);
    void repeatChangeFailed() override { emit beep(); }

    // The once-per-transfer message of a failed write.
    void reportWriteError(const TransferOutcome& outcome, bool critical);
    void showEnded(const TransferOutcome& outcome);
    void showIdle();
    void refresh();
    // What depends on the layout: the memory it needs, the keyboard port.
    void showLayoutFacts(const TransferInput& input);
    // The layout's type (3: detected at transfer time) differs from the
    // keyboard's: say so and offer the keyboard's.
    void offerKeyboardType(const ConnectionTest& test);
    void leave();
    void startUnits(const TransferInput& input);
    void showProgress();
    // Appends the unit's line to the log, once a pass.
    void recordUnit(const TransferOutcome& outcome);

    ProgrammingServices m_services;
    ProgrammingService m_service;
    ProgrammingView m_view;
    std::optional<TransferOutcome> m_outcome;
    bool m_errorShown = false; // ErrorShown
    bool m_overflowShown = false;
    bool m_left = false;
    TransferMeter m_meter;
    UnitContext m_unit;
    bool m_unitRecorded = false;
    bool m_logFailureShown = false;
};

} // namespace morvaw
