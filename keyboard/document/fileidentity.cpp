#include "fileidentity.h"

#include "regularfile.h"

#include <QCryptographicHash>

#include <sys/stat.h>

namespace morvaw {

namespace {

// Layouts and settings are small; a longer file differs by its size already.
constexpr qint64 kMostHashed = 1 << 20;

} // namespace

std::filesystem::path AbsolutePath(const std::filesystem::path& path)
{
    std::error_code error;
    const std::filesystem::path whole = std::filesystem::absolute(path, error);
    return error ? path : whole.lexically_normal();
}

FileIdentity IdentityOf(const std::filesystem::path& path, const QByteArray& bytes)
{
    FileIdentity identity;
    identity.path = AbsolutePath(path);
    struct stat status
    {
    };
    if (::stat(path.c_str(), &status) != 0)
        return identity;
    identity.exists = true;
    identity.size = status.st_size;
    identity.modifiedNs = static_cast<qint64>(status.st_mtim.tv_sec) * 1'000'000'000 +
                          static_cast<qint64>(status.st_mtim.tv_nsec);
    identity.sha256 = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
    return identity;
}

FileIdentity IdentityOnDisk(const std::filesystem::path& path)
{
    const FileRead read = ReadRegularFile(path, kMostHashed);
    if (!read.outcome.ok && !std::filesystem::exists(path)) {
        FileIdentity missing;
        missing.path = AbsolutePath(path);
        return missing;
    }
    return IdentityOf(path, read.bytes);
}

bool ChangedOnDisk(const FileIdentity& known)
{
    if (known.path.empty())
        return false;
    const FileIdentity now = IdentityOnDisk(known.path);
    if (!now.exists)
        return false;
    return !known.exists || now.size != known.size || now.sha256 != known.sha256;
}

} // namespace morvaw
