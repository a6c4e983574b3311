#include "evdevrepeatsettings.h"

#include "keyboardchoice.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/input.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

namespace morvaw {

namespace {

constexpr int kDelayStep = 250;

int openDevice(const QString& path)
{
    return ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
}

} // namespace

EvdevRepeatSettings::EvdevRepeatSettings(const QString& requestedDevice, QString recordPath)
    : m_record(std::move(recordPath))
{
    if (!requestedDevice.isEmpty())
        m_requested = ResolvedDevicePath(requestedDevice);
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
    const KeyboardChoice choice = ChooseKeyboard(KeyboardsOfThisComputer(), m_requested);
    m_reason = choice.reason;
    m_name = choice.note();
    if (!choice.keyboard)
        return false;
    const int fd = openDevice(choice.keyboard->path);
    if (fd < 0) {
        m_reason = QStringLiteral("Not usable here: %1 cannot be opened (%2).")
                       .arg(choice.keyboard->path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    m_fd = fd;
    m_device = choice.keyboard->path;
    return true;
}

QString EvdevRepeatSettings::unavailableReason()
{
    ensureOpen();
    return m_reason;
}

QString EvdevRepeatSettings::keyboardName()
{
    return ensureOpen() ? m_name : QString();
}

void EvdevRepeatSettings::keepUserSettings()
{
    m_record.hold();
    // A record that is there already holds the user's settings from before
    // a transfer that could not put them back; the device holds ours.
    if (m_record.load())
        return;
    int delayMs = 0;
    int periodMs = 0;
    if (readRepeat(delayMs, periodMs))
        m_record.save({m_device, delayMs, periodMs});
}

void EvdevRepeatSettings::userSettingsBack()
{
    m_record.remove();
    m_record.release();
}

bool EvdevRepeatSettings::WriteSaved(const RepeatSettingsRecord::Saved& saved)
{
    const int fd = openDevice(saved.device);
    if (fd < 0)
        return false;
    unsigned int rep[2] = {static_cast<unsigned int>(saved.delayMs),
                           static_cast<unsigned int>(saved.periodMs)};
    const bool ok = ::ioctl(fd, EVIOCSREP, rep) >= 0;
    ::close(fd);
    return ok;
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
