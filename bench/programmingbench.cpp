// Benchmark of keyboard programming, run by hand (not a test):
//   morvaw_programmingbench [--full] [--no-keyboard-port] [<path of the kbdsim program>]
// 1. the time to build both memory images of a full layout;
// 2. an enhanced transfer through the keyboard port at real timing, to the
//    simulated keyboard behind the model of the PS/2 driver (changes within
//    50 ms merged): seconds per byte against the floor of five changes 60 ms
//    apart, and the longest time the event loop was kept from running. A
//    layout of a few keys (223 records, about 75 s), or with --full the full
//    layout (2045 records, about 11 minutes);
// 3. given the kbdsim program, a full enhanced transfer at real timing over a
//    pseudo-terminal to it (9600 baud and its write time of 5 ms a byte
//    modelled), once with the normal answer waits and once fast: each time
//    against its floor (normal: writes x 50 ms; fast: writes x (five bytes
//    on the line at 9600 baud + the write time)), their ratio, whether the
//    simulator held the same afterwards, and the longest time the event loop
//    was kept from running.
#include "deviceimagebuilder.h"
#include "eventloopwaiter.h"
#include "keyboardrig.h"
#include "keystablebuilder.h"
#include "programmingservice.h"
#include "qtseriallink.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>

using namespace morvaw;
using namespace morvaw::test;

namespace {

// Programs one keyboard and no other; notes when its records went out.
class OneKeyboard : public TransferObserver
{
public:
    explicit OneKeyboard(const Waiter& clock) : m_clock(clock) {}
    void progressed(const TransferProgress& progress) override
    {
        if (progress.phase == TransferPhase::Sending && progress.written == 1)
            firstRecordAt = m_clock.now();
        if (progress.phase == TransferPhase::Sending) {
            records = progress.total + 1; // and the end record
            lastWritten = progress.written;
        }
        if (progress.phase == TransferPhase::PassEnded)
            endedAt = m_clock.now();
    }
    void detectionTrouble(const TransferOutcome&) override {}
    bool programAnother(const TransferOutcome&) override { return false; }

    std::chrono::milliseconds firstRecordAt{};
    std::chrono::milliseconds endedAt{};
    int records = 0;
    int lastWritten = 0; // the record that went out last

private:
    const Waiter& m_clock;
};

// A timer that should fire every millisecond: its longest gap is the longest
// time the event loop was kept from running.
class LoopProbe
{
public:
    LoopProbe()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this] { longest = std::max(longest, m_gap.restart()); });
        m_timer.start(1);
        m_gap.start();
    }
    qint64 longest = 0;

private:
    QTimer m_timer;
    QElapsedTimer m_gap;
};

const char* outcomeText(const TransferOutcome& outcome)
{
    static QByteArray text;
    text = outcome.result == TransferResult::Programmed ? QByteArray("programmed")
                                                        : outcome.message.toLocal8Bit();
    return text.constData();
}

// Part 2: through the keyboard port, at real timing.
void TimeTheKeyboardPort(bool full)
{
    auto state = MakeState(2);
    if (full)
        FillMemory(*state);
    else
        AddSomeKeys(*state);
    kbdsim::KeyboardDevice device(2);
    EventLoopWaiter waiter;
    SimulatedSerialPort unusedPort(device);
    SimulatedRepeatSettings repeat(device);
    ProgrammingService service(waiter, unusedPort, repeat);
    repeat.typeKey = [&](char c) { service.keyTyped(static_cast<unsigned char>(c)); };
    QTimer driver; // the driver's held commands and the keyboard's typing, in real time
    driver.setTimerType(Qt::PreciseTimer);
    QObject::connect(&driver, &QTimer::timeout, [&] { repeat.tick(waiter.now().count()); });
    driver.start(1);

    OneKeyboard observer(waiter);
    LoopProbe probe;
    TransferInput input = state->input();
    input.channel = Channel::KeyboardPort;
    const TransferOutcome outcome = service.program(input, observer);
    state->LayoutRecords[Settings::KbdFlags].PosX = outcome.kbdFlags; // as main stores them
    const double seconds = (observer.endedAt - observer.firstRecordAt).count() / 1000.0;
    const double perByte = seconds / std::max(observer.records, 1);
    constexpr double kFloor = 5 * 0.060;
    std::printf("Keyboard port: %d records in %.1f s: %.3f s a byte against the floor of five "
                "changes 60 ms apart, %.2f s: %.2fx; %d typematic commands for %d changes; "
                "the keyboard holds the layout: %s\n",
                observer.records, seconds, perByte, kFloor, perByte / kFloor,
                static_cast<int>(repeat.commands.size()), repeat.changes,
                HoldsLayout(device, *state) ? "yes" : "NO");
    std::printf("Longest time the event loop was blocked: %lld ms. Outcome: %s\n",
                static_cast<long long>(probe.longest), outcomeText(outcome));
}

constexpr int kWriteTimeMs = 5;
constexpr double kByteSeconds = 10.0 / 9600; // a start bit, eight data bits, a stop bit

struct SerialRun
{
    int writes = 0;
    double sendingS = 0; // first record to the end of the pass
    double totalS = 0;
    QString outcome;
    QByteArray memory; // what the simulator printed of its memory
    long long blockedMs = 0;
};

// Part 3: one whole transfer to a new kbdsim on COM1, normal or fast.
SerialRun TimeOverThePseudoTerminal(const QString& program, const TestLayout& state, bool fast)
{
    SerialRun run;
    QTemporaryDir folder;
    QProcess simulator;
    simulator.start(program, {folder.path(), "--com", "1", "--type", "2", "--write-time",
                              QString::number(kWriteTimeMs)});
    const QString link = QDir(folder.path()).filePath("com1");
    for (int i = 0; i < 100 && !QFileInfo::exists(link); ++i)
        QThread::msleep(20);
    if (!QFileInfo::exists(link))
        return run;

    EventLoopWaiter waiter;
    QtSerialLink port(folder.path().toStdString());
    kbdsim::KeyboardDevice unused(2);
    SimulatedRepeatSettings repeat(unused);
    ProgrammingService service(waiter, port, repeat);
    OneKeyboard observer(waiter);
    LoopProbe probe;
    TransferInput input = state.input();
    input.fast = fast;
    const auto start = waiter.now();
    const TransferOutcome outcome = service.program(input, observer);
    run.totalS = (waiter.now() - start).count() / 1000.0;
    run.sendingS = (observer.endedAt - observer.firstRecordAt).count() / 1000.0;
    run.writes = observer.records;
    run.outcome = QString::fromLocal8Bit(outcomeText(outcome));
    if (outcome.result != TransferResult::Programmed)
        run.outcome += QStringLiteral(" (at record %1)").arg(observer.lastWritten);
    run.blockedMs = probe.longest;
    simulator.terminate();
    simulator.waitForFinished(2000);
    const QByteArray printed = simulator.readAllStandardOutput();
    run.memory = printed.mid(printed.indexOf("Transfer 1 complete:"));
    return run;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    const bool full = args.contains(QStringLiteral("--full"));
    const bool keyboardPort = !args.contains(QStringLiteral("--no-keyboard-port"));
    const QStringList programs = args.filter(QRegularExpression(QStringLiteral("^[^-]")));
    if (args.size() != programs.size() + (full ? 1 : 0) + (keyboardPort ? 0 : 1) ||
        programs.size() > 1) {
        std::fprintf(stderr, "usage: %s [--full] [--no-keyboard-port] [<kbdsim program>]\n",
                     argv[0]);
        return 2;
    }

    auto state = MakeState(2);
    FillMemory(*state);
    const LayoutSource source = state->source();
    constexpr int kRounds = 200;
    QElapsedTimer clock;
    clock.start();
    int nextSlot = 0;
    for (int i = 0; i < kRounds; ++i)
        nextSlot += DeviceImageBuilder::Build(source).NextSlot() > 0;
    const double imageMs = clock.nsecsElapsed() / 1e6 / kRounds;
    clock.restart();
    for (int i = 0; i < kRounds; ++i)
        nextSlot += KeysTableBuilder::Build(source).NextSlot() > 0;
    const double tableMs = clock.nsecsElapsed() / 1e6 / kRounds;
    const DeviceImageBuilder image = DeviceImageBuilder::Build(source);
    std::printf("Build, full layout (%d of 2047 bytes%s): enhanced image %.3f ms, "
                "older table %.3f ms (%s)\n",
                image.NextSlot(), image.overflow() ? ", overflow" : "", imageMs, tableMs,
                KeysTableBuilder::Build(source).overflow() ? "overflows, as it must" : "fits");
    std::fflush(stdout);

    if (keyboardPort)
        TimeTheKeyboardPort(full);
    std::fflush(stdout);
    if (programs.isEmpty())
        return 0;

    const SerialRun normal = TimeOverThePseudoTerminal(programs.first(), *state, false);
    const SerialRun fast = TimeOverThePseudoTerminal(programs.first(), *state, true);
    if (normal.writes == 0 || fast.writes == 0) {
        std::fprintf(stderr, "the simulator did not start\n");
        return 1;
    }
    const int writes = image.NextSlot() + 1; // every byte, then the end record
    const double normalFloor = writes * 0.050;
    const double fastFloor = writes * (5 * kByteSeconds + kWriteTimeMs / 1000.0);
    std::printf("Over a pseudo-terminal to kbdsim (9600 baud and %d ms a write modelled), "
                "%d writes:\n",
                kWriteTimeMs, writes);
    std::printf("  normal: %.1f s sending (%.1f s in all); floor %d x 50 ms = %.1f s: %.2fx. "
                "Outcome: %s\n",
                normal.sendingS, normal.totalS, writes, normalFloor, normal.sendingS / normalFloor,
                normal.outcome.toLocal8Bit().constData());
    std::printf("  fast:   %.1f s sending (%.1f s in all); floor %d x (5 bytes at 9600 baud + %d "
                "ms) = %.1f s: %.2fx. Outcome: %s\n",
                fast.sendingS, fast.totalS, writes, kWriteTimeMs, fastFloor,
                fast.sendingS / fastFloor, fast.outcome.toLocal8Bit().constData());
    std::printf("  normal / fast: %.2f sending, %.2f in all; the simulator held the same after "
                "both: %s\n",
                normal.sendingS / fast.sendingS, normal.totalS / fast.totalS,
                !normal.memory.isEmpty() && normal.memory == fast.memory ? "yes" : "NO");
    std::printf("  Longest time the event loop was blocked: %lld ms normal, %lld ms fast\n",
                normal.blockedMs, fast.blockedMs);
    return 0;
}
