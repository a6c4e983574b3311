// A person at the display utility: protocols chosen, menu items clicked, texts,
// columns, prefix codes and characters typed or pasted, the channel changed,
// clicks while a slow display takes its bytes, and a line that fails. Every
// command is the builder's sequence for what was typed; on a sound line it
// reaches the display whole and unmixed and is echoed in readable form; on a
// failing one the display gets its beginning, with one message at most, and
// the wait is bounded.
#include "commandbuilders.h"
#include "displayrig.h"
#include "displaytext.h"
#include "fuzzinput.h"
#include "numbertext.h"
#include "protocoltables.h"
#include "senttext.h"

#include <QTime>

#include <cmath>
#include <functional>

using namespace vornestw;
using namespace vornestw::test;
using vornestw::fuzz::FuzzInput;
using vornestw::fuzz::require;

namespace {

constexpr char CR = '\r';
const QString kBusy = QStringLiteral("COM (simulated): busy");
// Longer than the slowest paced display of a session takes per byte.
constexpr int kReactionMs = 100;

std::string twoDigits(int n)
{
    return {static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
}

std::string withoutSpace(char c)
{
    return c == ' ' ? std::string() : std::string(1, c);
}

std::string decodePrinterForm(const std::string& form)
{
    require(form.size() % 4 == 0, "four printer characters per byte");
    std::string text;
    for (std::size_t i = 0; i < form.size(); i += 4) {
        int b = 0;
        for (int pair = 0; pair < 4; ++pair) {
            const auto c = static_cast<unsigned char>(form[i + pair]);
            require(c <= 3, "printer characters have the codes 0..3");
            b |= c << (2 * pair);
        }
        text.push_back(static_cast<char>(b));
    }
    return text;
}

// Spaces nudging a display at the opening, then the beginning of the command.
bool spacesThenBeginningOf(const std::vector<std::uint8_t>& wire, const std::string& command)
{
    for (std::size_t spaces = 0; spaces <= wire.size(); ++spaces) {
        const std::size_t rest = wire.size() - spaces;
        if (rest <= command.size() &&
            std::equal(wire.begin() + static_cast<long>(spaces), wire.end(), command.begin(),
                       [](std::uint8_t b, char c) { return b == static_cast<std::uint8_t>(c); }))
            return true;
        if (spaces < wire.size() && wire[spaces] != ' ')
            return false;
    }
    return false;
}

class Session
{
public:
    explicit Session(FuzzInput& in) : m_in(in)
    {
        m_rig.state.Mode = m_in.number(0, 7);
        m_rig.onTick = [this] { clickWhileSending(); };
    }

    void run()
    {
        for (int step = 0; step < 48 && !m_in.empty(); ++step)
            act();
    }

private:
    DisplayState& state() { return m_rig.state; }
    DisplayUtility& utility() { return m_rig.utility; }

    void act()
    {
        // A person takes a moment between two actions; the display meanwhile
        // takes what is queued and raises clear-to-send again.
        for (int ms = 0; ms < kReactionMs; ++ms)
            m_rig.waiter.processEvents();
        switch (m_in.byte() % 12) {
        case 0:
            chooseProtocol();
            break;
        case 1:
            clickMenu();
            break;
        case 2:
            sendTwoLines();
            break;
        case 3:
            sendLongText();
            break;
        case 4:
            sendCursor();
            break;
        case 5:
            changePrefix();
            break;
        case 6:
            send(ProgramModeCommand(state().Mode), [this] { utility().SendProgramMode(); });
            break;
        case 7:
            utility().SetDefaultConfiguration();
            break;
        case 8:
            if (const auto error = utility().ChangePort(m_in.number(0, kPrinterPort))) {
                if (*error == kBusy)
                    m_openFails = false;
            } else {
                require(!m_rig.port.isOpen() || state().Port != kPrinterPort,
                        "the printer channel closes the port");
            }
            break;
        case 9:
            troubleOnTheLine();
            break;
        case 10:
            m_rig.port.paceClearToSend(m_in.number(0, kReactionMs / 2));
            m_clicksLeft = m_in.number(0, 3);
            break;
        default:
            typeNumber();
            break;
        }
    }

    // Runs one command: what reached the display (or the printer) against
    // the sequence the builder made for it.
    void send(const std::string& command, const std::function<void()>& run)
    {
        const std::size_t messages = m_rig.notice.messages.size();
        const std::size_t jobs = m_rig.printer.jobs.size();
        const long long start = m_rig.waiter.now();
        const bool printer = state().Port == kPrinterPort;
        m_rig.port.clearReceived();
        run();
        const std::size_t said = m_rig.notice.messages.size() - messages;
        require(said <= 1, "one message per command at most");
        // The opening and each byte wait 2 s at most; a paced display less.
        require(m_rig.waiter.now() - start <= 2001 + static_cast<long long>(command.size()) * 4100,
                "a command never hangs");
        require(!m_rig.channel.isSending(), "the send is over");
        if (printer) {
            if (said == 0) {
                require(m_rig.printer.jobs.size() == jobs + 1 &&
                            decodePrinterForm(m_rig.printer.jobs.back()) == command,
                        "the printer job carries the command");
                require(state().SentText == RenderSentText(command), "the echo shows the command");
            }
            return;
        }
        const bool trouble = lineInTrouble();
        noteOpeningFailure();
        if (trouble) {
            require(spacesThenBeginningOf(m_rig.port.written(), command),
                    "a failing line gets the beginning of the command only");
            return;
        }
        require(said == 0, "a sound line gives no message");
        require(m_rig.port.received() == BytesOf(command),
                "the display gets the command, whole and alone");
        require(state().SentText == RenderSentText(command), "the echo shows the command");
    }

    // Clicks of an impatient person while the display takes its time: none of
    // them may start another command.
    void clickWhileSending()
    {
        if (m_clicksLeft == 0 || !m_rig.channel.isSending())
            return;
        --m_clicksLeft;
        utility().SendTwoLines("XX", "YY");
        utility().MenuFunction_Click(1);
        utility().SendProgramMode();
        utility().SendCursor(1, 1);
    }

    void chooseProtocol()
    {
        utility().SelectMode(m_in.number(-1, kProtocolCount));
        const auto menu = utility().BuildFunctionMenu();
        if (!ProtocolOf(state().Mode)) {
            require(!menu, "a mode outside the eight protocols offers no menu");
            return;
        }
        require(menu && menu->captions.size() >= 2 &&
                    menu->captions.size() <= static_cast<std::size_t>(kMenuItemCount) &&
                    menu->captions[0] == "&Display",
                "a protocol's menu fits the 21 items and starts with &Display");
    }

    void clickMenu()
    {
        const int index = static_cast<std::int8_t>(m_in.byte());
        const QTime now(m_in.number(0, 23), m_in.number(0, 59), m_in.number(0, 59));
        const auto item = FunctionOf(state().Mode, index);
        const auto click = [&] { return utility().MenuFunction_Click(index, now); };
        if (!item) {
            m_rig.port.clearReceived();
            require(click() == ParameterWindow::None && m_rig.port.written().empty(),
                    "an item that does not exist does nothing");
            return;
        }
        switch (item->action) {
        case Action::Send:
            send(std::string(item->bytes), click);
            return;
        case Action::SetClock: {
            const std::string command = ClockCommand(state(), now);
            require(command == std::string{state().Prefix1, state().Prefix2} + "5" +
                                   twoDigits(now.hour()) + ":" + twoDigits(now.minute()) + CR,
                    "the clock is set to the hour of the day and the minute");
            send(command, click);
            return;
        }
        case Action::ShowClock:
            send(ShowClockCommand(state()), click);
            return;
        case Action::TwoLinesWindow:
        case Action::CursorWindow:
        case Action::LongTextWindow:
        case Action::PrefixWindow:
            m_rig.port.clearReceived();
            require(click() != ParameterWindow::None && m_rig.port.written().empty(),
                    "a window item opens its window and sends nothing");
            return;
        }
    }

    void sendTwoLines()
    {
        const std::string line1 = FromDisplayText(m_in.typed());
        const std::string line2 = FromDisplayText(m_in.typed());
        DisplayState expected = state();
        expected.Line1 = line1;
        expected.Line2 = line2;
        const std::string command = TwoLineCommand(expected, expected.Mode);
        if (ProtocolOf(expected.Mode)) {
            const std::size_t first = command.find(line1);
            require(first != std::string::npos &&
                        command.find(line2, first + line1.size()) != std::string::npos,
                    "both lines are sent, the first one first");
        }
        for (const auto& [typed, filled] :
             {std::pair{&line1, &expected.Line1}, {&line2, &expected.Line2}})
            require(filled->starts_with(*typed) &&
                        filled->find_first_not_of(' ', typed->size()) == std::string::npos &&
                        filled->size() <= std::max<std::size_t>(typed->size(), kLineWidth),
                    "filling appends spaces only, up to the line width");
        send(command, [&] { utility().SendTwoLines(line1, line2); });
        require(state().Line1 == expected.Line1 && state().Line2 == expected.Line2,
                "the filled texts are kept");
    }

    void sendLongText()
    {
        const std::string text = FromDisplayText(m_in.typed());
        DisplayState expected = state();
        expected.LongText = text;
        const std::string command = LongTextCommand(expected, state().MenuIndex);
        const int index = state().MenuIndex;
        if (index >= 1 && index <= 3)
            require(command == std::string{state().Prefix1, state().Prefix2} + "649"[index - 1] +
                                   text + CR,
                    "the long text goes with the code of its menu item");
        else
            require(command.empty(), "no long text command without its menu item");
        send(command, [&] { utility().SendLongText(text); });
    }

    void sendCursor()
    {
        switch (m_in.byte() % 3) {
        case 0: // the scroll bar
            m_column = m_in.number(1, kLineWidth);
            break;
        case 1: // typed into the column box; out of range leaves the bar
            if (const auto column = WholeNumberIn(m_in.typed().toStdString(), 1, kLineWidth))
                m_column = *column;
            break;
        default:
            break;
        }
        m_line = m_in.number(1, 2);
        DisplayState expected = state();
        expected.LineNo = m_line;
        expected.XPos = m_column;
        const std::string command = CursorCommand(expected, expected.Mode);
        const int mode = state().Mode;
        if (mode == static_cast<int>(DisplayProtocol::QN) ||
            mode == static_cast<int>(DisplayProtocol::Terminal))
            require(command ==
                        "\x1B[0" + std::to_string(m_line) + ";" + std::to_string(m_column) + "H",
                    "QN and Terminal: line and column as decimal text");
        else if (mode == static_cast<int>(DisplayProtocol::IDM))
            require(command.size() == 3 && command[0] == '\x10' &&
                        static_cast<unsigned char>(command[1]) == 20 * (m_line - 1) + m_column &&
                        command[2] == CR,
                    "IDM: one byte for the position 1..40");
        else
            require(command.empty(), "no cursor command in the other protocols");
        send(command, [&] { utility().SendCursor(m_line, m_column); });
    }

    // A code as the prefix window takes it: the scroll bar, digits typed into
    // the code box (refused outside 0..255), or a character typed.
    int prefixCode(char current)
    {
        int code = static_cast<unsigned char>(current);
        switch (m_in.byte() % 3) {
        case 0:
            code = m_in.byte();
            break;
        case 1:
            if (const auto typed = WholeNumberIn(m_in.typed().toStdString(), 0, 255))
                code = *typed;
            break;
        default: {
            const QString typed = m_in.typed();
            if (!typed.isEmpty() && DisplayCharToByte(typed[0]) >= 0)
                code = DisplayCharToByte(typed[0]);
            break;
        }
        }
        require(code >= 0 && code <= 255, "a prefix is one byte");
        return code;
    }

    void changePrefix()
    {
        const int new1 = prefixCode(state().Prefix1);
        const int new2 = prefixCode(state().Prefix2);
        if (m_in.byte() % 2 == 0) { // Ok: taken without sending
            utility().AcceptPrefixes(static_cast<char>(new1), static_cast<char>(new2));
        } else {
            const std::string command = PrefixCommand(state(), new1, new2);
            require(command == withoutSpace(state().Prefix1) + withoutSpace(state().Prefix2) + "8" +
                                   static_cast<char>(new1) + static_cast<char>(new2) + CR,
                    "the change is said with the old prefixes");
            send(command, [&] { utility().SendPrefix(new1, new2); });
        }
        require(state().Prefix1 == static_cast<char>(new1) &&
                    state().Prefix2 == static_cast<char>(new2),
                "the new prefixes serve from now on");
    }

    void troubleOnTheLine()
    {
        switch (m_in.byte() % 6) {
        case 0:
            m_rig.port.setCts(false);
            m_ctsLow = true;
            break;
        case 1:
            m_rig.port.stallOutput(true);
            m_stalled = true;
            break;
        case 2:
            m_rig.port.unplug();
            m_unplugged = true;
            break;
        case 3:
            m_rig.port.failNextOpen(kBusy);
            m_openFails = true;
            break;
        case 4:
            m_rig.printer.error = QStringLiteral("No default printer");
            break;
        default: // what can be mended: the display ready, the driver going, the printer back
            m_rig.port.setCts(true);
            m_rig.port.stallOutput(false);
            m_rig.printer.error.reset();
            m_ctsLow = m_stalled = false;
            break;
        }
    }

    // The next opening fails once; it is used up when an opening said so.
    void noteOpeningFailure()
    {
        const auto& messages = m_rig.notice.messages;
        if (!messages.empty() && messages.back().text == kBusy)
            m_openFails = false;
    }
    [[nodiscard]] bool lineInTrouble() const
    {
        return m_ctsLow || m_stalled || m_unplugged || m_openFails;
    }

    void typeNumber()
    {
        const std::string text = m_in.typed().toStdString();
        const auto value = LeadingNumber(text);
        require(!value || std::isfinite(*value), "a number is finite");
        const int low = m_in.number(-300, 300);
        const int high = low + m_in.number(0, 300);
        const auto whole = WholeNumberIn(text, low, high);
        require(!whole || (*whole >= low && *whole <= high && value &&
                           *whole == static_cast<int>(std::trunc(*value))),
                "a whole number is the number's whole part, in range");
    }

    FuzzInput& m_in;
    DisplayRig m_rig;
    int m_column = 1;
    int m_line = 1;
    int m_clicksLeft = 0;
    bool m_ctsLow = false;
    bool m_stalled = false;
    bool m_unplugged = false;
    bool m_openFails = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput in(std::span<const std::uint8_t>(data, size));
    Session(in).run();
    return 0;
}
