// A transfer to a simulated keyboard that misbehaves as the input says: its
// faults, stray bytes on the serial line, characters typed into the window
// while the keyboard types its echoes, handshake characters, the line
// closing or the keyboard pulled out, and the user clicking, on virtual
// time. Every transfer ends, within bounded virtual time, with the window
// idle and the line closed; an undisturbed keyboard reported programmed
// holds the layout.
#include "kbdfuzz.h"
#include "keyboardrig.h"

#include <deque>

using namespace morvaw;
using namespace morvaw::fuzz;
using namespace morvaw::test;

namespace {

// The simulated line with stray bytes read before what the keyboard sent.
class NoisyLink : public SerialLink
{
public:
    explicit NoisyLink(SerialLink& line) : m_line(line) {}

    std::optional<PortError> open(int comNumber) override { return m_line.open(comNumber); }
    void close() override { m_line.close(); }
    [[nodiscard]] bool isOpen() const override { return m_line.isOpen(); }
    void write(std::string_view bytes) override { m_line.write(bytes); }
    [[nodiscard]] std::optional<std::uint8_t> readChar() override
    {
        if (m_stray.empty() || !isOpen())
            return m_line.readChar();
        const std::uint8_t b = m_stray.front();
        m_stray.pop_front();
        return b;
    }
    [[nodiscard]] int inBufferCount() override
    {
        return m_line.inBufferCount() + static_cast<int>(isOpen() ? m_stray.size() : 0);
    }

    std::deque<std::uint8_t> m_stray;

private:
    SerialLink& m_line;
};

constexpr long long kVirtualLimitMs = 600'000;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput in{{data, size}};
    const int layoutType = in.number(0, 5), deviceType = in.number(0, 2);
    auto state = MakeState(layoutType);
    AddSomeKeys(*state);
    state->ComPortIndex = static_cast<std::uint16_t>(in.number(0, 4)); // 4: the keyboard port
    kbdsim::KeyboardDevice device(deviceType);
    const int faults = in.byte();
    device.faults.silent = faults & 1;
    device.faults.wrongAnswer = faults & 2;
    device.faults.answerDelayMs = (faults >> 2 & 3) * 30;
    device.faults.stopAfterWrites = faults & 16 ? in.byte() : -1;
    VirtualClock clock;
    SimulatedSerialPort port{device};
    NoisyLink link{port};
    SimulatedRepeatSettings repeat{device};
    repeat.pressAfterMs = faults & 32 ? -1 : in.number(0, 255) * 4;
    ScriptedDialogs dialogs{true};
    Send2ComLogic window{ServicesFor(*state, dialogs, clock, link, repeat)};
    repeat.typeKey = [&](char c) { window.keyTyped(static_cast<unsigned char>(c)); };

    for (int i = in.number(0, 2); i > 0; --i)
        dialogs.answers.push_back(in.byte() % 2 ? Answer::Yes : Answer::No);
    bool disturbed = false;
    long long nextAt = in.byte();
    const std::function<void()> events[] = {
        [&] { link.m_stray.push_back(in.byte()); },
        [&] { window.keyTyped(in.byte()); },
        [&] { window.keyTyped("*+-="[in.byte() % 4]); },
        [&] { window.cancel(); },
        [&] { window.mouseClicked(); },
        [&] { window.deactivate(), window.activate(); },
        [&] { (void)window.requestClose(); },
        [&] { port.close(); },
        [&] { port.vanished = !port.vanished; },
        [&] { window.choosePort(ChannelOf(in.number(0, 4))), window.focusLost(); },
        [&] { window.program(); }, // a second click while one runs
    };
    clock.onTick = [&] {
        const long long now = clock.now().count();
        require(now < kVirtualLimitMs, "a transfer ends");
        port.tick(now);
        repeat.tick(now);
        while (!in.empty() && now >= nextAt) {
            disturbed = true;
            events[in.byte() % std::size(events)]();
            nextAt = now + in.byte() * 8;
        }
    };

    window.load();
    window.activate();
    window.setFast(faults & 64); // go on as soon as the keyboard answers
    window.program();
    require(window.service().idle() && !window.service().active() && !port.isOpen(),
            "a transfer leaves the window idle and the line closed");
    const int sent = KeyboardType(state->LayoutRecords[Settings::KbdFlags].PosX);
    const bool sound = !device.faults.silent && !device.faults.wrongAnswer &&
                       device.faults.stopAfterWrites < 0 && !disturbed &&
                       (sent == 2 || sent > 3) == (device.type() == 2);
    require(!sound ||
                !dialogs.shown.contains(
                    QStringLiteral("? Program Kbd: Layout transfered. Program another device ?")) ||
                HoldsLayout(device, *state),
            "a keyboard reported programmed holds the layout");
    return 0;
}
