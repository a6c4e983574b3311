// Benchmark of keyboard programming, run by hand (not a test):
//   morvaw_programmingbench [--full] [<path of the kbdsim program>]
// 1. the time to build both memory images of a full layout;
// 2. an enhanced transfer through the keyboard port at real timing, to the
//    simulated keyboard behind the model of the PS/2 driver (changes within
//    50 ms merged): seconds per byte against the floor of five changes 60 ms
//    apart, and the longest time the event loop was kept from running. A
//    layout of a few keys (223 records, about 75 s), or with --full the full
//    layout (2045 records, about 11 minutes);
// 3. given the kbdsim program, a full enhanced transfer at real timing over a
//    pseudo-terminal to it: the total time against the protocol's own answer
//    waits, and the longest time the event loop was kept from running.
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

// 84 keys: ten with three full parts, two more macros, the rest single
// keys: 2044 of the enhanced keyboard's 2047 bytes.
void FillLayout(TestLayout& state)
{
    std::string full(1, TokenMark);
    for (int i = 0; i < 29; ++i)
        full += std::string(i % 2 ? "b" : "a") + TokenMark;
    for (int key = 1; key <= 84; ++key) {
        KeyRecord& r = state.LayoutRecords[static_cast<std::size_t>(key)];
        if (key <= 10) {
            for (int level = 0; level < 3; ++level)
                SetDef(r, level, full);
        } else {
            SetDef(r, 0,
                   key == 11   ? full
                   : key == 12 ? Tokens({"a", "Delay", "c"})
                               : Tokens({"c"}));
        }
    }
}

// Programs one keyboard and no other; notes when its records went out.
class OneKeyboard : public TransferObserver
{
public:
    explicit OneKeyboard(const Waiter& clock) : m_clock(clock) {}
    void progressed(const TransferProgress& progress) override
    {
        if (progress.phase == TransferPhase::Sending && progress.written == 1)
            firstRecordAt = m_clock.now();
        if (progress.phase == TransferPhase::Sending)
            records = progress.total + 1; // and the end record
        if (progress.phase == TransferPhase::PassEnded)
            endedAt = m_clock.now();
    }
    void detectionTrouble(const TransferOutcome&) override {}
    bool programAnother(const TransferOutcome&) override { return false; }

    std::chrono::milliseconds firstRecordAt{};
    std::chrono::milliseconds endedAt{};
    int records = 0;

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
        FillLayout(*state);
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

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    const bool full = args.contains(QStringLiteral("--full"));
    const QStringList programs = args.filter(QRegularExpression(QStringLiteral("^[^-]")));
    if (args.size() != programs.size() + (full ? 1 : 0) || programs.size() > 1) {
        std::fprintf(stderr, "usage: %s [--full] [<kbdsim program>]\n", argv[0]);
        return 2;
    }

    auto state = MakeState(2);
    FillLayout(*state);
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

    TimeTheKeyboardPort(full);
    std::fflush(stdout);
    if (programs.isEmpty())
        return 0;

    QTemporaryDir folder;
    QProcess simulator;
    simulator.start(programs.first(), {folder.path(), "--com", "1", "--type", "2"});
    for (int i = 0; i < 100 && !QFileInfo::exists(QDir(folder.path()).filePath("com1")); ++i)
        QThread::msleep(20);
    if (!QFileInfo::exists(QDir(folder.path()).filePath("com1"))) {
        std::fprintf(stderr, "the simulator did not start\n");
        return 1;
    }

    EventLoopWaiter waiter;
    QtSerialLink port(folder.path().toStdString());
    kbdsim::KeyboardDevice unused(2);
    SimulatedRepeatSettings repeat(unused);
    ProgrammingService service(waiter, port, repeat);
    OneKeyboard observer(waiter);
    LoopProbe probe;
    clock.restart();
    const TransferOutcome outcome = service.program(state->input(), observer);
    const double totalS = clock.elapsed() / 1000.0;

    const int writes = image.NextSlot() + 1; // every byte, then the end record
    const double waitsS = writes * 0.050;
    std::printf("Transfer over the pseudo-terminal: %d writes in %.1f s; the protocol's own "
                "answer waits are %d x 50 ms = %.1f s (plus 0.8 s for the version query); "
                "overhead %.1f%%\n",
                writes, totalS, writes, waitsS, 100.0 * (totalS - waitsS - 0.8) / (waitsS + 0.8));
    std::printf("Longest time the event loop was blocked: %lld ms. Outcome: %s\n",
                static_cast<long long>(probe.longest), outcomeText(outcome));
    simulator.terminate();
    simulator.waitForFinished(2000);
    return 0;
}
