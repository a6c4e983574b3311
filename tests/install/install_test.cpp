// Starts both programs as a user would, installed into a temporary prefix (as
// the package does under /usr), and closes them the way a session logout does.
// Installed, they find their data under share/, keep the user's files in the
// per-user folder and write nothing under the prefix. (Started from the program
// folder: recovery_test, and the display utility's own tests.)
#include "programfolders.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <map>
#include <memory>
#include <sys/stat.h>

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

// Starts the program and lets its window come up (it is still running after
// start-up), then ends it as a logout does: it must end cleanly.
void StartAndStop(QProcess& process, const QString& program)
{
    auto env = process.processEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(env);
    process.start(program, {});
    ASSERT_TRUE(process.waitForStarted(10000));
    EXPECT_FALSE(process.waitForFinished(1500)) << process.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(20000));
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
    EXPECT_TRUE(lines.contains("COM3: /dev/ttyUSB7-gone: link leads nowhere. The link " +
                               folder.filePath("com3") +
                               " points to /dev/ttyUSB7-gone, which is not there: the adapter is "
                               "unplugged, or it has another name now. Plug it in, or bind COM3 "
                               "to another device with the Ports… button."))
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
    EXPECT_NE(text.find("\nExec=" + program.toStdString() + "\n"), std::string::npos);
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
    StartAndStop(process, linked() + "/bin/" + GetParam());

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

} // namespace
