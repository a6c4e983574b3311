#pragma once

#include "fuzzinput.h"
#include "languagetables.h"
#include "layoutmodel.h"

#include <map>
#include <memory>

namespace morvaw::fuzz {

using suite::fuzz::FuzzInput;
using suite::fuzz::require;

// The data files as the build generated them.
inline const std::filesystem::path kDataDir = MORVAW_DATA_DIR;

// The tables after start-up over the shipped data files, read once.
inline const KeyboardTables& StartupTables()
{
    static const LanguageTables started(FileFolders{kDataDir, {}});
    return started.tables();
}

// The shipped tables of a language (and its shipped STC file), read once per STC file.
inline const KeyboardTables& ShippedTables(int language)
{
    static std::map<std::string, KeyboardTables, std::less<>> byStcFile;
    const auto found = byStcFile.find(LanguageStcFile(language));
    if (found != byStcFile.end())
        return found->second;
    KeyboardTables tables = StartupTables();
    LoadLanguageTables(tables, kDataDir, language);
    return byStcFile.emplace(tables.StcFileName, tables).first->second;
}

} // namespace morvaw::fuzz
