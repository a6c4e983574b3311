#pragma once

#include "displaystate.h"
#include "displayutility.h"
#include "outputchannel.h"
#include "portsystem.h"
#include "printer.h"
#include "seriallink.h"
#include "usernotice.h"
#include "waiter.h"

#include <QHash>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace vornestw::test {

// A COM port with a display behind it on a virtual clock: one queued byte
// leaves per millisecond (about 9600 baud); clear-to-send is what the test
// makes it.
class SimulatedPort : public SerialLink
{
public:
    std::optional<QString> open(int comNumber) override
    {
        m_failure.reset();
        if (m_unplugged)
            return QStringLiteral("COM%1 (simulated): No such file or directory").arg(comNumber);
        if (auto error = std::exchange(m_openError, std::nullopt))
            return error;
        m_opened.push_back(comNumber);
        m_open = true;
        return std::nullopt;
    }
    void close() override { m_open = false; }
    [[nodiscard]] bool isOpen() const override { return m_open; }
    [[nodiscard]] bool ctsHolding() override { return alive() && m_cts && m_ctsLowFor == 0; }
    void write(std::uint8_t byte) override
    {
        if (alive())
            m_written.push_back(byte), m_queue.push_back(byte);
    }
    [[nodiscard]] int outBufferCount() override { return static_cast<int>(m_queue.size()); }
    void discardOutput() override { m_queue.clear(); }
    [[nodiscard]] std::optional<QString> failure() const override { return m_failure; }
    [[nodiscard]] LineCheck checkLine(int comNumber) override
    {
        LineCheck check{QStringLiteral("COM%1 (simulated)").arg(comNumber), std::nullopt,
                        m_cts ? LineCheck::ClearToSend::Up : LineCheck::ClearToSend::Down};
        if (m_unplugged)
            check.error = check.name + QStringLiteral(": No such file or directory");
        return check;
    }

    // One millisecond: the display takes a byte and, when paced, holds
    // clear-to-send low for a while after it.
    void tick()
    {
        m_ctsLowFor = std::max(0, m_ctsLowFor - 1);
        if (alive() && !m_stalled && !m_queue.empty()) {
            m_received.push_back(m_queue.front());
            m_queue.pop_front();
            m_ctsLowFor = m_pace;
        }
    }
    void setCts(bool cts) { m_cts = cts; }
    void failNextOpen(QString description) { m_openError = std::move(description); }
    void stallOutput(bool stalled) { m_stalled = stalled; } // a driver that never drains
    void paceClearToSend(int ms) { m_pace = ms; }           // a slow display
    // The device goes away: an open port fails at its next use; no reopening.
    void unplug() { m_unplugged = true; }

    [[nodiscard]] const std::vector<std::uint8_t>& received() const { return m_received; }
    [[nodiscard]] const std::vector<std::uint8_t>& written() const { return m_written; }
    [[nodiscard]] const std::vector<int>& openedPorts() const { return m_opened; }
    void clearReceived() { m_received.clear(), m_written.clear(); }
    // A send now would fail: the display not ready, the queue stuck, the
    // device gone or the next opening refused.
    [[nodiscard]] bool inTrouble() const
    {
        return !m_cts || m_stalled || m_unplugged || m_openError;
    }

private:
    bool alive()
    {
        if (m_open && m_unplugged) {
            m_failure =
                QStringLiteral("COM%1 (simulated): the device is gone").arg(m_opened.back());
            m_open = false;
            m_queue.clear();
        }
        return m_open;
    }

    bool m_open = false, m_cts = true, m_stalled = false, m_unplugged = false;
    int m_pace = 0, m_ctsLowFor = 0;
    std::optional<QString> m_failure, m_openError;
    std::deque<std::uint8_t> m_queue;
    std::vector<std::uint8_t> m_received, m_written; // at the display; handed to the port
    std::vector<int> m_opened;
};

// Each round of a wait is one millisecond; onTick stands for the device and
// for whatever the user does meanwhile.
class VirtualClockWaiter : public Waiter
{
public:
    Outcome waitUntil(const std::function<bool()>& ready, std::chrono::milliseconds limit,
                      const bool& abort, const std::function<void()>& eachRound) override
    {
        for (const long long deadline = m_now + limit.count();; processEvents()) {
            if (ready())
                return Outcome::Ready;
            if (abort)
                return Outcome::Aborted;
            if (m_now >= deadline)
                return Outcome::TimedOut;
            if (eachRound)
                eachRound();
        }
    }
    void processEvents() override
    {
        ++m_now;
        if (onTick)
            onTick();
    }
    [[nodiscard]] long long now() const { return m_now; }

    std::function<void()> onTick;

private:
    long long m_now = 0;
};

struct Notice
{
    QString title, text;
    UserNotice::Severity severity = UserNotice::Severity::Information;
    bool operator==(const Notice&) const = default;
};

using Notices = std::vector<Notice>;

inline void PrintTo(const Notice& n, std::ostream* out)
{
    *out << n.title.toStdString() << ": " << n.text.toStdString() << " (" << int(n.severity) << ")";
}

// Records every message; answers questions from a list (No when it is empty).
struct RecordingNotice : UserNotice
{
    void message(Severity severity, const QString& title, const QString& text) override
    {
        messages.push_back({title, text, severity});
    }
    bool askYesNo(const QString& title, const QString& text) override
    {
        questions.push_back({title, text});
        const bool yes = !answers.empty() && answers.front();
        if (!answers.empty())
            answers.pop_front();
        return yes;
    }

    Notices messages, questions;
    std::deque<bool> answers;
};

// Collects the raw jobs and the queues they went to; fails them with `error`
// when set. Lists `queues`.
struct FakePrinter : Printer
{
    std::optional<QString> printRaw(const QString& queue, std::string_view bytes) override
    {
        ++attempts;
        if (!error)
            jobs.emplace_back(bytes), jobQueues.push_back(queue);
        return error;
    }
    PrintQueueList listQueues() override { return queues; }

    std::optional<QString> error;
    std::vector<std::string> jobs;
    std::vector<QString> jobQueues;
    PrintQueueList queues;
    int attempts = 0;
};

// Devices and facts as a test makes them up: facts are looked up by path
// (the port's name is filled in), unknown paths are missing.
struct FakePorts : PortSystem
{
    std::vector<SerialDevice> devices() override { return listed; }
    PortFacts factsFor(const QString& path, const QString& port) override
    {
        PortFacts f = facts.value(path);
        f.path = path, f.port = port;
        return f;
    }

    std::vector<SerialDevice> listed;
    QHash<QString, PortFacts> facts;
};

// What stands around the utility: a simulated display, a printer and a user.
struct Devices
{
    Devices()
    {
        waiter.onTick = [this] {
            port.tick();
            if (onTick)
                onTick();
        };
    }

    SimulatedPort port;
    FakePrinter printer;
    VirtualClockWaiter waiter;
    RecordingNotice notice;
    FakePorts ports;
    std::function<void()> onTick; // the user, acting during waits
};

// The utility's logic wired to them.
struct DisplayRig : Devices
{
    DisplayState state;
    OutputChannel channel{state, port, printer, waiter, notice};
    DisplayUtility utility{state, channel};
};

// "1B 5B 32 4A" as bytes.
inline std::vector<std::uint8_t> Hex(const std::string& text)
{
    std::vector<std::uint8_t> bytes;
    for (std::size_t at = 0; at < text.size(); at += 3)
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(text.substr(at, 2), nullptr, 16)));
    return bytes;
}

inline std::vector<std::uint8_t> BytesOf(const std::string& text)
{
    return {text.begin(), text.end()};
}

} // namespace vornestw::test
