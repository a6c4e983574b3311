#include "settingsfile.h"

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

// Writes the bytes to a new file beside the target and renames it over the
// target, so that a failure leaves the old file as it was. A link is
// followed to the file it names, whose permissions the new file takes over.
std::optional<QString> writeReplacing(const QString& path, const char* bytes, std::size_t size)
{
    QString target = path;
    for (int depth = 0; depth < 40 && QFileInfo(target).isSymLink(); ++depth)
        target = QFileInfo(target).symLinkTarget();
    const QByteArray name = QFile::encodeName(target);
    const QByteArray temporary = name + ".new";
    const int fd =
        ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return causeOf(errno);
    struct stat old
    {
    };
    if (::stat(name.constData(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);
    int error = -1;
    for (std::size_t done = 0; done < size && error < 0;) {
        const ssize_t n = ::write(fd, bytes + done, size - done);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (n == 0 || errno != EINTR)
            error = n == 0 ? 0 : errno;
    }
    if (error < 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error < 0)
        error = errno;
    if (error < 0 && ::rename(temporary.constData(), name.constData()) != 0)
        error = errno;
    if (error >= 0) {
        ::unlink(temporary.constData());
        return causeOf(error);
    }
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

SettingsRecord SettingsFile::Load(std::optional<QString>* problem) const
{
    if (!isUsable()) {
        if (problem)
            *problem = notRegular(m_path);
        return SettingsRecord{};
    }
    const QFileInfo info(m_path);
    if (!info.exists() || info.size() != static_cast<qint64>(SettingsRecord::kSize))
        Save(SettingsRecord{});

    SettingsRecord record;
    if (readRecord(record))
        return record;
    Save(SettingsRecord{});
    if (readRecord(record))
        return record;
    return SettingsRecord{};
}

bool SettingsFile::readRecord(SettingsRecord& record) const
{
    // Non-blocking, so that a FIFO put there after the check cannot hang
    // the start; only a regular file is read.
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info
    {
    };
    std::array<std::uint8_t, SettingsRecord::kSize> bytes{};
    std::size_t got = 0;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        for (ssize_t n = 1; got < bytes.size() && n > 0; got += n > 0 ? n : 0)
            n = ::read(fd, bytes.data() + got, bytes.size() - got);
    }
    ::close(fd);
    if (got != bytes.size())
        return false;
    record = SettingsRecord::fromBytes(bytes);
    return true;
}

std::optional<QString> SettingsFile::Save(const SettingsRecord& record) const
{
    if (!isUsable())
        return notRegular(m_path);
    const auto bytes = record.toBytes();
    return writeReplacing(m_path, reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

} // namespace vornestw
