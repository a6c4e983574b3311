// Benchmark of keyboard programming, run by hand (not a test):
//   morvaw_programmingbench <path of the kbdsim program>
// 1. the time to build both memory images of a full layout;
// 2. a full enhanced transfer at real timing over a pseudo-terminal to the
//    keyboard simulator program: the total time against the protocol's own
//    answer waits, and the longest time the event loop was kept from running.
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
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

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

// Programs one keyboard and no other.
class OneKeyboard : public TransferObserver
{
public:
    void progressed(const TransferProgress&) override {}
    void detectionTrouble(const TransferOutcome&) override {}
    bool programAnother(const TransferOutcome&) override { return false; }
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <kbdsim program>\n", argv[0]);
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

    QTemporaryDir folder;
    QProcess simulator;
    simulator.start(QString::fromLocal8Bit(argv[1]), {folder.path(), "--com", "1", "--type", "2"});
    for (int i = 0; i < 100 && !QFileInfo::exists(QDir(folder.path()).filePath("com1")); ++i)
        QThread::msleep(20);
    if (!QFileInfo::exists(QDir(folder.path()).filePath("com1"))) {
        std::fprintf(stderr, "the simulator did not start\n");
        return 1;
    }

    EventLoopWaiter waiter;
    QtSerialLink port(folder.path());
    kbdsim::KeyboardDevice unused(2);
    SimulatedRepeatSettings repeat(unused);
    ProgrammingService service(waiter, port, repeat);
    OneKeyboard observer;

    // A timer that should fire every millisecond: its longest gap is the
    // longest time the event loop was kept from running.
    QElapsedTimer gapClock;
    qint64 longestGap = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout,
                     [&] { longestGap = std::max(longestGap, gapClock.restart()); });
    probe.start(1);
    gapClock.start();

    clock.restart();
    const TransferOutcome outcome = service.program(state->input(), observer);
    const double totalS = clock.elapsed() / 1000.0;
    probe.stop();

    const int writes = image.NextSlot() + 1; // every byte, then the end record
    const double waitsS = writes * 0.050;
    std::printf("Transfer over the pseudo-terminal: %d writes in %.1f s; the protocol's own "
                "answer waits are %d x 50 ms = %.1f s (plus 0.8 s for the version query); "
                "overhead %.1f%%\n",
                writes, totalS, writes, waitsS, 100.0 * (totalS - waitsS - 0.8) / (waitsS + 0.8));
    std::printf("Longest time the event loop was blocked: %lld ms\n",
                static_cast<long long>(longestGap));
    std::printf("Outcome: %s\n", outcome.result == TransferResult::Programmed
                                     ? "programmed"
                                     : qPrintable(outcome.message));
    simulator.terminate();
    simulator.waitForFinished(2000);
    return 0;
}
