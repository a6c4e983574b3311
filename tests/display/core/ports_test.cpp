// The port doctor over made-up facts, and the port list over made-up devices
// with real comN links.
#include "displayrig.h"
#include "portchooser.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vornestw;
using namespace vornestw::test;

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

TEST(PortDoctor, EachVerdictSaysWhyAndWhatToDo)
{
    struct Case
    {
        const char* name;
        std::function<void(PortFacts&)> change;
        QString state, advice;
    };
    const Case cases[] = {
        {"member", [](PortFacts& f) { f.sessionGroups.push_back(kDialout); }, "ready",
         "You can use it."},
        {"not a member", [](PortFacts&) {}, "no permission (group dialout)",
         "You may not read and write /dev/ttyUSB0 (crw-rw---- root dialout): it belongs to the "
         "group dialout, which you are not in. Add yourself with \"sudo adduser alice dialout\", "
         "then log out and in again."},
        {"added later", [](PortFacts& f) { f.accountGroups.push_back(kDialout); },
         "log out and in again (group dialout)",
         "You may not read and write /dev/ttyUSB0 yet: you were added to the group dialout after "
         "this session started. Log out and in again."},
        {"root only", [](PortFacts& f) { f.mode = 0600, f.groupId = 0, f.group = "root"; },
         "no permission (root only)",
         "You may not read and write /dev/ttyUSB0 (crw------- root root): only root may. Ask the "
         "administrator to give the group dialout access to it (a udev rule with "
         "GROUP=\"dialout\", MODE=\"0660\"), or bind COM2 to another device with the Ports… "
         "button."},
        {"locked",
         [](PortFacts& f) {
             f.userId = 0, f.holder = PortHolder{4242, "minicom", "/run/lock/LCK..ttyUSB0"};
         },
         "in use by minicom (PID 4242)",
         "Close minicom first, or bind COM2 to another device with the Ports… button. Its lock "
         "file is /run/lock/LCK..ttyUSB0."},
        {"regular file",
         [](PortFacts& f) {
             f.path = f.device = "/home/alice/com2", f.kind = PortFacts::Kind::RegularFile;
         },
         "not a serial device",
         "/home/alice/com2 is a regular file, not a serial device. Remove it, then bind COM2 to a "
         "serial device with the Ports… button."},
        {"other device", [](PortFacts& f) { f.isTerminal = false, f.port.clear(); },
         "not a serial device", "/dev/ttyUSB0 is a device of another kind, not a serial device."},
        {"a loop of links",
         [](PortFacts& f) {
             f.path = f.linkTarget = "/home/alice/com2", f.device.clear(), f.linkLoop = true;
         },
         "link leads nowhere",
         "The link /home/alice/com2 points to /home/alice/com2, and the links from there lead "
         "round in a circle, never to a device. Bind COM2 to a serial device with the Ports… "
         "button."},
        {"missing", [](PortFacts& f) { f.path = "/dev/ttyS3", f.kind = PortFacts::Kind::Missing; },
         "not there",
         "/dev/ttyS3 does not exist on this machine. Bind COM2 to a device that does with the "
         "Ports… button."},
    };
    for (const Case& c : cases) {
        PortFacts facts = adapter();
        c.change(facts);
        const PortDiagnosis d = DiagnosePort(facts);
        EXPECT_EQ(d.state, c.state) << c.name;
        EXPECT_EQ(d.advice, c.advice) << c.name;
    }

    // The message box: the port, the device and the cause first, then the advice.
    PortFacts facts = adapter();
    EXPECT_TRUE(OpenFailureText(facts, DiagnosePort(facts))
                    .startsWith("COM2 (/dev/ttyUSB0): Permission denied\nYou may not read"));
    facts.userId = 0, facts.holder = PortHolder{77, "morvaw", {}};
    EXPECT_EQ(OpenFailureText(facts, DiagnosePort(facts)),
              "COM2 (/dev/ttyUSB0) is in use by morvaw (PID 77)\nClose morvaw first, or bind COM2 "
              "to another device with the Ports… button.");
}

// Each device shows the ports that lead to it, through links or as the
// built-in port; a link to nothing listed gets a line of its own; a built-in
// port the machine lacks is left out.
TEST(PortList, DevicesWithTheirPortsAndLinksThatLeadElsewhere)
{
    QTemporaryDir folder;
    const PortBindings bindings(folder.path());
    FakePorts system;
    system.listed = {{"/dev/ttyS0", {}, {}, {}, {}},
                     {"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A1", "/dev/serial/by-id/usb-A1"}};
    PortFacts ready = adapter();
    ready.userId = 0;
    system.facts["/dev/ttyS0"] = ready, system.facts["/dev/ttyS0"].device = "/dev/ttyS0";
    system.facts["/dev/ttyUSB0"] = ready;
    system.facts[bindings.LinkPath(2)] = ready;
    system.facts[bindings.LinkPath(3)] = ready;
    system.facts[bindings.LinkPath(4)].linkTarget = "/dev/ttyACM9";
    for (int com : {2, 3})
        ASSERT_FALSE(bindings.Bind(com, "/dev/serial/by-id/usb-A1"));
    ASSERT_FALSE(bindings.Bind(4, "/dev/ttyACM9"));

    QStringList lines;
    for (const PortRow& row : ListPorts(system, bindings))
        lines << PortLine(row);
    EXPECT_EQ(
        lines,
        QStringList({"COM1: /dev/ttyS0: ready",
                     "COM2, COM3: /dev/ttyUSB0, FT232R USB UART, FTDI, serial number A1, "
                     "stable name /dev/serial/by-id/usb-A1: ready",
                     "COM4: /dev/ttyACM9: link leads nowhere. The link " + bindings.LinkPath(4) +
                         " points to /dev/ttyACM9, which is not there: the adapter is "
                         "unplugged, or it has another name now. Plug it in, or bind COM4 "
                         "to another device with the Ports… button."}));

    // Unbinding removes only links; an entry of the user's is left alone.
    ASSERT_FALSE(bindings.Unbind(4));
    ASSERT_TRUE(QFile(bindings.LinkPath(4)).open(QIODevice::WriteOnly));
    EXPECT_TRUE(bindings.Bind(4, "/dev/ttyUSB0").value_or("").endsWith("Remove it first."));
    EXPECT_TRUE(bindings.Unbind(4) && QFile::exists(bindings.LinkPath(4)));
}

} // namespace
