#include "displaystate.h"
#include "widgetrig.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace vornestw;
using namespace vornestw::test;

namespace {

TEST(DisplayTwoLinesForm, LimitsEnterAndSend)
{
    WidgetRig rig;
    rig.openItem(0, 0);
    auto* form = rig.find("DisplayTwoLinesForm");
    ASSERT_TRUE(form->isVisible());
    auto* text1 = rig.in<QLineEdit>("DisplayTwoLinesForm", "Text1");
    auto* text2 = rig.in<QLineEdit>("DisplayTwoLinesForm", "Text2");
    auto* send = rig.in<QPushButton>("DisplayTwoLinesForm", "BtnSend");
    EXPECT_EQ(text2->text(), "Line2 test abcde");

    text1->clear();
    QTest::keyClicks(text1, "abcdefghijklmnopqrstUVW");
    EXPECT_EQ(text1->text(), "abcdefghijklmnopqrst");
    // At the limit the caret still moves and Backspace and Delete still work.
    QTest::keyClick(text1, Qt::Key_Home);
    QTest::keyClick(text1, Qt::Key_Delete);
    QTest::keyClick(text1, Qt::Key_End);
    QTest::keyClick(text1, Qt::Key_Backspace);
    QTest::keyClicks(text1, "XY");
    EXPECT_EQ(text1->text(), "bcdefghijklmnopqrsXY");
    EXPECT_FALSE(text1->isReadOnly());

    // Enter moves on and sends nothing.
    QTest::keyClick(text1, Qt::Key_Return);
    EXPECT_EQ(form->focusWidget(), text2);
    text2->setText("2");
    QTest::keyClick(text2, Qt::Key_Return);
    EXPECT_EQ(form->focusWidget(), send);
    EXPECT_TRUE(rig.port.received().empty());

    bool enabledWhileSending = false;
    rig.onTick = [&] { enabledWhileSending = enabledWhileSending || send->isEnabled(); };
    send->click();
    EXPECT_FALSE(enabledWhileSending);
    EXPECT_TRUE(send->isEnabled());
    EXPECT_EQ(rig.port.received(), BytesOf("\x1B[8M \x1B[2Jbcdefghijklmnopqrs"
                                           "XY\x1B[02;01H2\x1B[8M"));
    EXPECT_EQ(rig.state().Line1, "bcdefghijklmnopqrsXY");
    EXPECT_TRUE(form->isVisible()); // stays open for further sends

    // Escape is Cancel; what was typed is kept.
    text1->setText("typed");
    QTest::keyClick(text1, Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(rig.main().isEnabled());
    EXPECT_EQ(rig.state().Line1, "typed");
}

TEST(DisplayLongForm, TitleCodeAndFortyCharacterLimit)
{
    const std::tuple<int, const char*, const char*> rows[] = {
        {1, "Once scroll", "6"}, {2, "Continuous scroll", "4"}, {3, "Display long", "9"}};
    WidgetRig rig;
    auto* form = rig.find("DisplayLongForm");
    auto* text1 = rig.in<QLineEdit>("DisplayLongForm", "Text1");
    for (const auto& [item, title, code] : rows) {
        rig.port.clearReceived();
        rig.openItem(1, item);
        EXPECT_EQ(form->windowTitle(), title);
        text1->clear();
        QTest::keyClicks(text1, QString(45, 'x'));
        QTest::keyClick(text1, Qt::Key_Backspace);
        QTest::keyClick(text1, Qt::Key_Return);
        EXPECT_EQ(form->focusWidget(), rig.in<QPushButton>("DisplayLongForm", "BtnSend"));
        rig.click("DisplayLongForm", "BtnSend");
        EXPECT_EQ(rig.port.received(),
                  BytesOf(std::string("!#") + code + std::string(39, 'x') + "\r"));
        QTest::keyClick(text1, Qt::Key_Escape);
        EXPECT_FALSE(form->isVisible());
    }
}

TEST(SetCursorPosForm, TypedColumnCancelKeepingItAndEnterOnTheBar)
{
    WidgetRig rig;
    rig.openItem(7, 1);
    auto* scroll = rig.in<QScrollBar>("SetCursorPosForm", "HScrXPos");
    auto* box = rig.in<QLineEdit>("SetCursorPosForm", "TextXPos");
    scroll->setValue(4);
    for (const auto& [typed, column, shown] : {std::tuple{"25", 4, "25"}, {"12", 12, " 12"}}) {
        box->setText(typed);
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_EQ(scroll->value(), column); // outside 1..20 it stays
        EXPECT_EQ(box->text(), shown);
    }
    // Cancel keeps the chosen column for the next opening.
    QTest::keyClick(scroll, Qt::Key_Escape);
    EXPECT_FALSE(rig.find("SetCursorPosForm")->isVisible());
    EXPECT_EQ(rig.state().XPos, 12);
    EXPECT_TRUE(rig.port.received().empty());

    rig.openItem(7, 1);
    EXPECT_EQ(scroll->value(), 12);
    QTest::keyClick(scroll, Qt::Key_Right);
    QTest::keyClick(scroll, Qt::Key_Return);
    EXPECT_EQ(rig.port.received(), Hex("10 0D 0D"));
}

TEST(PrefixForm, SendThenCancelRestoresTheOldPrefixes)
{
    WidgetRig rig;
    rig.openItem(1, 6);
    auto* scroll1 = rig.in<QScrollBar>("PrefixForm", "HScroll1");
    EXPECT_EQ(scroll1->value(), 33);
    EXPECT_EQ(rig.in<QLineEdit>("PrefixForm", "Text1")->text(), " 33");
    scroll1->setValue(40);
    rig.in<QScrollBar>("PrefixForm", "HScroll2")->setValue(41);
    EXPECT_EQ(rig.in<QLineEdit>("PrefixForm", "Text3")->text(), "()");
    rig.click("PrefixForm", "BtnSend");
    EXPECT_EQ(rig.port.received(), Hex("21 23 38 28 29 0D"));
    EXPECT_EQ(rig.state().Prefix1, '(');
    EXPECT_TRUE(rig.find("PrefixForm")->isVisible());

    rig.click("PrefixForm", "BtnCancel");
    EXPECT_EQ(std::tie(rig.state().Prefix1, rig.state().Prefix2), std::make_tuple('!', '#'));
    EXPECT_TRUE(rig.main().isEnabled());
}

TEST(TextWindows, EnterOutsideTheTextBoxesPressesNoButton)
{
    WidgetRig rig;
    rig.openItem(1, 6);
    QTest::keyClick(rig.in<QScrollBar>("PrefixForm", "HScroll1"), Qt::Key_Return);
    QTest::keyClick(rig.in<QLineEdit>("PrefixForm", "Text3"), Qt::Key_Return);
    EXPECT_TRUE(rig.find("PrefixForm")->isVisible()); // Ok was not pressed
    rig.click("PrefixForm", "BtnCancel");

    rig.openItem(0, 2);
    QTest::keyClick(rig.in("SetCursorPosForm", "OptLine1"), Qt::Key_Return);
    EXPECT_TRUE(rig.port.received().empty());
    // A focused button still takes Enter.
    auto* send = rig.in<QPushButton>("SetCursorPosForm", "BtnSend");
    send->setFocus();
    QTest::keyClick(send, Qt::Key_Return);
    EXPECT_EQ(rig.port.received(), Hex("1B 5B 30 31 3B 31 48"));
}

TEST(PrefixForm, CodeBoxesTakeDigitsTypingSetsBothAndOkTakesThem)
{
    WidgetRig rig;
    rig.openItem(1, 6);
    auto* box = rig.in<QLineEdit>("PrefixForm", "Text1");
    auto* scroll1 = rig.in<QScrollBar>("PrefixForm", "HScroll1");
    box->clear();
    QTest::keyClicks(box, "6a-5.");
    EXPECT_EQ(box->text(), "65");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(scroll1->value(), 65);
    EXPECT_EQ(box->text(), " 65");
    EXPECT_EQ(rig.in<QLineEdit>("PrefixForm", "Text3")->text(), "A#");
    for (const char* typed : {"300", "065"}) {
        box->setText(typed);
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_EQ(scroll1->value(), 65);
        EXPECT_EQ(box->text(), " 65");
    }
    // Typing two characters sets both prefixes; Ok takes them.
    auto* text3 = rig.in<QLineEdit>("PrefixForm", "Text3");
    text3->setCursorPosition(0);
    QTest::keyClicks(text3, "A$"); // the first equals the current prefix
    QTest::keyClick(text3, Qt::Key_Backspace);
    EXPECT_EQ(text3->text(), "A$");
    rig.click("PrefixForm", "BtnOk");
    EXPECT_EQ(std::tie(rig.state().Prefix1, rig.state().Prefix2), std::make_tuple('A', '$'));
    EXPECT_FALSE(rig.find("PrefixForm")->isVisible());
    EXPECT_TRUE(rig.port.received().empty());
}

// A slow display: clear-to-send drops for 400 ms after every byte.
TEST(SetCursorPosForm, NoSecondSendStartsInsideARunningOne)
{
    WidgetRig rig;
    rig.port.paceClearToSend(400);
    rig.openItem(0, 2);
    auto* scroll = rig.in<QScrollBar>("SetCursorPosForm", "HScrXPos");
    scroll->setValue(5);
    const long long start = rig.waiter.now();
    rig.onTick = [&] {
        if (rig.waiter.now() - start == 1000) {
            QTest::keyClick(scroll, Qt::Key_Right);
            QTest::keyClick(scroll, Qt::Key_Return);
            rig.click("SetCursorPosForm", "BtnSend");
            rig.trigger("MenuFunction_1");
        }
    };
    QTest::keyClick(scroll, Qt::Key_Return);
    EXPECT_EQ(rig.port.received(), Hex("1B 5B 30 31 3B 35 48"));
    EXPECT_TRUE(rig.notice.messages.empty());
}

TEST(DisplayTwoLinesForm, FocusReturnsToSendSoThatEnterSendsAgain)
{
    WidgetRig rig;
    rig.openItem(7, 0);
    auto* form = rig.find("DisplayTwoLinesForm");
    auto* send = rig.in<QPushButton>("DisplayTwoLinesForm", "BtnSend");
    QTest::keyClick(rig.in<QLineEdit>("DisplayTwoLinesForm", "Text2"), Qt::Key_Return);
    for (int round = 0; round < 2; ++round) {
        QTest::keyClick(form->focusWidget(), Qt::Key_Return);
        EXPECT_EQ(form->focusWidget(), send);
    }
    EXPECT_TRUE(form->isVisible());
    const std::string twoLines = "\x0C\rLine1 test 12356\rLine2 test abcde\r";
    EXPECT_EQ(rig.port.received(), BytesOf(twoLines + twoLines));
}

TEST(PrefixForm, TabFollowsTheLayout)
{
    WidgetRig rig;
    QStringList order;
    for (QWidget* w = rig.in("PrefixForm", "HScroll1"); order.size() < 8;
         w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus)
            order << w->objectName();
    }
    EXPECT_EQ(order, QStringList({"HScroll1", "Text1", "HScroll2", "Text2", "Text3", "BtnOk",
                                  "BtnSend", "BtnCancel"}));
}

} // namespace
