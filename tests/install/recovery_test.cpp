// The configurator as a session ends it: started offscreen from a copy of the
// program folder with a home of its own, ended by a signal, with unsaved
// changes that a recovery copy keeps.
#include "layoutfile.h"
#include "recoverycopy.h"
#include "regularfile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>

#include <sys/stat.h>

using namespace morvaw;
namespace fs = std::filesystem;

namespace {

constexpr const char* kSession = "10d2c0a8e1000171234567890123456789_1712345678";

class RealConfigurator : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QDir source(SUITE_PROGRAM_DIR);
        ASSERT_TRUE(QDir().mkpath(path("program")));
        for (const QString& name : source.entryList(QDir::Files))
            ASSERT_TRUE(QFile::copy(source.filePath(name), path("program/" + name)) &&
                        QFile::setPermissions(path("program/" + name),
                                              QFile::permissions(source.filePath(name))));
        QByteArray saved(kLayoutFileSize, '\0');
        for (qsizetype i = 0; i < saved.size(); ++i)
            saved[i] = static_cast<char>(i * 7 % 251);
        m_inMemory = saved.replace(3000, 5, "edits");
        ASSERT_TRUE(ReplaceFileContents(layout(), saved.replace(3000, 5, "saved")).ok);
        fs::last_write_time(layout(), fs::file_time_type::clock::now() - std::chrono::hours(1));
        // A copy an earlier run left for the session.
        ASSERT_TRUE(QDir().mkpath(recovery()));
        const RecoveryCopy copy{layout().string(), kSession, IdentityOnDisk(layout()), m_inMemory};
        ASSERT_TRUE(
            ReplaceFileContents(copyPath("layout-earlier.recovery"), RecoveryCopyBytes(copy)).ok);
    }

    [[nodiscard]] QString path(const QString& name) const { return m_root.filePath(name); }
    [[nodiscard]] fs::path layout() const { return path("shop.KBD").toStdString(); }
    [[nodiscard]] QString recovery() const { return path("state/morvaw/recovery"); }
    // Every entry of the recovery folder, temporary files too.
    [[nodiscard]] QStringList entries() const
    {
        return QDir(recovery()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    [[nodiscard]] fs::path copyPath(const QString& name) const
    {
        return (recovery() + "/" + name).toStdString();
    }
    // The one copy's file: a new one means the program wrote it.
    [[nodiscard]] ino_t copyFile() const
    {
        struct stat status
        {
        };
        return entries().size() == 1 && ::stat(copyPath(entries()[0]).c_str(), &status) == 0
                   ? status.st_ino
                   : 0;
    }
    [[nodiscard]] std::optional<RecoveryCopy> theCopy() const
    {
        const auto read = ReadRegularFile(copyPath(entries().value(0)), 1 << 20);
        return entries().size() == 1 ? ParseRecoveryCopy(BytesOf(read.bytes)) : std::nullopt;
    }

    void start(const QStringList& arguments)
    {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", m_root.path());
        env.insert("XDG_STATE_HOME", path("state"));
        env.insert("XDG_CONFIG_HOME", path("config"));
        m_process.setProcessEnvironment(env);
        m_process.setWorkingDirectory(m_root.path());
        m_process.start(path("program/morvaw"), arguments);
        ASSERT_TRUE(m_process.waitForStarted(10000));
    }
    // True once the running program has written a copy of its own in place of
    // the one it started with, unasked.
    bool rewritesCopy(ino_t before)
    {
        for (int i = 0; i < 300 && (copyFile() == before || copyFile() == 0); ++i) {
            if (m_process.waitForFinished(100))
                return false;
        }
        return copyFile() != before && copyFile() != 0;
    }
    // Offscreen nobody answers a question: a program that ends asked none.
    void endWith(int signal)
    {
        ::kill(static_cast<pid_t>(m_process.processId()), signal);
        ASSERT_TRUE(m_process.waitForFinished(20000));
        if (signal == SIGKILL)
            return;
        const std::string errors = m_process.readAllStandardError().toStdString();
        EXPECT_EQ(m_process.exitStatus(), QProcess::NormalExit) << errors;
        EXPECT_EQ(m_process.exitCode(), 0) << errors;
        EXPECT_EQ(errors.find("Sanitizer"), std::string::npos) << errors;
    }

    QTemporaryDir m_root;
    QByteArray m_inMemory;
    QProcess m_process;
};

} // namespace

// The session manager restarts the configurator for the session a logout
// ended: it takes the copy back without asking. A crash (SIGKILL) then loses
// nothing, and a kill (SIGTERM) ends it at once, with its copy and PALIX.INI.
TEST_F(RealConfigurator, UnsavedChangesSurviveACrashAndALogout)
{
    for (const int signal : {SIGKILL, SIGTERM}) {
        const ino_t earlier = copyFile();
        start({"-session", kSession});
        ASSERT_TRUE(rewritesCopy(earlier)) << m_process.readAllStandardError().toStdString();
        endWith(signal);
        const auto copy = theCopy();
        ASSERT_TRUE(copy) << entries().join(' ').toStdString();
        EXPECT_EQ(copy->layout, m_inMemory);
        EXPECT_EQ(copy->fileName, layout().string());
        EXPECT_EQ(copy->session, kSession);
    }
    // PALIX.INI names the restored layout in its first 128 bytes.
    QFile settings(path("program/PALIX.INI"));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_EQ(settings.read(128).trimmed().toStdString(), layout().string());
    EXPECT_EQ(QDir(m_root.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"shop.KBD"});
}

// An ordinary start asks about a copy left behind; a closed terminal (SIGHUP)
// while it asks ends the program and keeps the copy for later.
TEST_F(RealConfigurator, AnEndWhileTheRestoreQuestionIsOpenKeepsTheCopy)
{
    const ino_t earlier = copyFile();
    start({});
    EXPECT_FALSE(m_process.waitForFinished(2000));
    endWith(SIGHUP);
    EXPECT_EQ(entries(), QStringList{"layout-earlier.recovery"});
    EXPECT_EQ(copyFile(), earlier);
    EXPECT_EQ(QFile(path("program/PALIX.INI")).size(), 10000);
}
