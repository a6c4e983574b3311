#pragma once

#include "fileoutcome.h"

#include <QByteArray>

#include <cstdint>
#include <filesystem>
#include <span>

namespace morvaw {

// Reading and replacing the configurator's files. Paths are the bytes the
// system uses (std::filesystem::path), never a QString, so a name that is not
// valid UTF-8 reaches the file it names; convert only to show a path.

struct FileRead
{
    FileOutcome outcome;
    QByteArray bytes; // at most the bytes asked for
    qint64 size = 0;  // the whole file's size
};

// Reads up to maxBytes from the start of a regular file (or a symbolic link to
// one). Anything else, such as a named pipe, a device or a folder, is refused
// before it is opened, and the open never waits: a reader cannot hang on a FIFO.
[[nodiscard]] FileRead ReadRegularFile(const std::filesystem::path& path, qint64 maxBytes);

// A path's bytes as a person sees them, and what a file dialog handed back as bytes.
[[nodiscard]] QString ToQtPath(const std::string& name);
[[nodiscard]] std::string FromQtPath(const QString& path);

// The bytes a reader parses; they stay valid as long as the array is unchanged.
[[nodiscard]] inline std::span<const std::uint8_t> BytesOf(const QByteArray& bytes)
{
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())};
}

// Writes every byte to an open file, going on after a short write or a
// signal; false with errno set.
[[nodiscard]] bool WriteAllBytes(int fd, const QByteArray& bytes);

// Replaces a whole file. The bytes go into a new file in the same folder that
// then takes the old one's place in one step, so a failure (a full disk) leaves
// the old file as it was; it keeps the old file's mode and owner. A symbolic
// link is followed to the file it names. Only a regular file is replaced: a
// device, a named pipe or a folder is left alone, and so is a read-only file,
// for root too. Where the folder allows no new file, or the owner could not be
// kept, the file is rewritten in place.
[[nodiscard]] FileOutcome ReplaceFileContents(const std::filesystem::path& path,
                                              const QByteArray& bytes);

} // namespace morvaw
