// The keyboard simulator program, run as a person runs it beside the configurator.
#include "qtseriallink.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace morvaw;

TEST(KeyboardSimulator, AnswersHelpAndPrintsEveryCompletedTransfer)
{
    QProcess help;
    help.start(QStringLiteral(KBDSIM_PROGRAM), {"--help"});
    ASSERT_TRUE(help.waitForFinished(10000));
    EXPECT_EQ(help.exitCode(), 0);
    EXPECT_TRUE(help.readAllStandardOutput().startsWith("usage: "));

    QTemporaryDir folder;
    QProcess simulator;
    simulator.start(QStringLiteral(KBDSIM_PROGRAM), {folder.path(), "--type", "1"});
    // Without --com it takes COM2, the port a new program folder selects.
    const QDeadlineTimer started(10000);
    while (!QFileInfo::exists(QDir(folder.path()).filePath("com2")) && !started.hasExpired())
        QThread::msleep(10);
    QtSerialLink link(folder.path());
    ASSERT_FALSE(link.open(2).has_value());
    QByteArray printed;
    for (int transfer = 1; transfer <= 2; ++transfer) {
        link.write("*011>00*??????"); // word 1 = 0x1E00, then the end record
        const QDeadlineTimer patience(10000);
        while (printed.count("programming complete") < transfer && !patience.hasExpired()) {
            simulator.waitForReadyRead(50);
            printed += simulator.readAllStandardOutput();
        }
    }
    simulator.terminate();
    simulator.waitForFinished(10000);
    EXPECT_EQ(printed.count("programming complete"), 2) << printed.toStdString();
}
