#pragma once

#include "keyboardtables.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace morvaw {

// One record of a scan table source, with the line it came from.
struct SourceScanRecord
{
    int record = 0; // 1..140; 0 in a patch: an added record with no US record to replace
    ScanRecord scan;
    std::string where; // "file:line", for messages
};

// One button of the on-screen keyboard. Entry numbers are 0 where unused.
struct SourceKey
{
    int button = 0;
    bool tableCaption = false; // caption from KCCAPT.BIN / KCSCAPS.BIN
    std::string record;        // record names here and below are the configurator's bytes
    int shiftEntry = 0;
    std::string shiftRecord;
    int numLockEntry = 0;
    std::string numLockRecord;
    std::string where;
};

struct SourceCaptionPatch
{
    int button = 0;
    std::uint8_t cap = 0;
    std::uint8_t shiftCap = 0;
    std::string assoc1; // record name, empty = leave the entry
    int index2 = 0;
    std::string assoc2;
    std::string where;
};

// A language's scan patches and the data file they go to.
struct SourcePatchTable
{
    std::string dataFile;
    int language = 0;
    std::vector<SourceScanRecord> patches; // in patch order
};

// Everything the generator reads from keyboard/data.
struct DataSource
{
    std::vector<SourceScanRecord> scanTable; // records 1..140 in order
    std::vector<SourceKey> keys;
    std::vector<SourcePatchTable>
        patchTables; // UK, Spain, Italy, Germany, France, Belgium, Switzerland
    std::vector<SourceCaptionPatch> ukCaptions;
    std::vector<SourceCaptionPatch> spanishCaptions;
};

// Reads and checks the form of every source table; throws DataSourceError.
[[nodiscard]] DataSource ReadDataSource(const std::filesystem::path& sourceDir);

} // namespace morvaw
