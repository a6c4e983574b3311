#include "keyboardportdevice.h"

#include "configuratorstate.h"
#include "linkcodes.h"
#include "repeatsettings.h"
#include "transfersession.h"
#include "waiter.h"

#include <string>

namespace morvaw {

namespace {

constexpr std::chrono::milliseconds kKnockPause{10};
constexpr std::chrono::milliseconds kNibblePause{1};
constexpr std::chrono::milliseconds kPatienceStep{1};

} // namespace

KeyboardPortDevice::KeyboardPortDevice(TransferSession& session) : m_session(session) {}

bool KeyboardPortDevice::setSpeed(int speed)
{
    const bool ok = m_session.repeat().setSpeed(speed);
    m_session.beepOnFailure(ok);
    return ok;
}

bool KeyboardPortDevice::setDelay(int delay)
{
    const bool ok = m_session.repeat().setDelay(delay);
    m_session.beepOnFailure(ok);
    return ok;
}

void KeyboardPortDevice::restoreSavedSettings()
{
    setSpeed(m_session.SavedSpeed);
    setDelay(m_session.SavedDelay);
}

void KeyboardPortDevice::SendNibble(int value)
{
    const auto& table = m_session.state().NibbleSpeedTable;
    setSpeed(table[static_cast<std::size_t>((value & 0x0F) + 1)]);
}

bool KeyboardPortDevice::KbdWriteE2(int long1, std::uint8_t data1)
{
    const int nibbles[] = {data1 >> 4, data1 & 0x0F, (Lo(long1) >> 4), Lo(long1) & 0x0F,
                           Hi(long1) & 0x0F};
    std::string expected;
    for (int nibble : nibbles) {
        SendNibble(nibble);
        m_session.delay(kNibblePause);
        expected += B2Hex(static_cast<std::uint8_t>(nibble));
    }

    std::string reply;
    int patience = kPatience;
    while (reply.size() < 6 && patience >= 1) {
        if (m_session.KeyCount > 1) {
            reply += static_cast<char>(Readkeyword() & 0xFF);
            patience = kPatienceAfterCharacter;
        } else {
            m_session.delay(kPatienceStep);
            --patience;
        }
    }
    const bool ok = reply.size() == 6 && reply.compare(0, 5, expected) == 0 && reply[5] == '=';
    if (!ok)
        m_session.WriteFailed = true;
    return ok;
}

std::uint16_t KeyboardPortDevice::Readkeyword()
{
    // Callers only ask when a character is waiting; an empty buffer gives 0
    // rather than a loop that could never end.
    if (m_session.KeyCount <= 1)
        return 0;
    auto& buffer = m_session.KeyBuffer;
    const std::uint16_t code = buffer[1];
    for (int i = 1; i < m_session.KeyCount - 1; ++i)
        buffer[static_cast<std::size_t>(i)] = buffer[static_cast<std::size_t>(i + 1)];
    --m_session.KeyCount;
    return code > 32 ? code : 0;
}

void KeyboardPortDevice::Form_KeyPress(int keyAscii)
{
    using Mode = TransferSession::KeyModes;
    auto& hs = m_session.Handshake;
    switch (m_session.KeyMode) {
    case Mode::Collect:
        if (keyAscii >= 32 && keyAscii < 127 && m_session.KeepRunning &&
            m_session.KeyCount <= TransferSession::kKeyBufferSize) {
            m_session.KeyBuffer[static_cast<std::size_t>(m_session.KeyCount)] =
                static_cast<std::uint16_t>(keyAscii);
            ++m_session.KeyCount;
        }
        break;
    case Mode::Handshake:
        if (keyAscii == '*') {
            hs[0] = '*';
        } else if (keyAscii == '+' && hs[0] == '*') {
            hs[1] = '+';
        } else if (keyAscii == '-' && hs[0] == '*' && hs[1] == '+') {
            hs[2] = '-';
            m_session.KbdAcknowledged = true;
        } else {
            hs = {' ', ' ', ' '};
        }
        break;
    case Mode::Watch:
        m_session.KeySeen = true;
        m_session.KeyCount = 1;
        break;
    }
}

void KeyboardPortDevice::FlushKbd()
{
    m_session.KeyMode = TransferSession::KeyModes::Watch;
    m_session.KeyCount = 1;
    do {
        m_session.KeySeen = false;
        m_session.delay(kFlushQuietTime);
    } while (m_session.KeySeen && m_session.KeepRunning && !m_session.KbdAcknowledged);
}

void KeyboardPortDevice::Timer2_Timer()
{
    ProgrammingView& view = m_session.view;
    if (view.blinkYellow) {
        view.blinkYellow = false;
    } else {
        view.blinkYellow = true;
        if (m_session.Countdown < 1) {
            m_session.KbdAcknowledged = false;
            m_session.Timer2Enabled = false;
        } else {
            view.InfoLabel = QStringLiteral("Waiting ") +
                             QString::fromStdString(NumberText(m_session.Countdown));
            --m_session.Countdown;
        }
    }
    m_session.refresh();
}

bool KeyboardPortDevice::KbdProgMode()
{
    ProgrammingView& view = m_session.view;
    view.outlinesVisible = true;
    view.InfoLabel = QStringLiteral("Waiting 30");
    view.InfoLabel3 = QStringLiteral("Press both upper left and right keys as shown on screen");
    m_session.Countdown = kCountdownSteps;
    m_session.KbdAcknowledged = false;
    m_session.Handshake = {' ', ' ', ' '};
    m_session.Timer2Enabled = true;
    m_session.KeyMode = TransferSession::KeyModes::Handshake;
    view.mouseCaptured = true;
    m_session.refresh();

    Waiter& waiter = m_session.waiter();
    auto lastTick = waiter.now();
    const auto runTimer2 = [&] {
        while (m_session.Timer2Enabled && waiter.now() - lastTick >= kBlinkInterval) {
            lastTick += kBlinkInterval;
            Timer2_Timer();
        }
    };

    // The knock that tells the keyboard a programming request follows.
    m_session.delay(kKnockPause);
    setSpeed(10);
    m_session.delay(kKnockPause);
    setDelay(3);
    m_session.delay(kKnockPause);
    setSpeed(1);
    m_session.delay(kKnockPause);
    setSpeed(3);
    m_session.delay(kKnockPause);

    waiter.waitUntil(
        [this] {
            return !m_session.KeepRunning || m_session.KbdAcknowledged || m_session.Countdown <= 0;
        },
        Waiter::kForever, runTimer2);

    view.InfoLabel3.clear();
    m_session.KeyMode = TransferSession::KeyModes::Watch;
    m_session.Timer2Enabled = false;
    m_session.KeyCount = 1;

    if (!m_session.KbdAcknowledged) {
        restoreSavedSettings();
        m_session.refresh();
        return false;
    }
    view.outlinesVisible = false;
    m_session.refresh();
    FlushKbd();
    return true;
}

} // namespace morvaw
