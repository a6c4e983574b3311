// The port doctor over made-up facts, the port list over made-up devices
// with real comN links, and "Test" on the simulated keyboard.
#include "keyboardrig.h"
#include "portchooser.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace morvaw;
using namespace morvaw::test;

namespace {

constexpr unsigned kDialout = 20, kAlice = 1000;

// /dev/ttyUSB0, crw-rw---- root dialout, reached through COM2; alice is in
// no group but her own.
PortFacts adapter()
{
    PortFacts f;
    f.port = "COM2", f.path = "/dev/ttyUSB0", f.device = "/dev/ttyUSB0";
    f.kind = PortFacts::Kind::CharacterDevice, f.isTerminal = true;
    f.mode = 0660, f.owner = "root", f.groupId = kDialout, f.group = "dialout";
    f.userId = kAlice, f.userName = "alice", f.sessionGroups = {kAlice};
    f.accountGroups = {kAlice};
    return f;
}

struct FakePorts : PortSystem
{
    std::vector<PortDevice> devices() override { return listed; }
    PortFacts factsFor(const std::filesystem::path& path, const QString& port) override
    {
        PortFacts f = facts.value(QString::fromStdString(path.native()));
        f.path = QString::fromStdString(path.native()), f.port = port;
        return f;
    }

    std::vector<PortDevice> listed;
    QHash<QString, PortFacts> facts;
};

QString pathText(const std::filesystem::path& path)
{
    return QString::fromStdString(path.native());
}

} // namespace

// What the chooser shows and what an "Error # " box says below its first line.
TEST(PortDoctor, EachVerdictSaysWhyAndWhatToDo)
{
    struct Case
    {
        const char* name;
        std::function<void(PortFacts&)> change;
        QString message; // the first line, then the advice
    };
    const Case cases[] = {
        {"member", [](PortFacts& f) { f.sessionGroups.push_back(kDialout); }, {}},
        {"not a member", [](PortFacts&) {},
         "COM2 (/dev/ttyUSB0): Permission denied\nYou may not read and write /dev/ttyUSB0 "
         "(crw-rw---- root dialout): it belongs to the group dialout, which you are not in. Add "
         "yourself with \"sudo adduser alice dialout\", then log out and in again."},
        {"added later", [](PortFacts& f) { f.accountGroups.push_back(kDialout); },
         "COM2 (/dev/ttyUSB0): Permission denied\nYou may not read and write /dev/ttyUSB0 yet: "
         "you were added to the group dialout after this session started. Log out and in again."},
        {"root only", [](PortFacts& f) { f.mode = 0600, f.groupId = 0, f.group = "root"; },
         "COM2 (/dev/ttyUSB0): Permission denied\nYou may not read and write /dev/ttyUSB0 "
         "(crw------- root root): only root may. Ask the administrator to give the group dialout "
         "access to it (a udev rule with GROUP=\"dialout\", MODE=\"0660\"), or bind COM2 to "
         "another device with the Ports… button of the Program Kbd window."},
        {"locked",
         [](PortFacts& f) {
             f.userId = 0, f.holder = PortHolder{4242, "vornestw", "/run/lock/LCK..ttyUSB0"};
         },
         "COM2 (/dev/ttyUSB0) is in use by vornestw (PID 4242)\nClose vornestw first, or bind "
         "COM2 to another device with the Ports… button of the Program Kbd window. Its lock file "
         "is "
         "/run/lock/LCK..ttyUSB0."},
        {"a file given as the port (--port), which is no comN entry to remove",
         [](PortFacts& f) {
             f.port.clear(), f.path = f.device = "/home/alice/shop.KBD";
             f.kind = PortFacts::Kind::RegularFile, f.isTerminal = false;
         },
         "/home/alice/shop.KBD: not a serial port\n/home/alice/shop.KBD is a regular file, not a "
         "serial device."},
        {"missing", [](PortFacts& f) { f.path = "/dev/ttyS3", f.kind = PortFacts::Kind::Missing; },
         "COM2 (/dev/ttyUSB0): No such file or directory\n/dev/ttyS3 does not exist on this "
         "machine. Bind COM2 to a device that does with the Ports… button of the Program Kbd "
         "window."},
    };
    for (const Case& c : cases) {
        PortFacts facts = adapter();
        c.change(facts);
        const PortDiagnosis d = DiagnosePort(facts);
        EXPECT_EQ(d.usable(), c.message.isEmpty()) << c.name;
        if (!d.usable()) {
            EXPECT_EQ(OpenFailureText(facts, d), c.message) << c.name;
        }
    }
}

// Each device shows the ports that lead to it; a link to nothing listed gets
// a line of its own; binding points at the stable name and never replaces an
// entry of the user's.
TEST(PortList, DevicesWithTheirPortsAndBindingsThatSurviveReplugging)
{
    QTemporaryDir folder;
    FakePorts system;
    const PortChooser chooser(system, folder.path().toStdString());
    const PortBindings& bindings = chooser.bindings();
    const PortDevice usb{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A1",
                         "/dev/serial/by-id/usb-A1"};
    system.listed = {{"/dev/ttyS0", {}, {}, {}, {}}, usb};
    PortFacts ready = adapter();
    ready.userId = 0;
    system.facts["/dev/ttyS0"] = ready, system.facts["/dev/ttyS0"].device = "/dev/ttyS0";
    system.facts["/dev/ttyUSB0"] = ready;
    for (int com : {2, 3}) {
        ASSERT_FALSE(chooser.Bind(com, usb));
        system.facts[pathText(bindings.LinkPath(com))] = ready;
    }
    ASSERT_FALSE(bindings.Bind(4, "/dev/ttyACM9"));
    system.facts[pathText(bindings.LinkPath(4))].linkTarget = "/dev/ttyACM9";

    QStringList lines;
    for (const PortRow& row : chooser.List())
        lines << PortLine(row);
    EXPECT_EQ(
        lines,
        QStringList({"COM1: /dev/ttyS0: ready",
                     "COM2, COM3: /dev/ttyUSB0, FT232R USB UART, FTDI, serial number A1, "
                     "stable name /dev/serial/by-id/usb-A1: ready",
                     "COM4: /dev/ttyACM9: link leads nowhere. The link " +
                         pathText(bindings.LinkPath(4)) +
                         " points to /dev/ttyACM9, which is not there: the adapter is "
                         "unplugged, or it has another name now. Plug it in, or bind COM4 "
                         "to another device with the Ports… button of the Program Kbd window."}));

    ASSERT_FALSE(chooser.Unbind(4));
    EXPECT_EQ(bindings.Location(4), "/dev/ttyS3");
    ASSERT_TRUE(QFile(pathText(bindings.LinkPath(4))).open(QIODevice::WriteOnly));
    EXPECT_TRUE(chooser.Bind(4, usb).value_or("").endsWith("Remove it first."));
    EXPECT_TRUE(chooser.Unbind(4) && QFile::exists(pathText(bindings.LinkPath(4))));
}

// "Test" asks the keyboard for its type and version, and offers the
// keyboard's type when the layout is for another one.
TEST(TestButton, TheKeyboardsTypeAndVersionOrNoAnswer)
{
    KeyboardRig rig(1, 2); // a layout for Reduced keyboards, an Enhanced keyboard
    rig.window.load();
    rig.window.activate();
    EXPECT_FALSE(rig.window.view().kbdPortEnabled);
    rig.dialogs.answers = {Answer::No};
    rig.window.testConnection();
    EXPECT_EQ(
        rig.window.view().TestResult,
        "COM1: Enhanced keyboard, KBD ROM Ver = 2.00\nThe layout is for \"Reduced\" keyboards.");
    ASSERT_EQ(rig.dialogs.shown.size(), 1);
    EXPECT_EQ(KeyboardType(rig.state->LayoutRecords[Settings::KbdFlags].PosX), 1);
    EXPECT_FALSE(rig.port.isOpen());

    rig.dialogs.answers = {Answer::Yes};
    rig.window.testConnection();
    EXPECT_EQ(KeyboardType(rig.state->LayoutRecords[Settings::KbdFlags].PosX), 2);
    EXPECT_EQ(rig.window.view().TestResult, "COM1: Enhanced keyboard, KBD ROM Ver = 2.00");
    EXPECT_TRUE(rig.window.view().kbdPortEnabled); // the window follows the layout

    // Cancel while a silent keyboard is asked: the window goes, quietly.
    rig.device.faults.silent = true;
    rig.onTick = [&] { rig.window.cancel(); };
    rig.window.testConnection();
    rig.onTick = nullptr;
    EXPECT_EQ(rig.leaves, 1);
    EXPECT_TRUE(rig.window.view().TestResult.isEmpty());
    EXPECT_EQ(rig.dialogs.shown.size(), 2);
    EXPECT_FALSE(rig.service().testing() || rig.port.isOpen());

    rig.port.openError = PortError{2, "COM1 (/dev/ttyUSB0): Permission denied\nYou may not ..."};
    rig.window.testConnection();
    EXPECT_EQ(rig.window.view().TestResult, "COM1 (/dev/ttyUSB0): Permission denied");
    EXPECT_EQ(rig.dialogs.shown.back(),
              "(!) Error: Error #  2\nCOM1 (/dev/ttyUSB0): Permission denied\nYou may not ...");
}
