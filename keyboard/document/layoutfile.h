#pragma once

#include "fileoutcome.h"
#include "layoutmodel.h"
#include "regularfile.h"

#include <QByteArray>

#include <cstdint>
#include <filesystem>
#include <span>

namespace morvaw {

// A ".KBD" file: records 1 to 100 of the layout, 274 bytes each, nothing else.
constexpr int kLayoutFileRecords = 100;
constexpr qint64 kLayoutFileSize = kLayoutFileRecords * static_cast<qint64>(KeyRecord::kFileSize);

[[nodiscard]] QByteArray LayoutFileBytes(const LayoutRecordArray& records);

// A layout's bytes into the records; false, leaving them untouched, unless
// the bytes are exactly one layout long.
[[nodiscard]] bool ParseLayoutFile(std::span<const std::uint8_t> bytes, LayoutRecordArray& records);

// As many whole records as the bytes hold, 100 at most; the others keep theirs.
void ParseLayoutFilePartly(std::span<const std::uint8_t> bytes, LayoutRecordArray& records);

// Reads a whole layout file: on any failure, or when the file is not exactly
// one layout long, the records are left untouched and the reason is returned.
// bytesRead, when given, receives the bytes the records came from.
[[nodiscard]] FileOutcome ReadLayoutFile(const std::filesystem::path& path,
                                         LayoutRecordArray& records,
                                         QByteArray* bytesRead = nullptr);

// Reads as many whole records as the file holds, silently; records the file
// does not reach keep what they held (the start-up load of the last layout).
void ReadLayoutFilePartly(const std::filesystem::path& path, LayoutRecordArray& records);

// Writes the 100 records with ReplaceFileContents, so a failure never leaves
// half a layout.
[[nodiscard]] FileOutcome WriteLayoutFile(const std::filesystem::path& path,
                                          const LayoutRecordArray& records);

} // namespace morvaw
