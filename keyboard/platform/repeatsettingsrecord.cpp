#include "repeatsettingsrecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace morvaw {

QString RepeatSettingsRecord::DefaultPath()
{
    QString stateHome = QFile::decodeName(qgetenv("XDG_STATE_HOME"));
    if (!stateHome.startsWith(QLatin1Char('/')))
        stateHome = QDir::homePath() + QStringLiteral("/.local/state");
    return stateHome + QStringLiteral("/morvaw/repeat-settings");
}

bool RepeatSettingsRecord::save(const Saved& saved) const
{
    if (!QDir().mkpath(QFileInfo(m_path).path()))
        return false;
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QStringLiteral("device=%1\ndelay=%2\nperiod=%3\n")
                   .arg(saved.device)
                   .arg(saved.delayMs)
                   .arg(saved.periodMs)
                   .toUtf8());
    return file.commit();
}

std::optional<RepeatSettingsRecord::Saved> RepeatSettingsRecord::load() const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    Saved saved;
    bool delayRead = false;
    bool periodRead = false;
    // A few short lines; anything else in the file is not ours.
    for (int line = 0; line < 8 && !file.atEnd(); ++line) {
        const QString text = QString::fromUtf8(file.readLine(4096)).trimmed();
        const QString value = text.section(QLatin1Char('='), 1);
        if (text.startsWith(QStringLiteral("device=")))
            saved.device = value;
        else if (text.startsWith(QStringLiteral("delay=")))
            saved.delayMs = value.toInt(&delayRead);
        else if (text.startsWith(QStringLiteral("period=")))
            saved.periodMs = value.toInt(&periodRead);
    }
    if (saved.device.isEmpty() || !delayRead || !periodRead || saved.delayMs <= 0 ||
        saved.periodMs <= 0)
        return std::nullopt;
    return saved;
}

void RepeatSettingsRecord::remove() const
{
    QFile::remove(m_path);
}

namespace {

// The lock beside the record, exclusively locked; -1 when another holds it.
int lockBeside(const QString& record)
{
    QDir().mkpath(QFileInfo(record).path());
    const int fd = ::open(QFile::encodeName(record + QStringLiteral(".lock")).constData(),
                          O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

RepeatSettingsRecord::~RepeatSettingsRecord()
{
    release();
}

bool RepeatSettingsRecord::hold()
{
    if (m_holdFd < 0)
        m_holdFd = lockBeside(m_path);
    return m_holdFd >= 0;
}

void RepeatSettingsRecord::release()
{
    if (m_holdFd >= 0)
        ::close(m_holdFd);
    m_holdFd = -1;
}

bool RepeatSettingsRecord::heldElsewhere() const
{
    if (m_holdFd >= 0)
        return false;
    const int fd = lockBeside(m_path);
    if (fd < 0)
        return true;
    ::close(fd);
    return false;
}

QString
PutBackLeftoverSettings(const RepeatSettingsRecord& record,
                        const std::function<bool(const RepeatSettingsRecord::Saved&)>& write)
{
    // A record another Morvaw holds is that of a transfer still running.
    if (!QFileInfo::exists(record.path()) || record.heldElsewhere())
        return {};
    const auto saved = record.load();
    record.remove();
    if (!saved)
        return QStringLiteral("A keyboard-port transfer did not end, and what it kept of the "
                              "keyboard's repeat settings (%1) cannot be read. Set them again in "
                              "the system's keyboard settings.")
            .arg(record.path());
    const QString values =
        QStringLiteral("delay %1 ms, repeat every %2 ms").arg(saved->delayMs).arg(saved->periodMs);
    if (!write(*saved))
        return QStringLiteral("A keyboard-port transfer did not end and left the repeat settings "
                              "of %1 changed, and they could not be put back: set them again in "
                              "the system's keyboard settings (they were: %2).")
            .arg(saved->device, values);
    return QStringLiteral("A keyboard-port transfer did not end and left the repeat settings of "
                          "%1 changed. They are back as they were: %2.")
        .arg(saved->device, values);
}

} // namespace morvaw
