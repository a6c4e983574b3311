#pragma once

#include <QString>

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
    // Each call reaches the keyboard, even when the value does not change.
    virtual bool setSpeed(int speed) = 0;
    virtual bool setDelay(int delay) = 0;
};

} // namespace morvaw
