#include "programminglog.h"

#include "layoutfile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>
#include <filesystem>
#include <utility>

namespace morvaw {

namespace {

constexpr std::array<std::pair<TransferResult, const char*>, 12> kResultWords{{
    {TransferResult::Programmed, "programmed"},
    {TransferResult::PortNotOpened, "port not opened"},
    {TransferResult::MemoryFull, "memory full"},
    {TransferResult::NotAcknowledged, "not acknowledged"},
    {TransferResult::PortClosed, "port closed"},
    {TransferResult::HandshakeNotConfirmed, "handshake not confirmed"},
    {TransferResult::EchoNotReceived, "echo not received"},
    {TransferResult::AbortedByUser, "aborted by user"},
    {TransferResult::Stopped, "stopped"},
    {TransferResult::KeyboardPortUnusable, "keyboard port unusable"},
    {TransferResult::TypeNotDetected, "type not detected"},
    {TransferResult::Busy, "busy"},
}};

constexpr std::array<const char*, 3> kTypeNames{"No macros", "Reduced", "Enhanced"};

// A value that cannot break the line into fields or lines.
QString field(QString value)
{
    for (QChar& c : value) {
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    }
    return value;
}

QString typeText(const ProgrammingLogEntry& entry)
{
    if (!entry.keyboardType)
        return QStringLiteral("unknown (older table sent)");
    const int type = *entry.keyboardType;
    const QString name = type >= 0 && type < static_cast<int>(kTypeNames.size())
                             ? QString::fromLatin1(kTypeNames[static_cast<std::size_t>(type)])
                             : QStringLiteral("?");
    return QStringLiteral("%1 %2%3").arg(type).arg(
        name, entry.typeDetected ? QStringLiteral(" (detected)") : QString());
}

} // namespace

QString LayoutSha256(const LayoutRecordArray& records)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(LayoutFileBytes(records), QCryptographicHash::Sha256).toHex());
}

QString ResultWords(TransferResult result)
{
    for (const auto& [which, words] : kResultWords) {
        if (which == result)
            return QString::fromLatin1(words);
    }
    return {};
}

QString ProgrammingLogLine(const ProgrammingLogEntry& entry)
{
    const QStringList fields{
        entry.time.toString(Qt::ISODate),
        QStringLiteral("layout=") + field(entry.layoutFile),
        QStringLiteral("sha256=") + entry.layoutSha256,
        QStringLiteral("port=") + field(entry.port),
        QStringLiteral("device=") + field(entry.device),
        QStringLiteral("type=") + typeText(entry),
        QStringLiteral("version=") + (entry.versionAnswered
                                          ? QString::number(*entry.versionAnswered)
                                          : QStringLiteral("none")),
        QStringLiteral("writes=%1/%2").arg(entry.writes).arg(entry.total),
        QStringLiteral("duration=%1s").arg(entry.duration.count() / 1000.0, 0, 'f', 1),
        QStringLiteral("result=") + ResultWords(entry.result),
        QStringLiteral("message=") + field(entry.message),
    };
    return fields.join(u'\t');
}

ProgrammingLogEntry LogEntryFor(const UnitContext& context, const TransferMeter& meter,
                                const TransferOutcome& outcome, QString device,
                                std::chrono::milliseconds now)
{
    ProgrammingLogEntry entry;
    entry.time = QDateTime::currentDateTime();
    entry.layoutFile = context.layoutFile;
    entry.layoutSha256 = context.layoutSha256;
    entry.port = context.port;
    entry.device = std::move(device);
    const int type = KeyboardType(outcome.kbdFlags);
    if (type != 3)
        entry.keyboardType = type > 3 ? 2 : type;
    // Only the first keyboard is asked; the next ones take the image built for it.
    entry.typeDetected =
        KeyboardType(context.kbdFlagsBefore) == 3 && entry.keyboardType && meter.unit() == 1;
    entry.versionAnswered = meter.versionAnswered();
    entry.writes = meter.done();
    entry.total = meter.total();
    entry.duration = meter.elapsed(now);
    entry.result = outcome.result;
    entry.message = outcome.message;
    if (outcome.partlyProgrammed) {
        if (!entry.message.isEmpty())
            entry.message += u' ';
        entry.message += QStringLiteral("(the keyboard is only partly programmed)");
    }
    return entry;
}

FileOutcome ProgrammingLog::append(const ProgrammingLogEntry& entry) const
{
    if (m_path.isEmpty()) // none wanted
        return {};
    std::error_code error;
    std::filesystem::create_directories(QFile::encodeName(QFileInfo(m_path).path()).toStdString(),
                                        error);
    if (error)
        return FileOutcome::failed(QString::fromLocal8Bit(error.message()));
    QFile file(m_path);
    // One unbuffered write of a whole line: two programs appending at once
    // never mix their lines.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return FileOutcome::failed(file.errorString());
    const QByteArray line = (ProgrammingLogLine(entry) + u'\n').toUtf8();
    if (file.write(line) != line.size())
        return FileOutcome::failed(file.errorString());
    return {};
}

QString ProgrammingLog::tail(qint64 maxBytes) const
{
    QFile file(m_path);
    if (m_path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    const qint64 start = std::max<qint64>(0, file.size() - maxBytes);
    file.seek(start);
    QByteArray bytes = file.read(maxBytes);
    if (start > 0) // begin with a whole line
        bytes.remove(0, bytes.indexOf('\n') + 1);
    return QString::fromUtf8(bytes);
}

} // namespace morvaw
