#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace vornestw {

// A process that holds a serial device: the owner of its lock file, or one
// that Linux shows with the device open.
struct PortHolder
{
    qint64 pid = 0;
    QString program;  // "minicom", "morvaw"; empty when Linux does not say
    QString lockFile; // empty when the holder was found without one
};

// What the system says about the path a port is opened by. The platform
// gathers the facts; DiagnosePort judges them, so that every verdict can be
// tested without the devices.
struct PortFacts
{
    enum class Kind { Missing, CharacterDevice, RegularFile, Folder, Other };

    QString port;          // "COM2"; empty for a device no port leads to
    QString path;          // what is opened: a comN link or the device itself
    QString linkTarget;    // where the link points, as written; empty for no link
    QString device;        // the end of the links; empty when they lead nowhere
    bool linkLoop = false; // the links lead round in a circle (com2 -> com2)
    Kind kind = Kind::Missing;
    bool isTerminal = false; // a serial port, USB adapter or pseudo-terminal

    unsigned mode = 0; // permission bits of the device
    unsigned ownerId = 0;
    QString owner;
    unsigned groupId = 0;
    QString group;

    unsigned userId = 0;
    QString userName;
    std::vector<unsigned> sessionGroups; // the groups this program runs with
    std::vector<unsigned> accountGroups; // the groups the user is listed in now

    std::optional<PortHolder> holder;
};

// Whether the user can use a port, and if not why and what to do.
struct PortDiagnosis
{
    enum class Verdict { Ready, LeadsNowhere, Missing, NotSerial, NoPermission, LogInAgain, InUse };

    Verdict verdict = Verdict::Ready;
    QString state;  // a few words for a list: "ready", "in use by minicom (PID 4242)"
    QString reason; // what opening it reports: "Permission denied"
    QString advice; // why, and what to do, in sentences

    [[nodiscard]] bool usable() const { return verdict == Verdict::Ready; }
};

[[nodiscard]] PortDiagnosis DiagnosePort(const PortFacts& facts);

// "COM2 (/dev/ttyUSB0)": the port and the device a person knows it by.
[[nodiscard]] QString PortName(const PortFacts& facts);

// The message of a port that cannot be opened: its first line names the
// port, the device and what went wrong; the doctor's advice follows.
[[nodiscard]] QString OpenFailureText(const PortFacts& facts, const PortDiagnosis& diagnosis);

// "minicom (PID 4242)", or "PID 4242" when the name is unknown.
[[nodiscard]] QString HolderName(const PortHolder& holder);

} // namespace vornestw
