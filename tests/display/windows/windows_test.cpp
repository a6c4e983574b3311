// The real windows as a person drives them, over the simulated display (and,
// end to end, over the real serial code and a pseudo-terminal).
#include "eventloopwaiter.h"
#include "helpwindow.h"
#include "messageboxnotice.h"
#include "pseudoterminal.h"
#include "qtseriallink.h"
#include "widgetrig.h"
#include "windowfit.h"

#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QWindow>
#include <gtest/gtest.h>

#include <set>
#include <sys/stat.h>

using namespace vornestw;
using namespace vornestw::test;
using Severity = UserNotice::Severity;
using suite::ExpectFitsAndReadable;

namespace {

// A key goes where a person's would: to the control that has the focus.
void press(QWidget* window, Qt::Key key)
{
    QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, key);
}

// Default configuration asks first, resets all but the protocol and leaves
// the channel caption; Exit saves nothing.
TEST(MainForm, FirstStartDefaultsAndExitWithoutSaving)
{
    WidgetRig rig;
    EXPECT_EQ(rig.label("Label2") + "|" + rig.label("Label3"), "Send to Com 2|QN Mode");
    EXPECT_FALSE(rig.main().windowIcon().isNull());
    for (QWidget* form : rig.main().OtherForms())
        EXPECT_FALSE(form->windowIcon().isNull()) << form->objectName().toStdString();
    const QByteArray firstRun = rig.settings();

    rig.state().Mode = 7, rig.state().XPos = 9, rig.state().LineNo = 2, rig.state().Prefix2 = 'y';
    rig.notice.answers = {false, true};
    rig.trigger("MenuDefault");
    EXPECT_EQ(rig.notice.questions,
              (Notices{{"Set to default", "Set all program settings to default ?"}}));
    EXPECT_EQ(rig.state().XPos, 9);
    rig.trigger("MenuDefault");
    const DisplayState& s = rig.state();
    EXPECT_EQ(s.Line1 + s.Line2 + s.LongText, "");
    EXPECT_EQ(std::tie(s.Mode, s.Port, s.XPos, s.LineNo, s.Prefix1, s.Prefix2),
              std::make_tuple(7, 2, 1, 1, '!', '#'));
    EXPECT_EQ(rig.label("Label2"), "Send to Com 2");
    rig.trigger("MenuExit");
    rig.program.reset();
    EXPECT_EQ(rig.settings(), firstRun);
}

// Program answered No sends nothing, but the utility follows the new protocol.
TEST(SetModeForm, SwitchingFromEpsonToQnLeavesExactlyItems0To13)
{
    WidgetRig rig;
    rig.openItem(6, 1);
    rig.trigger("MenuSetMode");
    rig.click("SetModeForm", "ModeOpt_0");
    rig.click("SetModeForm", "BtnProgram");
    EXPECT_EQ(rig.notice.questions,
              (Notices{{"Program LCD mode", "Display protocol will be changed. Are You sure ?"}}));
    EXPECT_TRUE(rig.find("SetModeForm")->isVisible());
    QTest::keyClick(rig.in("SetModeForm", "ModeOpt_0"), Qt::Key_Escape); // Cancel
    QStringList captions;
    for (QAction* action : rig.find<QMenu>("MenuTest")->actions()) {
        if (action->isVisible())
            captions << action->text();
    }
    ASSERT_EQ(captions.size(), 14);
    EXPECT_EQ(captions.back(), "Display o&ff");
    EXPECT_EQ(rig.label("Label3"), "QN Mode");
    EXPECT_EQ(rig.port.received(), Hex("16")); // EPSON's item only
    rig.trigger("MenuSetMode");
    rig.click("SetModeForm", "ModeOpt_2");
    press(rig.find("SetModeForm"), Qt::Key_Return); // Ok
    EXPECT_EQ(rig.state().Mode, 2);
}

// Another window open closes the way its own close does, so that what the
// user typed there is saved; a display holding clear-to-send low gets a
// bounded number of rounds.
TEST(MainForm, ClosingTakesBackWhatTheOpenWindowHoldsAndWaitsBounded)
{
    WidgetRig rig;
    rig.trigger("MenuFunction_1"); // the port is open
    rig.port.setCts(false);
    rig.openItem(0, 0);
    EXPECT_FALSE(rig.main().isEnabled());
    rig.in<QLineEdit>("DisplayTwoLinesForm", "Text1")->setText("typed");
    const long long before = rig.waiter.now();
    rig.main().close();
    EXPECT_EQ(rig.waiter.now() - before, 10001);
    EXPECT_FALSE(rig.find("DisplayTwoLinesForm")->isVisible());
    EXPECT_FALSE(rig.port.isOpen());
    EXPECT_EQ(rig.settings().mid(8, 20), "typed               ");
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
}

// A settings path that is no regular file is named once at the start; a file
// made read-only while the program ran is named once when it closes.
TEST(MainForm, SettingsFileProblemsAreNamedOnce)
{
    WidgetRig fifoRig(false);
    const QString fifo = fifoRig.folder() + ".INI";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    fifoRig.start(fifoRig.port, fifoRig.waiter);
    QCoreApplication::processEvents();
    fifoRig.main().close();
    ASSERT_EQ(fifoRig.notice.messages.size(), 1u);
    EXPECT_TRUE(fifoRig.notice.messages[0].text.startsWith(fifo + " is not a regular file"));

    WidgetRig rig;
    const QString file = rig.folder() + ".INI";
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0444), 0);
    rig.state().Line1 = "not saved";
    rig.main().close();
    EXPECT_EQ(rig.notice.messages,
              (Notices{{"Vornest",
                        "The settings could not be saved to " + file + ": the file is read-only",
                        Severity::Warning}}));
}

// Another Vornest wrote the settings file after this one read it: closing
// asks before replacing it and keeps the other's on No. With nothing changed
// here nothing is asked and theirs stay.
TEST(MainForm, SettingsAnotherInstanceWroteAreKeptUnlessTheUserSaysSo)
{
    const std::tuple<bool, std::deque<bool>, const char*> cases[] = {
        {false, {}, "theirs"}, {true, {false}, "theirs"}, {true, {true}, "mine"}};
    for (const auto& [changedHere, answers, kept] : cases) {
        WidgetRig rig;
        SettingsRecord theirs;
        theirs.Line1 = "theirs";
        ASSERT_FALSE(SettingsFile(rig.folder() + ".INI").Save(theirs));
        if (changedHere)
            rig.state().Line1 = "mine";
        rig.notice.answers = answers;
        rig.main().close();
        EXPECT_TRUE(rig.settings().mid(8, 20).startsWith(kept)) << changedHere;
        EXPECT_EQ(rig.notice.questions.size(), answers.size());
        EXPECT_TRUE(rig.notice.messages.empty());
    }
}

// Disabling the focused Send button used to move the focus to Cancel, so
// that the next Enter closed the window.
TEST(DisplayTwoLinesForm, LimitsEnterSendWithTheFocusKeptAndCancel)
{
    WidgetRig rig;
    rig.openItem(0, 0);
    auto* form = rig.find("DisplayTwoLinesForm");
    auto* text1 = rig.in<QLineEdit>("DisplayTwoLinesForm", "Text1");
    auto* send = rig.in<QPushButton>("DisplayTwoLinesForm", "BtnSend");
    rig.type("DisplayTwoLinesForm", "Text1", "abcdefghijklmnopqrstUVW");
    EXPECT_EQ(text1->text(), "abcdefghijklmnopqrst");
    // At the limit the caret still moves and Backspace and Delete still work.
    for (Qt::Key key : {Qt::Key_Home, Qt::Key_Delete, Qt::Key_End, Qt::Key_Backspace})
        QTest::keyClick(text1, key);
    QTest::keyClicks(text1, "XY");
    EXPECT_EQ(text1->text(), "bcdefghijklmnopqrsXY");
    // Enter moves on and sends nothing; on the focused Send it sends, and again.
    QTest::keyClick(text1, Qt::Key_Return);
    rig.in<QLineEdit>("DisplayTwoLinesForm", "Text2")->setText("2");
    QTest::keyClick(form->focusWidget(), Qt::Key_Return);
    EXPECT_EQ(form->focusWidget(), send);
    EXPECT_TRUE(rig.port.received().empty());
    bool enabledWhileSending = false;
    rig.onTick = [&] { enabledWhileSending = enabledWhileSending || send->isEnabled(); };
    for (int round = 0; round < 2; ++round) {
        QTest::keyClick(form->focusWidget(), Qt::Key_Return);
        EXPECT_EQ(form->focusWidget(), send);
    }
    EXPECT_FALSE(enabledWhileSending);
    const std::string twoLines = "\x1B[8M \x1B[2JbcdefghijklmnopqrsXY\x1B[02;01H2\x1B[8M";
    EXPECT_EQ(rig.port.received(), BytesOf(twoLines + twoLines));
    text1->setText("typed"); // Escape is Cancel; what was typed is kept
    QTest::keyClick(text1, Qt::Key_Escape);
    EXPECT_EQ(rig.state().Line1, "typed");
}

TEST(DisplayLongForm, TitleCodeAndFortyCharacterLimit)
{
    const std::tuple<int, const char*, const char*> rows[] = {
        {1, "Once scroll", "6"}, {2, "Continuous scroll", "4"}, {3, "Display long", "9"}};
    WidgetRig rig;
    auto* form = rig.find("DisplayLongForm");
    for (const auto& [item, title, code] : rows) {
        rig.port.clearReceived();
        rig.openItem(1, item);
        EXPECT_EQ(form->windowTitle(), title);
        rig.type("DisplayLongForm", "Text1", QString(45, 'x'));
        QTest::keyClick(rig.in("DisplayLongForm", "Text1"), Qt::Key_Backspace);
        QTest::keyClick(rig.in("DisplayLongForm", "Text1"), Qt::Key_Return);
        EXPECT_EQ(form->focusWidget(), rig.in("DisplayLongForm", "BtnSend"));
        rig.click("DisplayLongForm", "BtnSend");
        EXPECT_EQ(rig.port.received(),
                  BytesOf(std::string("!#") + code + std::string(39, 'x') + "\r"));
        QTest::keyClick(rig.in("DisplayLongForm", "Text1"), Qt::Key_Escape);
    }
}

// The column box takes 1..20 on Enter and presses nothing. Enter presses no
// button unless one has the focus, or on the bar, which stands for Send. A
// slow display: clear-to-send drops for 400 ms after every byte; Enter on the
// bar, the button and the menu a second later start nothing. Cancel keeps
// the column the bar shows for the next opening.
TEST(SetCursorPosForm, EnterSendsOnlyFromTheBarOrAFocusedButtonAndNeverInsideASend)
{
    WidgetRig rig;
    rig.port.paceClearToSend(400);
    rig.openItem(0, 2);
    auto* scroll = rig.in<QScrollBar>("SetCursorPosForm", "HScrXPos");
    auto* box = rig.in<QLineEdit>("SetCursorPosForm", "TextXPos");
    auto* send = rig.in<QPushButton>("SetCursorPosForm", "BtnSend");
    scroll->setValue(4);
    for (const auto& [typed, column, shown] : {std::tuple{"25", 4, "25"}, {"12", 12, " 12"}}) {
        box->setText(typed);
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_EQ(scroll->value(), column); // outside 1..20 it stays
        EXPECT_EQ(box->text(), shown);
    }
    QTest::keyClick(rig.in("SetCursorPosForm", "OptLine1"), Qt::Key_Return);
    EXPECT_TRUE(rig.port.received().empty());
    scroll->setValue(5);
    const long long start = rig.waiter.now();
    rig.onTick = [&] {
        if (rig.waiter.now() - start == 1000) {
            QTest::keyClick(scroll, Qt::Key_Right);
            QTest::keyClick(scroll, Qt::Key_Return);
            send->click();
            rig.trigger("MenuFunction_1");
        }
    };
    QTest::keyClick(scroll, Qt::Key_Return);
    EXPECT_EQ(rig.port.received(), Hex("1B 5B 30 31 3B 35 48"));
    send->setFocus();
    QTest::keyClick(send, Qt::Key_Return);
    EXPECT_EQ(rig.port.received(), Hex("1B 5B 30 31 3B 35 48 1B 5B 30 31 3B 36 48"));
    EXPECT_TRUE(rig.notice.messages.empty());
    QTest::keyClick(scroll, Qt::Key_Right);  // moves the bar right
    QTest::keyClick(scroll, Qt::Key_Escape); // Cancel
    EXPECT_EQ(rig.state().XPos, 7);
}

// Send, then Cancel, restores the prefixes the window opened with; Enter on
// the bar or the characters presses no button.
TEST(PrefixForm, SendCancelCodeBoxesCharactersOkAndTabOrder)
{
    WidgetRig rig;
    rig.openItem(1, 6);
    auto* scroll1 = rig.in<QScrollBar>("PrefixForm", "HScroll1");
    auto* box = rig.in<QLineEdit>("PrefixForm", "Text1");
    auto* text3 = rig.in<QLineEdit>("PrefixForm", "Text3");
    QTest::keyClick(scroll1, Qt::Key_Return);
    QTest::keyClick(text3, Qt::Key_Return);
    EXPECT_TRUE(rig.find("PrefixForm")->isVisible()); // Ok was not pressed
    scroll1->setValue(40);
    rig.in<QScrollBar>("PrefixForm", "HScroll2")->setValue(41);
    EXPECT_EQ(text3->text(), "()");
    rig.click("PrefixForm", "BtnSend");
    EXPECT_EQ(rig.port.received(), Hex("21 23 38 28 29 0D"));
    EXPECT_EQ(rig.state().Prefix1, '(');
    QStringList order;
    for (QWidget* w = scroll1; order.size() < 8; w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus)
            order << w->objectName();
    }
    EXPECT_EQ(order, QStringList({"HScroll1", "Text1", "HScroll2", "Text2", "Text3", "BtnOk",
                                  "BtnSend", "BtnCancel"}));
    rig.click("PrefixForm", "BtnCancel");
    EXPECT_EQ(std::tie(rig.state().Prefix1, rig.state().Prefix2), std::make_tuple('!', '#'));

    // The code boxes take digits only and 0..255; typing two characters sets
    // both prefixes; Ok takes them without sending.
    rig.port.clearReceived();
    rig.openItem(1, 6);
    rig.type("PrefixForm", "Text1", "6a-5.");
    EXPECT_EQ(box->text(), "65");
    for (const char* typed : {"65", "256", "065"}) {
        box->setText(typed);
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_EQ(scroll1->value(), 65) << typed;
        EXPECT_EQ(box->text(), " 65");
    }
    EXPECT_EQ(text3->text(), "A#");
    text3->setCursorPosition(0);
    QTest::keyClicks(text3, "A$"); // the first equals the current prefix
    QTest::keyClick(text3, Qt::Key_Backspace);
    EXPECT_EQ(text3->text(), "A$");
    rig.click("PrefixForm", "BtnOk");
    EXPECT_EQ(std::tie(rig.state().Prefix1, rig.state().Prefix2), std::make_tuple('A', '$'));
    EXPECT_FALSE(rig.find("PrefixForm")->isVisible());
    EXPECT_TRUE(rig.port.received().empty());
}

// Closing the window from its frame ends a wait before the switch has
// started, and the echo keeps the last command sent; a switch that has
// started is finished, so that the display never keeps a lone FE.
TEST(SetModeForm, ClosingItDropsASwitchNotStartedAndFinishesAStartedOne)
{
    for (const bool started : {false, true}) {
        WidgetRig rig;
        rig.trigger("MenuFunction_1"); // port open
        rig.port.clearReceived();
        rig.port.paceClearToSend(started ? 400 : 0);
        rig.port.setCts(started);
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
        EXPECT_EQ(rig.state().SentText, started ? "<254>f<15>" : "<ESC>[2J") << started;
        EXPECT_LT(rig.waiter.now() - start, started ? 1000 : 100);
        EXPECT_TRUE(rig.main().isEnabled());
    }
}

// COM3 opens at once; a port that cannot be opened keeps the old one and the
// window. The print server's queues stand beside "Printer", the default
// printer first; the chosen queue closes the port, gets the commands and
// names the channel.
TEST(OptionsForm, PortsOpenAtOnceAndTheChosenPrinterQueueGetsTheJobs)
{
    WidgetRig rig;
    rig.printer.queues.queues = {{"office", "idle", true}, {"display", "paused", false}};
    rig.trigger("Configure");
    rig.click("OptionsForm", "PortOption_2");
    rig.click("OptionsForm", "BtnOk");
    EXPECT_EQ(rig.port.openedPorts(), std::vector<int>{3});
    EXPECT_EQ(rig.label("Label2"), "Send to Com 3");
    rig.trigger("Configure");
    rig.click("OptionsForm", "PortOption_1");
    rig.port.failNextOpen("Permission denied");
    rig.click("OptionsForm", "BtnOk");
    EXPECT_EQ(rig.notice.messages, (Notices{{"Vornest", "Permission denied", Severity::Critical}}));
    EXPECT_TRUE(rig.find("OptionsForm")->isVisible());
    EXPECT_EQ(rig.label("Label2"), "Send to Com 3");
    EXPECT_EQ(rig.state().Port, 2);

    QApplication::processEvents(); // the print server is asked once the window shows
    auto* list = rig.in<QListWidget>("OptionsForm", "PrinterQueues");
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text() + "|" + list->item(2)->text(),
              "default printer (office)|display: paused");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(2)).center());
    press(rig.find("OptionsForm"), Qt::Key_Return); // Ok
    EXPECT_FALSE(rig.port.isOpen());
    EXPECT_EQ(rig.label("Label2"), "Send to printer display");
    rig.trigger("MenuFunction_1");
    EXPECT_EQ(rig.printer.jobQueues, std::vector<QString>{"display"});
}

// Ports… lists the devices with the ports bound to them; Bind links the
// chosen COMn to the stable name. Test reads clear-to-send and sends nothing.
TEST(OptionsForm, PortsListsTheBindingsAndTestReadsClearToSend)
{
    WidgetRig rig;
    rig.ports.listed = {{"/dev/ttyUSB0", "USB UART", "FTDI", "A1", "/dev/serial/by-id/usb-A1"}};
    const QString com3 = QDir(rig.folder()).filePath("com3");
    for (const QString& path : {QString("/dev/ttyUSB0"), com3})
        rig.ports.facts[path].device = "/dev/ttyUSB0", rig.ports.facts[path].isTerminal = true,
        rig.ports.facts[path].kind = PortFacts::Kind::CharacterDevice;
    rig.trigger("Configure");
    rig.click("OptionsForm", "PortOption_2");
    rig.click("OptionsForm", "BtnPorts");
    auto* list = rig.in<QTreeWidget>("OptionsForm", "PortList");
    auto row = [list] {
        QStringList texts;
        for (int column = 0; column < list->columnCount(); ++column)
            texts << list->topLevelItem(0)->text(column);
        return texts.join('|');
    };
    EXPECT_EQ(row(), "/dev/ttyUSB0||ready|USB UART, FTDI, serial number A1");
    press(rig.in<QDialog>("OptionsForm", "PortChooserForm"), Qt::Key_Return); // Bind, for COM3
    EXPECT_EQ(QFile::symLinkTarget(com3), "/dev/serial/by-id/usb-A1");
    EXPECT_EQ(row(), "/dev/ttyUSB0|COM3|ready|USB UART, FTDI, serial number A1");
    rig.click("OptionsForm", "BtnClose");

    auto* test = rig.in<QPushButton>("OptionsForm", "BtnTest");
    auto* result = rig.in<QLabel>("OptionsForm", "ConnectionTest");
    test->click();
    EXPECT_EQ(result->text(), "COM3 (simulated): clear-to-send is up: the display is ready.");
    rig.port.setCts(false);
    test->click();
    EXPECT_TRUE(result->text().startsWith("COM3 (simulated): clear-to-send is down"));
    rig.click("OptionsForm", "PortOption_4");
    EXPECT_FALSE(test->isEnabled());
    EXPECT_TRUE(rig.port.written().empty() && rig.notice.messages.empty());
}

// Every window on a 1280x1024 screen at the scale factor of the run (ctest
// runs this at 1, 1.5 and 2): it fits the screen with its buttons inside, and
// no text is drawn over other text, even when a window system makes the main
// window smaller than it asks. In each window F1 opens the page of the window
// that has the focus, and Escape cancels. The echo of what was sent takes up
// to four labels of fifty characters, broken between tokens, and keeps its
// colour while another window holds the main one.
TEST(EveryWindow, FitsTheScreenWithNoTextOverTextF1ShowsItsPageEscapeCancels)
{
    WidgetRig rig;
    rig.ports.listed = {{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A10K3X",
                         "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3X-if00-port0"}};
    rig.ports.facts["/dev/ttyUSB0"].kind = PortFacts::Kind::CharacterDevice;
    rig.openItem(7, 0); // pasted: more echo than the labels show, the first one full
    rig.in<QLineEdit>("DisplayTwoLinesForm", "Text1")
        ->setText(QString(10, ' ') + "ab" + QString(50, ' '));
    rig.click("DisplayTwoLinesForm", "BtnSend");
    auto* label4 = rig.find<QLabel>("Label4");
    const QImage whileOpen = label4->grab().toImage();
    rig.click("DisplayTwoLinesForm", "BtnCancel");
    EXPECT_EQ(label4->grab().toImage(), whileOpen);
    const QString twelveSpaces = QString("<SP>").repeated(12);
    EXPECT_EQ(QStringList({rig.label("Label4"), rig.label("Label5"), rig.label("Label6"),
                           rig.label("Label7")}),
              QStringList({"<12><CR>" + QString("<SP>").repeated(10) + "ab", twelveSpaces,
                           twelveSpaces, twelveSpaces}));
    rig.state().Mode = 6; // EPSON: the longest menu
    rig.main().BuildFunctionMenu();
    ExpectFitsAndReadable(&rig.main());

    HelpWindow& help = rig.main().help();
    std::set<QString> pages;
    for (const auto& [window, open] : rig.dialogs()) {
        const std::string name = window->objectName().toStdString();
        open();
        if (window == rig.find("OptionsForm"))
            rig.click("OptionsForm", "BtnTest"); // its longest text
        ExpectFitsAndReadable(window);
        help.hide();
        press(window, Qt::Key_F1);
        EXPECT_TRUE(help.isVisible()) << name;
        EXPECT_EQ(help.CurrentPage(), HelpWindow::PageFor(window->objectName())) << name;
        pages.insert(help.CurrentPage());
        press(window, Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible()) << name;
        EXPECT_TRUE(rig.main().isEnabled() || rig.find("OptionsForm")->isVisible()) << name;
    }
    EXPECT_EQ(pages.size(), rig.dialogs().size());  // a page of its own for each
    press(rig.find("OptionsForm"), Qt::Key_Escape); // it was under the port chooser
    EXPECT_TRUE(rig.main().isEnabled());
    QTest::keyClick(&rig.main(), Qt::Key_F1);
    EXPECT_EQ(help.CurrentPage(), "vornestw.html");
    EXPECT_TRUE(help.findChild<QTextBrowser*>()->toPlainText().startsWith("Vornest: the main"));
    ExpectFitsAndReadable(&help);

    // A window system that does not keep to the smallest size the window asks for.
    rig.main().windowHandle()->setMinimumSize({0, 0});
    rig.main().windowHandle()->resize(200, 120);
    ExpectFitsAndReadable(&rig.main(), {}, false);
}

// Message texts carry words from outside (a queue's name, a printer's state
// message); markup in them is shown, not obeyed.
TEST(MessageBoxNotice, ShowsTextsAsTheyAre)
{
    const auto box =
        MessageBoxNotice::MakeBox(QMessageBox::Warning, "Vornest",
                                  "Printer Error: <img src=\"/x\"><b>queue</b>", QMessageBox::Ok);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
}

// A session through the real windows, serial code and waiter, with a
// pseudo-terminal standing for the display on COM2.
TEST(EndToEnd, ScriptedSessionReachesTheDisplayAndIsSavedOnClose)
{
    WidgetRig rig(false);
    PseudoTerminal pty;
    ASSERT_TRUE(QFile::link(pty.terminalPath(), QDir(rig.folder()).filePath("com2")));
    QtSerialLink link(rig.folder());
    EventLoopWaiter waiter;
    rig.start(link, waiter);
    const QByteArray firstRun = rig.settings();
    rig.trigger("MenuFunction_1"); // Clear screen
    EXPECT_EQ(pty.receiveAtLeast(4), Hex("1B 5B 32 4A"));
    rig.trigger("MenuFunction_0");
    rig.type("DisplayTwoLinesForm", "Text1", "Hello");
    QTest::keyClick(rig.in("DisplayTwoLinesForm", "Text1"), Qt::Key_Return);
    rig.type("DisplayTwoLinesForm", "Text2", "World");
    rig.click("DisplayTwoLinesForm", "BtnSend");
    const std::string twoLines = "\x1B[8M \x1B[2JHello\x1B[02;01HWorld\x1B[8M";
    EXPECT_EQ(pty.receiveAtLeast(twoLines.size()), BytesOf(twoLines));
    rig.click("DisplayTwoLinesForm", "BtnCancel");
    rig.trigger("MenuSetMode");
    rig.click("SetModeForm", "ModeOpt_7");
    rig.notice.answers = {true};
    rig.click("SetModeForm", "BtnProgram");
    EXPECT_EQ(pty.receiveAtLeast(3), Hex("FE 66 0F"));
    rig.click("SetModeForm", "BtnOk");
    EXPECT_TRUE(rig.notice.messages.empty());
    EXPECT_EQ(rig.settings(), firstRun); // nothing is saved before the window closes
    rig.main().close();
    EXPECT_EQ(rig.settings().left(48), QByteArray("\x07\0\x01\0\x01\0\x01\0", 8) +
                                           "Hello               World               ");
    EXPECT_FALSE(link.isOpen());
    rig.program.reset(); // before the port and waiter it uses
}

} // namespace

int main(int argc, char** argv)
{
    // A screen of 1280x1024, also for test discovery, which runs this without
    // the test environment.
    if (qEnvironmentVariable("QT_QPA_PLATFORM", "offscreen") == "offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" SUITE_SCREEN_FILE);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
