#include "datasource.h"

#include "layoutmodel.h"
#include "tabletext.h"

#include <array>
#include <string_view>

namespace morvaw {

namespace {

constexpr int kLastSourceRecord = 140; // 139 and 140 reach the program through the STC files
constexpr int kFirstButton = 301;
constexpr int kLastButton = 400; // 401..463 would collide with the Shift and Num Lock entries

struct PatchFile
{
    std::string_view source;
    std::string_view dataFile;
    int language;
    std::size_t count; // the number of records the configurator reads
};

constexpr std::array<PatchFile, 7> kPatchFiles{{
    {"uk-scan.txt", "UKST.BIN", Language::UK, 8},
    {"spanish-scan.txt", "SPST.BIN", Language::Spain, 32},
    {"italian-scan.txt", "ITALST.BIN", Language::Italy, 31},
    {"german-scan.txt", "GERMST.BIN", Language::Germany, 27},
    {"french-scan.txt", "FRANST.BIN", Language::France, 45},
    {"belgian-scan.txt", "BELGST.BIN", Language::Belgium, 50},
    {"swiss-scan.txt", "SWISST.BIN", Language::Switzerland, 47},
}};

std::string whereOf(const TableRow& row)
{
    return row.file + ":" + std::to_string(row.line);
}

ScanRecord scanFields(const TableRow& row, std::size_t first)
{
    ScanRecord r;
    r.Name.assign(BytesField(row, first, r.Name.size()));
    r.Seq1 = HexByteField(row, first + 1);
    r.Seq2 = MaskField(row, first + 2);
    return r;
}

std::vector<SourceScanRecord> readScanTable(const std::filesystem::path& file)
{
    std::vector<SourceScanRecord> records;
    for (const TableRow& row : ReadTableRows(file, 4, 5)) {
        const int number = DecimalField(row, 0, 1, kLastSourceRecord);
        if (number != static_cast<int>(records.size()) + 1)
            row.fail("record " + std::to_string(number) + " is out of order; expected " +
                     std::to_string(records.size() + 1));
        records.push_back({number, scanFields(row, 1), whereOf(row)});
    }
    if (records.size() != kLastSourceRecord)
        throw DataSourceError(file.filename().string() + ": expected records 1 to " +
                              std::to_string(kLastSourceRecord));
    return records;
}

SourcePatchTable readPatches(const std::filesystem::path& dir, const PatchFile& pf)
{
    SourcePatchTable table{std::string(pf.dataFile), pf.language, {}};
    for (const TableRow& row : ReadTableRows(dir / pf.source, 5, 6)) {
        const int patch = DecimalField(row, 0, 1, static_cast<int>(pf.count));
        if (patch != static_cast<int>(table.patches.size()) + 1)
            row.fail("patch " + std::to_string(patch) + " is out of order");
        const int record = row.fields[1] == "+" ? 0 : DecimalField(row, 1, 1, kLastSourceRecord);
        table.patches.push_back({record, scanFields(row, 2), whereOf(row)});
    }
    if (table.patches.size() != pf.count)
        throw DataSourceError(std::string(pf.source) + ": expected " + std::to_string(pf.count) +
                              " patches, found " + std::to_string(table.patches.size()));
    return table;
}

// "-" or "<entry> <record name>".
void entryField(const TableRow& row, std::size_t field, int& entry, std::string& record)
{
    const std::string& text = row.fields.at(field);
    if (text == "-")
        return;
    const std::size_t space = text.find(' ');
    if (space == std::string::npos || space + 1 >= text.size())
        row.fail("\"" + text + "\" should be \"-\" or an entry number and a record name");
    TableRow parts = row;
    parts.fields = {text.substr(0, space), text.substr(space + 1)};
    entry = DecimalField(parts, 0, 1, kByteTableEntries);
    record = BytesField(parts, 1, ScanRecord::blankName().size());
}

std::vector<SourceKey> readKeys(const std::filesystem::path& file)
{
    std::vector<SourceKey> keys;
    for (const TableRow& row : ReadTableRows(file, 5, 5)) {
        SourceKey key;
        key.button = DecimalField(row, 0, kFirstButton, kLastButton);
        if (!keys.empty() && key.button <= keys.back().button)
            row.fail("buttons must be listed in increasing order");
        key.tableCaption = row.fields[1] == "=";
        key.record = BytesField(row, 2, ScanRecord::blankName().size());
        entryField(row, 3, key.shiftEntry, key.shiftRecord);
        entryField(row, 4, key.numLockEntry, key.numLockRecord);
        key.where = whereOf(row);
        keys.push_back(std::move(key));
    }
    return keys;
}

std::vector<SourceCaptionPatch> readCaptionPatches(const std::filesystem::path& file,
                                                   std::size_t count)
{
    std::vector<SourceCaptionPatch> patches;
    for (const TableRow& row : ReadTableRows(file, 6, 7)) {
        SourceCaptionPatch p;
        p.button = DecimalField(row, 0, kFirstButton, kLastButton);
        p.cap = static_cast<std::uint8_t>(BytesField(row, 1, 1)[0]);
        p.shiftCap = static_cast<std::uint8_t>(BytesField(row, 2, 1)[0]);
        if (row.fields[3] != "-")
            p.assoc1 = BytesField(row, 3, ScanRecord::blankName().size());
        if (row.fields[4] != "-")
            p.index2 = DecimalField(row, 4, 0, kByteTableEntries);
        if (row.fields[5] != "-")
            p.assoc2 = BytesField(row, 5, ScanRecord::blankName().size());
        if (!p.assoc2.empty() && p.index2 == 0)
            row.fail("Assoc2 needs an Index2");
        p.where = whereOf(row);
        patches.push_back(std::move(p));
    }
    if (patches.size() != count)
        throw DataSourceError(file.filename().string() + ": expected " + std::to_string(count) +
                              " caption patches, found " + std::to_string(patches.size()));
    return patches;
}

} // namespace

DataSource ReadDataSource(const std::filesystem::path& dir)
{
    DataSource source;
    source.scanTable = readScanTable(dir / "scantable.txt");
    source.keys = readKeys(dir / "onscreen.txt");
    for (const PatchFile& pf : kPatchFiles)
        source.patchTables.push_back(readPatches(dir, pf));
    source.ukCaptions = readCaptionPatches(dir / "uk-captions.txt", 5);
    source.spanishCaptions = readCaptionPatches(dir / "spanish-captions.txt", 18);
    return source;
}

} // namespace morvaw
