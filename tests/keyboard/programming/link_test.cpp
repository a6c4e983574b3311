// The device link: records on the wire, the keyboard port's nibbles, echoes
// and handshake, detection, and the repeat settings' mapping to the driver.
#include "evdevrepeatsettings.h"
#include "keyboarddevice.h"
#include "keyboardportdevice.h"
#include "serialdevice.h"
#include "simulatedlinks.h"
#include "transferwaits.h"
#include "virtualclock.h"

#include <gtest/gtest.h>

using namespace morvaw;
using namespace morvaw::test;

namespace {

// Both device classes of a running transfer, with the simulated keyboard on
// its line and its cable, on a virtual clock.
struct LinkRig
{
    explicit LinkRig(int deviceType) : device(deviceType)
    {
        clock.onTick = [this] {
            port.tick(clock.now().count());
            repeat.tick(clock.now().count());
            if (onTick)
                onTick();
        };
        repeat.typeKey = [this](char c) { keyboard.keyTyped(static_cast<unsigned char>(c)); };
        waits.start();
    }

    kbdsim::KeyboardDevice device;
    VirtualClock clock;
    SimulatedSerialPort port{device};
    SimulatedRepeatSettings repeat{device};
    TransferWaits waits{clock};
    SerialDevice serial{waits, port};
    KeyboardPortDevice keyboard{waits, repeat, {}};
    std::function<void()> onTick;
};

} // namespace

TEST(SerialRecords, WordAndByteWritesAsTheKeyboardReadsThem)
{
    LinkRig older(1);
    ASSERT_FALSE(older.serial.AskForCom(1));
    EXPECT_EQ(older.serial.WriteE2(102, 0x55, 0xAA), SerialDevice::WriteResult::Acknowledged);
    EXPECT_EQ(older.port.written, "\xE3*6655::");
    EXPECT_EQ(older.device.word(102), 0x55AA);

    LinkRig enhanced(2);
    ASSERT_FALSE(enhanced.serial.AskForCom(1));
    EXPECT_EQ(enhanced.serial.NewWriteE2(300, 7), SerialDevice::WriteResult::Acknowledged);
    EXPECT_EQ(enhanced.port.written, std::string("\xE3@\x2C\x02\x07", 5));
    EXPECT_EQ(enhanced.device.byte(300), 7);
}

TEST(KeyboardPort, NibblesAndTheirEcho)
{
    // 0x1A at 0x32B goes out as the nibbles 1, a, 2, b, 3.
    for (const char* echo : {"1a2b3=", "1a2b3x", "1a2b"}) {
        LinkRig rig(0); // a keyboard that types nothing by itself
        rig.onTick = [&, typed = false]() mutable {
            if (!typed && rig.repeat.speedsSet.size() == 5) {
                typed = true;
                for (const char* c = echo; *c; ++c)
                    rig.keyboard.keyTyped(*c);
            }
        };
        const bool ok = rig.keyboard.KbdWriteE2(0x32B, 0x1A);
        EXPECT_EQ(rig.repeat.speedsSet, (std::vector<int>{27, 12, 25, 11, 23}));
        EXPECT_EQ(ok, std::string(echo) == "1a2b3=") << echo;
        EXPECT_EQ(rig.keyboard.writeFailed(), !ok) << echo;
    }
}

// As the PS/2 driver does: a change within 50 ms of the previous one is held
// back 50 ms and goes out once, with the values of that moment.
TEST(KeyboardPort, TheDriverMergesChangesThatComeTooClose)
{
    LinkRig rig(0);
    rig.onTick = [&] {
        const long long now = rig.clock.now().count();
        if (now == 10 || now == 20 || now == 30)
            rig.repeat.setSpeed(static_cast<int>(now));
        if (now == 69) {
            EXPECT_EQ(rig.repeat.commands.size(), 1u);
        }
    };
    rig.waits.delay(std::chrono::milliseconds(200));
    EXPECT_EQ(rig.repeat.commands, (std::vector<std::pair<int, int>>{{10, 1}, {30, 1}}));
}

TEST(KeyboardPort, HandshakeNeedsStarPlusMinusInOrder)
{
    for (const auto& [typed, acknowledged] : std::vector<std::pair<std::string, bool>>{
             {"*x*+-", true}, {"+-", false}, {"*+x-", false}}) {
        LinkRig rig(0); // typed by hand, after the knock
        rig.onTick = [&] {
            if (rig.clock.now().count() == 100)
                for (char c : typed)
                    rig.keyboard.keyTyped(c);
        };
        EXPECT_EQ(rig.keyboard.KbdProgMode(RepeatValues{20, 1}, [](const auto&) {}), acknowledged)
            << typed;
    }
}

TEST(AutoDetect, AnswerProbeAndSilence)
{
    struct Case
    {
        int deviceType;
        bool silent;
        int expected;
        bool probeWritten;
    };
    for (const Case& c : {Case{0, false, 0, true}, Case{2, true, 99, true}}) {
        LinkRig rig(c.deviceType);
        rig.device.faults.silent = c.silent;
        const SerialDevice::Detection found = rig.serial.AutoDetectKbd(1);
        EXPECT_EQ(found.type, c.expected) << c.deviceType;
        EXPECT_EQ(rig.port.written.find("*6655::") != std::string::npos, c.probeWritten);
        EXPECT_EQ(found.probeNotAcknowledged, c.silent);
    }
}

TEST(EvdevRepeatSettings, SpeedAndDelayMapToTheDriversCodes)
{
    using E = EvdevRepeatSettings;
    EXPECT_EQ(E::PeriodFor(31, 100), 33);
    EXPECT_EQ(E::PeriodFor(31, 33), 32); // unchanged: another period of code 0
    EXPECT_EQ(E::PeriodFor(0, 200), 500);
    EXPECT_EQ(E::PeriodFor(10, 500), 217); // code 21
    for (int speed = 0; speed <= 31; ++speed) {
        EXPECT_EQ(E::SpeedOf(E::PeriodFor(speed, 0)), speed);
        EXPECT_EQ(E::SpeedOf(E::PeriodFor(speed, E::PeriodFor(speed, 0))), speed);
    }
    EXPECT_EQ(E::DelayFor(0, 500), 250);
    EXPECT_EQ(E::DelayFor(0, 250), 249);
    EXPECT_EQ(E::DelayIndexOf(249), 0);
    EXPECT_EQ(E::DelayIndexOf(1000), 3);
    EXPECT_EQ(E::DelayIndexOf(600), 2);
}
