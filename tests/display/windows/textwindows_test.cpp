#include "displaystate.h"
#include "widgetrig.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace vornestw;
using namespace vornestw::test;

namespace {

// Opens the window of a function menu item in the given protocol.
QWidget* openFromMenu(WidgetRig& rig, int mode, int item)
{
    rig.state().Mode = mode;
    rig.main().BuildFunctionMenu();
    rig.trigger(qPrintable(QString("MenuFunction_%1").arg(item)));
    return QApplication::activeWindow() ? QApplication::activeWindow() : nullptr;
}

TEST(DisplayTwoLinesForm, LimitsEnterAndSend)
{
    WidgetRig rig;
    openFromMenu(rig, 0, 0);
    auto* form = rig.find("DisplayTwoLinesForm");
    ASSERT_TRUE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), "Display two lines");
    auto* text1 = rig.in<QLineEdit>("DisplayTwoLinesForm", "Text1");
    auto* text2 = rig.in<QLineEdit>("DisplayTwoLinesForm", "Text2");
    EXPECT_EQ(text1->text(), "Line1 test 12356");
    EXPECT_EQ(text2->text(), "Line2 test abcde");

    text1->clear();
    QTest::keyClicks(text1, "abcdefghijklmnopqrstUVW");
    EXPECT_EQ(text1->text(), "abcdefghijklmnopqrst");
    // At the limit the caret still moves and Backspace and Delete still work.
    QTest::keyClick(text1, Qt::Key_Home);
    QTest::keyClick(text1, Qt::Key_Delete);
    EXPECT_EQ(text1->text(), "bcdefghijklmnopqrst");
    QTest::keyClick(text1, Qt::Key_End);
    QTest::keyClick(text1, Qt::Key_Backspace);
    EXPECT_EQ(text1->text(), "bcdefghijklmnopqrs");
    QTest::keyClicks(text1, "XY");
    EXPECT_EQ(text1->text(), "bcdefghijklmnopqrsXY");
    EXPECT_FALSE(text1->isReadOnly());

    // Enter moves on and sends nothing.
    text1->setFocus();
    QTest::keyClick(text1, Qt::Key_Return);
    EXPECT_EQ(rig.find("DisplayTwoLinesForm")->focusWidget(), text2);
    text2->setText("2");
    QTest::keyClick(text2, Qt::Key_Return);
    EXPECT_EQ(rig.find("DisplayTwoLinesForm")->focusWidget(),
              rig.in<QPushButton>("DisplayTwoLinesForm", "BtnSend"));
    EXPECT_TRUE(rig.port.received().empty());

    auto* send = rig.in<QPushButton>("DisplayTwoLinesForm", "BtnSend");
    bool enabledWhileSending = false;
    rig.onTick = [&] { enabledWhileSending = enabledWhileSending || send->isEnabled(); };
    send->click();
    EXPECT_FALSE(enabledWhileSending);
    EXPECT_TRUE(send->isEnabled());
    EXPECT_EQ(rig.port.received(), BytesOf("\x1B[8M \x1B[2Jbcdefghijklmnopqrs"
                                           "XY\x1B[02;01H2\x1B[8M"));
    EXPECT_EQ(rig.state().Line1, "bcdefghijklmnopqrsXY");
    EXPECT_TRUE(form->isVisible()); // stays open for further sends
}

TEST(DisplayTwoLinesForm, EscapeCancelsAndTheTextsAreKept)
{
    WidgetRig rig;
    openFromMenu(rig, 3, 0);
    auto* text1 = rig.in<QLineEdit>("DisplayTwoLinesForm", "Text1");
    text1->setText("typed");
    QTest::keyClick(text1, Qt::Key_Escape);
    EXPECT_FALSE(rig.find("DisplayTwoLinesForm")->isVisible());
    EXPECT_TRUE(rig.main().isEnabled());
    EXPECT_EQ(rig.state().Line1, "typed");
    EXPECT_TRUE(rig.port.received().empty());
}

TEST(DisplayLongForm, TitleCodeAndFortyCharacterLimit)
{
    struct Row
    {
        int item;
        const char* title;
        const char* code;
    };
    const Row rows[] = {
        {1, "Once scroll", "6"}, {2, "Continuous scroll", "4"}, {3, "Display long", "9"}};
    WidgetRig rig;
    for (const Row& r : rows) {
        rig.port.clearReceived();
        openFromMenu(rig, 1, r.item);
        auto* form = rig.find("DisplayLongForm");
        ASSERT_TRUE(form->isVisible());
        EXPECT_EQ(form->windowTitle(), r.title);
        auto* text1 = rig.in<QLineEdit>("DisplayLongForm", "Text1");
        text1->clear();
        QTest::keyClicks(text1, QString(45, 'x'));
        EXPECT_EQ(text1->text(), QString(40, 'x'));
        QTest::keyClick(text1, Qt::Key_Backspace);
        QTest::keyClick(text1, Qt::Key_Return);
        EXPECT_EQ(form->focusWidget(), rig.in<QPushButton>("DisplayLongForm", "BtnSend"));
        rig.in<QPushButton>("DisplayLongForm", "BtnSend")->click();
        EXPECT_EQ(rig.port.received(),
                  BytesOf(std::string("!#") + r.code + std::string(39, 'x') + "\r"));
        QTest::keyClick(text1, Qt::Key_Escape);
        EXPECT_FALSE(form->isVisible());
    }
}

TEST(SetCursorPosForm, TypedColumnOutOfRangeLeavesTheScrollBar)
{
    WidgetRig rig;
    openFromMenu(rig, 0, 2);
    auto* form = rig.find("SetCursorPosForm");
    ASSERT_TRUE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), "Move cursor to position:");
    auto* scroll = rig.in<QScrollBar>("SetCursorPosForm", "HScrXPos");
    auto* box = rig.in<QLineEdit>("SetCursorPosForm", "TextXPos");
    EXPECT_EQ(scroll->minimum(), 1);
    EXPECT_EQ(scroll->maximum(), 20);
    scroll->setValue(4);
    EXPECT_EQ(box->text(), " 4");

    box->setText("25");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(scroll->value(), 4);
    EXPECT_EQ(box->text(), "25");

    box->setText("7");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(scroll->value(), 7);
    EXPECT_EQ(box->text(), " 7");
    EXPECT_TRUE(rig.port.received().empty());

    rig.in<QRadioButton>("SetCursorPosForm", "OptLine2")->click();
    rig.in<QPushButton>("SetCursorPosForm", "BtnSend")->click();
    EXPECT_EQ(rig.port.received(), Hex("1B 5B 30 32 3B 37 48"));
    EXPECT_EQ(rig.state().XPos, 7);
    EXPECT_EQ(rig.state().LineNo, 2);
}

TEST(SetCursorPosForm, CancelKeepsTheChosenColumnAndEnterOnTheBarSends)
{
    WidgetRig rig;
    openFromMenu(rig, 7, 1);
    auto* scroll = rig.in<QScrollBar>("SetCursorPosForm", "HScrXPos");
    scroll->setValue(12);
    QTest::keyClick(scroll, Qt::Key_Escape);
    EXPECT_FALSE(rig.find("SetCursorPosForm")->isVisible());
    EXPECT_EQ(rig.state().XPos, 12);
    EXPECT_TRUE(rig.port.received().empty());

    openFromMenu(rig, 7, 1);
    EXPECT_EQ(scroll->value(), 12);
    QTest::keyClick(scroll, Qt::Key_Right);
    EXPECT_EQ(scroll->value(), 13);
    QTest::keyClick(scroll, Qt::Key_Return);
    EXPECT_EQ(rig.port.received(), Hex("10 0D 0D"));
}

TEST(PrefixForm, SendThenCancelRestoresTheOldPrefixes)
{
    WidgetRig rig;
    openFromMenu(rig, 1, 6);
    auto* form = rig.find("PrefixForm");
    ASSERT_TRUE(form->isVisible());
    auto* scroll1 = rig.in<QScrollBar>("PrefixForm", "HScroll1");
    auto* scroll2 = rig.in<QScrollBar>("PrefixForm", "HScroll2");
    EXPECT_EQ(scroll1->maximum(), 255);
    EXPECT_EQ(scroll1->pageStep(), 20);
    EXPECT_EQ(scroll1->value(), 33);
    EXPECT_EQ(rig.in<QLineEdit>("PrefixForm", "Text1")->text(), " 33");
    EXPECT_EQ(rig.in<QLineEdit>("PrefixForm", "Text3")->text(), "!#");

    scroll1->setValue(40);
    scroll2->setValue(41);
    EXPECT_EQ(rig.in<QLineEdit>("PrefixForm", "Text3")->text(), "()");
    rig.in<QPushButton>("PrefixForm", "BtnSend")->click();
    EXPECT_EQ(rig.port.received(), Hex("21 23 38 28 29 0D"));
    EXPECT_EQ(rig.state().Prefix1, '(');
    EXPECT_TRUE(form->isVisible());

    rig.in<QPushButton>("PrefixForm", "BtnCancel")->click();
    EXPECT_EQ(rig.state().Prefix1, '!');
    EXPECT_EQ(rig.state().Prefix2, '#');
    EXPECT_TRUE(rig.main().isEnabled());
}

TEST(TextWindows, EnterOutsideTheTextBoxesPressesNoButton)
{
    WidgetRig rig;
    openFromMenu(rig, 1, 6);
    QTest::keyClick(rig.in<QScrollBar>("PrefixForm", "HScroll1"), Qt::Key_Return);
    EXPECT_TRUE(rig.find("PrefixForm")->isVisible()); // Ok was not pressed
    QTest::keyClick(rig.in<QLineEdit>("PrefixForm", "Text3"), Qt::Key_Return);
    EXPECT_TRUE(rig.find("PrefixForm")->isVisible());
    rig.in<QPushButton>("PrefixForm", "BtnCancel")->click();

    openFromMenu(rig, 0, 2);
    QTest::keyClick(rig.in<QRadioButton>("SetCursorPosForm", "OptLine1"), Qt::Key_Return);
    EXPECT_TRUE(rig.port.received().empty());
    // A focused button still takes Enter.
    auto* send = rig.in<QPushButton>("SetCursorPosForm", "BtnSend");
    send->setFocus();
    QTest::keyClick(send, Qt::Key_Return);
    EXPECT_EQ(rig.port.received(), Hex("1B 5B 30 31 3B 31 48"));
}

TEST(PrefixForm, CodeBoxesTakeDigitsAndRefuseCodesAbove255)
{
    WidgetRig rig;
    openFromMenu(rig, 1, 6);
    auto* box = rig.in<QLineEdit>("PrefixForm", "Text1");
    auto* scroll1 = rig.in<QScrollBar>("PrefixForm", "HScroll1");
    box->clear();
    QTest::keyClicks(box, "6a-5.");
    EXPECT_EQ(box->text(), "65");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(scroll1->value(), 65);
    EXPECT_EQ(box->text(), " 65");
    EXPECT_EQ(rig.in<QLineEdit>("PrefixForm", "Text3")->text(), "A#");

    box->clear();
    QTest::keyClicks(box, "300");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(scroll1->value(), 65);
    EXPECT_EQ(box->text(), " 65");

    box->setText("065");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(box->text(), " 65");

    // Escape is Cancel: the prefix of the activation stays.
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_FALSE(rig.find("PrefixForm")->isVisible());
    EXPECT_EQ(rig.state().Prefix1, '!');
}

TEST(PrefixForm, TypingTwoCharactersSetsBothPrefixesAndOkTakesThem)
{
    WidgetRig rig;
    openFromMenu(rig, 1, 6);
    auto* text3 = rig.in<QLineEdit>("PrefixForm", "Text3");
    text3->setCursorPosition(0);
    QTest::keyClicks(text3, "!$"); // the first equals the current prefix
    EXPECT_EQ(text3->text(), "!$");
    EXPECT_EQ(rig.in<QScrollBar>("PrefixForm", "HScroll2")->value(), '$');
    QTest::keyClick(text3, Qt::Key_Backspace);
    EXPECT_EQ(text3->text(), "!$");
    rig.in<QPushButton>("PrefixForm", "BtnOk")->click();
    EXPECT_EQ(rig.state().Prefix2, '$');
    EXPECT_FALSE(rig.find("PrefixForm")->isVisible());
    EXPECT_TRUE(rig.port.received().empty());
}

} // namespace
