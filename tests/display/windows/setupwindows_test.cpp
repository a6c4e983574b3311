#include "displaystate.h"
#include "widgetrig.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace vornestw;
using namespace vornestw::test;

namespace {

TEST(SetModeForm, CurrentProtocolSelectedAndEnterOnAnOptionIsOk)
{
    WidgetRig rig;
    rig.state().Mode = 5;
    rig.trigger("MenuSetMode");
    auto* form = rig.find("SetModeForm");
    ASSERT_TRUE(form->isVisible());
    EXPECT_TRUE(rig.in<QRadioButton>("SetModeForm", "ModeOpt_5")->isChecked());
    EXPECT_EQ(rig.in<QRadioButton>("SetModeForm", "ModeOpt_7")->text(), "I&DM 787 - 2");
    auto* aedex = rig.in<QRadioButton>("SetModeForm", "ModeOpt_1");
    aedex->click();
    QTest::keyClick(aedex, Qt::Key_Return);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(rig.state().Mode, 1);
    EXPECT_EQ(rig.find<QLabel>("Label3")->text(), "Aedex Mode");
}

TEST(SetModeForm, ProgramAnsweredNoSendsNothingButChangesTheMenu)
{
    WidgetRig rig;
    rig.trigger("MenuSetMode");
    rig.click("SetModeForm", "ModeOpt_2");
    rig.click("SetModeForm", "BtnProgram"); // answered No
    ASSERT_EQ(rig.notice.questions.size(), 1u);
    EXPECT_EQ(rig.notice.questions[0].title, "Program LCD mode");
    EXPECT_EQ(rig.notice.questions[0].text, "Display protocol will be changed. Are You sure ?");
    EXPECT_TRUE(rig.port.received().empty());
    EXPECT_TRUE(rig.find("SetModeForm")->isVisible());

    // Escape is Cancel; the mode chosen by Program stays.
    QTest::keyClick(rig.in("SetModeForm", "ModeOpt_2"), Qt::Key_Escape);
    EXPECT_FALSE(rig.find("SetModeForm")->isVisible());
    EXPECT_EQ(rig.find<QLabel>("Label3")->text(), "Terminal Mode");
}

TEST(SetModeForm, ClosingItEndsAWaitForClearToSendAtOnce)
{
    WidgetRig rig;
    rig.trigger("MenuFunction_1"); // port open
    rig.port.clearReceived();
    rig.port.setCts(false);
    rig.trigger("MenuSetMode");
    rig.click("SetModeForm", "ModeOpt_6");
    rig.notice.answers = {true};
    const long long start = rig.waiter.now();
    rig.onTick = [&] {
        if (rig.waiter.now() - start == 50)
            rig.find("SetModeForm")->close();
    };
    rig.click("SetModeForm", "BtnProgram");
    EXPECT_LT(rig.waiter.now() - start, 100);
    EXPECT_TRUE(rig.notice.messages.empty()); // no time-out reported
    EXPECT_EQ(rig.port.written(), Hex("FE"));
    EXPECT_TRUE(rig.main().isEnabled());
}

TEST(OptionsForm, Com3OpensAtOnceAndThePrinterClosesIt)
{
    WidgetRig rig;
    rig.trigger("Configure");
    auto* form = rig.find("OptionsForm");
    EXPECT_TRUE(rig.in<QRadioButton>("OptionsForm", "PortOption_1")->isChecked());
    rig.click("OptionsForm", "PortOption_2");
    rig.click("OptionsForm", "BtnOk");
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(rig.port.openedPorts(), std::vector<int>{3});
    EXPECT_TRUE(rig.port.isOpen());
    EXPECT_EQ(rig.find<QLabel>("Label2")->text(), "Send to Com 3");

    rig.trigger("Configure");
    EXPECT_TRUE(rig.in<QRadioButton>("OptionsForm", "PortOption_2")->isChecked());
    auto* printer = rig.in<QRadioButton>("OptionsForm", "PortOption_4");
    printer->click();
    QTest::keyClick(printer, Qt::Key_Return);
    EXPECT_FALSE(rig.port.isOpen());
    EXPECT_EQ(rig.find<QLabel>("Label2")->text(), "Send to default printer");
    rig.trigger("MenuFunction_1");
    ASSERT_EQ(rig.printer.jobs.size(), 1u);
    EXPECT_EQ(rig.printer.jobs[0].size(), 16u);
}

TEST(OptionsForm, PortThatCannotOpenKeepsTheOldOneAndTheWindow)
{
    WidgetRig rig;
    rig.trigger("Configure");
    rig.click("OptionsForm", "PortOption_3");
    rig.port.failNextOpen("Permission denied");
    rig.click("OptionsForm", "BtnOk");
    ASSERT_EQ(rig.notice.messages.size(), 1u);
    EXPECT_EQ(rig.notice.messages[0].text, "Permission denied");
    EXPECT_TRUE(rig.find("OptionsForm")->isVisible());
    EXPECT_EQ(rig.find<QLabel>("Label2")->text(), "Send to Com 2");
    QTest::keyClick(rig.in("OptionsForm", "PortOption_3"), Qt::Key_Escape);
    EXPECT_FALSE(rig.find("OptionsForm")->isVisible());
    EXPECT_TRUE(rig.main().isEnabled());
    EXPECT_EQ(rig.state().Port, 1);
}

} // namespace
