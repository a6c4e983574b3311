#include "layoutfile.h"

#include <algorithm>

namespace morvaw {

namespace {

KeyRecord recordAt(std::span<const std::uint8_t> bytes, std::size_t index)
{
    return KeyRecord::fromBytes(
        bytes.subspan(index * KeyRecord::kFileSize).first<KeyRecord::kFileSize>());
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

bool ParseLayoutFile(std::span<const std::uint8_t> bytes, LayoutRecordArray& records)
{
    if (bytes.size() != static_cast<std::size_t>(kLayoutFileSize))
        return false;
    ParseLayoutFilePartly(bytes, records);
    return true;
}

void ParseLayoutFilePartly(std::span<const std::uint8_t> bytes, LayoutRecordArray& records)
{
    const std::size_t whole =
        std::min<std::size_t>(bytes.size() / KeyRecord::kFileSize, kLayoutFileRecords);
    for (std::size_t i = 0; i < whole; ++i)
        records[i + 1] = recordAt(bytes, i);
}

FileOutcome ReadLayoutFile(const std::filesystem::path& path, LayoutRecordArray& records,
                           QByteArray* bytesRead)
{
    // One byte more than a layout tells a longer file from a layout.
    const FileRead read = ReadRegularFile(path, kLayoutFileSize + 1);
    if (!read.outcome.ok)
        return read.outcome;
    if (!ParseLayoutFile(BytesOf(read.bytes), records)) {
        const qint64 size = std::max<qint64>(read.size, read.bytes.size());
        return FileOutcome::failed(
            QStringLiteral("The file is %1 bytes long; a layout file has %2 bytes.")
                .arg(size)
                .arg(kLayoutFileSize));
    }
    if (bytesRead)
        *bytesRead = read.bytes;
    return {};
}

void ReadLayoutFilePartly(const std::filesystem::path& path, LayoutRecordArray& records)
{
    ParseLayoutFilePartly(BytesOf(ReadRegularFile(path, kLayoutFileSize).bytes), records);
}

FileOutcome WriteLayoutFile(const std::filesystem::path& path, const LayoutRecordArray& records)
{
    return ReplaceFileContents(path, LayoutFileBytes(records));
}

} // namespace morvaw
