#include "portdoctor.h"

#include <QFileInfo>

#include <algorithm>

namespace vornestw {

namespace {

using Verdict = PortDiagnosis::Verdict;

bool contains(const std::vector<unsigned>& ids, unsigned id)
{
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// The kernel's rule: the owner's bits for the owner, else the group's for a
// member, else the others'; root passes.
bool mayReadWrite(const PortFacts& f, const std::vector<unsigned>& groups)
{
    if (f.userId == 0)
        return true;
    if (f.userId == f.ownerId)
        return (f.mode & 0600) == 0600;
    if (contains(groups, f.groupId))
        return (f.mode & 0060) == 0060;
    return (f.mode & 0006) == 0006;
}

// "crw-rw---- root dialout", as ls -l shows it.
QString modeText(const PortFacts& f)
{
    QString text = QStringLiteral("c");
    for (int shift = 6; shift >= 0; shift -= 3) {
        text += (f.mode >> shift) & 4 ? 'r' : '-';
        text += (f.mode >> shift) & 2 ? 'w' : '-';
        text += (f.mode >> shift) & 1 ? 'x' : '-';
    }
    return QStringLiteral("%1 %2 %3").arg(text, f.owner, f.group);
}

QString whatItIs(const PortFacts& f)
{
    switch (f.kind) {
    case PortFacts::Kind::RegularFile:
        return QStringLiteral("a regular file");
    case PortFacts::Kind::Folder:
        return QStringLiteral("a folder");
    case PortFacts::Kind::CharacterDevice:
        return QStringLiteral("a device of another kind");
    case PortFacts::Kind::Missing:
    case PortFacts::Kind::Other:
        break;
    }
    return QStringLiteral("neither a file nor a device");
}

// The way out through the chooser, for a path that stands for a port; `lead`
// joins it to the sentence before (". Bind", ", or bind").
QString rebind(const PortFacts& f, const char* lead, const QString& what)
{
    if (f.port.isEmpty())
        return QStringLiteral(".");
    return QStringLiteral("%1 %2 to %3 with the Ports… button.")
        .arg(QLatin1String(lead), f.port, what);
}

PortDiagnosis leadsNowhere(const PortFacts& f)
{
    const QFileInfo link(f.path);
    // A loop of links is no unplugged adapter: plugging it in does not help.
    const QString advice =
        f.linkLoop
            ? QStringLiteral("The link %1 points to %2, and the links from there lead round in "
                             "a circle, never to a device")
                      .arg(f.path, f.linkTarget) +
                  rebind(f, ". Bind", QStringLiteral("a serial device"))
            : QStringLiteral("The link %1 points to %2, which is not there: the adapter is "
                             "unplugged, or it has another name now. Plug it in")
                      .arg(f.path, f.linkTarget) +
                  rebind(f, ", or bind", QStringLiteral("another device"));
    return {Verdict::LeadsNowhere, QStringLiteral("link leads nowhere"),
            QStringLiteral("the link %1 in %2 points to no device")
                .arg(link.fileName(), link.absolutePath()),
            advice};
}

PortDiagnosis notSerial(const PortFacts& f)
{
    const QString serial = QStringLiteral("a serial device");
    QString advice;
    if (!f.linkTarget.isEmpty())
        advice = QStringLiteral("%1 leads to %2, which is %3, not a serial device")
                     .arg(f.path, f.device, whatItIs(f)) +
                 rebind(f, ". Bind", serial);
    else if (f.kind == PortFacts::Kind::RegularFile || f.kind == PortFacts::Kind::Folder)
        advice =
            QStringLiteral("%1 is %2, not a serial device. Remove it").arg(f.path, whatItIs(f)) +
            rebind(f, ", then bind", serial);
    else
        advice = QStringLiteral("%1 is %2, not a serial device").arg(f.path, whatItIs(f)) +
                 rebind(f, ". Bind", serial);
    return {Verdict::NotSerial, QStringLiteral("not a serial device"),
            QStringLiteral("not a serial port"), advice};
}

PortDiagnosis noPermission(const PortFacts& f)
{
    const QString denied = QStringLiteral("Permission denied");
    const bool groupMayUseIt = (f.mode & 0060) == 0060 && f.groupId != 0;
    if (groupMayUseIt && mayReadWrite(f, f.accountGroups))
        return {Verdict::LogInAgain, QStringLiteral("log out and in again (group %1)").arg(f.group),
                denied,
                QStringLiteral("You may not read and write %1 yet: you were added to the group "
                               "%2 after this session started. Log out and in again.")
                    .arg(f.device, f.group)};
    if (groupMayUseIt)
        return {Verdict::NoPermission, QStringLiteral("no permission (group %1)").arg(f.group),
                denied,
                QStringLiteral("You may not read and write %1 (%2): it belongs to the group %3, "
                               "which you are not in. Add yourself with \"sudo adduser %4 %3\", "
                               "then log out and in again.")
                    .arg(f.device, modeText(f), f.group, f.userName)};
    return {Verdict::NoPermission, QStringLiteral("no permission (%1 only)").arg(f.owner), denied,
            QStringLiteral("You may not read and write %1 (%2): only %3 may. Ask the "
                           "administrator to give the group dialout access to it (a udev rule "
                           "with GROUP=\"dialout\", MODE=\"0660\")")
                    .arg(f.device, modeText(f), f.owner) +
                rebind(f, ", or bind", QStringLiteral("another device"))};
}

PortDiagnosis inUse(const PortFacts& f, const PortHolder& holder)
{
    QString advice =
        QStringLiteral("Close %1 first")
            .arg(holder.program.isEmpty() ? QStringLiteral("that program") : holder.program) +
        rebind(f, ", or bind", QStringLiteral("another device"));
    if (!holder.lockFile.isEmpty())
        advice += QStringLiteral(" Its lock file is %1.").arg(holder.lockFile);
    return {Verdict::InUse, QStringLiteral("in use by %1").arg(HolderName(holder)),
            QStringLiteral("in use by %1").arg(HolderName(holder)), advice};
}

} // namespace

QString HolderName(const PortHolder& holder)
{
    if (holder.program.isEmpty())
        return QStringLiteral("PID %1").arg(holder.pid);
    return QStringLiteral("%1 (PID %2)").arg(holder.program).arg(holder.pid);
}

PortDiagnosis DiagnosePort(const PortFacts& f)
{
    if (f.device.isEmpty() && !f.linkTarget.isEmpty())
        return leadsNowhere(f);
    if (f.kind == PortFacts::Kind::Missing)
        return {Verdict::Missing, QStringLiteral("not there"),
                QStringLiteral("No such file or directory"),
                QStringLiteral("%1 does not exist on this machine").arg(f.path) +
                    rebind(f, ". Bind", QStringLiteral("a device that does"))};
    if (f.kind != PortFacts::Kind::CharacterDevice || !f.isTerminal)
        return notSerial(f);
    if (!mayReadWrite(f, f.sessionGroups))
        return noPermission(f);
    if (f.holder)
        return inUse(f, *f.holder);
    return {Verdict::Ready, QStringLiteral("ready"), QString(), QStringLiteral("You can use it.")};
}

QString PortName(const PortFacts& facts)
{
    const QString device = !facts.device.isEmpty()       ? facts.device
                           : !facts.linkTarget.isEmpty() ? facts.linkTarget
                                                         : facts.path;
    if (facts.port.isEmpty())
        return device;
    return QStringLiteral("%1 (%2)").arg(facts.port, device);
}

QString OpenFailureText(const PortFacts& facts, const PortDiagnosis& diagnosis)
{
    if (diagnosis.verdict == Verdict::InUse)
        return QStringLiteral("%1 is %2\n%3")
            .arg(PortName(facts), diagnosis.reason, diagnosis.advice);
    return QStringLiteral("%1: %2\n%3").arg(PortName(facts), diagnosis.reason, diagnosis.advice);
}

} // namespace vornestw
