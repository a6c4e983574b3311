// The configurator as a session ends it: started offscreen from a copy of the
// program folder with a home of its own, ended by a signal, with unsaved
// changes that a recovery copy keeps. What it had in memory is what the copy
// holds and what the next start brings back.
#include "layoutfile.h"
#include "recoverycopy.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <optional>
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
        for (const QString& name : source.entryList(QDir::Files)) {
            ASSERT_TRUE(QFile::copy(source.filePath(name), path("program/" + name)));
            QFile::setPermissions(path("program/" + name),
                                  QFile(source.filePath(name)).permissions());
        }
        QByteArray saved(kLayoutFileSize, '\0');
        for (qsizetype i = 0; i < saved.size(); ++i)
            saved[i] = static_cast<char>(i * 7 % 251);
        m_inMemory = saved;
        m_inMemory.replace(3000, 5, "edits");
        writeFile(layout(), saved);
        fs::last_write_time(layout(), fs::file_time_type::clock::now() - std::chrono::hours(1));
    }

    [[nodiscard]] QString path(const QString& name) const { return m_root.filePath(name); }
    [[nodiscard]] fs::path layout() const
    {
        return QFile::encodeName(path("shop.KBD")).toStdString();
    }
    [[nodiscard]] QString recovery() const { return path("state/morvaw/recovery"); }
    static void writeFile(const fs::path& file, const QByteArray& bytes)
    {
        QFile out(QFile::decodeName(file.c_str()));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
    }
    // A copy an earlier run left, for the given session.
    void leaveCopy(const QString& session)
    {
        ASSERT_TRUE(QDir().mkpath(recovery()));
        const RecoveryCopy copy{layout().string(), session, IdentityOnDisk(layout()), m_inMemory};
        writeFile(QFile::encodeName(recovery() + "/layout-earlier.recovery").toStdString(),
                  RecoveryCopyBytes(copy));
    }
    // Every entry of the recovery folder, temporary files too.
    [[nodiscard]] QStringList entries() const
    {
        return QDir(recovery()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    [[nodiscard]] std::optional<RecoveryCopy> theCopy() const
    {
        if (entries().size() != 1)
            return std::nullopt;
        QFile in(recovery() + "/" + entries()[0]);
        if (!in.open(QIODevice::ReadOnly))
            return std::nullopt;
        const QByteArray bytes = in.readAll();
        return ParseRecoveryCopy({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                  static_cast<std::size_t>(bytes.size())});
    }
    // The identity of the one copy's file: a new one means the program wrote it.
    [[nodiscard]] ino_t copyFile() const
    {
        struct stat status
        {
        };
        return entries().size() == 1 &&
                       ::stat(QFile::encodeName(recovery() + "/" + entries()[0]), &status) == 0
                   ? status.st_ino
                   : 0;
    }

    void start(const QStringList& arguments = {})
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
    // Waits until the program has written its own copy in place of `before`.
    bool rewritesCopy(ino_t before)
    {
        for (int i = 0; i < 100 && (copyFile() == before || copyFile() == 0); ++i) {
            if (m_process.waitForFinished(100))
                return false;
        }
        return copyFile() != before && copyFile() != 0;
    }
    // Sends the signal: the program must end within 2 s, cleanly.
    void endWith(int signal, bool clean = true)
    {
        QElapsedTimer t;
        t.start();
        ::kill(static_cast<pid_t>(m_process.processId()), signal);
        ASSERT_TRUE(m_process.waitForFinished(2000)) << "still running 2 s after the signal";
        fprintf(stderr, "ENDED after %lld ms\n", (long long)t.elapsed());
        const std::string errors = m_process.readAllStandardError().toStdString();
        if (clean) {
            EXPECT_EQ(m_process.exitStatus(), QProcess::NormalExit) << errors;
            EXPECT_EQ(m_process.exitCode(), 0) << errors;
        }
        EXPECT_EQ(errors.find("Sanitizer"), std::string::npos) << errors;
    }

    QTemporaryDir m_root;
    QByteArray m_inMemory;
    QProcess m_process;
};

} // namespace

// A logout left a copy; the session manager restarts the configurator for that
// session, which takes it back without asking. A crash (SIGKILL) then loses
// nothing, and a kill (SIGTERM) ends it at once, with its copy and PALIX.INI.
TEST_F(RealConfigurator, UnsavedChangesSurviveACrashAndALogout)
{
    leaveCopy(kSession);
    ino_t earlier = copyFile();
    start({"-session", kSession});
    ASSERT_TRUE(rewritesCopy(earlier)) << m_process.readAllStandardError().toStdString();
    endWith(SIGKILL, false);
    auto copy = theCopy();
    ASSERT_TRUE(copy) << entries().join(' ').toStdString();
    EXPECT_EQ(copy->layout, m_inMemory);
    EXPECT_EQ(copy->session, kSession);

    earlier = copyFile();
    start({"-session", kSession});
    ASSERT_TRUE(rewritesCopy(earlier));
    endWith(SIGTERM);
    copy = theCopy();
    ASSERT_TRUE(copy) << entries().join(' ').toStdString();
    EXPECT_EQ(copy->layout, m_inMemory);
    EXPECT_EQ(copy->fileName, layout().string());
    // PALIX.INI names the layout the copy brought back, in its first 128 bytes.
    QFile settings(path("program/PALIX.INI"));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_EQ(settings.read(128).trimmed().toStdString(), layout().string());
    EXPECT_EQ(QDir(m_root.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"shop.KBD"});
}

// An ordinary start asks about a copy left behind; a closed terminal (SIGHUP)
// while it asks ends the program at once and keeps the copy for later.
TEST_F(RealConfigurator, AnEndWhileTheRestoreQuestionIsOpenKeepsTheCopy)
{
    leaveCopy({});
    const ino_t earlier = copyFile();
    start();
    EXPECT_FALSE(m_process.waitForFinished(2000));
    endWith(SIGHUP);
    EXPECT_EQ(copyFile(), earlier);
    EXPECT_EQ(QFile(path("program/PALIX.INI")).size(), 10000);
}
