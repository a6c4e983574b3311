// The real windows, serial code and waiter against a pseudo-terminal that
// stands for the display on COM2.
#include "displayprogram.h"
#include "displayrig.h"
#include "displayscreen.h"
#include "eventloopwaiter.h"
#include "mainform.h"
#include "pseudoterminal.h"
#include "qtseriallink.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace vornestw;
using namespace vornestw::test;

namespace {

class EndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.isValid());
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_TRUE(QFile::link(pty.terminalPath(), QDir(folder).filePath("com2")));
        port = std::make_unique<QtSerialLink>(folder);
        program = std::make_unique<DisplayProgram>(folder, *port, printer, waiter, notice);
        program->Main();
    }

    QWidget* window(const char* name)
    {
        for (QWidget* form : program->mainForm().OtherForms()) {
            if (form->objectName() == name)
                return form;
        }
        return nullptr;
    }
    template <typename T> T* control(const char* form, const char* name)
    {
        return window(form)->findChild<T*>(name);
    }
    void menu(const char* name) { program->mainForm().findChild<QAction*>(name)->trigger(); }
    std::vector<std::uint8_t> received(std::size_t expected)
    {
        return pty.receiveAtLeast(expected);
    }
    QByteArray settingsBytes() const
    {
        QFile file(folder + ".INI");
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir parent;
    QString folder = QDir(parent.path()).filePath("vornest");
    PseudoTerminal pty;
    std::unique_ptr<QtSerialLink> port;
    FakePrinter printer;
    EventLoopWaiter waiter;
    RecordingNotice notice;
    std::unique_ptr<DisplayProgram> program;
};

TEST_F(EndToEnd, ScriptedSessionReachesTheDisplayAndIsSavedOnClose)
{
    const QByteArray firstRun = settingsBytes();
    ASSERT_EQ(firstRun.size(), 100);

    menu("MenuFunction_1"); // Clear screen
    EXPECT_EQ(received(4), Hex("1B 5B 32 4A"));

    menu("MenuFunction_0");
    auto* text1 = control<QLineEdit>("DisplayTwoLinesForm", "Text1");
    auto* text2 = control<QLineEdit>("DisplayTwoLinesForm", "Text2");
    text1->clear();
    QTest::keyClicks(text1, "Hello");
    QTest::keyClick(text1, Qt::Key_Return);
    text2->clear();
    QTest::keyClicks(text2, "World");
    control<QPushButton>("DisplayTwoLinesForm", "BtnSend")->click();
    const std::string twoLines = "\x1B[8M \x1B[2JHello\x1B[02;01HWorld\x1B[8M";
    const auto bytes = received(twoLines.size());
    EXPECT_EQ(bytes, BytesOf(twoLines));
    displaysim::DisplayScreen screen;
    screen.feed(std::string(bytes.begin(), bytes.end()));
    EXPECT_EQ(screen.line(1), "Hello               ");
    EXPECT_EQ(screen.line(2), "World               ");
    control<QPushButton>("DisplayTwoLinesForm", "BtnCancel")->click();

    menu("MenuFunction_2");
    control<QRadioButton>("SetCursorPosForm", "OptLine2")->click();
    auto* column = control<QLineEdit>("SetCursorPosForm", "TextXPos");
    column->clear();
    QTest::keyClicks(column, "5");
    QTest::keyClick(column, Qt::Key_Return);
    control<QPushButton>("SetCursorPosForm", "BtnSend")->click();
    EXPECT_EQ(received(7), Hex("1B 5B 30 32 3B 35 48"));
    control<QPushButton>("SetCursorPosForm", "BtnCancel")->click();

    menu("MenuSetMode");
    control<QRadioButton>("SetModeForm", "ModeOpt_7")->click();
    notice.answers = {true};
    control<QPushButton>("SetModeForm", "BtnProgram")->click();
    EXPECT_EQ(received(3), Hex("FE 66 0F"));
    control<QPushButton>("SetModeForm", "BtnCancel")->click();

    menu("MenuFunction_2"); // IDM's Home
    EXPECT_EQ(received(2), Hex("0C 0D"));
    EXPECT_TRUE(notice.messages.empty());

    // Nothing is saved before the window closes.
    EXPECT_EQ(settingsBytes(), firstRun);
    program->mainForm().close();
    const QByteArray saved = settingsBytes();
    ASSERT_EQ(saved.size(), 100);
    EXPECT_EQ(saved.mid(0, 8), QByteArray("\x07\0\x01\0\x05\0\x02\0", 8));
    EXPECT_EQ(saved.mid(8, 20), QByteArray("Hello               "));
    EXPECT_EQ(saved.mid(28, 20), QByteArray("World               "));
    EXPECT_FALSE(port->isOpen());
}

TEST_F(EndToEnd, ExitSavesNothing)
{
    const QByteArray firstRun = settingsBytes();
    menu("MenuSetMode");
    control<QRadioButton>("SetModeForm", "ModeOpt_6")->click();
    control<QPushButton>("SetModeForm", "BtnOk")->click();
    menu("MenuFunction_1"); // EPSON's Cursor home
    EXPECT_EQ(received(1), Hex("16"));

    menu("MenuExit");
    program.reset();
    EXPECT_EQ(settingsBytes(), firstRun);
}

} // namespace
