// Installed use, and folder names that are not UTF-8, are tested on a real
// installation (tests/install).
#include "filerig.h"
#include "programfolders.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

using namespace morvaw;
namespace fs = std::filesystem;

TEST(ProgramFolders, AProgramFolderKeepsTheUsersFilesWhileTheUserMayWriteThere)
{
    QTemporaryDir dir;
    ::chmod(dir.path().toLocal8Bit().constData(), 0755); // for the unprivileged check
    const fs::path folder = fs::path(dir.path().toStdString()) / "bin";
    fs::create_directories(folder);
    std::ofstream(folder / "ASSOC1.BIN") << "x";
    const fs::path config = "/home/u/.config";
    EXPECT_EQ(ProgramFolders::Locate(folder, config).user, folder);

    ::chmod(folder.c_str(), 0555);
    EXPECT_TRUE(test::AsUnprivileged([&] {
        const auto folders = ProgramFolders::Locate(folder, config);
        return folders.data == folder && folders.user == config / "morvaw";
    }));
    ::chmod(folder.c_str(), 0755);
}

TEST(ProgramFolders, AShippedStcFileIsCopiedOnlyWhereTheUserHasNone)
{
    QTemporaryDir dir;
    const ProgramFolders folders{fs::path(dir.path().toStdString()) / "share",
                                 fs::path(dir.path().toStdString()) / "user"};
    fs::create_directories(folders.data);
    fs::create_directories(folders.user);
    for (const char* name : {"STCUSA.TBL", "STCUK.TBL", "STCSP.TBL"})
        std::ofstream(folders.data / name) << "shipped";
    ::chmod((folders.data / "STCUK.TBL").c_str(), 0444);
    std::ofstream(folders.user / "STCUSA.TBL") << "edited";
    fs::create_symlink("nowhere", folders.user / "STCSP.TBL");

    folders.PrepareUserFolder();
    EXPECT_EQ(fs::file_size(folders.user / "STCUSA.TBL"), 6u) << "the user's edits stay";
    EXPECT_TRUE(fs::is_symlink(folders.user / "STCSP.TBL")) << "and so does a link";
    EXPECT_EQ(fs::file_size(folders.user / "STCUK.TBL"), 7u);
    struct stat copy
    {
    };
    ASSERT_EQ(::stat((folders.user / "STCUK.TBL").c_str(), &copy), 0);
    EXPECT_TRUE(copy.st_mode & S_IWUSR) << "the user's copy is editable";
}
