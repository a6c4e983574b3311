#pragma once

#include "filefolders.h"

#include <filesystem>

namespace morvaw {

// Where the configurator reads its data files and keeps the files the user
// changes (PALIX.INI, the STC files, comN links). Paths are bytes, never a
// QString, so a folder whose name is not valid UTF-8 still works.
//
// - A program folder (the executable beside ASSOC1.BIN, as in a build folder)
//   holds both while it is writable; when it is not, the user's files go to
//   the per-user folder.
// - An installed program (<prefix>/bin/morvaw with its data in
//   <prefix>/share/morvaw) never writes under its prefix: the user's files
//   live in the per-user folder, $XDG_CONFIG_HOME/morvaw (~/.config/morvaw).
struct ProgramFolders : FileFolders
{
    // The folders for an executable in executableFolder; configHome is the
    // user's configuration folder (ConfigHome()).
    [[nodiscard]] static ProgramFolders Locate(const std::filesystem::path& executableFolder,
                                               const std::filesystem::path& configHome);

    // The running program's folders (from /proc/self/exe and the environment),
    // with the per-user folder prepared.
    [[nodiscard]] static ProgramFolders ForThisProgram();

    // $XDG_CONFIG_HOME when it is an absolute path, ~/.config otherwise.
    [[nodiscard]] static std::filesystem::path ConfigHome();

    // Where the recovery copies of unsaved layouts are kept:
    // $XDG_STATE_HOME/morvaw/recovery, or ~/.local/state/morvaw/recovery.
    [[nodiscard]] static std::filesystem::path RecoveryFolder();
    // $XDG_STATE_HOME when it is an absolute path, ~/.local/state otherwise:
    // what the program keeps of its own work (the programming log).
    [[nodiscard]] static std::filesystem::path StateHome();

    // Creates a separate per-user folder (0700) and copies into it each shipped
    // STC file that is not there yet: once there, it is the user's.
    void PrepareUserFolder() const;
};

} // namespace morvaw
