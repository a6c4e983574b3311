#include "displaystate.h"
#include "widgetrig.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace vornestw;
using namespace vornestw::test;

namespace {

QStringList visibleFunctions(WidgetRig& rig)
{
    QStringList captions;
    for (QAction* action : rig.find<QMenu>("MenuTest")->actions()) {
        if (action->isVisible())
            captions << action->text();
    }
    return captions;
}

QString label(WidgetRig& rig, const char* name)
{
    return rig.find<QLabel>(name)->text();
}

TEST(MainForm, ShowsChannelModeAndMenusOfAFirstStart)
{
    WidgetRig rig;
    EXPECT_EQ(label(rig, "Label2"), "Send to Com 2");
    EXPECT_EQ(label(rig, "Label3"), "QN Mode");
    EXPECT_EQ(visibleFunctions(rig).size(), 14);
    // The settings file lies beside the program folder.
    EXPECT_TRUE(QFile::exists(rig.folder() + ".INI"));
    // Our icon reached every window.
    EXPECT_FALSE(rig.main().windowIcon().isNull());
    for (QWidget* form : rig.main().OtherForms())
        EXPECT_FALSE(form->windowIcon().isNull()) << form->objectName().toStdString();
}

TEST(MainForm, SwitchingFromEpsonToQnLeavesExactlyItems0To13)
{
    WidgetRig rig;
    rig.openItem(6, 1);
    EXPECT_EQ(visibleFunctions(rig).size(), 18);
    EXPECT_EQ(label(rig, "Label3"), "EPSON  Mode");

    rig.trigger("MenuSetMode");
    rig.click("SetModeForm", "ModeOpt_0");
    rig.click("SetModeForm", "BtnOk");
    const QStringList captions = visibleFunctions(rig);
    ASSERT_EQ(captions.size(), 14);
    EXPECT_EQ(captions.back(), "Display o&ff");
    EXPECT_EQ(label(rig, "Label3"), "QN Mode");
    EXPECT_EQ(rig.port.received(), Hex("16")); // EPSON's item only; Ok sends nothing
}

TEST(MainForm, MenuCommandIsSentAndEchoedOnFourLabelsAtMost)
{
    WidgetRig rig;
    rig.trigger("MenuFunction_1");
    EXPECT_EQ(rig.port.received(), Hex("1B 5B 32 4A"));
    EXPECT_EQ(label(rig, "Label4"), "<ESC>[2J");
    EXPECT_EQ(label(rig, "Label5"), "");

    // 60 spaces render as 240 characters; the labels show 200 of them.
    rig.openItem(7, 0);
    rig.in<QLineEdit>("DisplayTwoLinesForm", "Text1")->setText(QString(60, ' ')); // as if pasted
    rig.click("DisplayTwoLinesForm", "BtnSend");
    EXPECT_EQ(label(rig, "Label4"), "<12><CR>" + QString("<SP>").repeated(10) + "<S");
    EXPECT_EQ(
        (label(rig, "Label4") + label(rig, "Label5") + label(rig, "Label6") + label(rig, "Label7"))
            .size(),
        200);
}

TEST(MainForm, OtherWindowDisablesItUntilClosedFromItsFrame)
{
    WidgetRig rig;
    rig.openItem(1, 6);
    QWidget* prefix = rig.find("PrefixForm");
    ASSERT_TRUE(prefix->isVisible());
    EXPECT_FALSE(rig.main().isEnabled());
    prefix->close();
    EXPECT_FALSE(prefix->isVisible());
    EXPECT_TRUE(rig.main().isEnabled());
}

TEST(MainForm, DefaultConfigurationKeepsTheCaptionAndAboutBox)
{
    WidgetRig rig;
    rig.state().Line1 = "keep";
    rig.notice.answers = {false, true};
    rig.trigger("MenuDefault");
    ASSERT_EQ(rig.notice.questions.size(), 1u);
    EXPECT_EQ(rig.notice.questions[0].title, "Set to default");
    EXPECT_EQ(rig.notice.questions[0].text, "Set all program settings to default ?");
    EXPECT_EQ(rig.state().Line1, "keep");
    rig.state().Mode = 6, rig.state().XPos = 9, rig.state().Prefix2 = 'y';
    rig.trigger("MenuDefault");
    const DisplayState& s = rig.state();
    EXPECT_EQ(s.Line1 + s.Line2 + s.LongText, "");
    EXPECT_EQ(std::tie(s.Mode, s.Port, s.XPos, s.LineNo, s.Prefix1, s.Prefix2),
              std::make_tuple(6, 2, 1, 1, '!', '#'));
    EXPECT_EQ(label(rig, "Label2"), "Send to Com 2");

    rig.trigger("About");
    ASSERT_EQ(rig.notice.messages.size(), 1u);
    EXPECT_EQ(rig.notice.messages[0].title, "Vornest");
    EXPECT_EQ(rig.notice.messages[0].text, "Vornest for Windows \nVer. 1.2");
}

TEST(MainForm, ClosingWithClearToSendLowWaitsBoundedThenSaves)
{
    WidgetRig rig;
    rig.trigger("MenuFunction_1");
    rig.port.setCts(false);
    rig.state().Line1 = "saved";
    const int before = rig.waiter.now();
    rig.main().close();
    EXPECT_EQ(rig.waiter.now() - before, 10001);
    EXPECT_FALSE(rig.port.isOpen());
    QFile file(rig.folder() + ".INI");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().mid(8, 20), QByteArray("saved               "));
}

QByteArray savedLine1(WidgetRig& rig)
{
    QFile file(rig.folder() + ".INI");
    return file.open(QIODevice::ReadOnly) ? file.readAll().mid(8, 20) : QByteArray();
}

TEST(MainForm, ClosingTakesBackWhatTheOpenWindowHolds)
{
    WidgetRig rig;
    rig.openItem(7, 0);
    rig.in<QLineEdit>("DisplayTwoLinesForm", "Text1")->setText("typed");
    rig.main().close();
    EXPECT_FALSE(rig.find("DisplayTwoLinesForm")->isVisible());
    EXPECT_EQ(savedLine1(rig), QByteArray("typed               "));
}

TEST(MainForm, ClosingDuringASendFinishesTheCommandFirst)
{
    WidgetRig rig;
    rig.port.paceClearToSend(400);
    rig.openItem(7, 0);
    const long long start = rig.waiter.now();
    rig.onTick = [&] {
        if (rig.waiter.now() - start == 100)
            rig.main().close();
    };
    rig.click("DisplayTwoLinesForm", "BtnSend");
    QCoreApplication::processEvents(); // the close waited for the send
    EXPECT_EQ(rig.port.received(), BytesOf("\x0C\rLine1 test 12356\rLine2 test abcde\r"));
    EXPECT_TRUE(rig.notice.messages.empty());
    EXPECT_FALSE(rig.port.isOpen());
    EXPECT_EQ(savedLine1(rig), QByteArray("Line1 test 12356    "));
}

TEST(MainForm, SettingsPathThatIsNoRegularFileIsReportedOnceAndLeftAlone)
{
    QTemporaryDir parent;
    const QString fifo = QDir(parent.path()).filePath("prog.INI");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    Devices devices;
    DisplayProgram program(QDir(parent.path()).filePath("prog"), devices.port, devices.printer,
                           devices.waiter, devices.notice);
    program.Main();
    QCoreApplication::processEvents();
    program.mainForm().close();
    ASSERT_EQ(devices.notice.messages.size(), 1u); // at the start, not again when closing
    EXPECT_TRUE(devices.notice.messages[0].text.startsWith(fifo + " is not a regular file"));
    EXPECT_EQ(program.state().Line1, "Line1 test 12356");
    EXPECT_FALSE(QFileInfo(fifo).isFile());
}

// The settings file was made read-only while the program ran: one warning
// when the window closes, and the file stays as it was.
TEST(MainForm, ReadOnlySettingsFileIsNamedOnceWhenClosing)
{
    WidgetRig rig;
    const QString file = rig.folder() + ".INI";
    QFile before(file);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray old = before.readAll();
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0444), 0);
    rig.state().Line1 = "not saved";
    rig.main().close();
    ASSERT_EQ(rig.notice.messages.size(), 1u);
    EXPECT_EQ(rig.notice.messages[0].severity, UserNotice::Severity::Warning);
    EXPECT_EQ(rig.notice.messages[0].title, "Vornest");
    EXPECT_EQ(rig.notice.messages[0].text,
              "The settings could not be saved to " + file + ": the file is read-only");
    QFile after(file);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), old);
}

} // namespace
