// The programming window with the real serial code, on virtual time, against
// the simulated keyboard behind a pseudo-terminal on COM1.
#include "applicationenvironment.h"
#include "handworkedimage.h"
#include "keyboardrig.h"
#include "pseudoterminal.h"
#include "qtseriallink.h"
#include "send2com.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

using namespace morvaw;
using namespace morvaw::test;

namespace {

// The real link, counting what passes, so that the keyboard on the other
// side of the terminal can keep pace with the virtual clock.
class CountingLink : public SerialLink
{
public:
    explicit CountingLink(const QString& folder) : m_link(folder) {}

    std::optional<PortError> open(int comNumber) override
    {
        written = read = 0;
        return m_link.open(comNumber);
    }
    void close() override { m_link.close(); }
    bool isOpen() const override { return m_link.isOpen(); }
    void write(std::string_view bytes) override
    {
        if (m_link.isOpen())
            written += static_cast<int>(bytes.size());
        m_link.write(bytes);
    }
    std::optional<std::uint8_t> readChar() override
    {
        auto c = m_link.readChar();
        read += c ? 1 : 0;
        return c;
    }
    int inBufferCount() override { return m_link.inBufferCount(); }

    int written = 0;
    int read = 0;

private:
    QtSerialLink m_link;
};

class EndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.isValid());
        ASSERT_TRUE(QFile::link(pty.terminalPath(), QDir(dir.path()).filePath("com1")));
        clock.onTick = [this] {
            pump();
            if (onTick)
                onTick();
        };
        mainWindow.show();
    }

    void useLayout(int type)
    {
        state = MakeState(type);
        device = kbdsim::KeyboardDevice(type);
        AddSomeKeys(*state);
    }

    // What the keyboard does in one millisecond: it takes every byte the
    // program wrote and answers, and its answers reach the program's side.
    void pump()
    {
        if (!pty.isValid())
            return;
        QElapsedTimer patience;
        patience.start();
        while (fed < link.written && patience.elapsed() < 2000) {
            pollfd p{pty.master(), POLLIN, 0};
            if (::poll(&p, 1, 10) <= 0)
                continue;
            std::uint8_t buffer[256];
            const ssize_t n = ::read(pty.master(), buffer, sizeof buffer);
            for (ssize_t i = 0; i < n; ++i) {
                sawVersionQuery |= buffer[i] == 'V';
                const std::string answer = device.receive(buffer[i]);
                if (!answer.empty() && ::write(pty.master(), answer.data(), answer.size()) > 0)
                    answered += static_cast<int>(answer.size());
            }
            fed += static_cast<int>(std::max<ssize_t>(n, 0));
        }
        while (link.isOpen() && link.inBufferCount() < answered - link.read &&
               patience.elapsed() < 2000)
            ::usleep(100);
    }

    Send2Com* window() { return mainWindow.findChild<Send2Com*>(); }
    void click(const char* name) { window()->findChild<QPushButton*>(name)->click(); }
    // "&Program Kbd" in the main window, then "&Program".
    void program()
    {
        ProgrammingWindowOpener({*state, dialogs, clock, link, repeat}, &mainWindow,
                                [this] { ++mainRefreshed; })();
        EXPECT_FALSE(mainWindow.isVisible());
        mainRefreshed = 0;
        fed = answered = link.written = link.read = 0;
        click("Program");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void expectBackInTheMainWindow()
    {
        EXPECT_TRUE(mainWindow.isVisible());
        EXPECT_GE(mainRefreshed, 1);
        EXPECT_EQ(window(), nullptr);
        EXPECT_FALSE(link.isOpen());
    }

    QTemporaryDir dir;
    PseudoTerminal pty;
    std::unique_ptr<ConfiguratorState> state = MakeState(2);
    kbdsim::KeyboardDevice device{2};
    VirtualClock clock;
    CountingLink link{dir.path()};
    SimulatedRepeatSettings repeat{device};
    ScriptedDialogs dialogs{true};
    QWidget mainWindow;
    int mainRefreshed = 0;
    int fed = 0;
    int answered = 0;
    bool sawVersionQuery = false;
    std::function<void()> onTick;
};

const QString kSent = QStringLiteral("? Program Kbd: Layout transfered. Program another device ?");
const QString kPartly = QStringLiteral("The transfer was stopped: the keyboard is only partly "
                                       "programmed and must be programmed again.");

} // namespace

TEST_F(EndToEnd, WholeTransfersOfBothGenerations)
{
    for (int type : {1, 2}) {
        useLayout(type);
        dialogs.shown.clear();
        program();
        EXPECT_EQ(dialogs.shown, QStringList{kSent});
        EXPECT_TRUE(HoldsLayout(device, *state)) << type;
        expectBackInTheMainWindow();
    }
}

TEST_F(EndToEnd, EveryKeyRepeatingGivesTheHandWorkedImage)
{
    UseHandWorkedLayout(*state);
    std::map<int, int> expected = HandWorkedImage(*state);
    expected[16] |= 0x80; // a transfer marks the layout as enhanced
    expected[DeviceImageBuilder::kEndByte] = 0xFF;
    program();
    EXPECT_EQ(dialogs.shown, QStringList{kSent});
    for (int a = 1; a < kbdsim::KeyboardDevice::kBytes; ++a) {
        const auto it = expected.find(a);
        EXPECT_EQ(device.byte(a), it == expected.end() ? 0 : it->second) << "byte " << a;
    }
}

TEST_F(EndToEnd, CancelInEveryPhase)
{
    struct Phase
    {
        int type;
        const char* name;
        std::function<bool()> now;
        bool partly = false; // records reached the keyboard
    };
    const auto labelIs = [this](const char* text) {
        return [this, text] { return window()->session().view.InfoLabel == text; };
    };
    const auto fiveWrites = [this] { return device.writes() == 5; };
    const Phase phases[] = {
        {2, "building", labelIs("Building macros table")},
        {2, "connecting", [this] { return sawVersionQuery; }},
        {2, "sending", fiveWrites, true},
        {1, "building", labelIs("Building keys table")},
        {1, "sending", fiveWrites, true},
    };
    for (const Phase& phase : phases) {
        useLayout(phase.type);
        dialogs.shown.clear();
        sawVersionQuery = false;
        bool cancelled = false;
        onTick = [&] {
            if (!cancelled && window() && window()->isVisible() && phase.now()) {
                cancelled = true;
                window()->findChild<QRadioButton*>("Option1_2")->click(); // refused
                click("Cancel");
            }
        };
        program();
        onTick = nullptr;
        EXPECT_TRUE(cancelled) << phase.name;
        const QString aborted = QStringLiteral("MORVA: Transmit aborted by user");
        EXPECT_EQ(dialogs.shown, QStringList{phase.partly ? aborted + "\n" + kPartly : aborted})
            << phase.name;
        EXPECT_LE(device.writes(), 6) << phase.name;
        EXPECT_EQ(state->ComPortIndex, 0);
        expectBackInTheMainWindow();
    }
}

TEST_F(EndToEnd, ATerminationRequestEndsTheTransferBeforeTheProgram)
{
    int ended = 0;
    onTick = [&, requested = false]() mutable {
        if (device.writes() == 5 && !std::exchange(requested, true))
            TerminateProgramming(&mainWindow, [&] {
                ++ended; // the program would close its main window now
                EXPECT_FALSE(window()->session().TransferActive);
                EXPECT_FALSE(link.isOpen());
            });
    };
    program();
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    EXPECT_FALSE(device.complete());
    expectBackInTheMainWindow();
}

TEST_F(EndToEnd, APortThatDoesNotExist)
{
    if (QFileInfo::exists(QStringLiteral("/dev/ttyS3")))
        GTEST_SKIP() << "this machine has a fourth serial port";
    state->ComPortIndex = 3;
    program();
    EXPECT_EQ(dialogs.shown,
              QStringList{"(!) Error: Error #  1\nCOM4 (/dev/ttyS3): No such file or directory"});
    expectBackInTheMainWindow();
}

TEST_F(EndToEnd, ALinkThatLeadsNowhereOrToNoPortIsNamedNeverReplaced)
{
    const QString com1 = QDir(dir.path()).filePath("com1");
    const QString notes = QDir(dir.path()).filePath("notes");
    ASSERT_TRUE(QFile(notes).open(QIODevice::WriteOnly));
    const std::pair<QString, QString> cases[] = {
        {"/nonexistent/ttyUSB7", "Error #  1\nCOM1: the link " + com1 +
                                     " leads to /nonexistent/ttyUSB7, which is not there. Plug "
                                     "the device in, point the link at one that is there, or "
                                     "remove it to use /dev/ttyS0."},
        {notes,
         "Error #  7\nCOM1 (" + notes + "): not a serial port (Inappropriate ioctl for device)"}};
    for (const auto& [target, text] : cases) {
        dialogs.shown.clear();
        QFile::remove(com1);
        ASSERT_TRUE(QFile::link(target, com1));
        ASSERT_EQ(QtSerialLink::PortLocation(dir.path(), 1), com1);
        program();
        EXPECT_EQ(dialogs.shown, QStringList{"(!) Error: " + text});
        expectBackInTheMainWindow();
    }
    EXPECT_EQ(QtSerialLink::OpenErrorText(3, "/dev/ttyUSB99", QSerialPort::PermissionError,
                                          "Permission denied", "/f"),
              "COM3 (/dev/ttyUSB99): Permission denied. Add your user to the dialout group and "
              "log in again, or link com3 in /f to a port you may use.");
}

TEST_F(EndToEnd, TheKeyboardDisappearingMidTransferFailsClearly)
{
    onTick = [this] {
        if (device.writes() == 20 && pty.isValid())
            pty.hangUp();
    };
    SetDef(state->LayoutRecords[1], 0, Tokens({"a", "b"}));
    program();
    EXPECT_EQ(device.writes(), 20);
    EXPECT_EQ(dialogs.shown,
              (QStringList{"(!) Data transmit. error: Check connection, port number, macro mode",
                           "? Program Kbd: Layout transfer failed. Program again ?"}));
    expectBackInTheMainWindow();
}
