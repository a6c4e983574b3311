// Starts each program from a copy of the program folder, as a user would,
// and closes it the way a session logout does.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>

namespace {

QString programFolder()
{
    return QString::fromUtf8(SUITE_PROGRAM_DIR);
}

// A private program folder, so that settings written on exit stay out of the build.
bool copyProgramFolder(const QString& from, const QString& to)
{
    const QDir source(from);
    for (const QString& name : source.entryList(QDir::Files)) {
        if (!QFile::copy(source.filePath(name), QDir(to).filePath(name)))
            return false;
        QFile::setPermissions(QDir(to).filePath(name), QFile(source.filePath(name)).permissions());
    }
    return true;
}

class ProgramSmoke : public ::testing::TestWithParam<const char*>
{
};

TEST_P(ProgramSmoke, StartsShowsItsWindowAndExitsCleanly)
{
    ASSERT_FALSE(programFolder().isEmpty());
    QTemporaryDir parent;
    ASSERT_TRUE(parent.isValid());
    // A settings file may lie beside the program folder (folder + ".INI"): keep
    // that inside the temporary directory too.
    const QString folder = QDir(parent.path()).filePath("program");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(copyProgramFolder(programFolder(), folder));

    QProcess program;
    program.setProgram(QDir(folder).filePath(GetParam()));
    program.setWorkingDirectory(QDir::tempPath());
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.start();
    ASSERT_TRUE(program.waitForStarted(10000));

    // Still running after start-up: the window is up and the event loop runs.
    EXPECT_FALSE(program.waitForFinished(1500)) << program.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(20000));

    const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << errors.toStdString();
    EXPECT_EQ(program.exitCode(), 0) << errors.toStdString();
    EXPECT_FALSE(errors.contains("Sanitizer")) << errors.toStdString();
    EXPECT_FALSE(errors.contains("runtime error")) << errors.toStdString();
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, ProgramSmoke, ::testing::Values("morvaw", "vornestw"));

} // namespace
