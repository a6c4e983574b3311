#include "regularfile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvaw {

namespace {

QString systemReason(int error)
{
    switch (error) {
    case ENOSPC:
        return QStringLiteral("There is not enough space on the disk.");
    case EDQUOT:
        return QStringLiteral("The disk quota is used up.");
    case EROFS:
        return QStringLiteral("The disk is read-only.");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

FileOutcome lastError()
{
    return FileOutcome::failed(systemReason(errno));
}

FileOutcome notRegular(mode_t mode)
{
    const char* what = S_ISFIFO(mode)                   ? "a named pipe (FIFO)"
                       : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                       : S_ISDIR(mode)                  ? "a folder"
                       : S_ISSOCK(mode)                 ? "a socket"
                                                        : "no plain file";
    return FileOutcome::failed(
        QStringLiteral("It is %1, not a regular file.").arg(QLatin1String(what)));
}

class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    [[nodiscard]] int get() const { return m_fd; }
    // Closes now, so that a failing close (a full disk on some file systems) is seen.
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

// The file a chain of symbolic links finally names (which may not exist yet).
std::filesystem::path resolveLinks(std::filesystem::path path)
{
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code error;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, error)))
            return path;
        const std::filesystem::path target = std::filesystem::read_symlink(path, error);
        if (error)
            return path;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return path;
}

// Why an existing file may not be written, or nothing when it may.
std::optional<QString> readOnlyReason(const std::filesystem::path& path, const struct stat& status)
{
    // Root may write any file; one that nobody may write stays read-only for root too.
    if ((status.st_mode & 0222) == 0)
        return QStringLiteral("The file is read-only.");
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0)
        return std::nullopt;
    return errno == EROFS ? systemReason(EROFS) : QStringLiteral("The file is read-only.");
}

// Overwrites the file from its start and cuts it to the new length. Layouts and
// settings keep their size, so this seldom needs new room on the disk.
FileOutcome rewriteInPlace(const std::filesystem::path& path, const QByteArray& bytes)
{
    Descriptor file(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat status
    {
    };
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0)
        return lastError();
    if (!S_ISREG(status.st_mode))
        return notRegular(status.st_mode);
    // A longer file gets its room first: a disk that fills up half way
    // through would leave neither the old file nor the new one.
    if (bytes.size() > status.st_size) {
        if (const int error = ::posix_fallocate(file.get(), 0, bytes.size())) {
            (void)::ftruncate(file.get(), status.st_size);
            return FileOutcome::failed(systemReason(error));
        }
    }
    if (!WriteAllBytes(file.get(), bytes) || ::ftruncate(file.get(), bytes.size()) != 0 ||
        ::fsync(file.get()) != 0 || !file.close())
        return lastError();
    return {};
}

} // namespace

FileRead ReadRegularFile(const std::filesystem::path& path, qint64 maxBytes)
{
    FileRead result;
    struct stat status
    {
    };
    if (::stat(path.c_str(), &status) != 0) {
        result.outcome = lastError();
        return result;
    }
    if (!S_ISREG(status.st_mode)) {
        result.outcome = notRegular(status.st_mode);
        return result;
    }
    // Non-blocking, in case the name now stands for a named pipe after all.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0) {
        result.outcome = lastError();
        return result;
    }
    if (!S_ISREG(status.st_mode)) {
        result.outcome = notRegular(status.st_mode);
        return result;
    }
    result.size = status.st_size;
    result.bytes.resize(static_cast<qsizetype>(std::max<qint64>(maxBytes, 0)));
    qint64 got = 0;
    while (got < maxBytes) {
        const ssize_t n =
            ::read(file.get(), result.bytes.data() + got, static_cast<std::size_t>(maxBytes - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            result.outcome = lastError();
            break;
        }
        if (n == 0)
            break;
        got += n;
    }
    result.bytes.truncate(static_cast<qsizetype>(got));
    return result;
}

bool WriteAllBytes(int fd, const QByteArray& bytes)
{
    const char* next = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, static_cast<std::size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        next += written;
        left -= written;
    }
    return true;
}

FileOutcome ReplaceFileContents(const std::filesystem::path& path, const QByteArray& bytes)
{
    const std::filesystem::path target = resolveLinks(path);
    struct stat old
    {
    };
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (!exists && errno != ENOENT)
        return lastError();
    if (exists && !S_ISREG(old.st_mode))
        return notRegular(old.st_mode);
    if (exists) {
        if (const auto reason = readOnlyReason(target, old))
            return FileOutcome::failed(*reason);
    }

    // The new file, beside the old one under a name no layout dialog shows.
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::filesystem::path temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = folder / ("." + target.filename().string() + "." + std::to_string(::getpid()) +
                              "-" + std::to_string(attempt) + ".new");
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        // A folder that takes no new file (read-only for this user) may still
        // hold a writable file: rewrite it where it is.
        if (exists && (errno == EACCES || errno == EPERM))
            return rewriteInPlace(target, bytes);
        return lastError();
    }
    Descriptor file(fd);
    const auto giveUp = [&](FileOutcome why) {
        ::unlink(temporary.c_str());
        return why;
    };
    if (exists) {
        // The new file takes the old one's place, so it takes its owner and mode
        // (the mode after the owner: a change of owner clears set-id bits). An
        // owner this user cannot give away is kept by rewriting in place.
        if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
            ::fchown(file.get(), old.st_uid, old.st_gid) != 0) {
            file.close();
            ::unlink(temporary.c_str());
            return rewriteInPlace(target, bytes);
        }
        if (::fchmod(file.get(), old.st_mode & 07777) != 0)
            return giveUp(lastError());
    }
    if (!WriteAllBytes(file.get(), bytes) || ::fsync(file.get()) != 0 || !file.close())
        return giveUp(lastError());
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        return giveUp(lastError());
    return {};
}

QString ToQtPath(const std::string& name)
{
    return QFile::decodeName(QByteArray::fromStdString(name));
}

std::string FromQtPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace morvaw
