// The real vornestw, started from a program folder of its own.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
    EXPECT_TRUE(lines.contains("COM3: /dev/ttyUSB7-gone: link leads nowhere. The link " + com3 +
                               " points to /dev/ttyUSB7-gone, which is not there: the adapter is "
                               "unplugged, or it has another name now. Plug it in, or bind COM3 "
                               "to another device with the Ports… button."))
        << lines.join('\n').toStdString();
}

} // namespace
