#pragma once

#include "fileidentity.h"
#include "fileoutcome.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace morvaw {

// A layout with unsaved changes, kept beside the layout file until it is
// saved, so that a crash, a kill or a logout does not lose it.
struct RecoveryCopy
{
    std::string fileName; // the layout's name, as the document has it
    QString session;      // the session that ended with it (a restart restores it), or empty
    FileIdentity onDisk;  // the layout file as it was when loaded or last saved
    QByteArray layout;    // the 27,400 bytes Save would have written
    // Legends edited for a layout with no name yet (a legends file's text),
    // kept in a file of their own beside the copy; RecoveryCopyBytes leaves them out.
    QByteArray legends;

    friend bool operator==(const RecoveryCopy&, const RecoveryCopy&) = default;
};

[[nodiscard]] QByteArray RecoveryCopyBytes(const RecoveryCopy& copy);
// Nothing unless the bytes are exactly one copy as RecoveryCopyBytes writes it.
[[nodiscard]] std::optional<RecoveryCopy> ParseRecoveryCopy(std::span<const std::uint8_t> bytes);

// An open file that this program holds an exclusive lock on (flock); the lock
// ends with the program, however it ends, so a copy that nobody holds was
// left by a configurator that is gone.
class FileLock
{
public:
    FileLock() = default;
    explicit FileLock(int fd) : m_fd(fd) {}
    FileLock(FileLock&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

    [[nodiscard]] int fd() const { return m_fd; }

private:
    int m_fd = -1;
};

// The user's folder of recovery copies ($XDG_STATE_HOME/morvaw/recovery).
// Each running configurator keeps at most one copy there, locked while it
// runs; a new version goes into a temporary file that is flushed and then
// renamed over the old one, so a copy is always whole. Its legends, if any,
// are written the same way after it and removed before it, so that they are
// never found without it.
class RecoveryFolder
{
public:
    explicit RecoveryFolder(std::filesystem::path folder);

    [[nodiscard]] const std::filesystem::path& folder() const { return m_folder; }
    // This program's copy; empty while it has none.
    [[nodiscard]] const std::filesystem::path& ownCopy() const { return m_own; }

    // Writes this program's copy, replacing its last one.
    FileOutcome keep(const RecoveryCopy& copy);
    // Removes this program's copy.
    void drop();
    // The file beside a copy that holds its legends.
    [[nodiscard]] static std::filesystem::path LegendsFileOf(const std::filesystem::path& copy);

    // A copy another configurator left, held by this program until it is
    // discarded, adopted or destroyed (which leaves it for later).
    struct LeftCopy
    {
        std::filesystem::path file;
        RecoveryCopy copy;
        qint64 writtenNs = 0; // its modification time, nanoseconds since 1970
        FileLock lock;
    };
    // The copies no running configurator holds, newest first. Temporary files
    // of a write that was cut short are removed.
    [[nodiscard]] std::vector<LeftCopy> takeLeftCopies();
    void discard(LeftCopy& left);
    // The copy becomes this program's own: its next version replaces it.
    void adopt(LeftCopy& left);

private:
    std::filesystem::path m_folder;
    std::filesystem::path m_own;
    std::string m_ownName;
    FileLock m_ownLock;
};

} // namespace morvaw
