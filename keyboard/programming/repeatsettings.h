#pragma once

#include <QString>

#include <chrono>
#include <optional>

namespace morvaw {

// Repeat speed 0 (slowest) to 31 and repeat delay 0 (shortest) to 3.
struct RepeatValues
{
    int speed = 0;
    int delay = 0;
};

// The system's keyboard repeat settings. Changing them makes the system send
// the keyboard a typematic-rate command, which is how the keyboard port
// carries data to the keyboard.
class RepeatSettings
{
public:
    virtual ~RepeatSettings() = default;

    // Empty when the settings can be changed, else why not and what to do
    // about it, in words for the user.
    [[nodiscard]] virtual QString unavailableReason() = 0;

    // Repeat speed 0 (slowest) to 31 and repeat delay 0 (shortest) to 3.
    [[nodiscard]] virtual std::optional<int> speed() = 0;
    [[nodiscard]] virtual std::optional<int> delay() = 0;
    // Each call reaches the keyboard, even when the value does not change,
    // provided calls are at least changeGap() apart.
    virtual bool setSpeed(int speed) = 0;
    virtual bool setDelay(int delay) = 0;

    // Which keyboard gets the changes, in words, when they can be made.
    [[nodiscard]] virtual QString keyboardName() { return {}; }
    // How far apart two changes must be for the second to reach the keyboard
    // as a command of its own rather than merged into a later one.
    [[nodiscard]] virtual std::chrono::milliseconds changeGap() const
    {
        return std::chrono::milliseconds{0};
    }
    // Before the first change of a transfer: the settings now are the user's;
    // they are kept where a start after a crash finds them.
    virtual void keepUserSettings() {}
    // The user's settings are back; nothing needs keeping any more.
    virtual void userSettingsBack() {}
};

} // namespace morvaw
