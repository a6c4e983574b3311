#include "displaystate.h"
#include "widgetrig.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
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
    rig.trigger("MenuDefault");
    EXPECT_EQ(rig.state().Line1, "");
    EXPECT_EQ(rig.state().Port, 2);
    EXPECT_EQ(label(rig, "Label2"), "Send to Com 2");

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
    const int before = rig.waiter.now();
    rig.main().close();
    EXPECT_EQ(rig.waiter.now() - before, 10001);
    EXPECT_FALSE(rig.port.isOpen());
    QFile file(rig.folder() + ".INI");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().mid(8, 20), QByteArray("saved               "));
}

} // namespace
