#include "programfolders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>

using namespace vornestw;
namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "icon";
}

QString qt(const fs::path& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

} // namespace

TEST(ProgramFolders, TheSettingsStayBesideAProgramFolderAndGoToTheUserWhenInstalled)
{
    QTemporaryDir dir;
    const fs::path top = dir.path().toStdString();
    const fs::path config = top / "config";
    const fs::path build = top / "build" / "bin";
    const fs::path prefix = top / "usr";
    writeFile(build / "lcdicon.ico");
    writeFile(prefix / "share" / "vornestw" / "lcdicon.ico");
    fs::create_directories(prefix / "bin");

    const auto inBuild = ProgramFolders::Locate(build, config);
    EXPECT_EQ(inBuild.data, qt(build));
    EXPECT_EQ(inBuild.user, qt(build));

    const auto installed = ProgramFolders::Locate(prefix / "bin", config);
    EXPECT_EQ(installed.data, qt(prefix / "share" / "vornestw"));
    EXPECT_EQ(installed.user, qt(config / "vornestw"));

    // Qt would write the settings of a folder whose name is not valid UTF-8
    // under another name, so they go to the user's folder.
    const fs::path odd = top / "caf\xC9" / "bin";
    writeFile(odd / "lcdicon.ico");
    const auto oddFolders = ProgramFolders::Locate(odd, config);
    EXPECT_EQ(oddFolders.user, qt(config / "vornestw"));
}
