#include "programfolders.h"

#include "layoutmodel.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morvaw {

namespace {

namespace fs = std::filesystem;

// A file every program folder holds; the build and the package put it there.
constexpr const char* kDataMarker = "ASSOC1.BIN";

bool holdsData(const fs::path& folder)
{
    std::error_code error;
    return fs::is_regular_file(folder / kDataMarker, error);
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
    const fs::path perUser = configHome.empty() ? executableFolder : configHome / "morvaw";
    const fs::path installed = executableFolder.parent_path() / "share" / "morvaw";
    if (!holdsData(executableFolder) && holdsData(installed))
        return {{installed, perUser}};
    if (isWritableFolder(executableFolder))
        return {{executableFolder, executableFolder}};
    return {{executableFolder, perUser}};
}

ProgramFolders ProgramFolders::ForThisProgram()
{
    std::error_code error;
    fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error)
        executable = QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
    ProgramFolders folders = Locate(executable.parent_path(), ConfigHome());
    folders.PrepareUserFolder();
    return folders;
}

namespace {

// $variable when it is an absolute path, else `inHome` in the user's home.
fs::path xdgFolder(const char* variable, const fs::path& inHome)
{
    const char* set = std::getenv(variable);
    if (set && set[0] == '/')
        return set;
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return fs::path(home) / inHome;
    if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir && user->pw_dir[0] == '/')
        return fs::path(user->pw_dir) / inHome;
    return {};
}

} // namespace

fs::path ProgramFolders::ConfigHome()
{
    return xdgFolder("XDG_CONFIG_HOME", ".config");
}

fs::path ProgramFolders::RecoveryFolder()
{
    const fs::path state = StateHome();
    return state.empty() ? fs::path() : state / "morvaw" / "recovery";
}

fs::path ProgramFolders::StateHome()
{
    return xdgFolder("XDG_STATE_HOME", fs::path(".local") / "state");
}

void ProgramFolders::PrepareUserFolder() const
{
    if (user == data)
        return;
    makePrivateFolders(user);
    for (int language : {Language::USA, Language::UK, Language::Spain}) {
        const std::string_view name = LanguageStcFile(language);
        const fs::path from = data / name;
        const fs::path to = user / name;
        std::error_code error;
        // Whatever is there already, even a dangling link, is the user's.
        if (fs::symlink_status(to, error).type() != fs::file_type::not_found ||
            !fs::is_regular_file(from, error))
            continue;
        if (fs::copy_file(from, to, error))
            fs::permissions(to, fs::perms::owner_read | fs::perms::owner_write,
                            fs::perm_options::add, error);
    }
}

} // namespace morvaw
