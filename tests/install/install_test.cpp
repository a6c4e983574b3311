// Starts both programs as a user would, installed into a temporary prefix (as
// the package does under /usr), and closes them the way a session logout does.
// Installed, they find their data under share/, keep the user's files in the
// per-user folder and write nothing under the prefix. Started from a copy of
// the program folder, the configurator keeps unsaved changes through a crash
// and a logout. (The display utility's own tests start it from its folder.)
#include "layoutfile.h"
#include "programfolders.h"
#include "recoverycopy.h"
#include "regularfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <map>
#include <memory>
#include <sys/stat.h>

using namespace morvaw;
namespace fs = std::filesystem;

namespace {

fs::path bytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::map<fs::path, fs::file_time_type> snapshot(const fs::path& top)
{
    std::map<fs::path, fs::file_time_type> files;
    for (const auto& entry : fs::recursive_directory_iterator(top))
        files[entry.path()] = entry.last_write_time();
    return files;
}

void Start(QProcess& process, const QString& program, const QStringList& arguments = {})
{
    auto env = process.processEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    ASSERT_TRUE(process.waitForStarted(10000));
}

// Ends the program as a logout (SIGTERM), a closed terminal (SIGHUP) or a
// kill does; but from SIGKILL it must end cleanly. Offscreen nobody answers a
// question: a program that ends asked none.
void EndWith(QProcess& process, int signal)
{
    ::kill(static_cast<pid_t>(process.processId()), signal);
    ASSERT_TRUE(process.waitForFinished(20000));
    if (signal == SIGKILL)
        return;
    const std::string errors = process.readAllStandardError().toStdString();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << errors;
    EXPECT_EQ(process.exitCode(), 0) << errors;
    EXPECT_EQ(errors.find("Sanitizer"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("runtime error"), std::string::npos) << errors;
}

// The listing of ports is for a shell, where there may be no display at all.
// The serial ports come first, in the display utility's words; a copy of the
// program alone keeps its links beside it.
TEST(CommandLine, MorvawListsItsPortsWithoutADisplay)
{
    QTemporaryDir folder;
    const QString program = folder.filePath("morvaw");
    ASSERT_TRUE(QFile::copy(QStringLiteral(SUITE_PROGRAM_DIR "/morvaw"), program));
    ASSERT_TRUE(QFile::link("/dev/ttyUSB7-gone", folder.filePath("com3")));
    QProcess process;
    auto env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(name);
    process.setProcessEnvironment(env);
    process.start(program, {"--list-ports"});
    ASSERT_TRUE(process.waitForFinished(20000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QStringList lines = QString::fromLocal8Bit(process.readAllStandardOutput()).split('\n');
    EXPECT_TRUE(lines.value(0).startsWith("Serial ports"));
    EXPECT_TRUE(lines.contains(
        "COM3: /dev/ttyUSB7-gone: link leads nowhere. The link " + folder.filePath("com3") +
        " points to /dev/ttyUSB7-gone, which is not there: the adapter is "
        "unplugged, or it has another name now. Plug it in, or bind COM3 "
        "to another device with the Ports… button of the Program Kbd window."))
        << lines.join('\n').toStdString();
    EXPECT_TRUE(lines.contains("Keyboard port (\"Send setup using KBD\"):"));
}

// One installation for every case. Its folder's name is not valid UTF-8; the
// programs are started through a link with a plain name and see the bytes.
class Installed : public ::testing::TestWithParam<const char*>
{
protected:
    static void SetUpTestSuite()
    {
        s_root = std::make_unique<QTemporaryDir>();
        QProcess install;
        install.start(SUITE_CMAKE, {"--install", SUITE_BINARY_DIR, "--prefix", linked()});
        s_installed = install.waitForFinished(120000) && install.exitCode() == 0;
        s_log = install.readAllStandardError().toStdString();
        if (s_installed) {
            fs::rename(bytes(linked()), prefix());
            fs::create_symlink(prefix().filename(), bytes(linked()));
        }
    }
    static void TearDownTestSuite() { s_root.reset(); }
    void SetUp() override { ASSERT_TRUE(s_installed) << s_log; }

    static QString linked() { return s_root->filePath("prefix"); }
    static fs::path prefix() { return bytes(s_root->path()) / "caf\xC9"; }

    static inline std::unique_ptr<QTemporaryDir> s_root;
    static inline bool s_installed = false;
    static inline std::string s_log;
};

TEST_P(Installed, MenuEntryValidatesAndIconsComeInTheThemesSizes)
{
    const QString program = GetParam();
    const QString entry = linked() + "/share/applications/" + program + ".desktop";
    QProcess validate;
    validate.setProcessChannelMode(QProcess::MergedChannels);
    validate.start("desktop-file-validate", {entry});
    ASSERT_TRUE(validate.waitForFinished(20000)) << "desktop-file-utils is missing";
    const std::string said = validate.readAll().toStdString(); // no warnings either
    EXPECT_TRUE(validate.exitCode() == 0 && said.empty()) << said;
    const std::string text = readFile(bytes(entry));
    const std::string opens = program == "morvaw" ? " %f" : ""; // a layout file it is given
    EXPECT_NE(text.find("\nExec=" + program.toStdString() + opens + "\n"), std::string::npos);
    EXPECT_NE(text.find("\nIcon=" + program.toStdString() + "\n"), std::string::npos);

    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString file =
            linked() + QStringLiteral("/share/icons/hicolor/%1x%1/apps/").arg(size) + program;
        const QImage icon(file + ".png");
        ASSERT_EQ(icon.size(), QSize(size, size)) << file.toStdString();
        EXPECT_EQ(qAlpha(icon.pixel(0, size - 1)), 0) << "a drawn shape, not a square";
    }
}

TEST_P(Installed, FindsItsDataWritesOnlyTheUsersFolderAndExitsCleanly)
{
    const std::string program = GetParam();
    const bool morvaw = program == "morvaw";
    const auto before = snapshot(prefix());
    QTemporaryDir home;
    // XDG_CONFIG_HOME for one, its absence (~/.config) for the other.
    const fs::path config = bytes(home.path()) / (morvaw ? "xdg" : ".config");
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.path());
    env.remove("XDG_CONFIG_HOME");
    if (morvaw)
        env.insert("XDG_CONFIG_HOME", home.filePath("xdg"));

    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(home.path());
    Start(process, linked() + "/bin/" + GetParam());
    // Its window comes up (it is still running after start-up).
    EXPECT_FALSE(process.waitForFinished(1500)) << process.readAllStandardError().toStdString();
    EndWith(process, SIGTERM);

    EXPECT_EQ(snapshot(prefix()), before) << "nothing is written under the prefix";
    struct stat user
    {
    };
    ASSERT_EQ(::stat((config / program).c_str(), &user), 0);
    EXPECT_EQ(user.st_mode & 0777, 0700u);
    if (morvaw) {
        EXPECT_EQ(fs::file_size(config / "morvaw/PALIX.INI"), 10000u) << "written on exit";
        // Copied from the installed data: the program found them there.
        for (const char* stc : {"STCUSA.TBL", "STCUK.TBL", "STCSP.TBL"})
            EXPECT_EQ(readFile(config / "morvaw" / stc), readFile(prefix() / "share/morvaw" / stc));
    } else {
        EXPECT_EQ(fs::file_size(config / "vornestw.INI"), 100u) << "written on exit";
        // The icon is its one data file (a Qt path: through the plain name).
        using vornestw::ProgramFolders;
        const auto folders = ProgramFolders::Locate(bytes(linked()) / "bin", config);
        EXPECT_TRUE(fs::is_regular_file(bytes(folders.data) / "lcdicon.ico"));
        // As a program folder (the icon beside it), one whose name Qt cannot
        // spell keeps no settings beside it.
        EXPECT_EQ(ProgramFolders::Locate(prefix() / "share/vornestw", config).user, folders.user);
        EXPECT_EQ(ProgramFolders::Locate(bytes(linked()) / "share/vornestw", config).user,
                  folders.data);
    }
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, Installed, ::testing::Values("morvaw", "vornestw"));

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
        // A copy an earlier run left for the session; the program that takes
        // it back writes its next versions under the same name.
        ASSERT_TRUE(QDir().mkpath(QFileInfo(copyFile()).path()));
        const RecoveryCopy copy{
            layout().string(), kSession, IdentityOnDisk(layout()), m_inMemory, {}};
        m_copy = RecoveryCopyBytes(copy);
        ASSERT_TRUE(ReplaceFileContents(copyFile().toStdString(), m_copy).ok);
    }

    [[nodiscard]] QString path(const QString& name) const { return m_root.filePath(name); }
    [[nodiscard]] fs::path layout() const { return path("shop.KBD").toStdString(); }
    [[nodiscard]] QString copyFile() const
    {
        return path(".local/state/morvaw/recovery/layout-earlier.recovery");
    }
    [[nodiscard]] bool copyWrittenSinceStart() const
    {
        return QFileInfo(copyFile()).lastModified() > m_started;
    }

    void start(const QStringList& arguments)
    {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_root.path()); // the recovery folder is ~/.local/state/morvaw/recovery
        env.remove("XDG_STATE_HOME");
        m_process.setProcessEnvironment(env);
        m_process.setWorkingDirectory(m_root.path());
        m_started = QDateTime::currentDateTime();
        Start(m_process, path("program/morvaw"), arguments);
    }
    // True once the running program has written the copy anew, unasked.
    bool rewritesCopy()
    {
        for (int i = 0; i < 300 && !copyWrittenSinceStart(); ++i) {
            if (m_process.waitForFinished(100))
                return false;
        }
        return copyWrittenSinceStart();
    }

    QTemporaryDir m_root;
    QByteArray m_inMemory;
    QByteArray m_copy; // the layout in memory, its file and session
    QProcess m_process;
    QDateTime m_started;
};

// An ordinary start asks about the copy left behind; a closed terminal
// (SIGHUP) while it asks ends the program and keeps the copy for later. The
// session manager restarts the configurator for the session a logout ended:
// it takes the copy back without asking. A crash (SIGKILL) then loses
// nothing, and a kill (SIGTERM) ends it at once, with its copy and PALIX.INI.
TEST_F(RealConfigurator, UnsavedChangesSurviveACrashAndALogout)
{
    start({});
    EXPECT_FALSE(m_process.waitForFinished(2000));
    EndWith(m_process, SIGHUP);
    EXPECT_FALSE(copyWrittenSinceStart());
    EXPECT_EQ(QFile(path("program/PALIX.INI")).size(), 10000);

    for (const int signal : {SIGKILL, SIGTERM}) {
        start({"-session", kSession});
        ASSERT_TRUE(rewritesCopy()) << m_process.readAllStandardError().toStdString();
        EndWith(m_process, signal);
        // Written anew, as it was: no temporary file beside it.
        EXPECT_EQ(QFileInfo(copyFile())
                      .dir()
                      .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList{"layout-earlier.recovery"});
        EXPECT_EQ(ReadRegularFile(copyFile().toStdString(), 1 << 20).bytes, m_copy);
    }
    // PALIX.INI names the restored layout in its first 128 bytes.
    QFile settings(path("program/PALIX.INI"));
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_EQ(settings.read(128).trimmed().toStdString(), layout().string());

    // An unnamed layout's legends come back with it and stay beside its copy.
    const fs::path legends = RecoveryFolder::LegendsFileOf(copyFile().toStdString());
    const QByteArray text = R"({"format": "morvaw legends", "legends": {"2": "Green tea"}})";
    const RecoveryCopy untitled{"UNTITLED.KBD", kSession, {}, m_inMemory, {}};
    ASSERT_TRUE(ReplaceFileContents(copyFile().toStdString(), RecoveryCopyBytes(untitled)).ok &&
                ReplaceFileContents(legends, text).ok);
    start({"-session", kSession});
    ASSERT_TRUE(rewritesCopy());
    EndWith(m_process, SIGTERM);
    EXPECT_EQ(ReadRegularFile(legends, 1 << 20).bytes, text);
    EXPECT_GT(QFileInfo(QFile::decodeName(legends.c_str())).lastModified(), m_started);
    EXPECT_EQ(QDir(m_root.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"shop.KBD"});

    // A layout named on the command line is the one open, and so the one
    // PALIX.INI names at the end.
    ASSERT_TRUE(QDir(QFileInfo(copyFile()).path()).removeRecursively());
    ASSERT_TRUE(QFile::copy(path("shop.KBD"), path("program/other.KBD")));
    start({"program/other.KBD"});
    EXPECT_FALSE(m_process.waitForFinished(2000));
    EndWith(m_process, SIGTERM);
    QFile named(path("program/PALIX.INI")); // written anew
    ASSERT_TRUE(named.open(QIODevice::ReadOnly));
    EXPECT_EQ(named.read(128).trimmed().toStdString(), path("program/other.KBD").toStdString());
}

} // namespace
