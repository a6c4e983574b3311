#include "keyboardportdevice.h"

#include "linkcodes.h"
#include "transferwaits.h"
#include "waiter.h"

#include <string>
#include <utility>

namespace morvaw {

namespace {

constexpr std::chrono::milliseconds kKnockPause{10};
constexpr std::chrono::milliseconds kNibblePause{1};
constexpr std::chrono::milliseconds kPatienceStep{1};

// The repeat speed that carries each 4-bit value; 14 and 15 are out of order.
constexpr std::array<int, 16> kNibbleSpeeds{29, 27, 25, 23, 21, 19, 18, 16,
                                            15, 14, 12, 11, 10, 9,  6,  8};

} // namespace

KeyboardPortDevice::KeyboardPortDevice(TransferWaits& waits, RepeatSettings& repeat,
                                       std::function<void()> changeFailed)
    : m_waits(waits), m_repeat(repeat), m_changeFailed(std::move(changeFailed))
{
}

bool KeyboardPortDevice::reported(bool ok)
{
    // Where the keyboard port cannot work at all the window says why instead.
    if (!ok && m_changeFailed && m_repeat.unavailableReason().isEmpty())
        m_changeFailed();
    return ok;
}

bool KeyboardPortDevice::setSpeed(int speed)
{
    return reported(m_repeat.setSpeed(speed));
}

bool KeyboardPortDevice::setDelay(int delay)
{
    return reported(m_repeat.setDelay(delay));
}

void KeyboardPortDevice::restore(const std::optional<RepeatValues>& values)
{
    if (!values)
        return;
    setSpeed(values->speed);
    setDelay(values->delay);
}

void KeyboardPortDevice::reset()
{
    m_acknowledged = false;
    m_writeFailed = false;
    m_keyCount = 1;
}

void KeyboardPortDevice::collectEchoes()
{
    m_keyMode = KeyModes::Collect;
}

void KeyboardPortDevice::SendNibble(int value)
{
    setSpeed(kNibbleSpeeds[static_cast<std::size_t>(value & 0x0F)]);
}

bool KeyboardPortDevice::KbdWriteE2(int long1, std::uint8_t data1)
{
    const int nibbles[] = {data1 >> 4, data1 & 0x0F, (Lo(long1) >> 4), Lo(long1) & 0x0F,
                           Hi(long1) & 0x0F};
    std::string expected;
    for (int nibble : nibbles) {
        SendNibble(nibble);
        m_waits.delay(kNibblePause);
        expected += B2Hex(static_cast<std::uint8_t>(nibble));
    }

    std::string reply;
    int patience = kPatience;
    while (reply.size() < 6 && patience >= 1) {
        if (m_keyCount > 1) {
            reply += static_cast<char>(Readkeyword() & 0xFF);
            patience = kPatienceAfterCharacter;
        } else {
            m_waits.delay(kPatienceStep);
            --patience;
        }
    }
    const bool ok = reply.size() == 6 && reply.compare(0, 5, expected) == 0 && reply[5] == '=';
    if (!ok)
        m_writeFailed = true;
    return ok;
}

std::uint16_t KeyboardPortDevice::Readkeyword()
{
    // Callers only ask when a character is waiting; an empty buffer gives 0
    // rather than a loop that could never end.
    if (m_keyCount <= 1)
        return 0;
    const std::uint16_t code = m_keyBuffer[1];
    for (int i = 1; i < m_keyCount - 1; ++i)
        m_keyBuffer[static_cast<std::size_t>(i)] = m_keyBuffer[static_cast<std::size_t>(i + 1)];
    --m_keyCount;
    return code > 32 ? code : 0;
}

void KeyboardPortDevice::keyTyped(int keyAscii)
{
    auto& hs = m_handshake;
    switch (m_keyMode) {
    case KeyModes::Collect:
        if (keyAscii >= 32 && keyAscii < 127 && m_waits.keepRunning() &&
            m_keyCount <= kKeyBufferSize) {
            m_keyBuffer[static_cast<std::size_t>(m_keyCount)] =
                static_cast<std::uint16_t>(keyAscii);
            ++m_keyCount;
        }
        break;
    case KeyModes::Handshake:
        if (keyAscii == '*') {
            hs[0] = '*';
        } else if (keyAscii == '+' && hs[0] == '*') {
            hs[1] = '+';
        } else if (keyAscii == '-' && hs[0] == '*' && hs[1] == '+') {
            hs[2] = '-';
            m_acknowledged = true;
        } else {
            hs = {' ', ' ', ' '};
        }
        break;
    case KeyModes::Watch:
        m_keySeen = true;
        m_keyCount = 1;
        break;
    }
}

void KeyboardPortDevice::waitWhileTyping(std::chrono::milliseconds quietTime)
{
    m_keyMode = KeyModes::Watch;
    do {
        m_keySeen = false;
        m_waits.delay(quietTime);
    } while (m_keySeen && m_waits.keepRunning() && !m_acknowledged);
}

void KeyboardPortDevice::FlushKbd()
{
    m_keyCount = 1;
    waitWhileTyping(kFlushQuietTime);
}

void KeyboardPortDevice::waitForLateKeys()
{
    waitWhileTyping(kLateKeysQuietTime);
}

bool KeyboardPortDevice::KbdProgMode(const std::optional<RepeatValues>& userSettings,
                                     const std::function<void(const CountdownStep&)>& showStep)
{
    CountdownStep step;
    int countdown = kCountdownSteps;
    bool timerRunning = true; // Timer2
    m_acknowledged = false;
    m_handshake = {' ', ' ', ' '};
    m_keyMode = KeyModes::Handshake;
    showStep(step);

    // Every other tick of the blink lights the corner keys and counts down.
    auto lastTick = m_waits.now();
    const auto blink = [&] {
        while (timerRunning && m_waits.now() - lastTick >= kBlinkInterval) {
            lastTick += kBlinkInterval;
            step.cornersLit = !step.cornersLit;
            if (step.cornersLit) {
                if (countdown < 1) {
                    m_acknowledged = false;
                    timerRunning = false;
                } else {
                    step.countdown = countdown--;
                    step.counting = true;
                }
            }
            showStep(step);
        }
    };

    // The knock that tells the keyboard a programming request follows.
    m_waits.delay(kKnockPause);
    setSpeed(10);
    m_waits.delay(kKnockPause);
    setDelay(3);
    m_waits.delay(kKnockPause);
    setSpeed(1);
    m_waits.delay(kKnockPause);
    setSpeed(3);
    m_waits.delay(kKnockPause);

    m_waits.waitUntil([&] { return m_acknowledged || countdown <= 0; }, Waiter::kForever, blink);

    m_keyMode = KeyModes::Watch;
    m_keyCount = 1;
    if (!m_acknowledged) {
        restore(userSettings);
        return false;
    }
    step.confirmed = true;
    showStep(step);
    FlushKbd();
    return true;
}

} // namespace morvaw
