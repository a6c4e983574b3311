#include "portbindings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace vornestw {

namespace {

QString errorText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// An entry there that is no link: something of the user's, not ours to replace.
std::optional<QString> refuseOther(const QString& path)
{
    struct stat entry
    {
    };
    if (::lstat(QFile::encodeName(path).constData(), &entry) == 0 && !S_ISLNK(entry.st_mode))
        return QStringLiteral("%1 is not a link; it is left alone. Remove it first.").arg(path);
    return std::nullopt;
}

} // namespace

PortBindings::PortBindings(QString folder) : m_folder(std::move(folder)) {}

QString PortBindings::LinkPath(int comNumber) const
{
    return QDir(m_folder).filePath(QStringLiteral("com%1").arg(comNumber));
}

QString PortBindings::Location(int comNumber) const
{
    const QString link = LinkPath(comNumber);
    const QFileInfo entry(link);
    if (entry.exists() || entry.isSymLink())
        return link;
    return QStringLiteral("/dev/ttyS%1").arg(comNumber - 1);
}

std::optional<QString> PortBindings::LinkTarget(int comNumber) const
{
    const QByteArray link = QFile::encodeName(LinkPath(comNumber));
    char target[4096];
    const ssize_t n = ::readlink(link.constData(), target, sizeof target);
    if (n < 0 || static_cast<std::size_t>(n) >= sizeof target)
        return std::nullopt;
    return QFile::decodeName(QByteArray(target, static_cast<int>(n)));
}

std::optional<QString> PortBindings::Bind(int comNumber, const QString& device) const
{
    const QString link = LinkPath(comNumber);
    if (auto refused = refuseOther(link))
        return refused;
    const QByteArray fresh = QFile::encodeName(link + QStringLiteral(".new%1").arg(::getpid()));
    ::unlink(fresh.constData());
    if (::symlink(QFile::encodeName(device).constData(), fresh.constData()) != 0)
        return QStringLiteral("%1 could not be made: %2").arg(link, errorText());
    if (::rename(fresh.constData(), QFile::encodeName(link).constData()) != 0) {
        const QString error = errorText();
        ::unlink(fresh.constData());
        return QStringLiteral("%1 could not be made: %2").arg(link, error);
    }
    return std::nullopt;
}

std::optional<QString> PortBindings::Unbind(int comNumber) const
{
    const QString link = LinkPath(comNumber);
    if (auto refused = refuseOther(link))
        return refused;
    if (::unlink(QFile::encodeName(link).constData()) != 0 && errno != ENOENT)
        return QStringLiteral("%1 could not be removed: %2").arg(link, errorText());
    return std::nullopt;
}

} // namespace vornestw
