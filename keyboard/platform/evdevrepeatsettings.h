#pragma once

#include "repeatsettings.h"
#include "repeatsettingsrecord.h"

#include <QString>

#include <array>

namespace morvaw {

// The keyboard repeat settings of the keyboard's event device (evdev's
// EVIOCGREP / EVIOCSREP). The PS/2 driver turns a repeat period into the
// typematic rate code of the first entry of kPeriods that is not shorter,
// and a delay into the first entry of 250, 500, 750, 1000 ms that is not
// shorter; it sends the keyboard a typematic command whenever one changes,
// but a change within 50 ms of the previous one is held back 50 ms and sent
// with the latest values only.
class EvdevRepeatSettings : public RepeatSettings
{
public:
    // Repeat period in ms of typematic rate codes 0..31; speed s is code 31 - s.
    static constexpr std::array<int, 32> kPeriods{
        33,  37,  42,  46,  50,  54,  58,  63,  67,  75,  83,  92,  100, 109, 116, 125,
        133, 149, 167, 182, 200, 217, 232, 250, 270, 303, 333, 370, 400, 435, 470, 500};
    // 60 ms is the shortest gap the driver never merges, whatever the
    // kernel's tick; a little more leaves room for the event loop.
    static constexpr std::chrono::milliseconds kChangeGap{65};

    // requestedDevice: an event device or a /dev/input/by-path or by-id name
    // (--keyboard-device), used and no other; empty: the keyboard on the PS/2
    // port. The user's settings are kept in recordPath during a transfer.
    EvdevRepeatSettings(const QString& requestedDevice, QString recordPath);
    ~EvdevRepeatSettings() override;
    EvdevRepeatSettings(const EvdevRepeatSettings&) = delete;
    EvdevRepeatSettings& operator=(const EvdevRepeatSettings&) = delete;

    QString unavailableReason() override;
    QString keyboardName() override;
    std::optional<int> speed() override;
    std::optional<int> delay() override;
    bool setSpeed(int speed) override;
    bool setDelay(int delay) override;
    [[nodiscard]] std::chrono::milliseconds changeGap() const override { return kChangeGap; }
    void keepUserSettings() override;
    void userSettingsBack() override;

    // The period to ask for speed s while the device holds `current`: when
    // that is already the speed's period, another one with the same code, so
    // that the keyboard still gets the command.
    [[nodiscard]] static int PeriodFor(int speed, int current);
    [[nodiscard]] static int SpeedOf(int period);
    [[nodiscard]] static int DelayFor(int delay, int current);
    [[nodiscard]] static int DelayIndexOf(int delayMs);
    // Sets a device's delay and period as they were saved.
    static bool WriteSaved(const RepeatSettingsRecord::Saved& saved);

private:
    bool ensureOpen();
    bool readRepeat(int& delayMs, int& periodMs);
    bool writeRepeat(int delayMs, int periodMs);

    QString m_requested;
    RepeatSettingsRecord m_record;
    QString m_device;
    QString m_name;
    int m_fd = -1;
    QString m_reason;
};

} // namespace morvaw
