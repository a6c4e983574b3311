#include "filerig.h"
#include "regularfile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <sys/stat.h>

using namespace morvaw;
using namespace morvaw::test;

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
    [[nodiscard]] long entries(const std::string& folder = {}) const
    {
        return std::distance(std::filesystem::directory_iterator(at(folder)), {});
    }

    QTemporaryDir m_dir;
    std::filesystem::path m_root = m_dir.path().toStdString();
};

} // namespace

// Refusing named pipes, devices and links to them, and names that are not
// UTF-8, are tested through the layout and settings files (mainformlogic_test).

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
    if (root) {
        ASSERT_EQ(::chown(at("kept.KBD").c_str(), 65534, 65534), 0);
    }
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
    if (root) {
        ASSERT_EQ(::chown(at("shelf/a.KBD").c_str(), 65534, 65534), 0);
    }
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
    EXPECT_EQ(entries("shelf"), 1);
}
