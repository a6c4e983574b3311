#include "filerig.h"
#include "programfolders.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sys/stat.h>

using namespace morvaw;
namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A temporary folder that other users may enter, for the unprivileged checks.
struct Scratch
{
    Scratch() { ::chmod(dir.path().toLocal8Bit().constData(), 0755); }
    [[nodiscard]] fs::path path() const { return dir.path().toStdString(); }
    QTemporaryDir dir;
};

// Sets an environment variable for one test; nullptr unsets it.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnv() { m_old ? ::setenv(m_name, m_old->c_str(), 1) : ::unsetenv(m_name); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

} // namespace

TEST(ProgramFolders, AProgramFolderKeepsEverythingAndAnInstalledProgramWritesOnlyForTheUser)
{
    Scratch s;
    const fs::path config = s.path() / "config";
    // A name that is not valid UTF-8 must come back byte for byte.
    for (const std::string top : {"plain", "caf\xC9"}) {
        const fs::path build = s.path() / top / "build" / "bin";
        const fs::path prefix = s.path() / top / "usr";
        writeFile(build / "ASSOC1.BIN", "x");
        writeFile(prefix / "share" / "morvaw" / "ASSOC1.BIN", "x");
        fs::create_directories(prefix / "bin");

        const auto inBuild = ProgramFolders::Locate(build, config);
        EXPECT_EQ(inBuild.data, build) << top;
        EXPECT_EQ(inBuild.user, build) << top;

        const auto installed = ProgramFolders::Locate(prefix / "bin", config);
        EXPECT_EQ(installed.data.native(), (prefix / "share" / "morvaw").native()) << top;
        EXPECT_EQ(installed.user, config / "morvaw") << top;

        // Data beside the executable make it a program folder, installed or not.
        writeFile(prefix / "bin" / "ASSOC1.BIN", "x");
        EXPECT_EQ(ProgramFolders::Locate(prefix / "bin", config).data, prefix / "bin") << top;
    }

    // A program folder the user may not write to: its data, the user's folder.
    const fs::path shared = s.path() / "plain" / "build" / "bin";
    ::chmod(shared.c_str(), 0555);
    EXPECT_TRUE(test::AsUnprivileged([&] {
        const auto folders = ProgramFolders::Locate(shared, config);
        return folders.data == shared && folders.user == config / "morvaw";
    }));
    ::chmod(shared.c_str(), 0755);
}

TEST(ProgramFolders, TheConfigFolderFollowsXdgRules)
{
    struct Row
    {
        const char* xdgConfigHome;
        const char* home;
        fs::path expected;
    };
    const Row rows[] = {
        {"/x/conf", "/home/u", "/x/conf"},
        {"relative/conf", "/home/u", "/home/u/.config"}, // relative: ignored
        {"", "/home/u", "/home/u/.config"},
        {nullptr, "/home/u", "/home/u/.config"},
    };
    for (const Row& row : rows) {
        ScopedEnv xdg("XDG_CONFIG_HOME", row.xdgConfigHome);
        ScopedEnv home("HOME", row.home);
        EXPECT_EQ(ProgramFolders::ConfigHome(), row.expected)
            << (row.xdgConfigHome ? row.xdgConfigHome : "(unset)");
    }
    // Without HOME, the account's home folder.
    ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
    ScopedEnv home("HOME", nullptr);
    EXPECT_EQ(ProgramFolders::ConfigHome().filename(), ".config");
    EXPECT_TRUE(ProgramFolders::ConfigHome().is_absolute());
}

TEST(ProgramFolders, TheUserFolderGetsTheShippedStcFilesOnlyWhereItHasNone)
{
    Scratch s;
    const fs::path data = s.path() / "share";
    const fs::path user = s.path() / "new" / "config" / "morvaw";
    writeFile(data / "STCUSA.TBL", "shipped us");
    writeFile(data / "STCUK.TBL", "shipped uk");
    writeFile(data / "STCSP.TBL", "shipped sp");
    writeFile(data / "ASSOC1.BIN", "data");
    ::chmod((data / "STCUK.TBL").c_str(), 0444);
    const ProgramFolders folders{data, user};

    folders.PrepareUserFolder();
    struct stat info
    {
    };
    ASSERT_EQ(::stat(user.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat((s.path() / "new").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u) << "folders made on the way are private too";
    EXPECT_EQ(readFile(user / "STCUK.TBL"), "shipped uk");
    EXPECT_FALSE(fs::exists(user / "ASSOC1.BIN")) << "only the user's files";
    ASSERT_EQ(::stat((user / "STCUK.TBL").c_str(), &info), 0);
    EXPECT_TRUE(info.st_mode & S_IWUSR) << "the user's copy can be edited";

    // Once there, a file is the user's: edited, removed or a link, it stays.
    writeFile(user / "STCUSA.TBL", "edited");
    fs::remove(user / "STCUK.TBL");
    fs::remove(user / "STCSP.TBL");
    fs::create_symlink("nowhere", user / "STCSP.TBL");
    folders.PrepareUserFolder();
    EXPECT_EQ(readFile(user / "STCUSA.TBL"), "edited");
    EXPECT_EQ(readFile(user / "STCUK.TBL"), "shipped uk");
    EXPECT_TRUE(fs::is_symlink(user / "STCSP.TBL"));
    EXPECT_EQ(readFile(data / "STCUSA.TBL"), "shipped us");

    // In a program folder nothing is copied anywhere.
    const ProgramFolders same{data, data};
    same.PrepareUserFolder();
    EXPECT_EQ(std::distance(fs::directory_iterator(data), fs::directory_iterator()), 4);
}
