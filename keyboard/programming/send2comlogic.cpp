#include "send2comlogic.h"

#include "layoutsource.h"
#include "linkcodes.h"
#include "userdialogs.h"
#include "waiter.h"

#include <array>
#include <utility>

namespace morvaw {

namespace {

const QString kAppTitle = QStringLiteral("MORVA");
const QString kPromptTitle = QStringLiteral("Program Kbd");
const QString kIdleText = QStringLiteral("Press Program Button to transfer.");
const QString kKeepInFront =
    QStringLiteral("Keep this window in front: the keyboard types its answers into it.");
const QString kPartlyProgrammed =
    QStringLiteral("The transfer was stopped: the keyboard is only partly programmed and must be "
                   "programmed again.");

const std::array<QString, 3> kTypeNames = {QStringLiteral("No macros"), QStringLiteral("Reduced"),
                                           QStringLiteral("Enhanced")};

QString numberText(long long value)
{
    return QString::fromStdString(NumberText(value));
}

// The layout's keyboard type as a transfer reads it.
int layoutType(const TransferInput& input)
{
    const int type = KeyboardType(input.LayoutRecords[Settings::KbdFlags].PosX);
    return type > 3 ? 2 : type;
}

// "COM2 (/dev/ttyUSB0): Enhanced keyboard, KBD ROM Ver = 2.00", or what
// came instead of an answer.
QString connectionTestText(const ConnectionTest& test)
{
    if (test.type >= 0 && test.type <= 2) {
        QString text = QStringLiteral("%1: %2 keyboard")
                           .arg(test.port, kTypeNames[static_cast<std::size_t>(test.type)]);
        const int version = test.answer - SerialDevice::kVersionBase;
        if (version >= 0 && version <= 9)
            text += QStringLiteral(", KBD ROM Ver = %1.00").arg(version);
        return text;
    }
    if (test.answer == 0)
        return test.port + QStringLiteral(": no answer");
    return QStringLiteral("%1: an answer no keyboard gives (byte %2)")
        .arg(test.port)
        .arg(test.answer);
}

// "\n" and what a person must know after a transfer stopped half-way, or
// nothing when the keyboard was not touched.
QString partlyProgrammedNote(bool partly)
{
    return partly ? QLatin1Char('\n') + kPartlyProgrammed : QString();
}

QString sendingText(const TransferProgress& progress)
{
    const int n = progress.written;
    if (progress.generation == KeyboardGeneration::Enhanced)
        return QStringLiteral("SendingKey") + numberText(n) + QStringLiteral(" of") +
               numberText(progress.total) + QStringLiteral("  ");
    return n < 85 ? QStringLiteral("Sending Key: ") + numberText(n)
                  : QStringLiteral("Programming Macros: ") + numberText(n - 84);
}

} // namespace

Send2ComLogic::Send2ComLogic(ProgrammingServices services, QObject* parent)
    : QObject(parent), m_services(std::move(services)),
      m_service(m_services.waiter, m_services.port, m_services.repeat)
{
}

void Send2ComLogic::refresh()
{
    const bool busy = m_service.active() || m_service.testing();
    m_view.portsEnabled = !busy && m_services.ports != nullptr;
    m_view.testEnabled = !busy && m_view.selectedPort != Channel::KeyboardPort;
    emit changed();
}

void Send2ComLogic::showIdle()
{
    m_view.InfoLabel = kIdleText;
}

void Send2ComLogic::leave()
{
    if (!std::exchange(m_left, true))
        emit leaveRequested();
}

void Send2ComLogic::load()
{
    showIdle();
    m_view.selectedPort = m_services.input().channel;
    m_view.fast = m_services.fastMode && m_services.fastMode();
    refresh();
}

void Send2ComLogic::activate()
{
    m_view.InfoLabel2.clear();
    m_view.controlsVisible = true;
    m_view.largeLayout = true;
    if (!m_service.readRepeatSettings())
        emit beep();
    showIdle();

    m_view.KbdPortNote = m_service.keyboardPortNote();
    m_view.KeepInFront.clear();
    showLayoutFacts(m_services.input());
    refresh();
}

void Send2ComLogic::showLayoutFacts(const TransferInput& input)
{
    const std::uint8_t flags = input.LayoutRecords[Settings::KbdFlags].PosX;
    m_view.kbdPortEnabled = m_service.keyboardPortUnusableReason(flags).isEmpty();
    const MatrixCodeTable matrixCodes = MakeDeviceMatrixCodes();
    m_view.MemoryText = MacroMemoryText(
        LayoutSource{input.LayoutRecords, {input.ScanTable, input.ScanCount}, matrixCodes});
}

void Send2ComLogic::deactivate()
{
    m_view.InfoLabel2.clear();
    if (m_service.running()) {
        m_service.stop();
        showIdle();
    }
    refresh();
}

bool Send2ComLogic::requestClose()
{
    if (m_service.idle() && !m_service.running() && !m_service.active()) {
        leave();
        return true;
    }
    if (m_service.running()) {
        m_service.stop();
        if (m_service.idle())
            leave();
    }
    return m_service.idle();
}

void Send2ComLogic::choosePort(Channel channel)
{
    if (!m_service.active() && !m_service.testing()) {
        if (channel != m_view.selectedPort)
            m_view.TestResult.clear();
        m_view.selectedPort = channel;
        if (m_services.storePort)
            m_services.storePort(ComPortIndexOf(channel));
    }
    refresh();
}

void Send2ComLogic::portBound(int comNumber)
{
    m_view.TestResult.clear();
    if (comNumber >= 1 && comNumber <= 4)
        choosePort(static_cast<Channel>(comNumber - 1));
    refresh();
}

void Send2ComLogic::testConnection()
{
    if (m_view.selectedPort == Channel::KeyboardPort || m_service.active())
        return;
    m_view.TestResult = QStringLiteral("Asking the keyboard for its type…");
    refresh();
    const std::optional<ConnectionTest> test = m_service.testConnection(m_view.selectedPort);
    if (!test)
        return;
    m_view.TestResult.clear();
    if (test->stopped) {
        refresh();
        return;
    }
    if (test->portError) {
        m_view.TestResult = test->portError->description.section(QLatin1Char('\n'), 0, 0);
        refresh();
        m_services.dialogs.warn(PortErrorText(*test->portError), QStringLiteral("Error"));
        return;
    }
    m_view.TestResult = connectionTestText(*test);
    refresh();
    offerKeyboardType(*test);
}

void Send2ComLogic::offerKeyboardType(const ConnectionTest& test)
{
    const TransferInput input = m_services.input();
    const int ours = layoutType(input);
    if (test.type < 0 || test.type > 2 || ours == 3 || ours == test.type)
        return;
    const QString theirs = kTypeNames[static_cast<std::size_t>(test.type)];
    m_view.TestResult += QStringLiteral("\nThe layout is for \"%1\" keyboards.")
                             .arg(kTypeNames[static_cast<std::size_t>(ours)]);
    refresh();
    const QString question =
        QStringLiteral("The keyboard is \"%1\"; the layout is for \"%2\" keyboards.\nUse the "
                       "keyboard's type, \"%1\", for this layout ?")
            .arg(theirs, kTypeNames[static_cast<std::size_t>(ours)]);
    if (!m_services.storeKeyboardType ||
        m_services.dialogs.askYesNo(question, kPromptTitle) != Answer::Yes)
        return;
    m_services.storeKeyboardType(test.type);
    m_view.TestResult = connectionTestText(test);
    showLayoutFacts(m_services.input());
    refresh();
}

void Send2ComLogic::setFast(bool fast)
{
    if (!m_service.active()) {
        m_view.fast = fast;
        if (m_services.storeFastMode)
            m_services.storeFastMode(fast);
    }
    refresh();
}

QString Send2ComLogic::logPath() const
{
    return m_services.log ? m_services.log->path() : QString();
}

QString Send2ComLogic::logText() const
{
    return m_services.log ? m_services.log->tail() : QString();
}

void Send2ComLogic::mouseClicked()
{
    m_service.abortByClick();
}

void Send2ComLogic::focusLost()
{
    if (m_view.selectedPort == Channel::KeyboardPort && m_service.active() && m_view.mouseCaptured)
        refresh(); // the window takes the mouse back
}

void Send2ComLogic::keyTyped(int keyAscii)
{
    m_service.keyTyped(keyAscii);
}

void Send2ComLogic::cancel()
{
    const bool active = m_service.active();
    m_service.cancel();
    m_view.mouseCaptured = false;
    if (!m_errorShown && active) {
        m_errorShown = true;
        m_services.dialogs.inform(QStringLiteral("Transmit aborted by user") +
                                      partlyProgrammedNote(m_service.partlyProgrammed()),
                                  kAppTitle);
    }
    showIdle();
    refresh();
    leave();
}

void Send2ComLogic::terminate()
{
    m_errorShown = true;
    cancel();
}

void Send2ComLogic::program()
{
    if (m_service.active() || m_service.testing())
        return;
    TransferInput input = m_services.input();
    input.channel = m_view.selectedPort;
    input.fast = m_view.fast;
    const std::uint8_t flagsBefore = input.LayoutRecords[Settings::KbdFlags].PosX;
    m_errorShown = false;
    m_overflowShown = false;
    m_left = false;
    startUnits(input);

    const TransferOutcome outcome = m_service.program(input, *this);
    m_outcome = outcome;
    // A transfer that ended before a pass did is a unit's record too; one
    // refused before it began is none.
    if (outcome.result != TransferResult::KeyboardPortUnusable &&
        outcome.result != TransferResult::Busy)
        recordUnit(outcome);
    m_view.transferRunning = false;
    refresh();
    if (outcome.result == TransferResult::KeyboardPortUnusable) {
        m_services.dialogs.warn(outcome.message + QStringLiteral("\n\nChoose a COM port."),
                                kAppTitle);
        return;
    }
    if (outcome.kbdFlags != flagsBefore && m_services.storeKeyboardFlags)
        m_services.storeKeyboardFlags(outcome.kbdFlags);
    showEnded(outcome);
    m_view.mouseCaptured = false;
    refresh();
    leave();
}

void Send2ComLogic::showEnded(const TransferOutcome& outcome)
{
    switch (outcome.result) {
    case TransferResult::PortNotOpened:
        m_services.dialogs.warn(outcome.message, QStringLiteral("Error"));
        break;
    case TransferResult::AbortedByUser:
        if (!std::exchange(m_errorShown, true))
            m_services.dialogs.inform(
                outcome.message + partlyProgrammedNote(outcome.partlyProgrammed), kAppTitle);
        break;
    case TransferResult::Stopped:
        // Closing or leaving the window stopped it half-way: the keyboard must
        // not pass for programmed. (Cancel and a click said so already.)
        if (outcome.partlyProgrammed && !std::exchange(m_errorShown, true))
            m_services.dialogs.inform(kPartlyProgrammed, kAppTitle);
        break;
    default: // each pass was shown as it ended
        break;
    }
}

void Send2ComLogic::reportWriteError(const TransferOutcome& outcome, bool critical)
{
    if (std::exchange(m_errorShown, true))
        return;
    if (critical)
        m_services.dialogs.critical(outcome.message, kAppTitle);
    else
        m_services.dialogs.warn(outcome.message, QStringLiteral("Data transmit. error"));
}

void Send2ComLogic::detectionTrouble(const TransferOutcome& trouble)
{
    switch (trouble.result) {
    case TransferResult::PortNotOpened:
        m_services.dialogs.warn(trouble.message, QStringLiteral("Error"));
        break;
    case TransferResult::NotAcknowledged:
        reportWriteError(trouble, false);
        break;
    default:
        m_services.dialogs.inform(trouble.message, kAppTitle);
        break;
    }
}

bool Send2ComLogic::programAnother(const TransferOutcome& pass)
{
    recordUnit(pass);
    const bool another = askAnother(pass);
    if (another) {
        m_meter.startUnit(m_services.waiter.now(), pass.result == TransferResult::Programmed);
        m_unitRecorded = false;
        showProgress();
        refresh();
    }
    return another;
}

bool Send2ComLogic::askAnother(const TransferOutcome& pass)
{
    switch (pass.result) {
    case TransferResult::NotAcknowledged:
        reportWriteError(pass, false);
        break;
    case TransferResult::EchoNotReceived:
        reportWriteError(pass, true);
        break;
    case TransferResult::MemoryFull:
        if (!pass.message.isEmpty() && !std::exchange(m_overflowShown, true))
            m_services.dialogs.critical(pass.message, kAppTitle);
        break;
    default:
        break;
    }
    const QString text = pass.result == TransferResult::Programmed
                             ? QStringLiteral("Layout transfered. Program another device ?")
                             : QStringLiteral("Layout transfer failed. Program again ?");
    return m_services.dialogs.askYesNo(text, kPromptTitle) == Answer::Yes;
}

void Send2ComLogic::progressed(const TransferProgress& progress)
{
    const bool keyboardPort = progress.channel == Channel::KeyboardPort;
    switch (progress.phase) {
    case TransferPhase::Building:
        m_view.InfoLabel = progress.generation == KeyboardGeneration::Enhanced
                               ? QStringLiteral("Building macros table")
                               : QStringLiteral("Building keys table");
        break;
    case TransferPhase::Built:
        m_view.MemoryText = MacroMemoryText(progress.memory);
        break;
    case TransferPhase::Connecting:
        if (progress.romVersion)
            m_view.InfoLabel = QStringLiteral("KBD ROM Ver = %1.00").arg(*progress.romVersion);
        break;
    case TransferPhase::WaitingForKeyboard: {
        const auto& step = progress.countdown;
        m_view.controlsVisible = false;
        m_view.largeLayout = true;
        m_view.outlinesVisible = true;
        m_view.mouseCaptured = true;
        m_view.blinkYellow = step.cornersLit;
        m_view.InfoLabel2 = QStringLiteral("To cancel, click on mouse");
        m_view.KeepInFront = kKeepInFront;
        m_view.InfoLabel3 =
            QStringLiteral("Press both upper left and right keys as shown on screen");
        m_view.InfoLabel = step.counting ? QStringLiteral("Waiting ") + numberText(step.countdown)
                                         : QStringLiteral("Waiting %1").arg(step.countdown);
        break;
    }
    case TransferPhase::KeyboardReady:
        m_view.InfoLabel3.clear();
        m_view.outlinesVisible = false;
        break;
    case TransferPhase::Sending:
        if (keyboardPort)
            m_view.largeLayout = false;
        m_view.InfoLabel = sendingText(progress);
        break;
    case TransferPhase::EndRecord:
        m_view.mouseCaptured = false;
        break;
    case TransferPhase::PassEnded:
        m_view.mouseCaptured = false;
        m_view.KeepInFront.clear();
        m_view.InfoLabel3.clear();
        m_view.outlinesVisible = false;
        if (progress.generation == KeyboardGeneration::Older)
            m_view.InfoLabel = QStringLiteral("Sending Key: ");
        if (keyboardPort && !progress.handshakeConfirmed) {
            m_view.largeLayout = false;
        } else if (keyboardPort && progress.failed) {
            m_view.InfoLabel2.clear();
            m_view.controlsVisible = true;
            m_view.largeLayout = true;
        }
        break;
    }
    m_meter.update(progress, m_services.waiter.now());
    showProgress();
    refresh();
}

void Send2ComLogic::startUnits(const TransferInput& input)
{
    const std::uint8_t flags = input.LayoutRecords[Settings::KbdFlags].PosX;
    m_unit = {m_services.layoutFileName ? m_services.layoutFileName() : QString(),
              LayoutSha256(input.LayoutRecords),
              input.channel == Channel::KeyboardPort
                  ? QStringLiteral("KBD")
                  : QStringLiteral("COM%1").arg(ComPortIndexOf(input.channel) + 1),
              flags};
    m_meter = TransferMeter();
    m_meter.startUnit(m_services.waiter.now(), true);
    m_unitRecorded = false;
    m_view.transferRunning = true;
    showProgress();
    refresh();
}

void Send2ComLogic::showProgress()
{
    const auto now = m_services.waiter.now();
    m_view.UnitText = m_meter.unitText();
    m_view.progressDone = m_meter.done();
    m_view.progressTotal = m_meter.total();
    QString text = m_meter.phaseText();
    if (const QString count = m_meter.countText(); !count.isEmpty())
        text += QStringLiteral(": ") + count;
    m_view.ProgressText = text + QLatin1Char('\n') + m_meter.timeText(now);
}

void Send2ComLogic::recordUnit(const TransferOutcome& outcome)
{
    if (std::exchange(m_unitRecorded, true) || !m_services.log)
        return;
    const QString device = m_unit.port == QStringLiteral("KBD") ? m_services.repeat.keyboardName()
                                                                : m_services.port.deviceName();
    const FileOutcome kept = m_services.log->append(
        LogEntryFor(m_unit, m_meter, outcome, device, m_services.waiter.now()));
    // Said once: the record of every keyboard is what a technician relies on.
    if (!kept.ok && !std::exchange(m_logFailureShown, true))
        m_services.dialogs.warn(QStringLiteral("The programming log could not be written to\n%1\n\n"
                                               "%2\n\nThe units programmed now are not in it.")
                                    .arg(m_services.log->path(), kept.reason),
                                QStringLiteral("Error"));
}

} // namespace morvaw
