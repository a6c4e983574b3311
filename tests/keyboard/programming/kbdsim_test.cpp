// The keyboard simulator program, run as a person runs it beside the configurator.
#include "applicationenvironment.h"
#include "eventloopwaiter.h"
#include "keyboardrig.h"
#include "qtseriallink.h"
#include "send2com.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

// "Test" in "Program Kbd" against the simulator program on COM2 (where it
// goes by default, the port a new program folder selects): its type and
// version, and "no answer" from a silent one. It answers --help, and prints
// what the keyboard holds after every completed transfer.
TEST(KeyboardSimulator, TestShowsItsTypeAndVersionOrNoAnswerAndEveryTransferIsPrinted)
{
    using namespace morvaw;
    using namespace morvaw::test;
    EXPECT_EQ(QProcess::execute(QStringLiteral(KBDSIM_PROGRAM), {"--help"}), 0);
    for (const QStringList& fault : {QStringList{}, QStringList{"--silent"}}) {
        QTemporaryDir folder;
        const QString binding = "/dev/serial/by-id/usb-of-the-user"; // lent, given back
        ASSERT_TRUE(QFile::link(binding, folder.filePath("com2")));
        QProcess simulator;
        simulator.start(QStringLiteral(KBDSIM_PROGRAM),
                        QStringList{folder.path(), "--type", "1"} + fault);
        for (QDeadlineTimer t(10000); !QFileInfo(folder.filePath("com2")).exists();) {
            ASSERT_FALSE(t.hasExpired());
            QThread::msleep(10);
        }
        const QString name =
            "COM2 (" + QFileInfo(folder.filePath("com2")).canonicalFilePath() + ")";
        auto layout = MakeState(3); // the type is detected at each transfer: no question
        layout->ComPortIndex = 1;
        kbdsim::KeyboardDevice unused(1);
        SimulatedRepeatSettings repeat(unused);
        ScriptedDialogs dialogs;
        EventLoopWaiter waiter;
        QtSerialLink link(folder.path().toStdString());
        QWidget mainWindow;
        ProgrammingWindowOpener(ServicesFor(*layout, dialogs, waiter, link, repeat), &mainWindow,
                                {})();
        auto* window = mainWindow.findChild<Send2Com*>();
        window->findChild<QPushButton*>("BtnTest")->click();
        EXPECT_EQ(window->findChild<QLabel*>("TestResult")->text(),
                  name +
                      (fault.isEmpty() ? ": Reduced keyboard, KBD ROM Ver = 1.00" : ": no answer"));
        EXPECT_TRUE(dialogs.shown.isEmpty());
        EXPECT_FALSE(link.isOpen());
        ASSERT_FALSE(link.open(2).has_value());
        QByteArray printed;
        for (int transfer = 1; transfer <= 2 && fault.isEmpty(); ++transfer) {
            link.write("*011>00*??????"); // word 1 = 0x1E00, then the end record
            for (QDeadlineTimer t(10000); printed.count("complete,") < transfer && !t.hasExpired();)
                printed += simulator.waitForReadyRead(50) ? simulator.readAllStandardOutput() : "";
        }
        EXPECT_EQ(printed.count("programming complete"), fault.isEmpty() ? 2 : 0)
            << printed.toStdString();
        simulator.terminate();
        simulator.waitForFinished(10000);
        EXPECT_EQ(QFileInfo(folder.filePath("com2")).symLinkTarget(), binding);
    }
}
