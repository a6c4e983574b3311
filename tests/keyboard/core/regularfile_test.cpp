#include "filerig.h"
#include "regularfile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <sstream>

#include <sys/resource.h>
#include <sys/stat.h>

using namespace morvaw;
using namespace morvaw::test;
using namespace std::chrono_literals;

namespace {

void put(const std::filesystem::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

std::string contents(const std::filesystem::path& file)
{
    std::ostringstream out;
    out << std::ifstream(file, std::ios::binary).rdbuf();
    return out.str();
}

class RegularFile : public ::testing::Test
{
protected:
    [[nodiscard]] std::filesystem::path at(const std::string& name) const { return m_root / name; }
    [[nodiscard]] std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const auto& entry : std::filesystem::directory_iterator(m_root))
            out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

    QTemporaryDir m_dir;
    std::filesystem::path m_root = m_dir.path().toStdString();
};

} // namespace

TEST_F(RegularFile, ReadersRefuseWhatIsNotAFileWithoutWaiting)
{
    ASSERT_EQ(::mkfifo(at("pipe").c_str(), 0600), 0);
    put(at("plain"), "layout bytes");
    std::filesystem::create_symlink(at("plain"), at("link"));
    const std::pair<std::filesystem::path, const char*> refused[] = {
        {at("pipe"), "It is a named pipe (FIFO), not a regular file."},
        {"/dev/null", "It is a device, not a regular file."},
        {m_root, "It is a folder, not a regular file."},
        {at("missing"), "No such file or directory"},
    };
    for (const auto& [path, reason] : refused) {
        FileRead read;
        ASSERT_TRUE(FinishesWithin(
            10s, [&] { read = ReadRegularFile(path, 100); }, path))
            << path;
        EXPECT_FALSE(read.outcome.ok) << path;
        EXPECT_EQ(read.outcome.reason, reason);
    }
    const FileRead linked = ReadRegularFile(at("link"), 6);
    EXPECT_TRUE(linked.outcome.ok);
    EXPECT_EQ(linked.bytes, "layout");
    EXPECT_EQ(linked.size, 12);
}

TEST_F(RegularFile, WriterReplacesOnlyRegularFilesAndFollowsLinks)
{
    std::filesystem::create_directory(at("elsewhere"));
    put(at("elsewhere/real.INI"), "old");
    std::filesystem::create_symlink("elsewhere/real.INI", at("settings.INI"));
    ASSERT_TRUE(ReplaceFileContents(at("settings.INI"), "new").ok);
    EXPECT_EQ(contents(at("elsewhere/real.INI")), "new");
    EXPECT_TRUE(std::filesystem::is_symlink(at("settings.INI")));

    ASSERT_EQ(::mkfifo(at("pipe").c_str(), 0600), 0);
    std::filesystem::create_symlink(at("pipe"), at("pipe-link.INI"));
    for (const char* name : {"pipe", "pipe-link.INI", "elsewhere"}) {
        const FileOutcome written = ReplaceFileContents(at(name), "new");
        EXPECT_FALSE(written.ok) << name;
        EXPECT_TRUE(written.reason.endsWith("not a regular file.")) << name;
    }
    EXPECT_TRUE(std::filesystem::is_fifo(at("pipe")));
    EXPECT_TRUE(std::filesystem::is_symlink(at("pipe-link.INI")));
    EXPECT_EQ(names(),
              (std::vector<std::string>{"elsewhere", "pipe", "pipe-link.INI", "settings.INI"}));
}

// A write that stops short (here at the file size limit, as on a nearly full
// disk) names the cause and leaves the old file and nothing else.
TEST_F(RegularFile, ShortWriteSaysWhyAndKeepsTheOldFile)
{
    put(at("a.KBD"), "the old layout");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 12 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const FileOutcome written = ReplaceFileContents(at("a.KBD"), QByteArray(27400, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written.ok);
    EXPECT_EQ(written.reason, "File too large");
    EXPECT_EQ(contents(at("a.KBD")), "the old layout");
    EXPECT_EQ(names(), std::vector<std::string>{"a.KBD"});
}

// Root included: a read-only file is refused, a replaced file keeps its mode
// and owner, and a folder that takes no new file still lets its file be saved.
TEST_F(RegularFile, ModesOwnersAndReadOnlyFolders)
{
    const bool root = ::geteuid() == 0;
    put(at("locked.KBD"), "locked");
    ::chmod(at("locked.KBD").c_str(), 0444);
    EXPECT_EQ(ReplaceFileContents(at("locked.KBD"), "new").reason, "The file is read-only.");
    EXPECT_EQ(contents(at("locked.KBD")), "locked");

    put(at("kept.KBD"), "old");
    ::chmod(at("kept.KBD").c_str(), 0640);
    if (root)
        ASSERT_EQ(::chown(at("kept.KBD").c_str(), 65534, 65534), 0);
    ASSERT_TRUE(ReplaceFileContents(at("kept.KBD"), "new").ok);
    struct stat kept
    {
    };
    ASSERT_EQ(::stat(at("kept.KBD").c_str(), &kept), 0);
    EXPECT_EQ(kept.st_mode & 07777, 0640u);
    EXPECT_EQ(kept.st_uid, root ? 65534u : ::geteuid());
    EXPECT_EQ(contents(at("kept.KBD")), "new");

    std::filesystem::create_directory(at("shelf"));
    put(at("shelf/a.KBD"), "old layout");
    if (root)
        ASSERT_EQ(::chown(at("shelf/a.KBD").c_str(), 65534, 65534), 0);
    ::chmod(m_root.c_str(), 0755);
    ::chmod(at("shelf").c_str(), 0555);
    const std::filesystem::path file = at("shelf/a.KBD");
    struct stat before
    {
    }, after{};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);
    EXPECT_TRUE(AsUnprivileged([&] { return ReplaceFileContents(file, "new layout").ok; }));
    ::chmod(at("shelf").c_str(), 0755);
    EXPECT_EQ(contents(file), "new layout");
    ASSERT_EQ(::stat(file.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "written in place";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(at("shelf")), {}), 1);
}

TEST_F(RegularFile, NamesThatAreNotUtf8ReachTheirFile)
{
    const std::filesystem::path name = at("caf\xC9.kbd");
    ASSERT_TRUE(ReplaceFileContents(name, "bytes").ok);
    EXPECT_EQ(names(), std::vector<std::string>{"caf\xC9.kbd"});
    EXPECT_EQ(ReadRegularFile(name, 100).bytes, "bytes");
}
