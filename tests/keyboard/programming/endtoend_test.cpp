// The programming window with the real serial code, on virtual time, against
// the simulated keyboard behind a pseudo-terminal on COM1.
#include "applicationenvironment.h"
#include "commandlinetransfer.h"
#include "keyboardrig.h"
#include "languagetables.h"
#include "layoutfile.h"
#include "portchooserform.h"
#include "pseudoterminal.h"
#include "qtseriallink.h"
#include "send2com.h"
#include "systemports.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>
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
    explicit CountingLink(const QString& folder) : m_link(folder.toStdString()) {}

    std::optional<PortError> open(int comNumber) override { return m_link.open(comNumber); }
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
    QString portName(int comNumber) const override { return m_link.portName(comNumber); }
    QString deviceName() const override { return m_link.deviceName(); }

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
    // "&Program Kbd" in the main window.
    void openWindow()
    {
        ProgrammingServices services = ServicesFor(*state, dialogs, clock, link, repeat);
        services.ports = chooser.get();
        ProgrammingWindowOpener(services, &mainWindow, [this] { ++mainRefreshed; })();
    }
    // "&Program Kbd" unless the window is open, then "&Program" (fast: with
    // the "Fast" box ticked first).
    void program(bool fast = false)
    {
        if (!window())
            openWindow();
        EXPECT_FALSE(mainWindow.isVisible());
        if (fast)
            window()->findChild<QCheckBox*>("FastCheck")->click();
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
    std::unique_ptr<TestLayout> state = MakeState(2);
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
    std::unique_ptr<PortChooser> chooser;
};

// The machine's devices as a test lists them, with the facts Linux gives.
struct ListedPorts : ListedDevices
{
    PortFacts factsFor(const std::filesystem::path& path, const QString& port) override
    {
        return SystemPorts::FactsOf(path, port);
    }
};

const QString kSent = QStringLiteral("? Program Kbd: Layout transfered. Program another device ?");
const QString kPartly = QStringLiteral("The transfer was stopped: the keyboard is only partly "
                                       "programmed and must be programmed again.");

} // namespace

// Every key has all three "Rpt" boxes checked, only some levels are defined;
// the image was worked out by hand from the key codes of the test scan table.
TEST_F(EndToEnd, EnhancedImageOfKeysThatAllRepeatIsTheHandWorkedOne)
{
    auto key = [this](int n) -> KeyRecord& { return state->LayoutRecords[std::size_t(n)]; };
    std::map<int, int> expected;
    for (int n = 1; n <= 84; ++n) { // a blank key: the zero code with the repeat bit
        key(n).RepeatFlags = 7;
        expected[2 * state->DeviceMatrixCodes[std::size_t(n)] + 2] = 0x01;
    }
    key(Settings::MsrOption2).PosX = 0x03;
    key(Settings::MsrOption3).PosX = 0x11;
    SetDef(key(1), 0, Tokens({"a"}));
    SetDef(key(2), 0, Tokens({"a", "b"}));
    SetDef(key(2), 1, Tokens({"c"}));
    SetDef(key(2), 2, Tokens({"F1"}));
    SetDef(key(3), 0, Tokens({"Delay", "a", "Delay"}));
    SetDef(key(4), 0, Tokens({"a", "b"})); // Func1 and Func2 blank
    SetDef(key(5), 1, Tokens({"c"}));      // plain and Func2 blank
    SetDef(key(13), 0, ">x");
    key(13).Label = "OK";
    SetDef(key(37), 0, Tokens({"Pad \x11\xC4\xD9"}));
    SetDef(key(61), 0, Tokens({"1"}));
    SetDef(key(Settings::MsrTrailer), 0, Tokens({"c"}));
    key(Settings::MsrTrailer).RepeatFlags = 1;
    SetDef(key(Settings::MsrInterTracks), 0, Tokens({"a", "b"}));
    key(Settings::MsrInterTracks).RepeatFlags = 7;
    SetDef(key(Settings::MsrHeader), 0, Tokens({"b"}));
    // clang-format off
    for (auto [address, value] : std::map<int, int>{
        // entries of keys 61 (p 0), 37 (2), 1 (3), 13 (4), 2 (11), 3 (19), 5 (27), 4 (35)
        {1, 0x02}, {2, 0x01}, {5, 0x1C}, {6, 0x21}, {7, 0x1E}, {8, 0x01}, {9, 0x4F}, {10, 0x4B},
        {23, 0x4C}, {24, 0x83}, {39, 0x57}, {40, 0x83}, {55, 0x67}, {56, 0x83}, {71, 0x60}, {72, 0x83},
        // MSR header (p 39), trailer (55), inter-tracks (71); settings; keypad map
        {79, 0x30}, {111, 0x2E}, {112, 0x01}, {143, 0x6C}, {144, 0x83},
        {15, 0x03}, {16, 0x8A}, {31, 5}, {32, 5}, {95, 0x11}, {127, 100}, {193, 0x00}, {202, 0x82},
        // macros of key 2 (every level), 3 (plain, ending in a pause), 4 (plain only),
        // 5 (Func1 only) and the MSR inter-tracks key; the end mark
        {204, 0xEE}, {205, 0xD3}, {206, 0xD5}, {207, 0x1E}, {209, 0x30}, {210, 0x02}, {211, 0x2E}, {212, 0x02}, {213, 0x3B}, {214, 0x02},
        {215, 0x8E}, {218, 0x64}, {219, 0xA9}, {220, 0x1E}, {222, 0x64}, {223, 0xA9},
        {224, 0x8E}, {227, 0x1E}, {229, 0x30}, {230, 0x02},
        {231, 0x4E}, {232, 0xEA}, {234, 0x2E}, {235, 0x02},
        {236, 0x8E}, {239, 0x1E}, {241, 0x30}, {242, 0x02}, {2047, 0xFF}})
        expected[address] = value;
    // clang-format on
    for (int b = 192; b <= 203; ++b)
        expected.try_emplace(b, 0xFF); // no key found
    program();
    EXPECT_EQ(dialogs.shown, QStringList{kSent});
    expectBackInTheMainWindow();
    for (int a = 1; a < kbdsim::KeyboardDevice::kBytes; ++a) {
        const auto it = expected.find(a);
        EXPECT_EQ(device.byte(a), it == expected.end() ? 0 : it->second) << "byte " << a;
    }
}

// Cancel in every phase; closing the window while sending says that the
// keyboard is partly programmed; a termination request (a logout) ends the
// transfer as Cancel does, without a word, before the program ends.
TEST_F(EndToEnd, CancelInEveryPhaseCloseAndATerminationRequest)
{
    enum Stop { Cancel, Close, Terminate };
    struct Phase
    {
        int type;
        const char* name;
        std::function<bool()> now;
        bool partly = false; // records reached the keyboard
        Stop stop = Cancel;
    };
    const auto labelIs = [this](const char* text) {
        return [this, text] { return window()->logic().view().InfoLabel == text; };
    };
    const auto fiveWrites = [this] { return device.writes() == 5; };
    const QString aborted = QStringLiteral("MORVA: Transmit aborted by user");
    const Phase phases[] = {
        {2, "building", labelIs("Building macros table")},
        {2, "connecting", [this] { return sawVersionQuery; }},
        {2, "sending", fiveWrites, true},
        {1, "building", labelIs("Building keys table")},
        {1, "sending", fiveWrites, true},
        {2, "closed while sending", fiveWrites, true, Close},
        {2, "terminated while sending", fiveWrites, true, Terminate},
    };
    for (const Phase& phase : phases) {
        useLayout(phase.type);
        dialogs.shown.clear();
        sawVersionQuery = false;
        bool stopped = false;
        bool unwound = false; // when the program closes its main window
        onTick = [&] {
            if (stopped || !window() || !window()->isVisible() || !phase.now())
                return;
            stopped = true;
            window()->findChild<QRadioButton*>("Option1_2")->click(); // refused
            if (phase.stop == Cancel)
                click("Cancel");
            else if (phase.stop == Close)
                window()->close();
            else
                TerminateProgramming(&mainWindow, [&] {
                    unwound = !window()->logic().service().active() && !link.isOpen();
                });
        };
        program();
        onTick = nullptr;
        EXPECT_TRUE(stopped) << phase.name;
        EXPECT_EQ(unwound, phase.stop == Terminate);
        const QStringList said[] = {
            {phase.partly ? aborted + "\n" + kPartly : aborted}, {"MORVA: " + kPartly}, {}};
        EXPECT_EQ(dialogs.shown, said[phase.stop]) << phase.name;
        EXPECT_LE(device.writes(), 6) << phase.name;
        EXPECT_EQ(state->ComPortIndex, 0);
        expectBackInTheMainWindow();
    }
}

// A port that cannot be used names the port, the path and what to do; its
// link is never replaced.
TEST_F(EndToEnd, PortsThatCannotBeUsedSayWhyAndWhatToDo)
{
    const QString com1 = QDir(dir.path()).filePath("com1");
    const QString ports = " with the Ports… button of the Program Kbd window.";
    const struct
    {
        QString target; // of the link com1; none: com1 is a file of the user's
        QString said;   // the end of the one message
    } cases[] = {
        {"/nonexistent/ttyUSB7", // an adapter pulled out
         "(!) Error: Error #  1\nCOM1 (/nonexistent/ttyUSB7): the link com1 in " + dir.path() +
             " points to no device\nThe link " + com1 +
             " points to /nonexistent/ttyUSB7, which is not there: the adapter is unplugged, or "
             "it has another name now. Plug it in, or bind COM1 to another device" +
             ports},
        {com1, // a link made by hand, wrongly
         "lead round in a circle, never to a device. Bind COM1 to a serial device" + ports},
        {{},
         "(!) Error: Error #  7\nCOM1 (" + com1 + "): not a serial port\n" + com1 +
             " is a regular file, not a serial device. Remove it, then bind COM1 to a serial "
             "device" +
             ports},
    };
    for (const auto& c : cases) {
        QFile::remove(com1);
        ASSERT_TRUE(c.target.isEmpty() ? QFile(com1).open(QIODevice::WriteOnly)
                                       : QFile::link(c.target, com1));
        dialogs.shown.clear();
        program();
        ASSERT_EQ(dialogs.shown.size(), 1);
        EXPECT_TRUE(dialogs.shown[0].endsWith(c.said)) << dialogs.shown[0].toStdString();
        expectBackInTheMainWindow();
        EXPECT_EQ(QFile::symLinkTarget(com1), c.target);
    }
    EXPECT_EQ(link.written, 0);
}

// "Ports…" lists the keyboard's adapter; binding COM2 to it links com2 to the
// adapter's stable name and selects COM2, and the transfer of an older
// keyboard reaches it (an enhanced one: the hand-worked image).
TEST_F(EndToEnd, ABindingMadeInTheChooserLeadsTheTransferToTheDevice)
{
    useLayout(1);
    QFile::remove(QDir(dir.path()).filePath("com1"));
    QTemporaryDir byId; // as /dev/serial/by-id
    const QString stable = byId.filePath("usb-POS_Keyboard_K1-if00");
    ASSERT_TRUE(QFile::link(pty.terminalPath(), stable));
    ListedPorts system;
    system.listed = {{pty.terminalPath(), "POS keyboard", "Maker", "K1", stable}};
    chooser = std::make_unique<PortChooser>(system, dir.path().toStdString());
    openWindow();
    click("BtnPorts");
    auto* form = window()->findChild<PortChooserForm*>();
    ASSERT_TRUE(form && form->isVisible());
    auto* list = form->findChild<QTreeWidget*>("PortList");
    const auto found = list->findItems(pty.terminalPath(), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    list->setCurrentItem(found[0]);
    EXPECT_EQ(found[0]->text(2), "ready");
    form->findChild<QComboBox*>("BindPort")->setCurrentIndex(1);
    form->findChild<QPushButton*>("BtnBind")->click();
    EXPECT_EQ(chooser->bindings().LinkTarget(2), stable);
    EXPECT_EQ(list->findItems(pty.terminalPath(), Qt::MatchExactly)[0]->text(1), "COM2");
    form->findChild<QPushButton*>("BtnClose")->click();
    EXPECT_TRUE(window()->findChild<QRadioButton*>("Option1_1")->isChecked());

    program();
    EXPECT_EQ(dialogs.shown, QStringList{kSent});
    EXPECT_TRUE(HoldsLayout(device, *state));
    expectBackInTheMainWindow();
}

// Two program folders whose links lead to one keyboard: while the display
// utility holds it, a transfer is refused before it writes a byte, naming
// the program; while the configurator holds it, the display utility is.
TEST_F(EndToEnd, ADeviceInUseByTheOtherProgramIsRefusedWhateverLinkLeadsThere)
{
    QTemporaryDir other;
    ASSERT_TRUE(QFile::link(pty.terminalPath(), other.filePath("com2")));
    const auto hold = [&](QProcess& holder) {
        holder.start(QStringLiteral(VORNESTW_PORT_HOLDER), {"--hold-com2", other.path()});
        return holder.waitForReadyRead(10000) ? holder.readLine() : QByteArray();
    };
    QProcess holder;
    ASSERT_EQ(hold(holder), "open\n");
    program();
    const QString name = QFileInfo(VORNESTW_PORT_HOLDER).fileName().left(15); // as Linux keeps it
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].startsWith(
        QStringLiteral("(!) Error: Error #  2\nCOM1 (%1) is in use by %2 (PID %3)\nClose %2 first")
            .arg(pty.terminalPath(), name)
            .arg(holder.processId())))
        << dialogs.shown[0].toStdString();
    EXPECT_EQ(link.written, 0);
    expectBackInTheMainWindow();
    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(5000));

    QtSerialLink ours(dir.path().toStdString());
    ASSERT_FALSE(ours.open(1));
    QProcess refused;
    EXPECT_EQ(hold(refused), "failed\n");
    refused.closeWriteChannel();
    ASSERT_TRUE(refused.waitForFinished(5000));
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

// The command line's console: what is printed, and Enter whenever asked.
struct TypedConsole : Console
{
    void print(const QString& text) override { out += text; }
    void error(const QString& text) override { errors << text; }
    bool isTerminal() const override { return false; }
    bool waitForEnter(const std::function<bool()>&) override { return ++enters; }

    QString out;
    QStringList errors;
    int enters = 0;
};

TEST_F(EndToEnd, TheCommandLineProgramsEveryUnitAsTheWindowDoesAndLogsEach)
{
    const FileFolders data{SUITE_DATA_DIR, SUITE_DATA_DIR}; // the shipped scan table
    LanguageTables tables(data);
    tables.load(0);
    state->Tables.ScanTable = tables.tables().ScanTable;
    state->Tables.ScanCount = tables.tables().ScanCount;
    FillMemory(*state);
    program(true); // fast throughout: a normal full transfer takes a minute here
    ASSERT_TRUE(HoldsLayout(device, *state));
    const auto byTheWindow = device.bytes();

    const QString layoutFile = QDir(dir.path()).filePath("shop.KBD");
    ASSERT_TRUE(WriteLayoutFile(layoutFile.toStdString(), state->LayoutRecords).ok);
    device = kbdsim::KeyboardDevice(2);
    fed = answered = link.written = link.read = 0;
    TypedConsole console;
    const ProgrammingLog log(QDir(dir.path()).filePath("state/programming.log"));
    CommandLineTransfer commandLine({console, clock, link, log, data});
    ProgrammingCommand command;
    command.mode = ProgrammingCommand::Mode::Program;
    command.layoutFile = layoutFile;
    command.port = "COM1";
    command.units = 2;
    command.fast = true;
    EXPECT_EQ(commandLine.run(command), kExitDone);
    EXPECT_TRUE(console.errors.isEmpty()) << console.errors.join("\n").toStdString();
    EXPECT_EQ(console.enters, 1);
    EXPECT_EQ(device.transfers(), 2);
    EXPECT_EQ(device.bytes(), byTheWindow);
    EXPECT_TRUE(console.out.contains("Unit 2: Sending, 1023 of 2045 bytes"))
        << console.out.toStdString();
    EXPECT_TRUE(console.out.endsWith("2 of 2 units programmed. Log: " + log.path() + "\n"));
    const QStringList lines = log.tail().split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    for (const QString& line : lines) {
        EXPECT_TRUE(line.contains("\tlayout=" + layoutFile + "\t"));
        EXPECT_TRUE(line.contains(
            "\tport=COM1\tdevice=" + QFileInfo(pty.terminalPath()).canonicalFilePath() + "\t"));
        EXPECT_TRUE(line.contains("\twrites=2045/2045\t"));
    }
}
