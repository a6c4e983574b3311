#include "displaystate.h"
#include "widgetrig.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

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

TEST(MainForm, ShowsChannelModeAndMenusOfAFirstStart)
{
    WidgetRig rig;
    EXPECT_EQ(rig.main().windowTitle(), "Vornest");
    EXPECT_EQ(rig.find<QGroupBox>("Frame1")->title(), "Info");
    EXPECT_EQ(rig.find<QGroupBox>("Frame2")->title(), "Last sended string:");
    EXPECT_EQ(rig.find<QLabel>("Label2")->text(), "Send to Com 2");
    EXPECT_EQ(rig.find<QLabel>("Label3")->text(), "QN Mode");
    EXPECT_EQ(rig.find<QMenu>("MenuSetup")->title(), "&Setup");
    EXPECT_EQ(rig.find<QMenu>("Help")->title(), "&Help");
    EXPECT_EQ(rig.find<QAction>("MenuSetMode")->text(), "Set &mode");
    EXPECT_EQ(rig.find<QAction>("Configure")->text(), "&Connection");
    EXPECT_EQ(rig.find<QAction>("MenuDefault")->text(), "&Default configuration");
    EXPECT_EQ(rig.find<QAction>("MenuExit")->text(), "E&xit");
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
    rig.state().Mode = 6;
    rig.main().BuildFunctionMenu();
    EXPECT_EQ(visibleFunctions(rig).size(), 18);
    EXPECT_EQ(rig.find<QLabel>("Label3")->text(), "EPSON  Mode");

    rig.trigger("MenuSetMode");
    rig.in<QRadioButton>("SetModeForm", "ModeOpt_0")->click();
    rig.in<QPushButton>("SetModeForm", "BtnOk")->click();

    const QStringList captions = visibleFunctions(rig);
    ASSERT_EQ(captions.size(), 14);
    EXPECT_EQ(captions.front(), "&Display");
    EXPECT_EQ(captions.back(), "Display o&ff");
    for (int i = 14; i <= 20; ++i)
        EXPECT_FALSE(rig.find<QAction>(qPrintable(QString("MenuFunction_%1").arg(i)))->isVisible());
    EXPECT_EQ(rig.find<QLabel>("Label3")->text(), "QN Mode");
    EXPECT_TRUE(rig.port.received().empty()); // Ok sends nothing
}

TEST(MainForm, MenuCommandIsSentAndEchoed)
{
    WidgetRig rig;
    rig.trigger("MenuFunction_1");
    EXPECT_EQ(rig.port.received(), Hex("1B 5B 32 4A"));
    EXPECT_EQ(rig.find<QLabel>("Label4")->text(), "<ESC>[2J");
    EXPECT_EQ(rig.find<QLabel>("Label5")->text(), "");
    rig.trigger("MenuFunction_8");
    EXPECT_EQ(rig.find<QLabel>("Label4")->text(), "<SP>");
}

TEST(MainForm, LongEchoFillsFourLabelsAndStops)
{
    WidgetRig rig;
    rig.state().Mode = 7;
    rig.main().BuildFunctionMenu();
    rig.trigger("MenuFunction_0");
    // 60 spaces render as 240 characters; the labels show 200 of them.
    auto* text1 = rig.in<QLineEdit>("DisplayTwoLinesForm", "Text1");
    text1->setText(QString(60, ' ')); // as if pasted
    rig.in<QPushButton>("DisplayTwoLinesForm", "BtnSend")->click();
    QString start = "<12><CR>";
    for (int i = 0; i < 10; ++i)
        start += "<SP>";
    EXPECT_EQ(rig.find<QLabel>("Label4")->text(), start + "<S");
    QString shown;
    for (const char* name : {"Label4", "Label5", "Label6", "Label7"})
        shown += rig.find<QLabel>(name)->text();
    EXPECT_EQ(shown.size(), 200);
}

TEST(MainForm, OtherWindowDisablesItUntilClosedFromItsFrame)
{
    WidgetRig rig;
    rig.state().Mode = 1;
    rig.main().BuildFunctionMenu();
    rig.trigger("MenuFunction_6");
    QWidget* prefix = rig.find("PrefixForm");
    ASSERT_TRUE(prefix->isVisible());
    EXPECT_FALSE(rig.main().isEnabled());
    EXPECT_TRUE(prefix->isEnabled());
    prefix->close();
    EXPECT_FALSE(prefix->isVisible());
    EXPECT_TRUE(rig.main().isEnabled());
}

TEST(MainForm, DefaultConfigurationAskedNoChangesNothingYesKeepsCaption)
{
    WidgetRig rig;
    rig.state().Line1 = "keep";
    rig.notice.answers = {false};
    rig.trigger("MenuDefault");
    ASSERT_EQ(rig.notice.questions.size(), 1u);
    EXPECT_EQ(rig.notice.questions[0].title, "Set to default");
    EXPECT_EQ(rig.notice.questions[0].text, "Set all program settings to default ?");
    EXPECT_EQ(rig.state().Line1, "keep");

    rig.notice.answers = {true};
    rig.trigger("MenuDefault");
    EXPECT_EQ(rig.state().Line1, "");
    EXPECT_EQ(rig.state().Port, 2);
    EXPECT_EQ(rig.find<QLabel>("Label2")->text(), "Send to Com 2");
}

TEST(MainForm, AboutBox)
{
    WidgetRig rig;
    rig.trigger("About");
    ASSERT_EQ(rig.notice.messages.size(), 1u);
    EXPECT_EQ(rig.notice.messages[0].title, "Vornest");
    EXPECT_EQ(rig.notice.messages[0].text, "Vornest for Windows \nVer. 1.2");
}

TEST(MainForm, MenusAreDisabledWhileAStringIsSent)
{
    WidgetRig rig;
    bool menuEnabledDuringSend = true;
    rig.onTick = [&] {
        menuEnabledDuringSend = menuEnabledDuringSend && rig.main().menuBar()->isEnabled();
    };
    rig.trigger("MenuFunction_1");
    EXPECT_FALSE(menuEnabledDuringSend);
    EXPECT_TRUE(rig.main().menuBar()->isEnabled());
}

TEST(MainForm, ClosingWithClearToSendLowWaitsBoundedThenSaves)
{
    WidgetRig rig;
    rig.trigger("MenuFunction_1");
    rig.port.setCts(false);
    rig.state().Line1 = "saved";
    const int before = rig.waiter.eventRounds();
    rig.main().close();
    EXPECT_EQ(rig.waiter.eventRounds() - before, 10001);
    EXPECT_FALSE(rig.port.isOpen());
    QFile file(rig.folder() + ".INI");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().mid(8, 20), QByteArray("saved               "));
}

} // namespace
