#include "transferdriver.h"

#include "configuratorstate.h"
#include "deviceimagebuilder.h"
#include "keyboardportdevice.h"
#include "keystablebuilder.h"
#include "linkcodes.h"
#include "memoryusage.h"
#include "repeatsettings.h"
#include "serialdevice.h"
#include "transfersession.h"
#include "userdialogs.h"

namespace morvaw {

namespace {

const QString kAppTitle = QStringLiteral("MORVA");
const QString kPromptTitle = QStringLiteral("Program Kbd");
const QString kIdleText = QStringLiteral("Press Program Button to transfer.");
const QString kPartlyProgrammed =
    QStringLiteral("The transfer was stopped: the keyboard is only partly programmed and must be "
                   "programmed again.");
const QString kNoTypeAnswer = QStringLiteral(
    "The keyboard did not answer the type query, so its type is not known: the keys table of "
    "the older keyboards (\"No macros\", \"Reduced\") is built and sent. An Enhanced keyboard "
    "does not take it; if yours is one, choose its type under Keyboard > Configure.");

QString numberText(long long value)
{
    return QString::fromStdString(NumberText(value));
}

} // namespace

TransferDriver::TransferDriver(TransferSession& session, SerialDevice& serial,
                               KeyboardPortDevice& keyboard, UserDialogs& dialogs)
    : m_session(session), m_serial(serial), m_keyboard(keyboard), m_dialogs(dialogs)
{
}

void TransferDriver::showIdle()
{
    m_session.view.InfoLabel = kIdleText;
}

void TransferDriver::Form_Load()
{
    showIdle();
    m_session.view.selectedPort = m_session.state().ComPortIndex;
    m_session.TransferActive = false;
    m_session.refresh();
}

void TransferDriver::Form_Activate()
{
    ProgrammingView& view = m_session.view;
    m_session.KeyBuffer.fill(0);
    m_session.KeyCount = 1;
    m_session.KeepRunning = false;
    view.InfoLabel2.clear();
    view.controlsVisible = true;
    view.largeLayout = true;

    RepeatSettings& repeat = m_session.repeat();
    const auto speed = repeat.speed();
    m_session.beepOnFailure(speed.has_value());
    const auto delay = repeat.delay();
    m_session.beepOnFailure(delay.has_value());
    m_session.SavedSpeed = speed.value_or(m_session.SavedSpeed);
    m_session.SavedDelay = delay.value_or(m_session.SavedDelay);

    m_session.KbdAcknowledged = false;
    showIdle();
    const ConfiguratorState& state = m_session.state();
    view.KbdPortNote = repeat.unavailableReason();
    view.kbdPortEnabled = KeyboardType(state.LayoutRecords[Settings::KbdFlags].PosX) == 2 &&
                          view.KbdPortNote.isEmpty();
    view.MemoryText = MacroMemoryText(state);
    m_session.refresh();
}

void TransferDriver::Form_Deactivate()
{
    m_session.view.InfoLabel2.clear();
    if (m_session.KeepRunning) {
        m_session.KeepRunning = false;
        m_serial.closePort();
        showIdle();
    }
    m_session.refresh();
}

bool TransferDriver::Form_Unload()
{
    ConfiguratorState& state = m_session.state();
    if (state.TransferIdle && !m_session.KeepRunning && !m_session.TransferActive) {
        emit m_session.leaveRequested();
        return true;
    }
    if (m_session.KeepRunning) {
        m_session.KeepRunning = false;
        m_serial.closePort();
        if (state.TransferIdle)
            emit m_session.leaveRequested();
    }
    return state.TransferIdle;
}

void TransferDriver::Option1_Click(int index)
{
    ConfiguratorState& state = m_session.state();
    if (!m_session.TransferActive && index >= 0 && index <= 4)
        state.ComPortIndex = static_cast<std::uint16_t>(index);
    m_session.view.selectedPort = state.ComPortIndex;
    m_session.refresh();
}

void TransferDriver::Form_MouseDown()
{
    if (m_session.keyboardPortSelected() && m_session.TransferActive &&
        !m_session.state().TransferIdle) {
        m_session.KeepRunning = false;
        m_session.UserAborted = true;
    }
}

void TransferDriver::LostFocus()
{
    if (m_session.keyboardPortSelected() && m_session.TransferActive &&
        m_session.view.mouseCaptured)
        m_session.refresh(); // the window takes the mouse back
}

void TransferDriver::Cancel_Click()
{
    m_serial.closePort();
    m_session.UserAborted = true;
    m_session.state().TransferIdle = true;
    m_session.view.mouseCaptured = false;
    if (!m_session.ErrorShown && m_session.TransferActive) {
        m_session.ErrorShown = true;
        m_dialogs.inform(QStringLiteral("Transmit aborted by user") + partlyProgrammedNote(),
                         kAppTitle);
    }
    m_session.KeepRunning = false;
    showIdle();
    m_session.refresh();
    emit m_session.leaveRequested();
}

void TransferDriver::Terminate()
{
    m_session.ErrorShown = true;
    Cancel_Click();
}

QString TransferDriver::partlyProgrammedNote() const
{
    return m_session.KeyboardPartlyProgrammed ? QLatin1Char('\n') + kPartlyProgrammed : QString();
}

void TransferDriver::Program_Click()
{
    if (m_session.TransferActive)
        return;
    if (m_session.keyboardPortSelected() && !m_session.view.kbdPortEnabled) {
        // The port saved from an earlier layout cannot carry this one; say so
        // now rather than after a handshake that cannot succeed.
        const QString why = m_session.view.KbdPortNote.isEmpty()
                                ? QStringLiteral("Only Enhanced keyboards can be programmed "
                                                 "through the keyboard port.")
                                : m_session.view.KbdPortNote;
        m_dialogs.warn(why + QStringLiteral("\n\nChoose a COM port."), kAppTitle);
        return;
    }
    ConfiguratorState& state = m_session.state();
    m_session.KeepRunning = true;
    m_session.TransferActive = true;
    m_session.KbdAcknowledged = false;
    m_session.ErrorShown = false;
    m_session.UserAborted = false;
    m_session.KeyboardPartlyProgrammed = false;

    std::uint8_t& flags = state.LayoutRecords[Settings::KbdFlags].PosX;
    int type = KeyboardType(flags);
    if (type > 3)
        type = 2;
    if (type == 3) {
        m_session.AutoDetected = false;
        const int detected = m_serial.AutoDetectKbd();
        if (detected != SerialDevice::kUnknownType) {
            m_session.AutoDetected = true;
            flags = WithKeyboardType(flags, detected);
        }
        type = detected;
        // Without a word the failure prompt that follows would come back
        // after every retry with no hint why.
        if (detected == SerialDevice::kUnknownType && m_serial.portOpen() && m_session.KeepRunning)
            m_dialogs.inform(kNoTypeAnswer, kAppTitle);
    }

    if (type == 2) {
        RepeatSettings& repeat = m_session.repeat();
        const auto speed = repeat.speed();
        const auto delay = repeat.delay();
        m_session.beepOnFailure(speed.has_value() && delay.has_value());
        flags |= 0x80;
        SendLargeMacros();
        // Only what was read can be put back.
        if (speed)
            m_session.beepOnFailure(repeat.setSpeed(*speed));
        if (delay)
            m_session.beepOnFailure(repeat.setDelay(*delay));
    } else {
        SendSmallMacros();
    }
    m_serial.closePort();
    // Closing or leaving the window stopped it half-way: the keyboard must not
    // pass for programmed. (Cancel and a click said so already.)
    if (!m_session.KeepRunning && m_session.KeyboardPartlyProgrammed && !m_session.ErrorShown) {
        m_session.ErrorShown = true;
        m_dialogs.inform(kPartlyProgrammed, kAppTitle);
    }
    // Whatever way the phase ended, none runs now; the window may close.
    state.TransferIdle = true;
    m_session.view.mouseCaptured = false;
    if (m_session.TransferActive)
        emit m_session.leaveRequested();
    m_session.TransferActive = false;
    m_session.refresh();
}

bool TransferDriver::stillRunning() const
{
    return m_session.KeepRunning && m_session.TransferActive;
}

void TransferDriver::abortPath()
{
    m_serial.closePort();
    m_session.state().TransferIdle = true;
    m_session.TransferActive = false;
    m_session.view.mouseCaptured = false;
    m_session.refresh();
    emit m_session.leaveRequested();
}

bool TransferDriver::askForAnotherPass(bool failed)
{
    if (m_session.UserAborted || !m_session.KeepRunning)
        return false;
    const QString text = failed ? QStringLiteral("Layout transfer failed. Program again ?")
                                : QStringLiteral("Layout transfered. Program another device ?");
    return m_dialogs.askYesNo(text, kPromptTitle) == Answer::Yes;
}

void TransferDriver::SendSmallMacros()
{
    ProgrammingView& view = m_session.view;
    // ErrorShown stays as the click left it: a keyboard that did not answer
    // the detection is not reported a second time.
    m_session.UserAborted = false;
    m_session.state().TransferIdle = false;
    view.InfoLabel = QStringLiteral("Sending Key: ");

    KeysTableBuilder table(LayoutSource::Of(m_session.state()));
    view.InfoLabel = QStringLiteral("Building keys table");
    m_session.refresh();
    for (int key = 1; key <= kKeyCount && !table.overflow(); ++key) {
        if (!stillRunning())
            return abortPath();
        m_session.yield();
        table.addKey(key);
    }
    table.finish();
    view.MemoryText = MacroMemoryText(table);

    if (table.overflow()) {
        // Nothing can be sent; asking again only repeats the question.
        while (askForAnotherPass(true)) {
        }
        return;
    }

    if (!m_serial.AskForCom())
        return;
    if (m_serial.portOpen()) {
        m_serial.send("V");
        m_session.delay(kOlderVersionWait);
        (void)m_serial.GetChar();
    }

    for (;;) {
        // A line that failed in the last pass was closed; another pass opens it again.
        if (!m_serial.AskForCom())
            return;
        m_session.UserAborted = false;
        bool failed = false;
        for (int k = 1; k <= table.NextSlot() && !failed; ++k) {
            if (!stillRunning())
                return abortPath();
            m_session.yield();
            view.InfoLabel = k < 85 ? QStringLiteral("Sending Key: ") + numberText(k)
                                    : QStringLiteral("Programming Macros: ") + numberText(k - 84);
            m_session.refresh();
            const std::uint16_t word = table.word(k);
            m_session.KeyboardPartlyProgrammed = true;
            failed = !m_serial.WriteE2(k, Hi(word), Lo(word));
            m_session.refresh();
        }
        if (failed)
            m_session.delay(kFailedPassPause);
        else // an end record that is not taken leaves the keyboard unprogrammed
            failed = !m_serial.WriteE2(KeysTableBuilder::kEndWord, 255, 255);
        m_session.KeyboardPartlyProgrammed = failed && m_session.KeyboardPartlyProgrammed;
        view.InfoLabel = QStringLiteral("Sending Key: ");
        m_session.refresh();
        if (!askForAnotherPass(failed))
            return;
    }
}

void TransferDriver::SendLargeMacros()
{
    ProgrammingView& view = m_session.view;
    m_session.UserAborted = false;
    m_session.state().TransferIdle = false;

    DeviceImageBuilder image(LayoutSource::Of(m_session.state()));
    view.InfoLabel = QStringLiteral("Building macros table");
    m_session.refresh();
    for (int key = 1; key <= kKeyCount && !image.overflow(); ++key) {
        if (!stillRunning())
            return abortPath();
        m_session.yield();
        image.addKey(key);
    }
    image.finish();
    view.MemoryText = MacroMemoryText(image);

    if (image.overflow()) {
        m_dialogs.critical(QStringLiteral("Macros count overflow 2048"), kAppTitle);
        // A cut image would program a keyboard that only half works: nothing
        // is sent, as with the older keyboards.
        while (askForAnotherPass(true)) {
        }
        return;
    }

    for (;;) {
        if (!m_serial.AskForCom())
            return;
        bool failed = false;
        bool handshakeFailed = false;
        if (!m_session.keyboardPortSelected()) {
            // Any other answer, or none, still lets the pass go on: every
            // byte is acknowledged on its own, so a keyboard that does not
            // take them fails the pass anyway.
            const auto version = m_serial.QueryVersion(SerialDevice::kVersionWait);
            if (version && *version >= 0 && *version <= 9) {
                view.InfoLabel = QStringLiteral("KBD ROM Ver = %1.00").arg(*version);
                m_session.refresh();
                m_session.delay(kVersionShown);
            }
        } else {
            m_session.WriteFailed = false;
            view.controlsVisible = false;
            view.InfoLabel2 = QStringLiteral("To cancel, click on mouse");
            m_keyboard.setDelay(0);
            view.largeLayout = true;
            m_session.refresh();
            const bool confirmed = m_keyboard.KbdProgMode();
            view.largeLayout = false;
            if (!confirmed)
                failed = handshakeFailed = true;
            else
                view.outlinesVisible = false;
            m_session.refresh();
        }
        m_session.KeyMode = TransferSession::KeyModes::Collect;

        for (int a = 1; a <= image.NextSlot() && !failed; ++a) {
            if (!stillRunning())
                return abortPath();
            m_session.yield();
            view.InfoLabel = QStringLiteral("SendingKey") + numberText(a) + QStringLiteral(" of") +
                             numberText(image.NextSlot()) + QStringLiteral("  ");
            m_session.refresh();
            m_session.KeyboardPartlyProgrammed = true;
            failed = !m_serial.NewWriteE2(a, image.byte(a));
        }
        view.mouseCaptured = false;
        m_session.refresh();
        if (failed)
            m_session.delay(kFailedPassPause);
        else
            failed = !m_serial.NewWriteE2(DeviceImageBuilder::kEndByte, 255);
        m_session.KeyboardPartlyProgrammed = failed && m_session.KeyboardPartlyProgrammed;

        if (failed && !handshakeFailed) {
            view.InfoLabel2.clear();
            view.controlsVisible = true;
            view.largeLayout = true;
            view.outlinesVisible = false;
            m_session.refresh();
            if (m_session.WriteFailed) {
                // Let the keyboard finish typing whatever it still had.
                m_session.KeyMode = TransferSession::KeyModes::Watch;
                do {
                    m_session.KeySeen = false;
                    m_session.delay(kLateKeysQuietTime);
                } while (m_session.KeySeen && m_session.KeepRunning && !m_session.KbdAcknowledged);
                // A write cut short by closing the window is no transmit error.
                if (!m_session.UserAborted && !m_session.ErrorShown && m_session.KeepRunning) {
                    m_session.ErrorShown = true;
                    m_dialogs.critical(QStringLiteral("Kbd transmit error"), kAppTitle);
                }
                if (m_session.UserAborted && !m_session.ErrorShown) {
                    m_dialogs.inform(QStringLiteral("Kbd transmit aborted by user") +
                                         partlyProgrammedNote(),
                                     kAppTitle);
                    m_session.ErrorShown = true;
                }
            }
        } else if (handshakeFailed) {
            view.outlinesVisible = false;
            m_session.refresh();
        }
        if (!askForAnotherPass(failed))
            return;
    }
}

} // namespace morvaw
