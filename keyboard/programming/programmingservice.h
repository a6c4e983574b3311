#pragma once

#include "keyboardportdevice.h"
#include "keyboardtables.h"
#include "layoutmodel.h"
#include "memoryusage.h"
#include "serialdevice.h"
#include "transferwaits.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace morvaw {

class RepeatSettings;
class SerialLink;
class Waiter;

// The ways to the keyboard. The values are the port index the settings file
// keeps (ComPortIndex); an index above 4 has always meant the keyboard port.
enum class Channel : std::uint16_t { Com1 = 0, Com2, Com3, Com4, KeyboardPort };
[[nodiscard]] Channel ChannelOf(int comPortIndex);
[[nodiscard]] constexpr int ComPortIndexOf(Channel channel)
{
    return static_cast<int>(channel);
}

// What a transfer programs, taken as it is when the transfer starts.
struct TransferInput
{
    LayoutRecordArray LayoutRecords{};
    ScanTableArray ScanTable{};
    int ScanCount = 0; // records 1..ScanCount are in use
    Channel channel = Channel::Com1;
    // Over a COM port: go on as soon as the keyboard answers a record
    // rather than after the whole answer wait.
    bool fast = false;
};

enum class TransferPhase {
    Building,           // the keys table or the device image
    Built,              // memory tells how full it is
    Connecting,         // a COM port opened and asked for the version
    WaitingForKeyboard, // keyboard port: knocked, waiting for the corner keys
    KeyboardReady,      // keyboard port: handshake confirmed, letting its typing die down
    Sending,            // record `written` of `total`
    EndRecord,          // the end-of-programming record
    PassEnded,
};

// How far a transfer is. Fields other than the phase, the generation and
// the channel hold for the phases named beside them.
struct TransferProgress
{
    TransferPhase phase = TransferPhase::Building;
    KeyboardGeneration generation = KeyboardGeneration::Enhanced;
    Channel channel = Channel::Com1;
    MemoryUsage memory;                          // from Built on
    std::optional<int> romVersion;               // Connecting: the version shown (0..9)
    std::optional<int> versionAnswered;          // Connecting: "V" answered 164 + this
    KeyboardPortDevice::CountdownStep countdown; // WaitingForKeyboard
    int written = 0;                             // Sending: from 1
    int total = 0;                               // Sending: records of a pass
    bool failed = false;                         // PassEnded
    bool handshakeConfirmed = false;             // PassEnded, keyboard port
};

enum class TransferResult {
    Programmed,            // every record and the end record were taken
    PortNotOpened,         // the COM port could not be opened
    MemoryFull,            // the layout does not fit the keyboard; nothing was sent
    NotAcknowledged,       // a record sent over a COM port was not answered "+"
    PortClosed,            // the COM port closed under the pass (an adapter pulled out)
    HandshakeNotConfirmed, // the keyboard did not confirm programming mode in time
    EchoNotReceived,       // keyboard port: a byte was not echoed correctly
    AbortedByUser,         // keyboard port: the user's click cut a write short
    Stopped,               // Cancel, a click, the window closed or the program ending
    KeyboardPortUnusable,  // the keyboard port cannot carry this layout here
    TypeNotDetected,       // only as trouble of the type detection
    Busy,                  // a transfer runs already
};

// One pass, or the whole transfer: a named result and its message. The
// message is the text the keyboard's users know for the result, or why it
// came about (the port's error, why the keyboard port cannot be used).
struct TransferOutcome
{
    TransferResult result = TransferResult::Programmed;
    QString message;
    KeyboardGeneration generation = KeyboardGeneration::Enhanced;
    // Records reached the keyboard and its end record did not: it holds part
    // of the layout over part of an older one.
    bool partlyProgrammed = false;
    std::optional<int> detectedType; // a keyboard type found by the detection
    std::uint8_t kbdFlags = 0;       // the layout's KbdFlags after the transfer
};

// The message of a port that cannot be opened: "Error # " and the number,
// then the port, its device and what to do.
[[nodiscard]] QString PortErrorText(const PortError& error);

// What the type query found on a COM port ("Test").
struct ConnectionTest
{
    QString port;                       // "COM2 (/dev/ttyUSB0)"
    std::optional<PortError> portError; // it could not be opened
    int type = SerialDevice::kUnknownType;
    int answer = 0;       // the byte that answered "V", 0 for none
    bool stopped = false; // Cancel, or the window closed, cut it short
};

// Who runs a transfer hears about it through this, in the middle of it.
class TransferObserver
{
public:
    virtual ~TransferObserver() = default;

    virtual void progressed(const TransferProgress& progress) = 0;
    // The detection of the keyboard's type ran into trouble; the transfer
    // goes on with what it found.
    virtual void detectionTrouble(const TransferOutcome& trouble) = 0;
    // A pass ended and the transfer was not stopped: true to program another
    // keyboard (or the same one again) with the same memory image.
    virtual bool programAnother(const TransferOutcome& pass) = 0;
    // The system refused a change of its keyboard repeat settings.
    virtual void repeatChangeFailed() {}
};

// Programs a layout into a keyboard: builds the memory image of the
// keyboard's generation (detecting it when the layout asks), opens the
// channel, sends the image record by record and the end record, pass after
// pass as long as the observer asks for another. Runs inside the caller's
// event loop: the waits let the window's events in, and those reach the
// transfer through cancel(), abortByClick(), stop() and keyTyped().
class ProgrammingService
{
public:
    static constexpr std::chrono::milliseconds kOlderVersionWait{50};
    static constexpr std::chrono::milliseconds kFailedPassPause{100};
    static constexpr std::chrono::milliseconds kVersionShown{300};

    ProgrammingService(Waiter& waiter, SerialLink& port, RepeatSettings& repeat);

    // One whole transfer; the outcome of its last pass.
    TransferOutcome program(const TransferInput& input, TransferObserver& observer);

    // Why the keyboard port cannot be used on this computer, or empty.
    [[nodiscard]] QString keyboardPortNote();
    // Empty when the keyboard port can carry a layout with these KbdFlags,
    // else why not, in words.
    [[nodiscard]] QString keyboardPortUnusableReason(std::uint8_t kbdFlags);
    // Reads the user's repeat settings, the values a keyboard-port transfer
    // puts back; false when they could not be read though the keyboard port
    // is there.
    bool readRepeatSettings();

    // Asks the keyboard on a COM port for its type as a transfer does when the
    // layout leaves it to the keyboard, and closes the port again. Nothing
    // while a transfer or another test runs, or for the keyboard port.
    std::optional<ConnectionTest> testConnection(Channel channel);

    // Events that arrive while a transfer waits.
    void cancel();       // the port closed at once, the transfer stopped
    void abortByClick(); // a keyboard-port transfer's sending phase stopped
    void stop();         // the window closed or left
    void keyTyped(int keyAscii);

    [[nodiscard]] bool active() const { return m_active; } // TransferActive
    [[nodiscard]] bool testing() const { return m_testing; }
    [[nodiscard]] bool running() const { return m_waits.keepRunning(); }
    // No build or sending phase runs (TransferIdle): the window may close.
    [[nodiscard]] bool idle() const { return m_idle; }
    [[nodiscard]] bool partlyProgrammed() const { return m_partlyProgrammed; }

private:
    TransferOutcome sendSmallMacros(TransferObserver& observer);
    TransferOutcome sendLargeMacros(TransferObserver& observer);
    // Connects a pass of an enhanced transfer; false when the handshake failed.
    bool connectEnhanced(TransferObserver& observer);
    // Cancel or closing during a build or a pass.
    TransferOutcome abortPath();
    [[nodiscard]] bool stillRunning() const;
    // Asks for another pass unless the transfer was stopped.
    bool askForAnotherPass(TransferObserver& observer, const TransferOutcome& pass);
    [[nodiscard]] TransferOutcome outcomeOf(TransferResult result, QString message = {}) const;
    [[nodiscard]] TransferOutcome portNotOpened(const PortError& error) const;
    // The outcome of a pass over a COM port that ended with `last`.
    [[nodiscard]] TransferOutcome serialPass(SerialDevice::WriteResult last) const;
    [[nodiscard]] int comNumber() const;
    void report(TransferObserver& observer, TransferProgress progress) const;

    TransferWaits m_waits;
    SerialLink& m_port;
    RepeatSettings& m_repeat;
    SerialDevice m_serial;
    KeyboardPortDevice m_keyboard;
    TransferObserver* m_observer = nullptr;

    TransferInput m_input;
    KeyboardGeneration m_generation = KeyboardGeneration::Enhanced;
    MemoryUsage m_memory;
    MatrixCodeTable m_matrixCodes = MakeDeviceMatrixCodes();
    // The user's repeat settings, put back after a keyboard-port transfer.
    std::optional<RepeatValues> m_userSettings;
    bool m_active = false;
    bool m_testing = false;
    bool m_idle = true;
    bool m_userAborted = false;
    bool m_partlyProgrammed = false;
    bool m_userSettingsKept = false;
};

} // namespace morvaw
