// A person at the display utility: protocols chosen, menu items clicked,
// texts, columns and prefix codes typed or pasted, the channel changed, clicks
// while a slow display takes its bytes, and a line that fails. Every command
// is echoed once and, on a sound line, reaches the display whole and unmixed,
// exactly as the echo shows it; a failing line gets its beginning with one
// message at most; every wait is bounded.
#include "displayrig.h"
#include "displaytext.h"
#include "fuzzinput.h"
#include "numbertext.h"
#include "senttext.h"

#include <QTime>

using namespace vornestw;
using namespace vornestw::test;
using suite::fuzz::require;

namespace {

std::string textOf(const std::vector<std::uint8_t>& bytes)
{
    return {bytes.begin(), bytes.end()};
}

// What a failing line got: spaces nudging the display at the opening, then
// the beginning of what the echo shows.
bool beginningOf(const std::vector<std::uint8_t>& wire, const std::string& echo)
{
    const std::string shown = RenderSentText(textOf(wire));
    for (std::string_view rest = shown;; rest.remove_prefix(4)) {
        if (echo.starts_with(rest))
            return true;
        if (!rest.starts_with("<SP>"))
            return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    suite::fuzz::FuzzInput in{std::span<const std::uint8_t>(data, size)};
    DisplayRig rig;
    DisplayState& state = rig.state;
    DisplayUtility& utility = rig.utility;
    SimulatedPort& port = rig.port;
    int column = 1, clicksLeft = 0, echoes = 0;
    state.Mode = in.number(0, 7);
    QObject::connect(&rig.channel, &OutputChannel::sentTextChanged, [&] { ++echoes; });
    rig.onTick = [&] { // clicks of an impatient person while the display takes its time
        if (clicksLeft > 0 && rig.channel.isSending()) {
            --clicksLeft;
            utility.SendTwoLines("XX", "YY");
            utility.MenuFunction_Click(1);
            utility.SendProgramMode();
            utility.SendCursor(1, 1);
        }
    };
    // A code as the prefix window takes it: the scroll bar, digits typed into
    // the code box (refused outside 0..255), or a character typed.
    const auto prefixCode = [&](char current) {
        const int unchanged = static_cast<unsigned char>(current), how = in.byte() % 3;
        if (how == 0)
            return static_cast<int>(in.byte());
        const QString typed = in.typed();
        if (how == 1)
            return WholeNumberIn(typed.toStdString(), 0, 255).value_or(unchanged);
        const int code = typed.isEmpty() ? -1 : DisplayCharToByte(typed[0]);
        return code >= 0 ? code : unchanged;
    };
    const std::function<void()> actions[] = {
        [&] { utility.SelectMode(in.number(-1, 8)); },
        [&] {
            const int index = static_cast<std::int8_t>(in.byte());
            const QTime now(in.number(0, 23), in.number(0, 59), in.number(0, 59));
            utility.MenuFunction_Click(index, now);
        },
        [&] {
            const std::string line1 = FromDisplayText(in.typed());
            utility.SendTwoLines(line1, FromDisplayText(in.typed()));
        },
        [&] { utility.SendLongText(FromDisplayText(in.typed())); },
        [&] {
            const int how = in.byte() % 3; // the scroll bar, the column box or neither
            if (how == 0)
                column = in.number(1, kLineWidth);
            else if (how == 1) // out of range leaves the bar where it is
                column = WholeNumberIn(in.typed().toStdString(), 1, kLineWidth).value_or(column);
            utility.SendCursor(in.number(1, 2), column);
        },
        [&] {
            const int new1 = prefixCode(state.Prefix1), new2 = prefixCode(state.Prefix2);
            if (in.byte() % 2 == 0) // Ok: taken without sending
                utility.AcceptPrefixes(static_cast<char>(new1), static_cast<char>(new2));
            else
                utility.SendPrefix(new1, new2);
        },
        [&] { utility.SendProgramMode(); },
        [&] { utility.SetDefaultConfiguration(); },
        [&] { (void)utility.ChangePort(in.number(0, kPrinterPort)); },
        [&] {
            const std::function<void()> faults[] = {
                [&] { port.setCts(false); },
                [&] { port.stallOutput(true); },
                [&] { port.unplug(); },
                [&] { port.failNextOpen(QStringLiteral("COM (simulated): busy")); },
                [&] { rig.printer.error = QStringLiteral("No default printer"); },
                // What can be mended: the display ready, the driver going, the printer back.
                [&] { port.setCts(true), port.stallOutput(false), rig.printer.error.reset(); },
            };
            faults[in.byte() % 6]();
        },
        [&] { port.paceClearToSend(in.number(0, 50)), clicksLeft = in.number(0, 3); },
        [&] { // a number typed into a box
            const std::string text = in.typed().toStdString();
            const int low = in.number(-300, 300);
            (void)WholeNumberIn(text, low, low + in.number(0, 300));
        },
    };

    for (int step = 0; step < 48 && !in.empty(); ++step) {
        for (int ms = 0; ms < 100; ++ms) // a moment between two actions
            rig.waiter.processEvents();
        const std::size_t messages = rig.notice.messages.size(), jobs = rig.printer.jobs.size();
        const int echoesBefore = echoes;
        const long long start = rig.waiter.now();
        const bool printer = state.Port == kPrinterPort, trouble = port.inTrouble();
        port.clearReceived();
        actions[in.byte() % 12]();
        const std::size_t said = rig.notice.messages.size() - messages;
        const int echoed = echoes - echoesBefore;
        require(said <= 1 && echoed <= 1, "one message and one echo per command at most");
        // The opening and each byte wait 2 s at most; a paced display less.
        require(rig.waiter.now() - start <= 2001 + 4100 * std::ssize(port.written()),
                "a command never hangs");
        if (printer)
            require(said == 1 || rig.printer.jobs.size() == jobs + echoed,
                    "the printer gets every command as one job");
        else if (!trouble)
            require(said == 0 && (echoed ? RenderSentText(textOf(port.received())) == state.SentText
                                         : port.received().empty()),
                    "a sound line gets the command whole and alone, as the echo shows it");
        else
            require(beginningOf(port.written(), state.SentText),
                    "a failing line gets the beginning of the command only");
    }
    return 0;
}
