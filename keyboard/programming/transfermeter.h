#pragma once

#include "programmingservice.h"

#include <QString>

#include <chrono>
#include <optional>

namespace morvaw {

// How far the keyboard being programmed is, for a person: the phase, the
// records the keyboard took of all a pass sends (the end record counted),
// the time since the unit started and an estimate of the time left. The
// clients of the programming service feed it the service's progress with
// the time of their waiter.
class TransferMeter
{
public:
    using Milliseconds = std::chrono::milliseconds;

    // A unit starts: the transfer's first, or another pass after the
    // question at the end of one. nextKeyboard: the last pass programmed its
    // keyboard, so this one is the next unit; else the same one again.
    void startUnit(Milliseconds now, bool nextKeyboard);
    void update(const TransferProgress& progress, Milliseconds now);

    [[nodiscard]] int unit() const { return m_unit; }
    [[nodiscard]] TransferPhase phase() const { return m_phase; }
    [[nodiscard]] KeyboardGeneration generation() const { return m_generation; }
    [[nodiscard]] int done() const { return m_done; }
    // 0 until the pass's size is known.
    [[nodiscard]] int total() const { return m_total; }
    [[nodiscard]] std::optional<int> versionAnswered() const { return m_version; }
    [[nodiscard]] Milliseconds elapsed(Milliseconds now) const { return now - m_unitStart; }
    // From the pace of the records taken so far; none before the first.
    [[nodiscard]] std::optional<Milliseconds> left(Milliseconds now) const;

    // "Building", "Waiting for the keyboard", "Sending", "End record", ...
    [[nodiscard]] QString phaseText() const;
    // "1020 of 2046 bytes" (words for the older keyboards); empty before sending.
    [[nodiscard]] QString countText() const;
    // "0:51 elapsed, about 0:52 left"
    [[nodiscard]] QString timeText(Milliseconds now) const;
    // "Unit 3 of this session"
    [[nodiscard]] QString unitText() const;

private:
    int m_unit = 0;
    TransferPhase m_phase = TransferPhase::Building;
    KeyboardGeneration m_generation = KeyboardGeneration::Enhanced;
    bool m_failed = false;
    int m_done = 0;
    int m_total = 0;
    std::optional<int> m_version;
    Milliseconds m_unitStart{};
    Milliseconds m_sendStart{};
};

// "1:05" or "1:02:05".
[[nodiscard]] QString ClockText(std::chrono::milliseconds time);

} // namespace morvaw
