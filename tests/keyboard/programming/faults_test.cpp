// Whole transfers against a keyboard and a line that misbehave at chosen
// questions: each ends with the expected messages, back in the main window,
// in bounded virtual time, and a stray answer never passes for the answer to
// the question just asked.
#include "keyboardrig.h"

#include <gtest/gtest.h>

using namespace morvaw;
using namespace morvaw::test;

namespace {

enum class Ask { Query, Write, End, Handshake }; // "V", a data record, the end record
enum class Fault { Silent, Garbage, Noise, Twice, Late, Vanish, Unplug, OtherAddress };

struct Trouble
{
    Ask ask;
    int nth; // 0: every such question
    Fault fault;
};

struct Row
{
    const char* what;
    int layoutType;
    int deviceType;
    bool keyboardPort;
    std::vector<Trouble> troubles;
    std::deque<Answer> answers; // to "Program again ?" / "Program another device ?"
    QStringList shown;
    bool holds; // the keyboard holds the layout at the end
};

void PrintTo(const Row& row, std::ostream* os)
{
    *os << row.what;
}

// The programming logic with the simulated keyboard on its line and on its
// own cable, misbehaving at the chosen questions: "V" and the records on the
// line, the handshake and each write's echo typed through the keyboard port.
class TroubledKeyboard : public SerialLink
{
public:
    explicit TroubledKeyboard(const Row& r) : row(r), rig(r.layoutType, r.deviceType, this)
    {
        AddSomeKeys(*rig.state);
        rig.state->ComPortIndex = row.keyboardPort ? 4 : 0;
        rig.dialogs.answers = row.answers;
        rig.repeat.typeKey = [this](char c) { typed(c); };
        rig.onTick = [this] { // what the keyboard typed reaches the window
            while (!m_typed.empty() && m_typed.front().first <= now()) {
                rig.window.keyTyped(static_cast<unsigned char>(m_typed.front().second));
                m_typed.pop_front();
            }
            if (now() > 120000) // stopped as by Cancel
                ranAway = true, rig.service().stop();
        };
    }

    std::optional<PortError> open(int comNumber) override { return rig.port.open(comNumber); }
    void close() override { rig.port.close(); }
    bool isOpen() const override { return rig.port.isOpen(); }
    int inBufferCount() override
    {
        return rig.port.inBufferCount() + static_cast<int>(m_twice.size());
    }
    std::optional<std::uint8_t> readChar() override
    {
        if (auto c = rig.port.readChar(); c || m_twice.empty())
            return c;
        m_twice.pop_back();
        return '+';
    }
    void write(std::string_view bytes) override
    {
        m_record += bytes;
        const char kind = m_record[0];
        if (kind == '*' ? m_record.size() < 7 : kind == '@' && m_record.size() < 4)
            return rig.port.write(bytes);
        const bool end = m_record.starts_with("*??") || m_record == "@\xFF\x0E\xFF";
        const Ask ask = kind == 'V' ? Ask::Query : end ? Ask::End : Ask::Write;
        m_record.clear();
        auto& faults = rig.device.faults;
        faults = {};
        bool unplug = false;
        const bool question = kind == '*' || kind == '@' || kind == 'V';
        for (Fault f : question ? faultsAt(ask) : std::vector<Fault>{}) {
            faults.silent |= f == Fault::Silent;
            faults.wrongAnswer |= f == Fault::Garbage;
            // Past the wait for that answer: 100 ms for detection, 50 ms for a write.
            if (f == Fault::Late)
                faults.answerDelayMs = ask == Ask::Query ? 130 : 80;
            rig.port.vanished |= f == Fault::Vanish || f == Fault::Unplug;
            unplug |= f == Fault::Unplug;
            m_twice += f == Fault::Twice ? "+" : "";
        }
        rig.port.write(bytes);
        if (unplug) // the real link closes itself when the line hangs up
            rig.port.close();
    }

    const Row& row;
    KeyboardRig rig;
    bool ranAway = false;

private:
    long long now() const { return rig.clock.now().count(); }
    std::vector<Fault> faultsAt(Ask ask)
    {
        const int n = ++m_count[static_cast<int>(ask)];
        std::vector<Fault> faults;
        for (const Trouble& t : row.troubles)
            if (t.ask == ask && (t.nth == 0 || t.nth == n))
                faults.push_back(t.fault);
        return faults;
    }
    // Each answer typed is whole at its last character: "-" of the handshake, "=" of an echo.
    void typed(char c)
    {
        m_answer += c;
        if (c != '-' && c != '=')
            return;
        long long due = now();
        for (Fault f : faultsAt(c == '-' ? Ask::Handshake : Ask::Write)) {
            if (f == Fault::Silent || f == Fault::Vanish)
                m_answer.clear();
            if (f == Fault::Vanish) {
                rig.device.faults.silent = true;
                rig.repeat.unavailable = QStringLiteral("The keyboard is gone.");
            }
            if (f == Fault::Garbage)
                m_answer.insert(m_answer.size() - 1, "x");
            if (f == Fault::Noise)
                m_answer.insert(0, "#");
            if (f == Fault::OtherAddress)
                m_answer[3] = m_answer[3] == '0' ? '1' : '0';
            if (f == Fault::Late)
                due += c == '-' ? 13000 : 1500;
        }
        for (char a : m_answer)
            m_typed.emplace_back(due, a);
        m_answer.clear();
    }

    std::string m_record;
    std::string m_twice; // answers repeated
    int m_count[4] = {};
    std::string m_answer;
    std::deque<std::pair<long long, char>> m_typed;
};

const QString kSent = QStringLiteral("? Program Kbd: Layout transfered. Program another device ?");
const QString kFailed = QStringLiteral("? Program Kbd: Layout transfer failed. Program again ?");
const QString kNoAck =
    QStringLiteral("(!) Data transmit. error: Check connection, port number, macro mode");
const QString kNoPort = QStringLiteral("(!) Error: Error #  1\nNo such file or directory");
const QString kKbdError = QStringLiteral("(!) MORVA: Kbd transmit error");
const QString kNoType = QStringLiteral(
    "MORVA: The keyboard did not answer the type query, so its type is not known: the keys table "
    "of the older keyboards (\"No macros\", \"Reduced\") is built and sent. An Enhanced "
    "keyboard does not take it; if yours is one, choose its type under Keyboard > Configure.");

class Faults : public ::testing::TestWithParam<Row>
{
};

} // namespace

TEST_P(Faults, EndClearlyAndNeverTakeAStrayAnswer)
{
    const Row& row = GetParam();
    TroubledKeyboard kbd(row);
    KeyboardRig& rig = kbd.rig;
    rig.program();

    EXPECT_FALSE(kbd.ranAway);
    EXPECT_LT(rig.clock.mostIdleWaits, 5) << "a busy loop";
    EXPECT_EQ(rig.dialogs.shown.join(" | ").toStdString(), row.shown.join(" | ").toStdString());
    EXPECT_EQ(HoldsLayout(rig.device, *rig.state), row.holds);
    EXPECT_TRUE(rig.dialogs.answers.empty());
    EXPECT_EQ(rig.leaves, 1);
    EXPECT_FALSE(kbd.isOpen());
    EXPECT_TRUE(rig.service().idle());
    EXPECT_FALSE(rig.service().active());
    if (rig.repeat.unavailable.isEmpty()) { // the repeat settings the window found are back
        EXPECT_EQ(rig.repeat.currentSpeed, 20);
        EXPECT_EQ(rig.repeat.currentDelay, 1);
    }
}

using enum Ask;
using enum Fault;
const Answer Yes = Answer::Yes;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Transfer, Faults, ::testing::Values(
    // The serial line: answers twice, garbled, late or never, in every phase.
    Row{"older_answers_twice_end_not_taken", 1, 1, false, {{Write, 0, Twice}, {End, 1, Silent}}, {}, {kNoAck, kFailed}, false},
    Row{"enhanced_answers_twice_end_not_taken", 2, 2, false, {{Write, 0, Twice}, {End, 1, Silent}}, {}, {kNoAck, kFailed}, false},
    Row{"older_late_answer_then_end_not_taken", 1, 1, false, {{Write, 5, Late}, {End, 1, Silent}}, {Yes}, {kNoAck, kFailed, kFailed}, false},
    Row{"enhanced_late_answer_then_clean_pass", 2, 2, false, {{Write, 5, Late}}, {Yes}, {kNoAck, kFailed, kSent}, true},
    Row{"garbled_answer", 2, 2, false, {{Write, 7, Garbage}}, {}, {kNoAck, kFailed}, false},
    Row{"late_detection_then_answered", 3, 2, false, {{Query, 1, Late}}, {}, {kNoAck, kSent}, true},
    Row{"no_version_answer", 2, 2, false, {{Query, 1, Silent}}, {}, {kSent}, true},
    // The keyboard pulled out: answers stop, or the adapter goes and the port closes.
    Row{"vanishes_in_detection", 3, 1, false, {{Query, 1, Vanish}}, {}, {kNoAck, kNoType, kFailed}, false},
    Row{"unplugged_in_detection", 3, 1, false, {{Query, 1, Unplug}}, {}, {kNoPort}, false},
    Row{"vanishes_while_writing", 2, 2, false, {{Write, 20, Vanish}}, {Yes}, {kNoAck, kFailed, kFailed}, false},
    Row{"unplugged_while_writing", 1, 1, false, {{Write, 20, Unplug}}, {Yes}, {kNoAck, kFailed, kNoPort}, false},
    // The keyboard port: handshake and echoes garbled, late, missing or for another address.
    Row{"handshake_garbled", 2, 2, true, {{Handshake, 1, Garbage}}, {}, {kFailed}, false},
    Row{"handshake_after_the_countdown", 2, 2, true, {{Handshake, 1, Late}}, {}, {kFailed}, false},
    Row{"echo_for_another_address", 2, 2, true, {{Write, 5, OtherAddress}}, {}, {kKbdError, kFailed}, false},
    Row{"echo_late", 2, 2, true, {{Write, 5, Late}}, {}, {kKbdError, kFailed}, false},
    Row{"noise_before_an_echo", 2, 2, true, {{Write, 5, Noise}}, {}, {kKbdError, kFailed}, false},
    Row{"keyboard_pulled_out_while_writing", 2, 2, true, {{Write, 20, Vanish}}, {}, {kKbdError, kFailed}, false}),
    [](const auto& info) { return std::string(info.param.what); });
// clang-format on
