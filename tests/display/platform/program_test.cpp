// The real vornestw, started from a program folder of its own.
#include "settingsfile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>

namespace {

struct ProgramFolder
{
    ProgramFolder()
    {
        QDir().mkpath(folder());
        for (const char* file : {"vornestw", "lcdicon.ico"})
            QFile::copy(QDir(SUITE_PROGRAM_DIR).filePath(file), QDir(folder()).filePath(file));
    }
    [[nodiscard]] QString folder() const { return parent.filePath("prog"); }
    [[nodiscard]] QString program() const { return QDir(folder()).filePath("vornestw"); }

    QTemporaryDir parent;
};

// No window system at all: the list is printed and the program ends.
TEST(Vornestw, ListPortsNeedsNoDisplay)
{
    ProgramFolder prog;
    const QString com3 = QDir(prog.folder()).filePath("com3");
    ASSERT_TRUE(QFile::link("/dev/ttyUSB7-gone", com3));
    QProcess process;
    auto env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY"), env.remove("WAYLAND_DISPLAY");
    env.insert("QT_QPA_PLATFORM", "xcb");
    process.setProcessEnvironment(env);
    process.start(prog.program(), {"--list-ports"});
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QStringList lines = QString::fromLocal8Bit(process.readAllStandardOutput()).split('\n');
    EXPECT_TRUE(
        lines.filter("COM3: /dev/ttyUSB7-gone: link leads nowhere. The link " + com3).size() == 1)
        << lines.join('\n').toStdString();
    // A stray word (a queue's name without --printer) is refused, not ignored.
    process.start(prog.program(), {"--list-ports", "display"});
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitCode(), 2);
    EXPECT_TRUE(process.readAllStandardError().contains("\"display\" is not an option"));
}

// A logout (SIGTERM) or a closed terminal (SIGHUP) saves the settings as
// closing the window does, at once and without a question, even when another
// program wrote the file meanwhile.
TEST(Vornestw, EndingSignalsSaveTheSettingsWithoutAQuestion)
{
    for (const int signal : {SIGTERM, SIGHUP}) {
        ProgramFolder prog;
        const QString ini = prog.folder() + ".INI";
        QProcess process;
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(env);
        process.start(prog.program(), {"--printer", "display"}); // a change of this run
        ASSERT_TRUE(process.waitForStarted(10000));
        for (int wait = 0; wait < 200 && !QFile::exists(ini); ++wait)
            QThread::msleep(50);
        vornestw::SettingsRecord theirs;
        theirs.Line1 = "theirs";
        ASSERT_FALSE(vornestw::SettingsFile(ini).Save(theirs));
        ::kill(static_cast<pid_t>(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished(2000)) << signal;
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        QFile record(ini), queue(prog.folder() + ".printer");
        ASSERT_TRUE(record.open(QIODevice::ReadOnly) && queue.open(QIODevice::ReadOnly));
        const QByteArray saved = record.readAll();
        EXPECT_EQ(saved.mid(2, 2), QByteArray("\x04\x00", 2)) << signal; // the printer
        EXPECT_TRUE(saved.mid(8, 20).startsWith("Line1 test")) << signal;
        EXPECT_EQ(queue.readAll(), "display\n");
    }
}

} // namespace
