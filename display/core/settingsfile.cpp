#include "settingsfile.h"

#include "printqueue.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace vornestw {

namespace {

QString notRegular(const QString& path)
{
    return QStringLiteral("%1 is not a regular file; it is left alone and the default settings "
                          "are used.")
        .arg(path);
}

// A write cut short without an error is what a full disk looks like.
QString causeOf(int error)
{
    if (error == 0 || error == ENOSPC || error == EDQUOT)
        return QStringLiteral("not enough space");
    return QString::fromLocal8Bit(std::strerror(error));
}

class Descriptor
{
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    [[nodiscard]] int get() const { return m_fd; }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    // Closes now, so that a failing close (a full disk on some file systems) is seen.
    bool close()
    {
        const int fd = std::exchange(m_fd, -1);
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

// Every byte, going on after a short write; the error when it stopped (0 for
// a write that took nothing).
std::optional<int> writeAll(int fd, std::span<const std::uint8_t> bytes)
{
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n == 0 ? 0 : errno;
        done += static_cast<std::size_t>(n);
    }
    return std::nullopt;
}

// The first `limit` bytes of a regular file; empty when it cannot be read.
// Non-blocking, so that a FIFO put there after a check cannot hang the start.
std::vector<std::uint8_t> readStart(const QString& path, std::size_t limit)
{
    const Descriptor file(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info
    {
    };
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    std::vector<std::uint8_t> bytes(limit);
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(file.get(), bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return {};
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return bytes;
}

// Root may write any file; one that nobody may write stays read-only for root too.
bool isReadOnly(const QByteArray& name, const struct stat& status)
{
    return (status.st_mode & 0222) == 0 ||
           ::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) != 0;
}

// Overwrites the file from its start and cuts it to the record's length; a
// record needs no more room than the file it replaces.
std::optional<QString> rewriteInPlace(const QByteArray& name, std::span<const std::uint8_t> bytes)
{
    Descriptor file(::open(name.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat status
    {
    };
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0)
        return causeOf(errno);
    if (!S_ISREG(status.st_mode))
        return QStringLiteral("not a regular file");
    if (const auto error = writeAll(file.get(), bytes))
        return causeOf(*error);
    if (::ftruncate(file.get(), static_cast<off_t>(bytes.size())) != 0 ||
        ::fsync(file.get()) != 0 || !file.close())
        return causeOf(errno);
    return std::nullopt;
}

// Writes the bytes to a new file beside the target and renames it over the
// target, so that a failure leaves the old file as it was. A link is
// followed to the file it names, whose mode and owner the new file takes over.
std::optional<QString> writeReplacing(const QString& path, std::span<const std::uint8_t> bytes)
{
    QString target = path;
    for (int depth = 0; depth < 40 && QFileInfo(target).isSymLink(); ++depth)
        target = QFileInfo(target).symLinkTarget();
    const QFileInfo info(target);
    const QByteArray name = QFile::encodeName(target);
    struct stat old
    {
    };
    const bool exists = ::stat(name.constData(), &old) == 0;
    if (!exists && errno != ENOENT)
        return causeOf(errno);
    if (exists && !S_ISREG(old.st_mode))
        return QStringLiteral("not a regular file");
    if (exists && isReadOnly(name, old))
        return QStringLiteral("the file is read-only");

    // A name of its own, so that nothing already there is truncated or followed.
    const QByteArray stem = QFile::encodeName(info.absolutePath()) + "/." +
                            QFile::encodeName(info.fileName()) + "." +
                            QByteArray::number(::getpid()) + "-";
    QByteArray temporary;
    Descriptor file;
    for (int attempt = 0; attempt < 100 && file.get() < 0; ++attempt) {
        temporary = stem + QByteArray::number(attempt) + ".new";
        file.reset(::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC,
                          0666));
        if (file.get() < 0 && errno != EEXIST)
            break;
    }
    if (file.get() < 0) {
        // A folder that takes no new file may still hold a writable file.
        if (exists && (errno == EACCES || errno == EPERM))
            return rewriteInPlace(name, bytes);
        return causeOf(errno);
    }
    const auto giveUp = [&](int error) {
        file.reset();
        ::unlink(temporary.constData());
        return causeOf(error);
    };
    if (exists) {
        // The owner first: a change of owner clears the set-id bits of the mode.
        struct stat fresh
        {
        };
        if (::fstat(file.get(), &fresh) != 0)
            return giveUp(errno);
        if ((fresh.st_uid != old.st_uid || fresh.st_gid != old.st_gid) &&
            ::fchown(file.get(), old.st_uid, old.st_gid) != 0) {
            giveUp(errno);
            return rewriteInPlace(name, bytes);
        }
        if (::fchmod(file.get(), old.st_mode & 07777) != 0)
            return giveUp(errno);
    }
    if (const auto error = writeAll(file.get(), bytes))
        return giveUp(*error);
    if (::fsync(file.get()) != 0 || !file.close() ||
        ::rename(temporary.constData(), name.constData()) != 0)
        return giveUp(errno);
    return std::nullopt;
}

} // namespace

SettingsFile::SettingsFile(QString path) : m_path(std::move(path)) {}

QString SettingsFile::PathFor(const QString& programFolder)
{
    QString folder = programFolder;
    while (folder.size() > 1 && folder.endsWith('/'))
        folder.chop(1);
    return folder + ".INI";
}

bool SettingsFile::isUsable() const
{
    const QFileInfo info(m_path); // follows links
    return !info.exists() || info.isFile();
}

std::optional<SettingsRecord> SettingsFile::Parse(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() != SettingsRecord::kSize)
        return std::nullopt;
    return SettingsRecord::fromBytes(bytes.first<SettingsRecord::kSize>());
}

SettingsRecord SettingsFile::Load(std::optional<QString>* problem) const
{
    if (!isUsable()) {
        if (problem)
            *problem = notRegular(m_path);
        return SettingsRecord{};
    }
    // One byte more than a record, so that a longer file shows.
    const std::size_t enough = SettingsRecord::kSize + 1;
    auto record = Parse(readStart(m_path, enough));
    if (!record) {
        Save(SettingsRecord{});
        record = Parse(readStart(m_path, enough));
    }
    return record.value_or(SettingsRecord{});
}

std::optional<QString> SettingsFile::Save(const SettingsRecord& record) const
{
    if (!isUsable())
        return notRegular(m_path);
    return writeReplacing(m_path, record.toBytes());
}

SettingsStamp SettingsFile::Stamp() const
{
    SettingsStamp stamp;
    struct stat status
    {
    };
    if (::stat(QFile::encodeName(m_path).constData(), &status) == 0) {
        stamp.size = status.st_size;
        stamp.modified = qint64(status.st_mtim.tv_sec) * 1000 + status.st_mtim.tv_nsec / 1000000;
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString& path : {m_path, PrinterQueuePath()}) {
        const auto bytes = readStart(path, 1 << 16);
        hash.addData(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
        hash.addData(QByteArrayView("\n--\n"));
    }
    stamp.hash = hash.result();
    return stamp;
}

QString SettingsFile::PrinterQueuePath() const
{
    QString path = m_path;
    if (path.endsWith(QLatin1String(".INI")))
        path.chop(4);
    return path + QStringLiteral(".printer");
}

QString SettingsFile::ParsePrinterQueue(std::span<const std::uint8_t> bytes)
{
    const QString name = QString::fromUtf8(reinterpret_cast<const char*>(bytes.data()),
                                           static_cast<qsizetype>(bytes.size()))
                             .section('\n', 0, 0)
                             .trimmed();
    return IsPrintQueueName(name) ? name : QString();
}

QString SettingsFile::LoadPrinterQueue() const
{
    // Only the first line counts, and no name is longer than 127 bytes.
    return ParsePrinterQueue(readStart(PrinterQueuePath(), 130));
}

std::optional<QString> SettingsFile::SavePrinterQueue(const QString& queue) const
{
    const QString path = PrinterQueuePath();
    if (queue.isEmpty() && !QFileInfo(path).isFile())
        return std::nullopt;
    const QByteArray line = queue.toUtf8() + '\n';
    return writeReplacing(path, std::span(reinterpret_cast<const std::uint8_t*>(line.constData()),
                                          static_cast<std::size_t>(line.size())));
}

} // namespace vornestw
