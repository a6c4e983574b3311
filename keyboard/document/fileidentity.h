#pragma once

#include <QByteArray>

#include <filesystem>

namespace morvaw {

// What a file was when this program last read or wrote it, so that a later
// save can tell whether someone else (a second configurator) wrote it since.
// The contents decide: a file written again with the same bytes is the same.
struct FileIdentity
{
    std::filesystem::path path; // absolute; empty when no file is known
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0; // modification time, nanoseconds since 1970
    QByteArray sha256;     // of its contents

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The path from the root, as identities hold it.
[[nodiscard]] std::filesystem::path AbsolutePath(const std::filesystem::path& path);

// The file as it is now, with the hash of the bytes this program read from it
// or wrote into it (not read again: what another program wrote meanwhile
// must not pass for ours).
[[nodiscard]] FileIdentity IdentityOf(const std::filesystem::path& path, const QByteArray& bytes);

// Reads the file as it is now; a missing file has no contents.
[[nodiscard]] FileIdentity IdentityOnDisk(const std::filesystem::path& path);

// True when the file at known.path is no longer what known describes: it
// appeared, or it holds other bytes. A file that went away changed nothing
// that a save could overwrite.
[[nodiscard]] bool ChangedOnDisk(const FileIdentity& known);

} // namespace morvaw
