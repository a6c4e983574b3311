#include "programfolders.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vornestw {

namespace {

namespace fs = std::filesystem;

// The file every program folder holds; the build and the package put it there.
constexpr const char* kDataMarker = "lcdicon.ico";

bool holdsData(const fs::path& folder)
{
    std::error_code error;
    return fs::is_regular_file(folder / kDataMarker, error);
}

QString toQt(const fs::path& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

// Qt names files by QString: a folder whose name is not valid UTF-8 would get
// the settings file under another name.
bool keepsItsName(const fs::path& folder)
{
    return QFile::encodeName(toQt(folder)).toStdString() == folder.native();
}

bool isWritableFolder(const fs::path& folder)
{
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

// Like mkdir -p, but new folders are private to the user.
void makePrivateFolders(const fs::path& folder)
{
    std::error_code error;
    if (folder.empty() || fs::is_directory(folder, error))
        return;
    if (folder.has_relative_path() && folder.parent_path() != folder)
        makePrivateFolders(folder.parent_path());
    ::mkdir(folder.c_str(), 0700);
}

} // namespace

ProgramFolders ProgramFolders::Locate(const fs::path& executableFolder, const fs::path& configHome)
{
    const fs::path perUser = configHome.empty() ? executableFolder : configHome / "vornestw";
    const fs::path installed = executableFolder.parent_path() / "share" / "vornestw";
    if (!holdsData(executableFolder) && holdsData(installed))
        return {toQt(installed), toQt(perUser)};
    // The settings file lies beside the program folder, in the one above.
    if (isWritableFolder(executableFolder) && isWritableFolder(executableFolder.parent_path()) &&
        keepsItsName(executableFolder))
        return {toQt(executableFolder), toQt(executableFolder)};
    return {toQt(executableFolder), toQt(perUser)};
}

ProgramFolders ProgramFolders::ForThisProgram()
{
    std::error_code error;
    fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error)
        executable = QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
    ProgramFolders folders = Locate(executable.parent_path(), ConfigHome());
    if (folders.user != folders.data)
        makePrivateFolders(QFile::encodeName(folders.user).toStdString());
    return folders;
}

fs::path ProgramFolders::ConfigHome()
{
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome && configHome[0] == '/')
        return configHome;
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return fs::path(home) / ".config";
    if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir && user->pw_dir[0] == '/')
        return fs::path(user->pw_dir) / ".config";
    return {};
}

} // namespace vornestw
