#include "commandlinetransfer.h"

#include "definitiontext.h"
#include "deviceimagebuilder.h"
#include "displaytext.h"
#include "keystablebuilder.h"
#include "languagetables.h"
#include "layoutfile.h"
#include "layoutsource.h"
#include "memoryusage.h"
#include "repeatsettings.h"
#include "waiter.h"

#include <QFile>
#include <QFileInfo>

#include <array>
#include <utility>

namespace morvaw {

namespace {

using namespace std::chrono_literals;

constexpr std::array<const char*, 4> kTypeNames{"No macros", "Reduced", "Enhanced",
                                                "detect at transfer time"};
constexpr std::array<const char*, 3> kLevelNames{"plain", "Func1", "Func2"};

struct MsrKey
{
    int record;
    const char* name;
};
constexpr std::array<MsrKey, 4> kMsrKeys{{{Settings::MsrHeader, "MSR header"},
                                          {Settings::MsrInterTracks, "MSR inter-tracks"},
                                          {Settings::MsrSeparator, "MSR separator"},
                                          {Settings::MsrTrailer, "MSR trailer"}}};

constexpr int kBarWidth = 20;
// A terminal's line is drawn again at most this often, and at each new phase.
constexpr std::chrono::milliseconds kRedrawInterval{200};

// The command line never uses the keyboard port: it needs the desktop.
class NoKeyboardPort : public RepeatSettings
{
public:
    QString unavailableReason() override
    {
        return QStringLiteral("The keyboard port is used from the programming window only.");
    }
    std::optional<int> speed() override { return std::nullopt; }
    std::optional<int> delay() override { return std::nullopt; }
    bool setSpeed(int) override { return false; }
    bool setDelay(int) override { return false; }
};

// The layout as the command names it, with the scan table of its language.
struct CommandLayout
{
    LayoutRecordArray records{};
    ScanTableArray scanTable{};
    int scanCount = 0;
};

std::optional<CommandLayout> ReadCommandLayout(const ProgrammingCommand& command, Console& console,
                                               const FileFolders& folders)
{
    CommandLayout layout;
    NewLayout(layout.records);
    const FileOutcome read = ReadLayoutFile(
        std::filesystem::path(QFile::encodeName(command.layoutFile).toStdString()), layout.records);
    if (!read.ok) {
        console.error(QStringLiteral("%1: %2").arg(command.layoutFile, read.reason));
        return std::nullopt;
    }
    std::uint8_t& flags = layout.records[Settings::KbdFlags].PosX;
    if (command.type)
        flags = WithKeyboardType(flags, *command.type);
    LanguageTables tables(folders);
    tables.load(layout.records[Settings::KbdLanguage].PosX);
    layout.scanTable = tables.tables().ScanTable;
    layout.scanCount = tables.tables().ScanCount;
    return layout;
}

// "2 Enhanced"; a type above 3 is programmed as 2.
QString TypeText(std::uint8_t kbdFlags)
{
    const int type = std::min(KeyboardType(kbdFlags) > 3 ? 2 : KeyboardType(kbdFlags), 3);
    return QStringLiteral("%1 %2").arg(type).arg(
        QString::fromLatin1(kTypeNames[static_cast<std::size_t>(type)]));
}

// "  Key 12, Func1: "Foo"" for every token that finds no scan record.
QStringList TokensWithoutScanCode(const LayoutSource& source)
{
    QStringList lines;
    const auto check = [&](const QString& place, std::string_view definition) {
        for (int n = 1;; ++n) {
            const std::string token = DefToken(n, definition, TokenMark);
            if (token.empty())
                return;
            if (!HasScanRecord(source.names, token))
                lines << QStringLiteral("  %1: \"%2\"")
                             .arg(place, WithControlPictures(ToDisplayText(token)));
        }
    };
    for (int key = 1; key <= kKeyCount; ++key) {
        for (int level = 0; level < static_cast<int>(kLevelNames.size()); ++level) {
            const std::string_view definition = UsedDefinition(source.record(key), level);
            if (level == 0 && definition.starts_with('>')) // the key sends its label
                continue;
            check(QStringLiteral("Key %1, %2")
                      .arg(key)
                      .arg(QString::fromLatin1(kLevelNames[static_cast<std::size_t>(level)])),
                  definition);
        }
    }
    for (const MsrKey& msr : kMsrKeys)
        check(QString::fromLatin1(msr.name), UsedDefinition(source.record(msr.record), 0));
    return lines;
}

bool DoesNotFit(const LayoutSource& source)
{
    const int type = KeyboardType(source.setting(Settings::KbdFlags));
    const bool enhanced = type == 2 || type > 3;
    const bool older = type < 2;
    if (enhanced)
        return DeviceImageBuilder::Build(source).overflow();
    if (older)
        return KeysTableBuilder::Build(source).overflow();
    // Detected at transfer time: it must fit whichever keyboard answers.
    return DeviceImageBuilder::Build(source).overflow() ||
           KeysTableBuilder::Build(source).overflow();
}

} // namespace

int CheckLayoutCommand(const ProgrammingCommand& command, Console& console,
                       const FileFolders& folders)
{
    const auto layout = ReadCommandLayout(command, console, folders);
    if (!layout)
        return kExitBadArgument;
    const MatrixCodeTable matrixCodes = MakeDeviceMatrixCodes();
    const LayoutSource source{layout->records, {layout->scanTable, layout->scanCount}, matrixCodes};
    QString text = QStringLiteral("Layout: %1\nKeyboard type: %2\n%3\n")
                       .arg(command.layoutFile, TypeText(source.setting(Settings::KbdFlags)),
                            MacroMemoryText(source));
    const QStringList unknown = TokensWithoutScanCode(source);
    if (unknown.isEmpty())
        text += QStringLiteral("Every token has a scan code.\n");
    else
        text += QStringLiteral("Tokens without a scan code (sent as code 0):\n") +
                unknown.join(u'\n') + u'\n';
    console.print(text);
    if (!DoesNotFit(source))
        return kExitDone;
    console.error(QStringLiteral("%1 does not fit the keyboard's memory.").arg(command.layoutFile));
    return kExitDoesNotFit;
}

CommandLineTransfer::CommandLineTransfer(Services services)
    : m_services(std::move(services)), m_noKeyboardPort(std::make_unique<NoKeyboardPort>()),
      m_service(m_services.waiter, m_services.port, *m_noKeyboardPort)
{
}

CommandLineTransfer::~CommandLineTransfer() = default;

int CommandLineTransfer::run(const ProgrammingCommand& command)
{
    const auto layout = ReadCommandLayout(command, m_services.console, m_services.folders);
    if (!layout)
        return kExitBadArgument;
    TransferInput input;
    input.LayoutRecords = layout->records;
    input.ScanTable = layout->scanTable;
    input.ScanCount = layout->scanCount;
    input.channel = command.channel;
    input.fast = command.fast;
    const std::uint8_t flags = input.LayoutRecords[Settings::KbdFlags].PosX;
    m_unit = {QFileInfo(command.layoutFile).absoluteFilePath(), LayoutSha256(input.LayoutRecords),
              command.port, flags};
    m_units = command.units;
    m_programmed = 0;
    m_meter = TransferMeter();
    m_meter.startUnit(m_services.waiter.now(), true);
    m_unitRecorded = false;
    m_services.console.print(QStringLiteral("Programming %1 (keyboard type %2) through %3%4\n")
                                 .arg(command.layoutFile, TypeText(flags), command.port,
                                      command.fast ? QStringLiteral(", fast") : QString()));

    const TransferOutcome outcome = m_service.program(input, *this);
    endProgressLine();
    if (!m_unitRecorded) { // it ended before a pass did
        recordUnit(outcome);
        reportUnit(outcome);
    }
    m_services.console.print(QStringLiteral("%1 of %2 units programmed.%3\n")
                                 .arg(m_programmed)
                                 .arg(m_units)
                                 .arg(m_services.log.path().isEmpty()
                                          ? QString()
                                          : QStringLiteral(" Log: ") + m_services.log.path()));
    return m_programmed == m_units ? kExitDone : kExitNotProgrammed;
}

void CommandLineTransfer::stop()
{
    m_stopped = true;
    m_service.cancel();
}

void CommandLineTransfer::progressed(const TransferProgress& progress)
{
    m_meter.update(progress, m_services.waiter.now());
    if (progress.phase != TransferPhase::PassEnded)
        drawProgress(false);
}

void CommandLineTransfer::detectionTrouble(const TransferOutcome& trouble)
{
    endProgressLine();
    m_services.console.error(trouble.message);
}

bool CommandLineTransfer::programAnother(const TransferOutcome& pass)
{
    drawProgress(true);
    endProgressLine();
    recordUnit(pass);
    reportUnit(pass);
    if (pass.result != TransferResult::Programmed || m_stopped)
        return false;
    if (++m_programmed >= m_units)
        return false;
    m_services.console.print(
        QStringLiteral("Connect keyboard %1 of %2 and press Enter (Ctrl+D ends).\n")
            .arg(m_programmed + 1)
            .arg(m_units));
    if (!m_services.console.waitForEnter([this] { return m_stopped; }))
        return false;
    m_meter.startUnit(m_services.waiter.now(), true);
    m_unitRecorded = false;
    return true;
}

void CommandLineTransfer::drawProgress(bool force)
{
    const auto now = m_services.waiter.now();
    const bool newPhase = m_meter.phaseText() != m_drawnPhase; // Building and Built are one
    const int total = m_meter.total();
    const int done = m_meter.done();
    const QString count = m_meter.countText();
    const QString what =
        count.isEmpty() || m_meter.phase() != TransferPhase::Sending ? m_meter.phaseText() : count;
    if (m_services.console.isTerminal()) {
        if (!force && !newPhase && now - m_drawnAt < kRedrawInterval)
            return;
        const int filled = total > 0 ? done * kBarWidth / total : 0;
        m_services.console.print(QStringLiteral("\rUnit %1 [%2%3] %4  %5\x1b[K")
                                     .arg(m_meter.unit())
                                     .arg(QString(filled, u'#'), QString(kBarWidth - filled, u'.'),
                                          what, m_meter.timeText(now)));
        m_lineOpen = true;
    } else {
        // A line at each phase and each tenth of the records: a file or a
        // pipe gets a readable account, not thousands of lines.
        const int step = total > 0 ? done * 10 / total : -1;
        if (!force && !newPhase && step == m_drawnStep)
            return;
        m_drawnStep = step;
        QString line = QStringLiteral("Unit %1: %2").arg(m_meter.unit()).arg(m_meter.phaseText());
        if (!count.isEmpty())
            line += QStringLiteral(", ") + count;
        m_services.console.print(line + QStringLiteral(", ") + m_meter.timeText(now) + u'\n');
    }
    m_drawnPhase = m_meter.phaseText();
    m_drawnAt = now;
}

void CommandLineTransfer::endProgressLine()
{
    if (std::exchange(m_lineOpen, false))
        m_services.console.print(QStringLiteral("\n"));
}

void CommandLineTransfer::recordUnit(const TransferOutcome& outcome)
{
    m_unitRecorded = true;
    if (m_services.log.path().isEmpty())
        return;
    const FileOutcome kept = m_services.log.append(LogEntryFor(
        m_unit, m_meter, outcome, m_services.port.deviceName(), m_services.waiter.now()));
    if (!kept.ok)
        m_services.console.error(
            QStringLiteral("%1 could not be written: %2").arg(m_services.log.path(), kept.reason));
}

void CommandLineTransfer::reportUnit(const TransferOutcome& outcome)
{
    const auto elapsed = m_meter.elapsed(m_services.waiter.now());
    if (outcome.result == TransferResult::Programmed) {
        m_services.console.print(QStringLiteral("Unit %1 programmed: %2 writes in %3.\n")
                                     .arg(m_meter.unit())
                                     .arg(m_meter.done())
                                     .arg(ClockText(elapsed)));
        return;
    }
    QString why = outcome.message.isEmpty() ? ResultWords(outcome.result) : outcome.message;
    if (outcome.partlyProgrammed)
        why += QStringLiteral("\nThe keyboard is only partly programmed and must be programmed "
                              "again.");
    m_services.console.error(
        QStringLiteral("Unit %1 not programmed: %2").arg(m_meter.unit()).arg(why));
}

} // namespace morvaw
