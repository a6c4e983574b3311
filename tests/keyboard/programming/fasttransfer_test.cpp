// The fast transfer against the simulated keyboard on virtual time: the same
// memory far sooner, and the same answer waits' limit as the normal one.
#include "keyboardrig.h"

#include <gtest/gtest.h>

using namespace morvaw;
using namespace morvaw::test;

namespace {

struct Transfer
{
    TransferResult result;
    std::array<std::uint8_t, kbdsim::KeyboardDevice::kBytes> memory;
    bool holdsLayout;
    long long milliseconds;
    int writes; // taken by the keyboard
};

// One keyboard, a full enhanced image, normal or fast, against a keyboard
// that stores a byte in writeTimeMs and answers answerDelayMs after that.
Transfer ProgramFullImage(bool fast, int writeTimeMs, int answerDelayMs = 0)
{
    struct OneUnit : TransferObserver
    {
        void progressed(const TransferProgress&) override {}
        void detectionTrouble(const TransferOutcome&) override {}
        bool programAnother(const TransferOutcome&) override { return false; }
    } oneUnit;
    auto layout = MakeState(2);
    FillMemory(*layout);
    kbdsim::KeyboardDevice device(2);
    device.writeTimeMs = writeTimeMs;
    device.faults.answerDelayMs = answerDelayMs;
    VirtualClock clock;
    SimulatedSerialPort port{device};
    SimulatedRepeatSettings repeat{device};
    clock.onTick = [&] { port.tick(clock.now().count()); };
    ProgrammingService service(clock, port, repeat);
    TransferInput input = layout->input();
    input.fast = fast;
    const TransferOutcome outcome = service.program(input, oneUnit);
    layout->LayoutRecords[Settings::KbdFlags].PosX = outcome.kbdFlags;
    return {outcome.result, device.bytes(), HoldsLayout(device, *layout), clock.now().count(),
            device.writes()};
}

} // namespace

TEST(FastTransfer, TheSameMemoryAtLeastFourTimesSooner)
{
    const Transfer normal = ProgramFullImage(false, 5);
    const Transfer fast = ProgramFullImage(true, 5);
    EXPECT_EQ(normal.result, TransferResult::Programmed);
    EXPECT_EQ(fast.result, TransferResult::Programmed);
    EXPECT_TRUE(fast.holdsLayout);
    EXPECT_EQ(fast.memory, normal.memory);
    EXPECT_GE(normal.milliseconds, 4 * fast.milliseconds)
        << normal.milliseconds << " ms against " << fast.milliseconds << " ms";
}

TEST(FastTransfer, AnAnswerWithinTheWaitCountsAndALateOneFailsAsInTheNormalTransfer)
{
    for (bool fast : {false, true}) {
        const Transfer slowKeyboard = ProgramFullImage(fast, 40);
        EXPECT_EQ(slowKeyboard.result, TransferResult::Programmed) << fast;
        EXPECT_TRUE(slowKeyboard.holdsLayout) << fast;
        // The record's four bytes, the write and the answer: past 50 ms.
        const Transfer tooLate = ProgramFullImage(fast, 5, 45);
        EXPECT_EQ(tooLate.result, TransferResult::NotAcknowledged) << fast;
        EXPECT_EQ(tooLate.writes, 1) << fast; // the pass ended at the first record
    }
}
