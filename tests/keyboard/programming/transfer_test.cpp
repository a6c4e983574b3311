// Whole transfers through the driver against the simulated keyboard, on
// virtual time: both generations, detection, overflow, cancelling, and the
// keyboard port with the keyboard typing its answers.
#include "keyboardrig.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <memory>

using namespace morvaw;
using namespace morvaw::test;

namespace {

// The logic runs under a QCoreApplication, as the command line runs it.
class CoreApplication : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "morvaw_programmingservice_tests";
        static char* argv[] = {name, nullptr};
        m_app = std::make_unique<QCoreApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QCoreApplication> m_app;
};

const auto* const g_application = ::testing::AddGlobalTestEnvironment(new CoreApplication);

const QString kSent = QStringLiteral("? Program Kbd: Layout transfered. Program another device ?");
const QString kFailed = QStringLiteral("? Program Kbd: Layout transfer failed. Program again ?");
const QString kPartly = QStringLiteral("The transfer was stopped: the keyboard is only partly "
                                       "programmed and must be programmed again.");

} // namespace

TEST(Transfer, BothGenerationsHoldTheLayoutAndYesProgramsAnother)
{
    for (int layoutType : {1, 2, 5}) { // a type above 3 counts as enhanced
        KeyboardRig rig(layoutType, layoutType == 1 ? 1 : 2);
        AddSomeKeys(*rig.state);
        QStringList labels;
        QObject::connect(&rig.window, &Send2ComLogic::changed,
                         [&] { labels << rig.window.view().InfoLabel; });
        rig.dialogs.answers = {Answer::Yes, Answer::No};
        rig.program();
        EXPECT_TRUE(HoldsLayout(rig.device, *rig.state)) << layoutType;
        // Words 1..111 or bytes 1..222, then the end record; twice.
        EXPECT_EQ(rig.device.writes(), layoutType == 1 ? 2 * 112 : 2 * 223);
        EXPECT_EQ(rig.dialogs.shown, (QStringList{kSent, kSent}));
        if (layoutType != 1) {
            EXPECT_TRUE(labels.contains(QStringLiteral("KBD ROM Ver = 2.00")));
            EXPECT_TRUE(labels.contains(QStringLiteral("SendingKey 1 of 222  ")));
            EXPECT_EQ(rig.device.byte(16) & 0x80, 0x80);
        }
    }
}

// Refused at once on the keyboard port; a machine without a keyboard device
// still programs on a serial port, says why its keyboard port is off, and does
// not beep.
TEST(Transfer, AKeyboardPortThatCannotCarryTheLayoutIsRefusedAtOnce)
{
    for (bool noDevice : {false, true}) {
        KeyboardRig rig(noDevice ? 2 : 1);
        if (noDevice)
            rig.repeat.unavailable = QStringLiteral("No keyboard device.");
        rig.state->ComPortIndex = 4;
        rig.program();
        ASSERT_EQ(rig.dialogs.shown.size(), 1u);
        EXPECT_TRUE(rig.dialogs.shown[0].startsWith(noDevice ? "(!) MORVA: No keyboard device."
                                                             : "(!) MORVA: Only Enhanced"));
        EXPECT_EQ(rig.device.writes(), 0);
        EXPECT_TRUE(rig.repeat.speedsSet.empty());
        EXPECT_FALSE(rig.service().active());
        if (!noDevice)
            continue;
        int beeps = 0;
        QObject::connect(&rig.window, &Send2ComLogic::beep, [&] { ++beeps; });
        rig.state->ComPortIndex = 1;
        rig.program();
        EXPECT_FALSE(rig.window.view().kbdPortEnabled);
        EXPECT_EQ(rig.window.view().KbdPortNote, rig.repeat.unavailable);
        EXPECT_TRUE(rig.device.complete());
        EXPECT_EQ(beeps, 0);
    }
}

TEST(Transfer, DetectionChoosesTheFormatAndStoresAFoundType)
{
    for (const auto& [deviceType, silent, storedType] :
         std::vector<std::tuple<int, bool, int>>{{2, false, 2}, {1, false, 1}, {1, true, 3}}) {
        KeyboardRig rig(3, deviceType);
        rig.device.faults.silent = silent;
        AddSomeKeys(*rig.state);
        rig.program();
        EXPECT_EQ(KeyboardType(rig.state->LayoutRecords[Settings::KbdFlags].PosX), storedType);
        EXPECT_EQ(rig.window.lastOutcome()->detectedType.has_value(), !silent);
        if (!silent) {
            EXPECT_TRUE(HoldsLayout(rig.device, *rig.state));
        } else { // the older transfer was tried (its messages: the fault tests)
            EXPECT_EQ(rig.port.written.find('@'), std::string::npos);
        }
    }
}

TEST(Transfer, AFullMemorySendsNothing)
{
    for (int type : {1, 2}) {
        KeyboardRig rig(type);
        for (int key = 1; key <= 84; ++key) {
            SetDef(rig.state->LayoutRecords[static_cast<std::size_t>(key)], 0,
                   Tokens({"a", "b", "c", "a", "b", "c", "a", "b", "c", "a", "b", "c"}));
        }
        rig.dialogs.answers = {Answer::Yes, Answer::No};
        rig.program();
        EXPECT_TRUE(rig.port.openedPorts.empty()) << type;
        EXPECT_EQ(rig.device.writes(), 0);
        QStringList expected{kFailed, kFailed};
        if (type == 2)
            expected.prepend(QStringLiteral("(!) MORVA: Macros count overflow 2048"));
        EXPECT_EQ(rig.dialogs.shown, expected);
    }
}

// Through the keyboard port, the keyboard typing its answers (a wrong or
// missing echo: the fault tests), and every way out of such a transfer: what
// is said, and the user's repeat settings back on the keyboard, with nothing
// left kept for a start after a crash. (Cancel, closing the window and a
// termination request on a serial port: the end-to-end tests.)
TEST(Transfer, ThroughTheKeyboardPortAndEveryWayOut)
{
    using Stop = std::function<void(Send2ComLogic&)>;
    const Stop close = [](Send2ComLogic& window) { EXPECT_FALSE(window.requestClose()); };
    const Stop click = &Send2ComLogic::mouseClicked;
    const Stop terminate = &Send2ComLogic::terminate; // SIGTERM, SIGHUP: nobody may answer
    enum When { Never, NoKeysPressed, Sending, Handshake };
    const std::tuple<When, Stop, QStringList> ways[] = {
        {Never, {}, {kSent}},
        {NoKeysPressed, {}, {kFailed}},
        {Sending, close, {"MORVA: " + kPartly}},
        {Sending, click, {"MORVA: Kbd transmit aborted by user\n" + kPartly}},
        {Sending, terminate, {}},
        {Handshake, close, {}},
        {Handshake, click, {}},
        {Handshake, terminate, {}}};
    for (const auto& [when, stop, shown] : ways) {
        KeyboardRig rig(2);
        AddSomeKeys(*rig.state);
        rig.state->ComPortIndex = 4;
        rig.repeat.pressAfterMs = when == NoKeysPressed ? -1 : 700;
        bool sawOutlines = false;
        rig.onTick = [&] {
            sawOutlines |= rig.window.view().outlinesVisible && rig.window.view().mouseCaptured;
            const bool now = when == Sending ? rig.device.writes() == 20
                                             : rig.window.view().InfoLabel == "Waiting  30";
            if (stop && now && rig.service().running())
                stop(rig.window);
        };
        rig.program();
        EXPECT_EQ(rig.dialogs.shown, shown);
        EXPECT_EQ(rig.device.complete(), when == Never);
        EXPECT_TRUE(rig.port.openedPorts.empty());
        EXPECT_TRUE(sawOutlines || when == Handshake);
        EXPECT_FALSE(rig.window.view().mouseCaptured);
        EXPECT_EQ(rig.repeat.currentSpeed, 20); // the settings the window found
        EXPECT_EQ(rig.repeat.currentDelay, 1);
        EXPECT_FALSE(rig.repeat.kept);
        if (when == Never)
            EXPECT_TRUE(HoldsLayout(rig.device, *rig.state));
        if (when == NoKeysPressed)
            EXPECT_TRUE(rig.device.writes() == 0 && rig.clock.now().count() >= 29 * 400);
    }
}
