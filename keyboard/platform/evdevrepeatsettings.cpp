#include "evdevrepeatsettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <linux/input.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

namespace morvaw {

namespace {

constexpr int kDelayStep = 250;

bool testBit(const unsigned long* bits, int bit)
{
    constexpr int kBitsPerLong = static_cast<int>(sizeof(unsigned long) * 8);
    return (bits[bit / kBitsPerLong] >> (bit % kBitsPerLong)) & 1UL;
}

// A device that repeats keys and has letter and Enter keys.
bool isKeyboard(int fd)
{
    unsigned long types[1] = {};
    unsigned long keys[(KEY_MAX + 1) / (sizeof(unsigned long) * 8) + 1] = {};
    if (::ioctl(fd, EVIOCGBIT(0, sizeof types), types) < 0 ||
        ::ioctl(fd, EVIOCGBIT(EV_KEY, sizeof keys), keys) < 0)
        return false;
    return testBit(types, EV_KEY) && testBit(types, EV_REP) && testBit(keys, KEY_A) &&
           testBit(keys, KEY_ENTER);
}

QStringList candidateDevices()
{
    QStringList found;
    const QDir byPath(QStringLiteral("/dev/input/by-path"));
    for (const QFileInfo& link :
         byPath.entryInfoList({QStringLiteral("*-event-kbd")}, QDir::System | QDir::Files))
        found << link.canonicalFilePath();
    const QDir input(QStringLiteral("/dev/input"));
    for (const QString& name :
         input.entryList({QStringLiteral("event*")}, QDir::System, QDir::Name)) {
        const QString path = input.filePath(name);
        if (!found.contains(path))
            found << path;
    }
    return found;
}

} // namespace

EvdevRepeatSettings::EvdevRepeatSettings(QString devicePath) : m_devicePath(std::move(devicePath))
{
}

EvdevRepeatSettings::~EvdevRepeatSettings()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int EvdevRepeatSettings::PeriodFor(int speed, int current)
{
    const int code = 31 - std::clamp(speed, 0, 31);
    const int period = kPeriods[static_cast<std::size_t>(code)];
    // One less still maps to this code: the next shorter period is at least 3 ms away.
    return period == current ? period - 1 : period;
}

int EvdevRepeatSettings::SpeedOf(int period)
{
    int code = 0;
    while (code < 31 && kPeriods[static_cast<std::size_t>(code)] < period)
        ++code;
    return 31 - code;
}

int EvdevRepeatSettings::DelayFor(int delay, int current)
{
    const int ms = kDelayStep * (std::clamp(delay, 0, 3) + 1);
    return ms == current ? ms - 1 : ms;
}

int EvdevRepeatSettings::DelayIndexOf(int delayMs)
{
    int index = 0;
    while (index < 3 && kDelayStep * (index + 1) < delayMs)
        ++index;
    return index;
}

bool EvdevRepeatSettings::ensureOpen()
{
    if (m_fd >= 0)
        return true;
    const QStringList paths =
        m_devicePath.isEmpty() ? candidateDevices() : QStringList{m_devicePath};
    QString denied;
    for (const QString& path : paths) {
        const QByteArray native = QFile::encodeName(path);
        const int fd = ::open(native.constData(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) {
            if (errno == EACCES || errno == EPERM)
                denied = path;
            continue;
        }
        if (isKeyboard(fd)) {
            m_fd = fd;
            m_reason.clear();
            return true;
        }
        ::close(fd);
    }
    if (!denied.isEmpty())
        m_reason = QStringLiteral("Not usable here: no permission to change the keyboard's "
                                  "settings (%1). Add your user to the group \"input\" and log "
                                  "in again.")
                       .arg(denied);
    else
        m_reason = QStringLiteral("Not usable here: this computer shows no keyboard device "
                                  "(/dev/input/event*). Connect the keyboard to its keyboard "
                                  "port, or program it over a COM port.");
    return false;
}

QString EvdevRepeatSettings::unavailableReason()
{
    ensureOpen();
    return m_reason;
}

bool EvdevRepeatSettings::readRepeat(int& delayMs, int& periodMs)
{
    unsigned int rep[2] = {};
    if (!ensureOpen() || ::ioctl(m_fd, EVIOCGREP, rep) < 0)
        return false;
    delayMs = static_cast<int>(rep[0]);
    periodMs = static_cast<int>(rep[1]);
    return true;
}

bool EvdevRepeatSettings::writeRepeat(int delayMs, int periodMs)
{
    unsigned int rep[2] = {static_cast<unsigned int>(delayMs), static_cast<unsigned int>(periodMs)};
    return ensureOpen() && ::ioctl(m_fd, EVIOCSREP, rep) >= 0;
}

std::optional<int> EvdevRepeatSettings::speed()
{
    int delayMs = 0;
    int periodMs = 0;
    if (!readRepeat(delayMs, periodMs))
        return std::nullopt;
    return SpeedOf(periodMs);
}

std::optional<int> EvdevRepeatSettings::delay()
{
    int delayMs = 0;
    int periodMs = 0;
    if (!readRepeat(delayMs, periodMs))
        return std::nullopt;
    return DelayIndexOf(delayMs);
}

bool EvdevRepeatSettings::setSpeed(int speed)
{
    int delayMs = 0;
    int periodMs = 0;
    return readRepeat(delayMs, periodMs) && writeRepeat(delayMs, PeriodFor(speed, periodMs));
}

bool EvdevRepeatSettings::setDelay(int delay)
{
    int delayMs = 0;
    int periodMs = 0;
    return readRepeat(delayMs, periodMs) && writeRepeat(DelayFor(delay, delayMs), periodMs);
}

} // namespace morvaw
