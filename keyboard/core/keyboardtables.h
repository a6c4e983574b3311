#pragma once

#include "fixedtext.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace morvaw {

// A named PC key: 7-character name, scan code and mask bits (9 bytes on disk).
struct ScanRecord
{
    static constexpr std::size_t kFileSize = 9;

    FixedText<7> Name = blankName();
    std::uint8_t Seq1 = 0;
    std::uint8_t Seq2 = 0;

    static FixedText<7> blankName()
    {
        FixedText<7> t;
        t.fill(' ');
        return t;
    }
    void blank() { *this = ScanRecord{}; }

    friend bool operator==(const ScanRecord&, const ScanRecord&) = default;
};

// A change of the on-screen keyboard's captions and scan associations (10 bytes on disk).
struct CaptionPatch
{
    static constexpr std::size_t kFileSize = 10;

    std::uint8_t Cap = 0;
    std::uint8_t ShiftCap = 0;
    std::int16_t Index1 = 0;
    std::int16_t Index2 = 0;
    std::int16_t Assoc1 = 0;
    std::int16_t Assoc2 = 0;
};

constexpr int kScanRecords = 160;
constexpr int kStartupScanRecords = 137;
constexpr int kReloadScanRecords = 138;
constexpr int kByteTableEntries = 200;

// Tables are indexed as the files number them: entry 0 of each is unused.
using ByteTable = std::array<std::uint8_t, kByteTableEntries + 1>;
using ScanTableArray = std::array<ScanRecord, kScanRecords + 1>;
template <std::size_t Count> using ScanPatchTable = std::array<ScanRecord, Count + 1>;
template <std::size_t Count> using CaptionPatchTable = std::array<CaptionPatch, Count + 1>;

struct KeyboardTables
{
    ByteTable AssocTable{};
    ScanTableArray ScanTable{};
    ByteTable CapsTable{};
    ByteTable CapTable{};
    ByteTable ShiftCapTable{};
    CaptionPatchTable<5> UkCaptionPatches{};
    ScanPatchTable<8> UkScanPatches{};
    CaptionPatchTable<18> SpanishCaptionPatches{};
    ScanPatchTable<32> SpanishScanPatches{};
    ScanPatchTable<31> ItalianScanPatches{};
    ScanPatchTable<27> GermanScanPatches{};
    ScanPatchTable<45> FrenchScanPatches{};
    ScanPatchTable<50> BelgianScanPatches{};
    ScanPatchTable<47> SwissScanPatches{};
    ScanTableArray StcTable{};

    std::uint16_t ScanCount = 0;
    std::string StcFileName;
};

// The data files' bytes by name ("ASSOC1.BIN"); a name not there reads as an
// empty file. Each table takes the whole records its file holds.
using DataFileBytes = std::map<std::string, std::span<const std::uint8_t>, std::less<>>;
// The data files the tables are read from.
constexpr std::array<const char*, 14> kDataFileNames{
    "ASSOC1.BIN", "SCNTBL.BIN", "KCCCAPS.BIN", "KCCAPT.BIN", "KCSCAPS.BIN",
    "UKCAPT.BIN", "UKST.BIN",   "SPCAPT.BIN",  "SPST.BIN",   "ITALST.BIN",
    "GERMST.BIN", "FRANST.BIN", "BELGST.BIN",  "SWISST.BIN"};

// One line for each data file of a folder that is missing, unreadable or
// shorter than its tables read ("UKST.BIN: missing", "SCNTBL.BIN: 100 of 1242
// bytes"); empty when every table can be read whole.
[[nodiscard]] std::vector<std::string> DataFileShortages(const std::filesystem::path& appPath);

// Reads the data files as start-up does (no language patches, no STC file).
void LoadStartupTables(KeyboardTables& tables, const std::filesystem::path& appPath);
void ParseStartupTables(KeyboardTables& tables, const DataFileBytes& files);

// Rebuilds the tables for a language: re-reads the files, applies the UK or
// Spanish patches, reads the language's STC file (from stcFolder, or appPath
// when that is empty) and lays the user's STC records over the scan table.
void LoadLanguageTables(KeyboardTables& tables, const std::filesystem::path& appPath,
                        int currentLanguage, const std::filesystem::path& stcFolder = {});
// The same from the files' bytes and the STC file's.
void ParseLanguageTables(KeyboardTables& tables, const DataFileBytes& files, int currentLanguage,
                         std::span<const std::uint8_t> stcBytes);

// Applies one caption patch; a patch naming an entry outside 0..200 or a
// value that does not fit a byte is skipped as a whole. Returns whether applied.
bool ApplyCaptionPatch(KeyboardTables& tables, const CaptionPatch& patch);

// Record forms, shared with the scan table editor that writes STC files.
[[nodiscard]] std::array<std::uint8_t, ScanRecord::kFileSize> ScanRecordBytes(const ScanRecord& r);
[[nodiscard]] ScanRecord
ScanRecordFromBytes(std::span<const std::uint8_t, ScanRecord::kFileSize> bytes);
[[nodiscard]] CaptionPatch
CaptionPatchFromBytes(std::span<const std::uint8_t, CaptionPatch::kFileSize> bytes);

} // namespace morvaw
