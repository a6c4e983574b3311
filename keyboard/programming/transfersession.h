#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <chrono>
#include <cstdint>

namespace morvaw {

struct ConfiguratorState;
class RepeatSettings;
class Waiter;

// What the programming window shows. The logic writes it; the window reads
// it whenever the session reports a change.
struct ProgrammingView
{
    QString InfoLabel;
    QString InfoLabel2;
    QString InfoLabel3;
    // How full the keyboard's memory will be, from the build that is sent.
    QString MemoryText;
    // Why the keyboard port cannot be used here, or empty.
    QString KbdPortNote;
    bool controlsVisible = true; // Frame1, Program and Cancel
    bool largeLayout = true;     // else the small one of a keyboard-port transfer
    bool outlinesVisible = false;
    bool blinkYellow = false; // keys 1 and 12 of the outlines: yellow, else dark blue
    bool mouseCaptured = false;
    bool kbdPortEnabled = false;
    int selectedPort = 0; // Option1 index: 0..3 COM1..COM4, 4 the keyboard port
};

// The state of one programming window and the transfer it runs: the flags
// every wait polls, the keyboard-port input, and the view. Every wait and
// every yield goes through here.
class TransferSession : public QObject
{
    Q_OBJECT
public:
    // What the keyboard types is kept in KeyBuffer[1..KeyCount - 1].
    static constexpr int kKeyBufferSize = 50;
    // The keyboard's firmware was timed against a timer that never fires
    // sooner than this, so no pause of the link is shorter.
    static constexpr std::chrono::milliseconds kTimerTick{16};

    enum class KeyModes { Collect = 0, Handshake = 1, Watch = 2 };

    TransferSession(ConfiguratorState& state, Waiter& waiter, RepeatSettings& repeat);

    [[nodiscard]] ConfiguratorState& state() { return m_state; }
    [[nodiscard]] Waiter& waiter() { return m_waiter; }
    [[nodiscard]] RepeatSettings& repeat() { return m_repeat; }

    // Waits, ending early when KeepRunning drops.
    void delay(std::chrono::milliseconds time);
    // Lets pending events run once.
    void yield();
    // The window shows the view again.
    void refresh() { emit changed(); }
    // A failed system call: a beep, unless the keyboard port cannot work on
    // this machine at all (the window says why instead).
    void beepOnFailure(bool ok);

    [[nodiscard]] bool keyboardPortSelected() const;

    bool TransferActive = false;
    bool KeepRunning = false;
    bool KbdAcknowledged = false;
    bool UserAborted = false;
    bool ErrorShown = false;
    bool WriteFailed = false;
    bool AutoDetected = false;
    // Records of this pass reached the keyboard and its end record did not:
    // the keyboard holds part of the layout over part of an older one.
    bool KeyboardPartlyProgrammed = false;

    std::array<std::uint16_t, kKeyBufferSize + 1> KeyBuffer{};
    int KeyCount = 1;
    KeyModes KeyMode = KeyModes::Collect;
    bool KeySeen = false;
    std::array<char, 3> Handshake{' ', ' ', ' '};
    int Countdown = 0;
    bool Timer2Enabled = false;
    int SavedSpeed = 0;
    int SavedDelay = 0;

    ProgrammingView view;

signals:
    void changed();
    void beep();
    // The window hides itself and the main window comes back.
    void leaveRequested();

private:
    ConfiguratorState& m_state;
    Waiter& m_waiter;
    RepeatSettings& m_repeat;
};

} // namespace morvaw
