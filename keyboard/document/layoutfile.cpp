#include "layoutfile.h"

#include <algorithm>
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

FileOutcome ReadLayoutFile(const std::filesystem::path& path, LayoutRecordArray& records)
{
    // One byte more than a layout tells a longer file from a layout.
    const FileRead read = ReadRegularFile(path, kLayoutFileSize + 1);
    if (!read.outcome.ok)
        return read.outcome;
    if (read.bytes.size() != kLayoutFileSize) {
        const qint64 size = std::max<qint64>(read.size, read.bytes.size());
        return FileOutcome::failed(
            QStringLiteral("The file is %1 bytes long; a layout file has %2 bytes.")
                .arg(size)
                .arg(kLayoutFileSize));
    }
    for (int n = 1; n <= kLayoutFileRecords; ++n)
        records[static_cast<std::size_t>(n)] = recordAt(read.bytes, n - 1);
    return {};
}

void ReadLayoutFilePartly(const std::filesystem::path& path, LayoutRecordArray& records)
{
    const QByteArray bytes = ReadRegularFile(path, kLayoutFileSize).bytes;
    const qint64 whole = bytes.size() / kRecordSize;
    for (qint64 i = 0; i < whole; ++i)
        records[static_cast<std::size_t>(i + 1)] = recordAt(bytes, i);
}

FileOutcome WriteLayoutFile(const std::filesystem::path& path, const LayoutRecordArray& records)
{
    return ReplaceFileContents(path, LayoutFileBytes(records));
}

} // namespace morvaw
