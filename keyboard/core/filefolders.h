#pragma once

#include <filesystem>

namespace morvaw {

// Where the configurator's files are: the data files, pictures and help in
// `data`; the files the user changes (PALIX.INI, the STC files) in `user`.
// Both are the program folder while that is writable. Paths are bytes.
struct FileFolders
{
    std::filesystem::path data;
    std::filesystem::path user;
};

} // namespace morvaw
