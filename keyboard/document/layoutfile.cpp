#include "layoutfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <span>

namespace morvaw {

namespace {

constexpr auto kRecordSize = static_cast<qint64>(KeyRecord::kFileSize);

KeyRecord recordAt(const QByteArray& bytes, qint64 index)
{
    const auto* first =
        reinterpret_cast<const std::uint8_t*>(bytes.constData()) + index * kRecordSize;
    return KeyRecord::fromBytes(
        std::span<const std::uint8_t, KeyRecord::kFileSize>(first, KeyRecord::kFileSize));
}

} // namespace

QByteArray LayoutFileBytes(const LayoutRecordArray& records)
{
    QByteArray out;
    out.reserve(kLayoutFileSize);
    for (int n = 1; n <= kLayoutFileRecords; ++n) {
        const auto bytes = records[static_cast<std::size_t>(n)].toBytes();
        out.append(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<qsizetype>(bytes.size()));
    }
    return out;
}

FileOutcome ReadLayoutFile(const QString& path, LayoutRecordArray& records)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return FileOutcome::failed(file.errorString());
    // One byte more than a layout tells a longer file from a layout.
    const QByteArray bytes = file.read(kLayoutFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return FileOutcome::failed(file.errorString());
    if (bytes.size() != kLayoutFileSize) {
        const qint64 size = bytes.size() > kLayoutFileSize ? file.size() : bytes.size();
        return FileOutcome::failed(
            QStringLiteral("The file is %1 bytes long; a layout file has %2 bytes.")
                .arg(size)
                .arg(kLayoutFileSize));
    }
    for (int n = 1; n <= kLayoutFileRecords; ++n)
        records[static_cast<std::size_t>(n)] = recordAt(bytes, n - 1);
    return {};
}

void ReadLayoutFilePartly(const QString& path, LayoutRecordArray& records)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.read(kLayoutFileSize);
    const qint64 whole = bytes.size() / kRecordSize;
    for (qint64 i = 0; i < whole; ++i)
        records[static_cast<std::size_t>(i + 1)] = recordAt(bytes, i);
}

FileOutcome ReplaceFileContents(const QString& path, const QByteArray& bytes)
{
    // Replacing the file would otherwise override its read-only protection.
    const QFileInfo existing(path);
    if (existing.exists() && existing.isFile() && !existing.isWritable())
        return FileOutcome::failed(QStringLiteral("The file is read-only."));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return FileOutcome::failed(file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return FileOutcome::failed(why);
    }
    if (!file.commit())
        return FileOutcome::failed(file.errorString());
    return {};
}

FileOutcome WriteLayoutFile(const QString& path, const LayoutRecordArray& records)
{
    return ReplaceFileContents(path, LayoutFileBytes(records));
}

} // namespace morvaw
