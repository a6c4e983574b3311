#pragma once

#include <QString>

#include <filesystem>

namespace vornestw {

// Where the display utility finds its icon and keeps the user's files: its
// settings file (the user folder's path with ".INI" appended) and comN links.
//
// - A program folder (the executable beside lcdicon.ico, as in a build folder)
//   holds both while it and the folder above it are writable; when they are
//   not, the user's files go to the per-user folder.
// - An installed program (<prefix>/bin/vornestw with its icon in
//   <prefix>/share/vornestw) never writes under its prefix: the user's files
//   live in $XDG_CONFIG_HOME (~/.config): vornestw.INI and vornestw/comN.
struct ProgramFolders
{
    QString data;
    QString user;

    // The folders for an executable in executableFolder; configHome is the
    // user's configuration folder (ConfigHome()).
    [[nodiscard]] static ProgramFolders Locate(const std::filesystem::path& executableFolder,
                                               const std::filesystem::path& configHome);

    // The running program's folders (from /proc/self/exe and the environment),
    // with a separate per-user folder created.
    [[nodiscard]] static ProgramFolders ForThisProgram();

    // $XDG_CONFIG_HOME when it is an absolute path, ~/.config otherwise.
    [[nodiscard]] static std::filesystem::path ConfigHome();
};

} // namespace vornestw
