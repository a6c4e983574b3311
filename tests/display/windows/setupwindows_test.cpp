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

// Closing the window ends a wait before the switch has started; a switch
// that has started is finished, so the display never keeps a lone FE.
TEST(SetModeForm, ClosingItDropsASwitchNotStartedAndFinishesAStartedOne)
{
    for (const bool started : {false, true}) {
        WidgetRig rig;
        rig.trigger("MenuFunction_1"); // port open
        rig.port.clearReceived();
        if (started)
            rig.port.paceClearToSend(400);
        else
            rig.port.setCts(false);
        rig.trigger("MenuSetMode");
        rig.click("SetModeForm", "ModeOpt_7");
        rig.notice.answers = {true};
        const long long start = rig.waiter.now();
        rig.onTick = [&] {
            if (rig.waiter.now() - start == 50)
                rig.find("SetModeForm")->close();
        };
        rig.click("SetModeForm", "BtnProgram");
        EXPECT_TRUE(rig.notice.messages.empty()) << started;
        EXPECT_EQ(rig.port.received(), started ? Hex("FE 66 0F") : Hex("")) << started;
        EXPECT_LT(rig.waiter.now() - start, started ? 1000 : 100);
        EXPECT_TRUE(rig.main().isEnabled());
    }
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
