#pragma once

#include "filefolders.h"
#include "fileoutcome.h"
#include "keyboardtables.h"

#include <filesystem>

namespace morvaw {

// The keyboard data tables of the layout's language: those of the data
// folder, with the user's own scan records (the language's STC file in the
// user's folder) laid over the scan table. Whoever needs them reads them as
// one read-only object; the scan table editor changes them only through
// this owner, which keeps the user's records without gaps and writes the
// STC file.
class LanguageTables
{
public:
    // The records 1..140 cannot be cleared; the user's follow them.
    static constexpr int kProtectedRecords = 140;

    // Reads the data files as start-up does (no language yet).
    explicit LanguageTables(FileFolders folders);
    // Over tables read already.
    LanguageTables(FileFolders folders, KeyboardTables tables);

    [[nodiscard]] const KeyboardTables& tables() const { return m_tables; }
    [[nodiscard]] const FileFolders& folders() const { return m_folders; }

    // LoadLanguageTables: the tables read again and patched for a language.
    void load(int language);

    // One record in both the scan table and the STC table.
    void storeScanRecord(int record, const ScanRecord& scanRecord);
    // Blanks one of the user's records. Those after it move up by one, so
    // that no record of the user's stands behind a blank one: programming
    // stops looking a name up at the first blank record.
    void clearScanRecord(int record);
    // The STC file is written again at the next save, changed or not.
    void markStcChanged() { m_stcChanged = true; }
    [[nodiscard]] bool isStcChanged() const { return m_stcChanged; }

    // The language's STC file in the user's folder.
    [[nodiscard]] std::filesystem::path stcPath(int language) const;
    // Writes the STC table to that file when it changed since the last save.
    [[nodiscard]] FileOutcome saveStc(int language);

private:
    FileFolders m_folders;
    KeyboardTables m_tables;
    bool m_stcChanged = false;
};

} // namespace morvaw
