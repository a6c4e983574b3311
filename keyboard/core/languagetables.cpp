#include "languagetables.h"

#include "layoutmodel.h"
#include "regularfile.h"

#include <QByteArray>

#include <utility>

namespace morvaw {

namespace {

FileFolders withUserFolder(FileFolders folders)
{
    if (folders.user.empty())
        folders.user = folders.data;
    return folders;
}

} // namespace

LanguageTables::LanguageTables(FileFolders folders) : m_folders(withUserFolder(std::move(folders)))
{
    LoadStartupTables(m_tables, m_folders.data);
}

LanguageTables::LanguageTables(FileFolders folders, KeyboardTables tables)
    : m_folders(withUserFolder(std::move(folders))), m_tables(std::move(tables))
{
}

void LanguageTables::load(int language)
{
    LoadLanguageTables(m_tables, m_folders.data, language, m_folders.user);
}

void LanguageTables::storeScanRecord(int record, const ScanRecord& scanRecord)
{
    const auto r = static_cast<std::size_t>(record);
    m_tables.ScanTable.at(r) = scanRecord;
    m_tables.StcTable.at(r) = scanRecord;
    m_stcChanged = true;
}

void LanguageTables::clearScanRecord(int record)
{
    if (record <= kProtectedRecords || record > kScanRecords)
        return;
    for (int r = record; r < kScanRecords; ++r)
        storeScanRecord(r, m_tables.StcTable[static_cast<std::size_t>(r + 1)]);
    storeScanRecord(kScanRecords, ScanRecord{});
}

std::filesystem::path LanguageTables::stcPath(int language) const
{
    return m_folders.user / LanguageStcFile(language);
}

FileOutcome LanguageTables::saveStc(int language)
{
    if (!m_stcChanged)
        return {};
    m_stcChanged = false;
    m_tables.StcFileName = std::string(LanguageStcFile(language));
    QByteArray bytes;
    for (int r = 1; r <= kScanRecords; ++r) {
        const auto record = ScanRecordBytes(m_tables.StcTable[static_cast<std::size_t>(r)]);
        bytes.append(reinterpret_cast<const char*>(record.data()),
                     static_cast<qsizetype>(record.size()));
    }
    return ReplaceFileContents(stcPath(language), bytes);
}

} // namespace morvaw
