#include "programmingservice.h"

#include "deviceimagebuilder.h"
#include "keystablebuilder.h"
#include "layoutsource.h"
#include "linkcodes.h"
#include "repeatsettings.h"

#include <utility>

namespace morvaw {

namespace {

const QString kNotAcknowledged = QStringLiteral("Check connection, port number, macro mode");
const QString kMemoryFull = QStringLiteral("Macros count overflow 2048");
const QString kEchoNotReceived = QStringLiteral("Kbd transmit error");
const QString kAbortedByUser = QStringLiteral("Kbd transmit aborted by user");
const QString kOnlyEnhanced =
    QStringLiteral("Only Enhanced keyboards can be programmed through the keyboard port.");
const QString kNoTypeAnswer = QStringLiteral(
    "The keyboard did not answer the type query, so its type is not known: the keys table of "
    "the older keyboards (\"No macros\", \"Reduced\") is built and sent. An Enhanced keyboard "
    "does not take it; if yours is one, choose its type under Keyboard > Configure.");

TransferProgress at(TransferPhase phase)
{
    TransferProgress progress;
    progress.phase = phase;
    return progress;
}

TransferProgress sendingRecord(int written, int total)
{
    TransferProgress progress = at(TransferPhase::Sending);
    progress.written = written;
    progress.total = total;
    return progress;
}

TransferProgress passEnded(bool failed, bool handshakeConfirmed)
{
    TransferProgress progress = at(TransferPhase::PassEnded);
    progress.failed = failed;
    progress.handshakeConfirmed = handshakeConfirmed;
    return progress;
}

} // namespace

QString PortErrorText(const PortError& error)
{
    return QStringLiteral("Error # ") + QString::fromStdString(NumberText(error.number)) +
           QLatin1Char('\n') + error.description;
}

Channel ChannelOf(int comPortIndex)
{
    return comPortIndex >= 0 && comPortIndex < 4 ? static_cast<Channel>(comPortIndex)
                                                 : Channel::KeyboardPort;
}

ProgrammingService::ProgrammingService(Waiter& waiter, SerialLink& port, RepeatSettings& repeat)
    : m_waits(waiter), m_port(port), m_repeat(repeat), m_serial(m_waits, port),
      m_keyboard(m_waits, repeat, [this] {
          if (m_observer)
              m_observer->repeatChangeFailed();
      })
{
}

QString ProgrammingService::keyboardPortNote()
{
    const QString reason = m_repeat.unavailableReason();
    return reason.isEmpty() ? m_repeat.keyboardName() : reason;
}

QString ProgrammingService::keyboardPortUnusableReason(std::uint8_t kbdFlags)
{
    const QString reason = m_repeat.unavailableReason();
    if (!reason.isEmpty())
        return reason;
    return KeyboardType(kbdFlags) == 2 ? QString() : kOnlyEnhanced;
}

bool ProgrammingService::readRepeatSettings()
{
    const auto speed = m_repeat.speed();
    const auto delay = m_repeat.delay();
    // Only what was read can be put back.
    if (speed && delay)
        m_userSettings = RepeatValues{*speed, *delay};
    return (speed && delay) || !m_repeat.unavailableReason().isEmpty();
}

std::optional<ConnectionTest> ProgrammingService::testConnection(Channel channel)
{
    if (m_active || m_testing || channel == Channel::KeyboardPort)
        return std::nullopt;
    const int com = ComPortIndexOf(channel) + 1;
    m_testing = true;
    m_waits.start();
    ConnectionTest test;
    test.port = m_port.portName(com);
    const SerialDevice::Detection found = m_serial.AutoDetectKbd(com);
    test.portError = found.portError;
    test.type = found.type;
    test.answer = found.answer;
    test.stopped = !m_waits.keepRunning();
    m_serial.closePort();
    m_waits.stop();
    m_testing = false;
    return test;
}

void ProgrammingService::cancel()
{
    m_serial.closePort();
    m_userAborted = true;
    m_idle = true;
    m_waits.stop();
}

void ProgrammingService::abortByClick()
{
    if (m_input.channel == Channel::KeyboardPort && m_active && !m_idle) {
        m_waits.stop();
        m_userAborted = true;
    }
}

void ProgrammingService::stop()
{
    m_waits.stop();
    m_serial.closePort();
}

void ProgrammingService::keyTyped(int keyAscii)
{
    m_keyboard.keyTyped(keyAscii);
}

int ProgrammingService::comNumber() const
{
    return ComPortIndexOf(m_input.channel) + 1;
}

TransferOutcome ProgrammingService::outcomeOf(TransferResult result, QString message) const
{
    TransferOutcome outcome;
    outcome.result = result;
    outcome.message = std::move(message);
    outcome.generation = m_generation;
    outcome.partlyProgrammed = m_partlyProgrammed;
    outcome.kbdFlags = m_input.LayoutRecords[Settings::KbdFlags].PosX;
    return outcome;
}

TransferOutcome ProgrammingService::portNotOpened(const PortError& error) const
{
    return outcomeOf(TransferResult::PortNotOpened, PortErrorText(error));
}

TransferOutcome ProgrammingService::serialPass(SerialDevice::WriteResult last) const
{
    switch (last) {
    case SerialDevice::WriteResult::Acknowledged:
        return outcomeOf(TransferResult::Programmed);
    case SerialDevice::WriteResult::NotAcknowledged:
        return outcomeOf(TransferResult::NotAcknowledged, kNotAcknowledged);
    case SerialDevice::WriteResult::NotSent:
        break;
    }
    return outcomeOf(TransferResult::PortClosed);
}

void ProgrammingService::report(TransferObserver& observer, TransferProgress progress) const
{
    progress.generation = m_generation;
    progress.channel = m_input.channel;
    progress.memory = m_memory;
    observer.progressed(progress);
}

TransferOutcome ProgrammingService::program(const TransferInput& input, TransferObserver& observer)
{
    if (m_active || m_testing)
        return outcomeOf(TransferResult::Busy);
    m_input = input;
    std::uint8_t& flags = m_input.LayoutRecords[Settings::KbdFlags].PosX;
    if (m_input.channel == Channel::KeyboardPort) {
        // A port saved from an earlier layout may not carry this one; say so
        // now rather than after a handshake that cannot succeed.
        if (QString why = keyboardPortUnusableReason(flags); !why.isEmpty())
            return outcomeOf(TransferResult::KeyboardPortUnusable, why);
    }
    m_observer = &observer;
    m_serial.setFast(m_input.fast);
    m_waits.start();
    m_active = true;
    m_userAborted = false;
    m_partlyProgrammed = false;
    m_userSettingsKept = false;
    m_keyboard.reset();

    int type = KeyboardType(flags);
    if (type > 3)
        type = 2;
    std::optional<int> detectedType;
    if (type == 3) {
        const SerialDevice::Detection detection = m_serial.AutoDetectKbd(comNumber());
        if (detection.portError)
            observer.detectionTrouble(portNotOpened(*detection.portError));
        if (detection.probeNotAcknowledged)
            observer.detectionTrouble(outcomeOf(TransferResult::NotAcknowledged, kNotAcknowledged));
        if (detection.type != SerialDevice::kUnknownType) {
            detectedType = detection.type;
            flags = WithKeyboardType(flags, detection.type);
        }
        type = detection.type;
        // Without a word the failure prompt that follows would come back
        // after every retry with no hint why.
        if (!detectedType && m_serial.portOpen() && m_waits.keepRunning())
            observer.detectionTrouble(outcomeOf(TransferResult::TypeNotDetected, kNoTypeAnswer));
    }

    TransferOutcome outcome;
    if (type == 2) {
        m_generation = KeyboardGeneration::Enhanced;
        if (!readRepeatSettings())
            observer.repeatChangeFailed();
        flags |= 0x80;
        outcome = sendLargeMacros(observer);
        // Every way out comes here: done, failed, stopped by a click, Cancel,
        // the window closing or the program being asked to end.
        // What was kept stays kept for the next start when they are not back.
        if (m_keyboard.restore(m_userSettings) && std::exchange(m_userSettingsKept, false))
            m_repeat.userSettingsBack();
    } else {
        m_generation = KeyboardGeneration::Older;
        outcome = sendSmallMacros(observer);
    }
    m_serial.closePort();
    // Whatever way the phase ended, none runs now; the window may close.
    m_idle = true;
    m_active = false;
    m_observer = nullptr;
    outcome.generation = m_generation;
    outcome.partlyProgrammed = m_partlyProgrammed;
    outcome.detectedType = detectedType;
    outcome.kbdFlags = flags;
    return outcome;
}

bool ProgrammingService::stillRunning() const
{
    return m_waits.keepRunning() && m_active;
}

TransferOutcome ProgrammingService::abortPath()
{
    m_serial.closePort();
    m_idle = true;
    return outcomeOf(TransferResult::Stopped);
}

bool ProgrammingService::askForAnotherPass(TransferObserver& observer, const TransferOutcome& pass)
{
    if (m_userAborted || !m_waits.keepRunning())
        return false;
    return observer.programAnother(pass);
}

TransferOutcome ProgrammingService::sendSmallMacros(TransferObserver& observer)
{
    m_userAborted = false;
    m_idle = false;

    const LayoutSource layout{
        m_input.LayoutRecords, {m_input.ScanTable, m_input.ScanCount}, m_matrixCodes};
    KeysTableBuilder table(layout);
    report(observer, at(TransferPhase::Building));
    for (int key = 1; key <= kKeyCount && !table.overflow(); ++key) {
        if (!stillRunning())
            return abortPath();
        m_waits.yield();
        table.addKey(key);
    }
    table.finish();
    m_memory = UsageOf(table);
    report(observer, at(TransferPhase::Built));

    if (table.overflow()) {
        // Nothing can be sent; asking again only repeats the question.
        const TransferOutcome full = outcomeOf(TransferResult::MemoryFull);
        while (askForAnotherPass(observer, full)) {
        }
        return m_waits.keepRunning() ? full : outcomeOf(TransferResult::Stopped);
    }

    if (auto error = m_serial.AskForCom(comNumber()))
        return portNotOpened(*error);
    if (m_serial.portOpen()) {
        report(observer, at(TransferPhase::Connecting));
        m_serial.send("V");
        m_waits.delay(kOlderVersionWait);
        // The answer changes nothing; it is only reported.
        const int answer = m_serial.GetChar();
        TransferProgress connecting = at(TransferPhase::Connecting);
        if (answer >= SerialDevice::kVersionBase)
            connecting.versionAnswered = answer - SerialDevice::kVersionBase;
        report(observer, connecting);
    }

    for (;;) {
        // A line that failed in the last pass was closed; another pass opens it again.
        if (auto error = m_serial.AskForCom(comNumber()))
            return portNotOpened(*error);
        m_userAborted = false;
        auto last = SerialDevice::WriteResult::Acknowledged;
        bool failed = false;
        for (int k = 1; k <= table.NextSlot() && !failed; ++k) {
            if (!stillRunning())
                return abortPath();
            m_waits.yield();
            report(observer, sendingRecord(k, table.NextSlot()));
            const std::uint16_t word = table.word(k);
            m_partlyProgrammed = true;
            last = m_serial.WriteE2(k, Hi(word), Lo(word));
            failed = last != SerialDevice::WriteResult::Acknowledged;
        }
        if (failed) {
            m_waits.delay(kFailedPassPause);
        } else { // an end record that is not taken leaves the keyboard unprogrammed
            report(observer, at(TransferPhase::EndRecord));
            last = m_serial.WriteE2(KeysTableBuilder::kEndWord, 255, 255);
            failed = last != SerialDevice::WriteResult::Acknowledged;
        }
        m_partlyProgrammed = failed && m_partlyProgrammed;
        report(observer, passEnded(failed, true));
        const TransferOutcome pass = serialPass(last);
        if (!askForAnotherPass(observer, pass))
            return m_waits.keepRunning() && !m_userAborted ? pass
                                                           : outcomeOf(TransferResult::Stopped);
    }
}

bool ProgrammingService::connectEnhanced(TransferObserver& observer)
{
    if (m_input.channel != Channel::KeyboardPort) {
        // Any other answer, or none, still lets the pass go on: every byte is
        // acknowledged on its own, so a keyboard that does not take them
        // fails the pass anyway.
        report(observer, at(TransferPhase::Connecting));
        const auto version = m_serial.QueryVersion(SerialDevice::kVersionWait);
        TransferProgress connecting = at(TransferPhase::Connecting);
        connecting.versionAnswered = version;
        const bool shown = version && *version >= 0 && *version <= 9;
        if (shown)
            connecting.romVersion = version;
        report(observer, connecting);
        if (shown)
            m_waits.delay(kVersionShown);
        return true;
    }
    m_keyboard.reset();
    if (!std::exchange(m_userSettingsKept, true))
        m_repeat.keepUserSettings();
    m_keyboard.setDelay(0);
    return m_keyboard.KbdProgMode(m_userSettings, [&](const auto& step) {
        TransferProgress waiting =
            at(step.confirmed ? TransferPhase::KeyboardReady : TransferPhase::WaitingForKeyboard);
        waiting.countdown = step;
        report(observer, waiting);
    });
}

TransferOutcome ProgrammingService::sendLargeMacros(TransferObserver& observer)
{
    m_userAborted = false;
    m_idle = false;

    const LayoutSource layout{
        m_input.LayoutRecords, {m_input.ScanTable, m_input.ScanCount}, m_matrixCodes};
    DeviceImageBuilder image(layout);
    report(observer, at(TransferPhase::Building));
    for (int key = 1; key <= kKeyCount && !image.overflow(); ++key) {
        if (!stillRunning())
            return abortPath();
        m_waits.yield();
        image.addKey(key);
    }
    image.finish();
    m_memory = UsageOf(image);
    report(observer, at(TransferPhase::Built));

    if (image.overflow()) {
        // A cut image would program a keyboard that only half works: nothing
        // is sent, as with the older keyboards.
        const TransferOutcome full = outcomeOf(TransferResult::MemoryFull, kMemoryFull);
        while (askForAnotherPass(observer, full)) {
        }
        return m_waits.keepRunning() ? full : outcomeOf(TransferResult::Stopped);
    }

    for (;;) {
        if (m_input.channel != Channel::KeyboardPort) {
            if (auto error = m_serial.AskForCom(comNumber()))
                return portNotOpened(*error);
        }
        const bool handshakeConfirmed = connectEnhanced(observer);
        bool failed = !handshakeConfirmed;
        m_keyboard.collectEchoes();

        const bool keyboardPort = m_input.channel == Channel::KeyboardPort;
        auto last = SerialDevice::WriteResult::Acknowledged;
        // One byte over the chosen channel; true when it was taken.
        const auto writeByte = [&](int address, std::uint8_t data) {
            if (keyboardPort)
                return m_keyboard.KbdWriteE2(address, data);
            last = m_serial.NewWriteE2(address, data);
            return last == SerialDevice::WriteResult::Acknowledged;
        };
        for (int a = 1; a <= image.NextSlot() && !failed; ++a) {
            if (!stillRunning())
                return abortPath();
            m_waits.yield();
            report(observer, sendingRecord(a, image.NextSlot()));
            m_partlyProgrammed = true;
            failed = !writeByte(a, image.byte(a));
        }
        if (failed) {
            m_waits.delay(kFailedPassPause);
        } else {
            report(observer, at(TransferPhase::EndRecord));
            failed = !writeByte(DeviceImageBuilder::kEndByte, 255);
        }
        m_partlyProgrammed = failed && m_partlyProgrammed;
        report(observer, passEnded(failed, handshakeConfirmed));

        TransferOutcome pass = outcomeOf(TransferResult::Programmed);
        if (!handshakeConfirmed) {
            pass = outcomeOf(TransferResult::HandshakeNotConfirmed);
        } else if (failed && m_keyboard.writeFailed()) {
            m_keyboard.waitForLateKeys();
            // A write cut short by closing the window is no transmit error.
            if (m_userAborted)
                return outcomeOf(TransferResult::AbortedByUser, kAbortedByUser);
            pass = outcomeOf(TransferResult::EchoNotReceived, kEchoNotReceived);
        } else if (failed) {
            pass = serialPass(last);
        }
        if (!askForAnotherPass(observer, pass))
            return m_waits.keepRunning() && !m_userAborted ? pass
                                                           : outcomeOf(TransferResult::Stopped);
    }
}

} // namespace morvaw
