#include "transfermeter.h"

#include <algorithm>

namespace morvaw {

void TransferMeter::startUnit(Milliseconds now, bool nextKeyboard)
{
    if (m_unit == 0 || nextKeyboard)
        ++m_unit;
    m_unitStart = now;
    m_sendStart = now;
    m_phase = TransferPhase::Building;
    m_failed = false;
    m_done = 0;
    // What a keyboard answered belongs to its own unit's record alone.
    m_version.reset();
}

void TransferMeter::update(const TransferProgress& progress, Milliseconds now)
{
    m_phase = progress.phase;
    m_generation = progress.generation;
    switch (progress.phase) {
    case TransferPhase::Connecting:
        if (progress.versionAnswered)
            m_version = progress.versionAnswered;
        break;
    case TransferPhase::Sending:
        // Record `written` goes out now: the ones before it were taken.
        m_total = progress.total + 1;
        m_done = progress.written - 1;
        if (progress.written == 1)
            m_sendStart = now;
        break;
    case TransferPhase::EndRecord:
        m_done = m_total - 1;
        break;
    case TransferPhase::PassEnded:
        m_failed = progress.failed;
        if (!progress.failed)
            m_done = m_total;
        break;
    default:
        break;
    }
}

std::optional<TransferMeter::Milliseconds> TransferMeter::left(Milliseconds now) const
{
    if (m_phase == TransferPhase::PassEnded)
        return Milliseconds{0};
    if (m_done <= 0 || m_total <= 0 ||
        (m_phase != TransferPhase::Sending && m_phase != TransferPhase::EndRecord))
        return std::nullopt;
    const auto perRecord = (now - m_sendStart) / m_done;
    return perRecord * (m_total - m_done);
}

QString TransferMeter::phaseText() const
{
    switch (m_phase) {
    case TransferPhase::Building:
    case TransferPhase::Built:
        return QStringLiteral("Building");
    case TransferPhase::Connecting:
    case TransferPhase::WaitingForKeyboard:
    case TransferPhase::KeyboardReady:
        return QStringLiteral("Waiting for the keyboard");
    case TransferPhase::Sending:
        return QStringLiteral("Sending");
    case TransferPhase::EndRecord:
        return QStringLiteral("End record");
    case TransferPhase::PassEnded:
        break;
    }
    return m_failed ? QStringLiteral("Failed") : QStringLiteral("Done");
}

QString TransferMeter::countText() const
{
    if (m_total <= 0)
        return {};
    return QStringLiteral("%1 of %2 %3")
        .arg(m_done)
        .arg(m_total)
        .arg(m_generation == KeyboardGeneration::Enhanced ? QStringLiteral("bytes")
                                                          : QStringLiteral("words"));
}

QString TransferMeter::timeText(Milliseconds now) const
{
    QString text = ClockText(elapsed(now)) + QStringLiteral(" elapsed");
    if (const auto remaining = left(now); remaining && m_phase != TransferPhase::PassEnded)
        text += QStringLiteral(", about %1 left").arg(ClockText(*remaining));
    return text;
}

QString TransferMeter::unitText() const
{
    return QStringLiteral("Unit %1 of this session").arg(m_unit);
}

QString ClockText(std::chrono::milliseconds time)
{
    const long long seconds = std::max<long long>(0, (time.count() + 500) / 1000);
    const QChar zero(u'0');
    if (seconds >= 3600)
        return QStringLiteral("%1:%2:%3")
            .arg(seconds / 3600)
            .arg(seconds / 60 % 60, 2, 10, zero)
            .arg(seconds % 60, 2, 10, zero);
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, zero);
}

} // namespace morvaw
