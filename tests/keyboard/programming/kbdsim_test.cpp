// The keyboard simulator program, run as a person runs it beside the configurator.
#include "qtseriallink.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

TEST(KeyboardSimulator, AnswersHelpAndPrintsEveryCompletedTransfer)
{
    EXPECT_EQ(QProcess::execute(QStringLiteral(KBDSIM_PROGRAM), {"--help"}), 0);
    QTemporaryDir folder;
    QProcess simulator; // on COM2 by default, the port a new program folder selects
    simulator.start(QStringLiteral(KBDSIM_PROGRAM), {folder.path(), "--type", "1"});
    for (QDeadlineTimer t(10000); !QFileInfo::exists(folder.filePath("com2")) && !t.hasExpired();)
        QThread::msleep(10);
    morvaw::QtSerialLink link(folder.path());
    ASSERT_FALSE(link.open(2).has_value());
    QByteArray printed;
    for (int transfer = 1; transfer <= 2; ++transfer) {
        link.write("*011>00*??????"); // word 1 = 0x1E00, then the end record
        for (QDeadlineTimer t(10000); printed.count("complete,") < transfer && !t.hasExpired();)
            printed += simulator.waitForReadyRead(50) ? simulator.readAllStandardOutput() : "";
    }
    simulator.terminate();
    simulator.waitForFinished(10000);
    EXPECT_EQ(printed.count("programming complete"), 2) << printed.toStdString();
}
