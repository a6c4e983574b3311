#include "recoverycopy.h"

#include "layoutfile.h"
#include "regularfile.h"

#include <QDateTime>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvaw {

namespace {

constexpr char kMagic[] = "MORVAW RECOVERY 1\n";
constexpr std::size_t kMagicSize = sizeof kMagic - 1;
constexpr std::size_t kMostNameBytes = 4096;
constexpr std::size_t kMostSessionBytes = 255;
constexpr std::size_t kHashBytes = 32;
// Magic, four texts at their longest with their lengths, the file's facts
// and a layout.
constexpr qint64 kMostCopyBytes = static_cast<qint64>(kMagicSize + 4 * 2 + 2 * kMostNameBytes +
                                                      kMostSessionBytes + kHashBytes + 1 + 16) +
                                  kLayoutFileSize;
// A temporary file lives for the moment of a write; an older one was left by a crash.
constexpr qint64 kStaleTemporarySeconds = 60;
constexpr const char* kCopySuffix = ".recovery";
constexpr const char* kLegendsSuffix = ".legends";
constexpr qint64 kMostLegendsBytes = 1 << 20;
constexpr const char* kTemporarySuffix = ".tmp";

void putNumber(QByteArray& out, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void putText(QByteArray& out, const QByteArray& text, std::size_t most)
{
    const QByteArray cut = text.left(static_cast<qsizetype>(most));
    putNumber(out, static_cast<std::uint64_t>(cut.size()), 2);
    out.append(cut);
}

// Reads from the front; a read past the end marks the whole parse failed.
struct Reader
{
    std::span<const std::uint8_t> rest;
    bool failed = false;

    std::span<const std::uint8_t> take(std::size_t n)
    {
        if (failed || n > rest.size()) {
            failed = true;
            return {};
        }
        const auto part = rest.first(n);
        rest = rest.subspan(n);
        return part;
    }
    std::uint64_t number(int bytes)
    {
        const auto part = take(static_cast<std::size_t>(bytes));
        std::uint64_t value = 0;
        for (std::size_t i = part.size(); i-- > 0;)
            value = value << 8 | part[i];
        return value;
    }
    QByteArray text(std::size_t most)
    {
        const auto length = static_cast<std::size_t>(number(2));
        if (length > most)
            failed = true;
        const auto part = take(failed ? 0 : length);
        return {reinterpret_cast<const char*>(part.data()), static_cast<qsizetype>(part.size())};
    }
};

FileOutcome lastError(const char* what)
{
    return FileOutcome::failed(QStringLiteral("%1: %2").arg(
        QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno))));
}

bool endsWith(const std::string& text, std::string_view end)
{
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Locks the file at path unless a running program holds it; the lock is on
// the file that still has that name (a writer may have just replaced it).
FileLock lockIfLeft(const std::filesystem::path& path, struct stat& status)
{
    FileLock file(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat named
    {
    };
    if (file.fd() < 0 || ::fstat(file.fd(), &status) != 0 || !S_ISREG(status.st_mode) ||
        ::flock(file.fd(), LOCK_EX | LOCK_NB) != 0 || ::stat(path.c_str(), &named) != 0 ||
        named.st_ino != status.st_ino || named.st_dev != status.st_dev)
        return {};
    return file;
}

// Writes bytes to target the safe way: a temporary file beside it, locked
// before it has its name (so that nobody takes it for a left copy), flushed
// and renamed over target. held takes the lock of the new file.
FileOutcome writeWhole(const std::filesystem::path& target, const QByteArray& bytes, FileLock& held)
{
    std::filesystem::path temporary;
    FileLock file;
    for (int attempt = 0; attempt < 100 && file.fd() < 0; ++attempt) {
        temporary = target.parent_path() / ("." + target.filename().string() + "." +
                                            std::to_string(attempt) + kTemporarySuffix);
        file = FileLock(
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0600));
        if (file.fd() < 0 && errno != EEXIST)
            break;
    }
    if (file.fd() < 0)
        return lastError("The recovery copy cannot be created");
    if (::flock(file.fd(), LOCK_EX | LOCK_NB) != 0 || !WriteAllBytes(file.fd(), bytes) ||
        ::fsync(file.fd()) != 0 || ::rename(temporary.c_str(), target.c_str()) != 0) {
        const FileOutcome failed = lastError("The recovery copy cannot be written");
        ::unlink(temporary.c_str());
        return failed;
    }
    held = std::move(file);
    return {};
}

} // namespace

QByteArray RecoveryCopyBytes(const RecoveryCopy& copy)
{
    QByteArray out(kMagic, static_cast<qsizetype>(kMagicSize));
    putText(out, QByteArray::fromStdString(copy.fileName), kMostNameBytes);
    putText(out, copy.session.toUtf8(), kMostSessionBytes);
    putText(out, QByteArray::fromStdString(copy.onDisk.path.native()), kMostNameBytes);
    putNumber(out, copy.onDisk.exists ? 1 : 0, 1);
    putNumber(out, static_cast<std::uint64_t>(copy.onDisk.size), 8);
    putNumber(out, static_cast<std::uint64_t>(copy.onDisk.modifiedNs), 8);
    putText(out, copy.onDisk.sha256.left(kHashBytes), kHashBytes);
    out.append(copy.layout);
    return out;
}

std::optional<RecoveryCopy> ParseRecoveryCopy(std::span<const std::uint8_t> bytes)
{
    Reader in{bytes};
    const auto magic = in.take(kMagicSize);
    if (in.failed || std::memcmp(magic.data(), kMagic, kMagicSize) != 0)
        return std::nullopt;
    RecoveryCopy copy;
    copy.fileName = in.text(kMostNameBytes).toStdString();
    const QByteArray session = in.text(kMostSessionBytes);
    copy.session = QString::fromUtf8(session);
    copy.onDisk.path = in.text(kMostNameBytes).toStdString();
    const std::uint64_t exists = in.number(1);
    copy.onDisk.exists = exists == 1;
    copy.onDisk.size = static_cast<qint64>(in.number(8));
    copy.onDisk.modifiedNs = static_cast<qint64>(in.number(8));
    copy.onDisk.sha256 = in.text(kHashBytes);
    const auto layout = in.take(static_cast<std::size_t>(kLayoutFileSize));
    // Only what RecoveryCopyBytes writes: the same bytes come back from it.
    if (in.failed || !in.rest.empty() || exists > 1 || copy.session.toUtf8() != session ||
        (!copy.onDisk.sha256.isEmpty() && copy.onDisk.sha256.size() != kHashBytes))
        return std::nullopt;
    copy.layout = QByteArray(reinterpret_cast<const char*>(layout.data()), kLayoutFileSize);
    return copy;
}

FileLock& FileLock::operator=(FileLock&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

FileLock::~FileLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

RecoveryFolder::RecoveryFolder(std::filesystem::path folder) : m_folder(std::move(folder))
{
    static int made = 0;
    m_ownName = "layout-" + std::to_string(QDateTime::currentMSecsSinceEpoch()) + "-" +
                std::to_string(::getpid()) + "-" + std::to_string(++made) + kCopySuffix;
}

FileOutcome RecoveryFolder::keep(const RecoveryCopy& copy)
{
    // Without a home there is no state folder; the working folder is not one.
    if (m_folder.empty())
        return FileOutcome::failed(QStringLiteral("There is no folder for it (HOME is not set)."));
    std::error_code error;
    std::filesystem::create_directories(m_folder, error);
    // The user's layouts are nobody else's business.
    ::chmod(m_folder.c_str(), 0700);
    const std::filesystem::path target = m_own.empty() ? m_folder / m_ownName : m_own;
    FileLock copyLock;
    if (const FileOutcome written = writeWhole(target, RecoveryCopyBytes(copy), copyLock);
        !written.ok)
        return written;
    m_own = target;
    m_ownLock = std::move(copyLock); // lets go of the version it replaced
    const std::filesystem::path legends = LegendsFileOf(target);
    FileOutcome legendsKept;
    if (FileLock legendsLock; !copy.legends.isEmpty())
        legendsKept = writeWhole(legends, copy.legends, legendsLock);
    else
        ::unlink(legends.c_str());
    // The renames themselves reach the disk with the folder.
    if (const int folderFd = ::open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return legendsKept;
}

std::filesystem::path RecoveryFolder::LegendsFileOf(const std::filesystem::path& copy)
{
    std::filesystem::path legends = copy;
    legends += kLegendsSuffix;
    return legends;
}

void RecoveryFolder::drop()
{
    if (m_own.empty())
        return;
    ::unlink(LegendsFileOf(m_own).c_str());
    ::unlink(m_own.c_str());
    m_own.clear();
    m_ownLock = FileLock();
}

std::vector<RecoveryFolder::LeftCopy> RecoveryFolder::takeLeftCopies()
{
    std::vector<LeftCopy> left;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder, error)) {
        const std::filesystem::path& path = entry.path();
        const std::string name = path.filename().string();
        struct stat status
        {
        };
        if (name.starts_with('.') && endsWith(name, kTemporarySuffix)) {
            // A write cut short by a crash: its writer no longer holds it.
            if (lockIfLeft(path, status).fd() >= 0 &&
                status.st_mtim.tv_sec < QDateTime::currentSecsSinceEpoch() - kStaleTemporarySeconds)
                ::unlink(path.c_str());
            continue;
        }
        if (!endsWith(name, kCopySuffix) || path == m_own)
            continue;
        FileLock lock = lockIfLeft(path, status);
        if (lock.fd() < 0 || status.st_size > kMostCopyBytes)
            continue;
        const FileRead read = ReadRegularFile(path, kMostCopyBytes);
        auto copy = ParseRecoveryCopy(BytesOf(read.bytes));
        if (!read.outcome.ok || !copy)
            continue;
        if (const FileRead legends = ReadRegularFile(LegendsFileOf(path), kMostLegendsBytes);
            legends.outcome.ok && legends.size <= kMostLegendsBytes)
            copy->legends = legends.bytes;
        const qint64 written = static_cast<qint64>(status.st_mtim.tv_sec) * 1'000'000'000 +
                               static_cast<qint64>(status.st_mtim.tv_nsec);
        left.push_back({path, std::move(*copy), written, std::move(lock)});
    }
    std::sort(left.begin(), left.end(),
              [](const LeftCopy& a, const LeftCopy& b) { return a.writtenNs > b.writtenNs; });
    return left;
}

void RecoveryFolder::discard(LeftCopy& left)
{
    if (left.lock.fd() >= 0) {
        ::unlink(LegendsFileOf(left.file).c_str());
        ::unlink(left.file.c_str());
    }
    left.lock = FileLock();
}

void RecoveryFolder::adopt(LeftCopy& left)
{
    if (left.lock.fd() < 0)
        return;
    drop();
    m_own = left.file;
    m_ownLock = std::move(left.lock);
}

} // namespace morvaw
