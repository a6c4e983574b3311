#include "portbindings.h"

#include <QCoreApplication>
#include <QFile>

#include <string>
#include <system_error>
#include <utility>

namespace morvaw {

namespace fs = std::filesystem;

namespace {

fs::path pathOf(const QString& text)
{
    return fs::path(QFile::encodeName(text).toStdString());
}

QString causeOf(const std::error_code& error)
{
    return QString::fromLocal8Bit(error.message().c_str());
}

// An entry there that is no link: something of the user's, not ours to replace.
std::optional<QString> refuseOther(const fs::path& path)
{
    std::error_code error;
    const fs::file_status entry = fs::symlink_status(path, error);
    if (fs::exists(entry) && !fs::is_symlink(entry))
        return QStringLiteral("%1 is not a link; it is left alone. Remove it first.")
            .arg(ShownPath(path));
    return std::nullopt;
}

} // namespace

QString ShownPath(const fs::path& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

PortBindings::PortBindings(fs::path folder) : m_folder(std::move(folder)) {}

fs::path PortBindings::LinkPath(int comNumber) const
{
    return m_folder / ("com" + std::to_string(comNumber));
}

fs::path PortBindings::Location(int comNumber) const
{
    const fs::path link = LinkPath(comNumber);
    std::error_code error;
    if (fs::exists(fs::symlink_status(link, error)))
        return link;
    return "/dev/ttyS" + std::to_string(comNumber - 1);
}

std::optional<QString> PortBindings::LinkTarget(int comNumber) const
{
    std::error_code error;
    const fs::path target = fs::read_symlink(LinkPath(comNumber), error);
    if (error)
        return std::nullopt;
    return ShownPath(target);
}

std::optional<QString> PortBindings::Bind(int comNumber, const QString& device) const
{
    const fs::path link = LinkPath(comNumber);
    if (auto refused = refuseOther(link))
        return refused;
    fs::path fresh = link;
    fresh += ".new" + std::to_string(QCoreApplication::applicationPid());
    std::error_code error;
    fs::remove(fresh, error);
    fs::create_symlink(pathOf(device), fresh, error);
    if (!error)
        fs::rename(fresh, link, error);
    if (error) {
        std::error_code ignored;
        fs::remove(fresh, ignored);
        return QStringLiteral("%1 could not be made: %2").arg(ShownPath(link), causeOf(error));
    }
    return std::nullopt;
}

std::optional<QString> PortBindings::Unbind(int comNumber) const
{
    const fs::path link = LinkPath(comNumber);
    if (auto refused = refuseOther(link))
        return refused;
    std::error_code error;
    fs::remove(link, error);
    if (error)
        return QStringLiteral("%1 could not be removed: %2").arg(ShownPath(link), causeOf(error));
    return std::nullopt;
}

} // namespace morvaw
