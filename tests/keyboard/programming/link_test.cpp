// The device link: records on the wire, the keyboard port's nibbles, echoes
// and handshake, detection, and the repeat settings' mapping to the driver.
#include "evdevrepeatsettings.h"
#include "keyboardrig.h"

#include <gtest/gtest.h>

using namespace morvaw;
using namespace morvaw::test;

TEST(SerialRecords, WordAndByteWritesAsTheKeyboardReadsThem)
{
    KeyboardRig older(1);
    older.session.KeepRunning = true;
    ASSERT_TRUE(older.serial.AskForCom());
    EXPECT_TRUE(older.serial.WriteE2(102, 0x55, 0xAA));
    EXPECT_EQ(older.port.written, "\xE3*6655::");
    EXPECT_EQ(older.device.word(102), 0x55AA);

    KeyboardRig enhanced(2);
    enhanced.session.KeepRunning = true;
    ASSERT_TRUE(enhanced.serial.AskForCom());
    EXPECT_TRUE(enhanced.serial.NewWriteE2(300, 7));
    EXPECT_EQ(enhanced.port.written, std::string("\xE3@\x2C\x02\x07", 5));
    EXPECT_EQ(enhanced.device.byte(300), 7);
    EXPECT_TRUE(enhanced.dialogs.shown.isEmpty());
}

TEST(KeyboardPort, NibblesAndTheirEcho)
{
    // 0x1A at 0x32B goes out as the nibbles 1, a, 2, b, 3.
    for (const char* echo : {"1a2b3=", "1a2b3x", "1a2b"}) {
        KeyboardRig rig(2, 0); // a keyboard that types nothing by itself
        rig.session.KeepRunning = true;
        rig.onTick = [&, typed = false]() mutable {
            if (!typed && rig.repeat.speedsSet.size() == 5) {
                typed = true;
                for (const char* c = echo; *c; ++c)
                    rig.keyboard.Form_KeyPress(*c);
            }
        };
        const bool ok = rig.keyboard.KbdWriteE2(0x32B, 0x1A);
        EXPECT_EQ(rig.repeat.speedsSet, (std::vector<int>{27, 12, 25, 11, 23}));
        EXPECT_EQ(ok, std::string(echo) == "1a2b3=") << echo;
        EXPECT_EQ(rig.session.WriteFailed, !ok) << echo;
    }
}

TEST(KeyboardPort, HandshakeNeedsStarPlusMinusInOrder)
{
    for (const auto& [typed, acknowledged] : std::vector<std::pair<std::string, bool>>{
             {"*x*+-", true}, {"+-", false}, {"*+x-", false}}) {
        KeyboardRig rig(2);
        rig.session.KeyMode = TransferSession::KeyModes::Handshake;
        for (char c : typed)
            rig.keyboard.Form_KeyPress(c);
        EXPECT_EQ(rig.session.KbdAcknowledged, acknowledged) << typed;
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
    for (const Case& c : {Case{2, false, 2, false}, Case{1, false, 1, false},
                          Case{0, false, 0, true}, Case{2, true, 99, true}}) {
        KeyboardRig rig(3, c.deviceType);
        rig.device.faults.silent = c.silent;
        rig.session.KeepRunning = true;
        EXPECT_EQ(rig.serial.AutoDetectKbd(), c.expected) << c.deviceType;
        EXPECT_EQ(rig.port.written.find("*6655::") != std::string::npos, c.probeWritten);
        // A keyboard that answers nothing is reported once, not per try.
        EXPECT_EQ(rig.dialogs.shown.size(), c.silent ? 1 : 0);
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
