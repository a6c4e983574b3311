#pragma once

#include "keyboarddevice.h"
#include "repeatsettings.h"
#include "seriallink.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace morvaw::test {

// Bytes that reach their receiver at a given virtual time.
class TimedQueue
{
public:
    void push(long long due, const std::string& bytes, int spacing = 0)
    {
        for (char c : bytes) {
            m_items.push_back({due, static_cast<std::uint8_t>(c)});
            due += spacing;
        }
    }
    // Hands every byte that is due to deliver.
    template <typename Deliver> void release(long long now, Deliver deliver)
    {
        while (!m_items.empty() && m_items.front().due <= now) {
            const std::uint8_t b = m_items.front().byte;
            m_items.pop_front();
            deliver(b);
        }
    }
    void clear() { m_items.clear(); }

private:
    struct Item
    {
        long long due;
        std::uint8_t byte;
    };
    std::deque<Item> m_items;
};

// A COM port with a simulated keyboard behind it: a byte takes 1 ms on the
// line each way, bytes to the keyboard one after the other, and the keyboard
// answers when a record is complete and stored (its write time, and any
// answer delay, later).
class SimulatedSerialPort : public SerialLink
{
public:
    explicit SimulatedSerialPort(kbdsim::KeyboardDevice& device) : m_device(device) {}

    std::optional<PortError> open(int comNumber) override;
    void close() override { m_open = false; }
    [[nodiscard]] bool isOpen() const override { return m_open; }
    void write(std::string_view bytes) override;
    [[nodiscard]] std::optional<std::uint8_t> readChar() override;
    [[nodiscard]] int inBufferCount() override { return static_cast<int>(m_input.size()); }

    // One millisecond of the line.
    void tick(long long now);

    std::optional<PortError> openError; // every open fails with it
    bool vanished = false;              // the keyboard was pulled out
    std::vector<int> openedPorts;
    std::string written; // everything handed to the port

private:
    kbdsim::KeyboardDevice& m_device;
    bool m_open = false;
    long long m_now = 0;
    long long m_lineFreeAt = 0;
    TimedQueue m_toDevice;
    TimedQueue m_toHost;
    std::string m_input;
};

// The system's repeat settings with the keyboard on its PS/2 port, as the
// Linux driver handles them: a change makes it send the keyboard a typematic
// command at once, but a change within 50 ms of the previous one is held back
// 50 ms and then sent once, with the values of that moment. The keyboard's
// answers are typed into the window, one character every 2 ms.
class SimulatedRepeatSettings : public RepeatSettings
{
public:
    static constexpr long long kMergeWindowMs = 50;

    explicit SimulatedRepeatSettings(kbdsim::KeyboardDevice& device) : m_device(device) {}

    QString unavailableReason() override { return unavailable; }
    QString keyboardName() override { return unavailable.isEmpty() ? name : QString(); }
    std::optional<int> speed() override { return ifAvailable(currentSpeed); }
    std::optional<int> delay() override { return ifAvailable(currentDelay); }
    bool setSpeed(int speed) override;
    bool setDelay(int delay) override;
    [[nodiscard]] std::chrono::milliseconds changeGap() const override
    {
        return std::chrono::milliseconds{65};
    }
    void keepUserSettings() override { kept = true; }
    void userSettingsBack() override { kept = false; }

    // One millisecond: held commands go out, typed characters arrive, the
    // person presses the keys.
    void tick(long long now);

    QString unavailable; // set: every call fails, for this reason
    QString name;        // the keyboard's, when usable
    std::function<void(char)> typeKey;
    // The person presses the two corner keys this long after the knock; < 0: never.
    int pressAfterMs = 500;
    int currentSpeed = 20;
    int currentDelay = 1;
    std::vector<int> speedsSet;
    std::vector<std::pair<int, int>> commands; // (speed, delay) of each the keyboard got
    int changes = 0;                           // of the settings, by setSpeed and setDelay
    bool kept = false; // the user's settings are kept for a start after a crash

private:
    std::optional<int> ifAvailable(int value) const
    {
        return unavailable.isEmpty() ? std::optional<int>(value) : std::nullopt;
    }
    void changed();
    void command();

    kbdsim::KeyboardDevice& m_device;
    long long m_now = 0;
    long long m_lastChangeAt = -kMergeWindowMs - 1;
    long long m_heldUntil = -1; // a held command goes out then
    long long m_knockAt = -1;
    TimedQueue m_typed;
};

} // namespace morvaw::test
