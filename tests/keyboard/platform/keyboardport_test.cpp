// The keyboard port's side of the system: which keyboard gets the changes,
// what --list-ports shows, and the user's settings kept for a start after a
// crash.
#include "keyboardchoice.h"
#include "portlisting.h"
#include "repeatsettingsrecord.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <linux/input.h>

using namespace morvaw;

namespace {

const KeyboardCandidate kUsb{"/dev/input/event2", BUS_USB, "Logitech USB Keyboard", true};
const KeyboardCandidate kPs2{"/dev/input/event3", BUS_I8042, "AT Translated Set 2 keyboard", true};

} // namespace

TEST(KeyboardChoice, TheKeyboardOnThePs2PortAndNoOther)
{
    for (const auto& keyboards : {std::vector{kUsb, kPs2}, std::vector{kPs2, kUsb}}) {
        const KeyboardChoice choice = ChooseKeyboard(keyboards);
        EXPECT_EQ(choice.note(), "AT Translated Set 2 keyboard, /dev/input/event3");
        EXPECT_EQ(FormatPortListing({KeyboardPortSection(keyboards, choice)}).count("\n* "), 1);
        EXPECT_TRUE(FormatPortListing({KeyboardPortSection(keyboards, choice)})
                        .contains("* /dev/input/event3  PS/2 port  AT Translated"));
    }
    const KeyboardChoice usbOnly = ChooseKeyboard({kUsb});
    EXPECT_FALSE(usbOnly.keyboard); // so nothing is ever written to it
    EXPECT_TRUE(usbOnly.reason.contains("Logitech USB Keyboard (USB)"));
    EXPECT_TRUE(usbOnly.reason.contains("only a keyboard on a PS/2 keyboard port"));

    KeyboardCandidate locked = kPs2;
    locked.permitted = false;
    EXPECT_FALSE(ChooseKeyboard({kUsb, locked}).keyboard);
    EXPECT_TRUE(ChooseKeyboard({kUsb, locked}).reason.contains("group \"input\""));
    EXPECT_TRUE(ChooseKeyboard({}).reason.contains("no keyboard device"));

    // --keyboard-device wins, and names a keyboard that is not there.
    EXPECT_EQ(ChooseKeyboard({kPs2, kUsb}, kUsb.path).keyboard->path, kUsb.path);
    EXPECT_TRUE(ChooseKeyboard({kPs2}, "/dev/input/event9").reason.contains("/dev/input/event9"));
}

TEST(KeyboardChoice, KeyboardsAsSysfsShowsThem)
{
    QTemporaryDir root;
    const QDir sys(root.filePath("sys")), dev(root.filePath("dev"));
    const auto device = [&](const char* event, const char* name, const char* bus, const char* ev,
                            const char* keys) {
        const QString folder = sys.filePath(QStringLiteral("%1/device").arg(event));
        QDir().mkpath(folder + "/id");
        QDir().mkpath(folder + "/capabilities");
        for (const auto& [file, text] : {std::pair{"/name", name},
                                         {"/id/bustype", bus},
                                         {"/capabilities/ev", ev},
                                         {"/capabilities/key", keys}}) {
            QFile out(folder + file);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(QByteArray(text) + "\n");
        }
        QDir().mkpath(dev.path());
        QFile(dev.filePath(event)).open(QIODevice::WriteOnly);
    };
    device("event10", "AT Translated Set 2 keyboard", "0011", "120013", "402000000 50000000");
    device("event2", "Power Button", "0019", "3", "10000000000000 0");
    device("event9", "USB Keyboard", "0003", "120013", "ff 0 0 50000000");
    const auto keyboards = KeyboardsOfThisComputer(sys.path(), dev.path());
    ASSERT_EQ(keyboards.size(), 2u);
    EXPECT_EQ(keyboards[0].path, dev.filePath("event9")); // in the order of their numbers
    EXPECT_EQ(keyboards[1].name, "AT Translated Set 2 keyboard");
    EXPECT_EQ(keyboards[1].bus, BUS_I8042);
    EXPECT_TRUE(keyboards[1].permitted);
    // Shown by sysfs without its device file (a container): no group would help.
    QFile::remove(dev.filePath("event10"));
    EXPECT_TRUE(ChooseKeyboard(KeyboardsOfThisComputer(sys.path(), dev.path()))
                    .reason.contains("event10 is not there"));
}

TEST(RepeatSettingsRecord, AStartAfterACrashPutsTheUsersSettingsBackOnce)
{
    QTemporaryDir state;
    const RepeatSettingsRecord record(state.filePath("morvaw/repeat-settings"));
    ASSERT_TRUE(record.save({"/dev/input/event3", 500, 33}));
    // Not while another Morvaw's transfer holds it: that one is still running.
    RepeatSettingsRecord running(record.path());
    ASSERT_TRUE(running.hold());
    EXPECT_TRUE(PutBackLeftoverSettings(record, [](const auto&) { return false; }).isEmpty());
    running.release();
    RepeatSettingsRecord::Saved written;
    const QString said = PutBackLeftoverSettings(record, [&](const auto& saved) {
        written = saved;
        return true;
    });
    EXPECT_EQ(written.device, "/dev/input/event3");
    EXPECT_TRUE(said.contains("They are back as they were: delay 500 ms, repeat every 33 ms"));
    EXPECT_TRUE(PutBackLeftoverSettings(record, [](const auto&) { return true; }).isEmpty());
}
