#include "systemports.h"

#include "portbindings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSerialPortInfo>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <grp.h>
#include <map>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <vector>

namespace morvaw {

namespace {

constexpr const char* kStableNames = "/dev/serial/by-id";

// Where programs that lock serial ports (Qt's own, minicom, the lockdev
// library) put their LCK..<device> files.
constexpr const char* kLockFolders[] = {"/var/lock",        "/run/lock",       "/etc/locks",
                                        "/var/spool/locks", "/var/spool/uucp", "/tmp",
                                        "/var/tmp"};

QByteArray bytes(const QString& path)
{
    return QFile::encodeName(path);
}

QString readLink(const QByteArray& path)
{
    char target[PATH_MAX];
    const ssize_t n = ::readlink(path.constData(), target, sizeof target);
    if (n < 0 || static_cast<std::size_t>(n) >= sizeof target)
        return QString();
    return QFile::decodeName(QByteArray(target, static_cast<int>(n)));
}

// A few bytes of a small system file (/proc, a lock file).
QByteArray readSmall(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(512);
}

// Unix98 pseudo-terminals have no sysfs entry; every other terminal sits in
// the tty class.
bool isTerminal(dev_t device)
{
    const unsigned major = ::major(device);
    if (major >= 136 && major <= 143)
        return true;
    const QString entry = readLink(
        QStringLiteral("/sys/dev/char/%1:%2").arg(major).arg(::minor(device)).toLocal8Bit());
    return entry.contains(QLatin1String("/tty/"));
}

QString userName(uid_t id)
{
    const passwd* user = ::getpwuid(id);
    return user ? QString::fromLocal8Bit(user->pw_name) : QString::number(id);
}

QString groupName(gid_t id)
{
    const group* g = ::getgrgid(id);
    return g ? QString::fromLocal8Bit(g->gr_name) : QString::number(id);
}

bool isRunning(qint64 pid)
{
    return pid > 0 && pid <= INT_MAX && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

QString programOf(qint64 pid)
{
    return QString::fromLocal8Bit(readSmall(QStringLiteral("/proc/%1/comm").arg(pid)).trimmed());
}

// The live owner of the device's lock file. A lock left by a process that
// has ended is no hold: the next program to open the port removes it.
std::optional<PortHolder> lockHolder(const QString& device)
{
    QString name = device.startsWith(QLatin1String("/dev/")) ? device.mid(5) : device;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    for (const char* folder : kLockFolders) {
        const QString lockFile = QStringLiteral("%1/LCK..%2").arg(QLatin1String(folder), name);
        const QList<QByteArray> lines = readSmall(lockFile).split('\n');
        bool number = false;
        const qint64 pid = lines.value(0).trimmed().toLongLong(&number);
        if (!number || !isRunning(pid) || pid == ::getpid())
            continue;
        QString program = programOf(pid);
        if (program.isEmpty())
            program = QString::fromLocal8Bit(lines.value(1).trimmed());
        return PortHolder{pid, program, lockFile};
    }
    return std::nullopt;
}

// Another process with the device open, as /proc shows it (only the user's
// own processes, unless run by root).
std::optional<PortHolder> opener(const QString& device)
{
    DIR* processes = ::opendir("/proc");
    if (!processes)
        return std::nullopt;
    std::optional<PortHolder> found;
    while (!found) {
        const dirent* entry = ::readdir(processes);
        if (!entry)
            break;
        bool number = false;
        const qint64 pid = QByteArray(entry->d_name).toLongLong(&number);
        if (!number || pid == ::getpid())
            continue;
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
        for (const QString& fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
            if (readLink(bytes(fds.filePath(fd))) == device) {
                found = PortHolder{pid, programOf(pid), QString()};
                break;
            }
        }
    }
    ::closedir(processes);
    return found;
}

void describeUser(PortFacts& f)
{
    const uid_t uid = ::geteuid();
    f.userId = uid;
    f.userName = userName(uid);
    f.sessionGroups = {static_cast<unsigned>(::getegid())};
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(0, ::getgroups(0, nullptr))));
    const int count = ::getgroups(static_cast<int>(groups.size()), groups.data());
    for (int i = 0; i < count; ++i)
        f.sessionGroups.push_back(groups[static_cast<std::size_t>(i)]);
    const passwd* user = ::getpwuid(uid);
    if (!user)
        return;
    // Asked twice when the first guess is too small: the second call knows.
    int listed = 32;
    for (int attempt = 0; attempt < 2; ++attempt) {
        groups.resize(static_cast<std::size_t>(listed));
        if (::getgrouplist(user->pw_name, user->pw_gid, groups.data(), &listed) >= 0) {
            f.accountGroups.assign(groups.begin(), groups.begin() + listed);
            return;
        }
    }
}

} // namespace

SystemPorts::SystemPorts(const std::filesystem::path& watchedFolder, QObject* parent)
    : PortSystem(parent)
{
    m_folders = {QStringLiteral("/dev"), QLatin1String(kStableNames)};
    if (!watchedFolder.empty())
        m_folders << ShownPath(watchedFolder);
    m_watcher = new QFileSystemWatcher(this);
    m_settle = new QTimer(this);
    m_settle->setSingleShot(true);
    // udev makes the stable names a moment after the device node.
    m_settle->setInterval(300);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_settle,
            qOverload<>(&QTimer::start));
    connect(m_settle, &QTimer::timeout, this, [this] {
        watch();
        emit changed();
    });
    watch();
}

void SystemPorts::watch()
{
    // /dev/serial/by-id comes and goes with the first and last USB adapter.
    const QStringList watched = m_watcher->directories();
    for (const QString& folder : m_folders) {
        if (!watched.contains(folder) && QDir(folder).exists())
            m_watcher->addPath(folder);
    }
}

std::vector<PortDevice> SystemPorts::devices()
{
    std::map<QString, QString> stableNames;
    const QDir byId{QLatin1String(kStableNames)};
    for (const QString& name : byId.entryList(QDir::System | QDir::NoDotAndDotDot))
        stableNames[QFileInfo(byId.filePath(name)).canonicalFilePath()] = byId.filePath(name);

    std::vector<PortDevice> found;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        PortDevice device{info.systemLocation(), info.description(), info.manufacturer(),
                          info.serialNumber(), QString()};
        if (const auto stable = stableNames.find(device.location); stable != stableNames.end())
            device.stableName = stable->second;
        found.push_back(device);
    }
    return found;
}

PortFacts SystemPorts::factsFor(const std::filesystem::path& path, const QString& port)
{
    return FactsOf(path, port);
}

PortFacts SystemPorts::FactsOf(const std::filesystem::path& path, const QString& port,
                               bool lookAtOpeners)
{
    PortFacts f;
    f.port = port;
    f.path = ShownPath(path);
    describeUser(f);
    const QByteArray name = QByteArray::fromStdString(path.native());
    struct stat entry
    {
    };
    if (::lstat(name.constData(), &entry) == 0 && S_ISLNK(entry.st_mode))
        f.linkTarget = readLink(name);
    struct stat target
    {
    };
    if (::stat(name.constData(), &target) != 0) {
        f.linkLoop = errno == ELOOP;
        return f;
    }
    if (char* real = ::realpath(name.constData(), nullptr)) {
        f.device = QFile::decodeName(real);
        std::free(real);
    }
    f.kind = S_ISCHR(target.st_mode)   ? PortFacts::Kind::CharacterDevice
             : S_ISREG(target.st_mode) ? PortFacts::Kind::RegularFile
             : S_ISDIR(target.st_mode) ? PortFacts::Kind::Folder
                                       : PortFacts::Kind::Other;
    f.mode = target.st_mode & 07777;
    f.ownerId = target.st_uid;
    f.owner = userName(target.st_uid);
    f.groupId = target.st_gid;
    f.group = groupName(target.st_gid);
    if (f.kind != PortFacts::Kind::CharacterDevice)
        return f;
    f.isTerminal = isTerminal(target.st_rdev);
    f.holder = lockHolder(f.device);
    if (!f.holder && lookAtOpeners)
        f.holder = opener(f.device);
    return f;
}

} // namespace morvaw
