#include "keyboardtables.h"

#include "definitiontext.h"
#include "layoutmodel.h"
#include "regularfile.h"

#include <cstring>
#include <deque>

namespace morvaw {

namespace {

// The named file's bytes; a file that is not there reads as empty.
std::span<const std::uint8_t> fileIn(const DataFileBytes& files, std::string_view name)
{
    const auto found = files.find(name);
    return found == files.end() ? std::span<const std::uint8_t>{} : found->second;
}

// Bytes into entries 1..count; entries the file does not reach become 0.
void loadByteTable(ByteTable& table, std::span<const std::uint8_t> data)
{
    for (std::size_t i = 1; i <= kByteTableEntries; ++i)
        table[i] = i <= data.size() ? data[i - 1] : 0;
}

// Records into entries 1..count; records the file does not reach become blank.
template <std::size_t N>
void loadScanRecords(std::array<ScanRecord, N>& table, std::span<const std::uint8_t> data,
                     std::size_t count)
{
    const std::size_t got = data.size() / ScanRecord::kFileSize;
    for (std::size_t i = 1; i <= count; ++i)
        table[i] =
            i <= got
                ? ScanRecordFromBytes(
                      data.subspan((i - 1) * ScanRecord::kFileSize).first<ScanRecord::kFileSize>())
                : ScanRecord{};
}

template <std::size_t N>
void loadCaptionPatches(std::array<CaptionPatch, N>& table, std::span<const std::uint8_t> data)
{
    const std::size_t got = data.size() / CaptionPatch::kFileSize;
    for (std::size_t i = 1; i < N; ++i)
        table[i] = i <= got ? CaptionPatchFromBytes(data.subspan((i - 1) * CaptionPatch::kFileSize)
                                                        .first<CaptionPatch::kFileSize>())
                            : CaptionPatch{};
}

std::int16_t i16At(std::span<const std::uint8_t, 2> p)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

struct ScanPatchPlace
{
    int patch;
    int record;
};

constexpr std::array<ScanPatchPlace, 8> kUkScanPatchPlaces{{
    {1, 68},
    {2, 84},
    {3, 71},
    {4, 85},
    {5, 72},
    {6, 74},
    {8, 134},
    {7, 135},
}};

// clang-format off
constexpr std::array<ScanPatchPlace, 32> kSpanishScanPatchPlaces{{
    {1, 74}, {2, 68}, {3, 84}, {4, 88}, {5, 83}, {6, 67}, {7, 78}, {8, 70},
    {9, 86}, {10, 71}, {11, 85}, {12, 66}, {13, 77}, {14, 69}, {15, 92}, {16, 64},
    {17, 79}, {18, 65}, {19, 72}, {20, 61}, {21, 80}, {22, 62}, {23, 81}, {24, 63},
    {25, 76}, {26, 75}, {27, 82}, {28, 90}, {29, 91}, {30, 134}, {31, 135}, {32, 136},
}};
// clang-format on

template <std::size_t N, std::size_t P>
void applyScanPatches(KeyboardTables& tables, const std::array<ScanRecord, N>& patches,
                      const std::array<ScanPatchPlace, P>& places)
{
    for (const ScanPatchPlace& place : places)
        tables.ScanTable[static_cast<std::size_t>(place.record)] =
            patches[static_cast<std::size_t>(place.patch)];
}

template <std::size_t N>
void applyCaptionPatches(KeyboardTables& tables, const std::array<CaptionPatch, N>& patches)
{
    for (std::size_t i = 1; i < N; ++i)
        ApplyCaptionPatch(tables, patches[i]);
}

// The scan table editor keeps the user's records in the STC table; without
// this overlay they would vanish from the list and from programming at the
// next reload, and a later new record could overwrite them in the file.
void overlayStcRecords(KeyboardTables& tables)
{
    for (std::size_t i = 1; i <= kScanRecords; ++i) {
        // SignificantLength, not IsBlankText: the one-byte names of the up and
        // down arrows (bytes 24 and 25) lie below the space but are names.
        if (SignificantLength(tables.StcTable[i].Name.view()) > 0)
            tables.ScanTable[i] = tables.StcTable[i];
    }
}

// More than any table reads from its file.
constexpr qint64 kDataFileLimit = 4096;

// Bytes each data file holds for its tables to be read whole, in the order of kDataFileNames.
constexpr std::size_t kScanBytes = ScanRecord::kFileSize;
constexpr std::size_t kPatchBytes = CaptionPatch::kFileSize;
constexpr std::array<std::size_t, kDataFileNames.size()> kDataFileBytes{
    kByteTableEntries, kReloadScanRecords* kScanBytes,
    kByteTableEntries, kByteTableEntries,
    kByteTableEntries, 5 * kPatchBytes,
    8 * kScanBytes,    18 * kPatchBytes,
    32 * kScanBytes,   31 * kScanBytes,
    27 * kScanBytes,   45 * kScanBytes,
    50 * kScanBytes,   47 * kScanBytes};

// The data files of a folder, read once; a reader's parse sees them as bytes.
class DataFolder
{
public:
    explicit DataFolder(const std::filesystem::path& folder)
    {
        for (const char* name : kDataFileNames) {
            m_contents.push_back(ReadRegularFile(folder / name, kDataFileLimit).bytes);
            m_files.emplace(name, BytesOf(m_contents.back()));
        }
    }
    [[nodiscard]] const DataFileBytes& files() const { return m_files; }

private:
    std::deque<QByteArray> m_contents; // stays where it is while the spans point into it
    DataFileBytes m_files;
};

} // namespace

std::vector<std::string> DataFileShortages(const std::filesystem::path& appPath)
{
    std::vector<std::string> shortages;
    for (std::size_t i = 0; i < kDataFileNames.size(); ++i) {
        const std::filesystem::path path = appPath / kDataFileNames[i];
        const FileRead read = ReadRegularFile(path, kDataFileLimit);
        const auto got = static_cast<std::size_t>(read.bytes.size());
        std::string problem;
        std::error_code error;
        if (!read.outcome.ok)
            problem = std::filesystem::exists(path, error) ? read.outcome.reason.toStdString()
                                                           : std::string("missing");
        else if (got < kDataFileBytes[i])
            problem = std::to_string(got) + " of " + std::to_string(kDataFileBytes[i]) + " bytes";
        if (!problem.empty())
            shortages.push_back(std::string(kDataFileNames[i]) + ": " + problem);
    }
    return shortages;
}

std::array<std::uint8_t, ScanRecord::kFileSize> ScanRecordBytes(const ScanRecord& r)
{
    std::array<std::uint8_t, ScanRecord::kFileSize> out{};
    std::memcpy(out.data(), r.Name.bytes.data(), r.Name.size());
    out[7] = r.Seq1;
    out[8] = r.Seq2;
    return out;
}

ScanRecord ScanRecordFromBytes(std::span<const std::uint8_t, ScanRecord::kFileSize> bytes)
{
    ScanRecord r;
    std::memcpy(r.Name.bytes.data(), bytes.data(), r.Name.size());
    r.Seq1 = bytes[7];
    r.Seq2 = bytes[8];
    return r;
}

CaptionPatch CaptionPatchFromBytes(std::span<const std::uint8_t, CaptionPatch::kFileSize> bytes)
{
    CaptionPatch p;
    p.Cap = bytes[0];
    p.ShiftCap = bytes[1];
    p.Index1 = i16At(bytes.subspan<2, 2>());
    p.Index2 = i16At(bytes.subspan<4, 2>());
    p.Assoc1 = i16At(bytes.subspan<6, 2>());
    p.Assoc2 = i16At(bytes.subspan<8, 2>());
    return p;
}

bool ApplyCaptionPatch(KeyboardTables& tables, const CaptionPatch& p)
{
    const auto inTable = [](int index) { return index >= 0 && index <= kByteTableEntries; };
    const auto fitsByte = [](int value) { return value >= 0 && value <= 255; };
    if (!inTable(p.Index1) || !inTable(p.Index2) || !fitsByte(p.Assoc1) || !fitsByte(p.Assoc2))
        return false;

    const auto i1 = static_cast<std::size_t>(p.Index1);
    const auto i2 = static_cast<std::size_t>(p.Index2);
    tables.CapTable[i1] = p.Cap;
    tables.ShiftCapTable[i1] = p.ShiftCap;
    if (p.Assoc1 != 0)
        tables.AssocTable[i1] = static_cast<std::uint8_t>(p.Assoc1);
    if (p.Assoc2 != 0)
        tables.AssocTable[i2] = static_cast<std::uint8_t>(p.Assoc2);
    return true;
}

void ParseStartupTables(KeyboardTables& t, const DataFileBytes& files)
{
    loadByteTable(t.AssocTable, fileIn(files, "ASSOC1.BIN"));
    loadScanRecords(t.ScanTable, fileIn(files, "SCNTBL.BIN"), kStartupScanRecords);
    loadByteTable(t.CapsTable, fileIn(files, "KCCCAPS.BIN"));
    loadByteTable(t.CapTable, fileIn(files, "KCCAPT.BIN"));
    loadByteTable(t.ShiftCapTable, fileIn(files, "KCSCAPS.BIN"));
    loadCaptionPatches(t.UkCaptionPatches, fileIn(files, "UKCAPT.BIN"));
    loadScanRecords(t.UkScanPatches, fileIn(files, "UKST.BIN"), 8);
    loadCaptionPatches(t.SpanishCaptionPatches, fileIn(files, "SPCAPT.BIN"));
    loadScanRecords(t.SpanishScanPatches, fileIn(files, "SPST.BIN"), 32);
    loadScanRecords(t.ItalianScanPatches, fileIn(files, "ITALST.BIN"), 31);
    loadScanRecords(t.GermanScanPatches, fileIn(files, "GERMST.BIN"), 27);
    loadScanRecords(t.FrenchScanPatches, fileIn(files, "FRANST.BIN"), 45);
    loadScanRecords(t.BelgianScanPatches, fileIn(files, "BELGST.BIN"), 50);
    loadScanRecords(t.SwissScanPatches, fileIn(files, "SWISST.BIN"), 47);
}

void ParseLanguageTables(KeyboardTables& t, const DataFileBytes& files, int currentLanguage,
                         std::span<const std::uint8_t> stcBytes)
{
    loadByteTable(t.AssocTable, fileIn(files, "ASSOC1.BIN"));
    for (std::size_t i = 1; i <= t.ScanCount && i <= kScanRecords; ++i)
        t.ScanTable[i].blank();
    loadScanRecords(t.ScanTable, fileIn(files, "SCNTBL.BIN"), kReloadScanRecords);
    loadByteTable(t.CapTable, fileIn(files, "KCCAPT.BIN"));
    loadByteTable(t.ShiftCapTable, fileIn(files, "KCSCAPS.BIN"));

    t.ScanCount = kScanRecords;
    t.StcFileName = std::string(LanguageStcFile(currentLanguage));
    if (currentLanguage == Language::UK) {
        applyScanPatches(t, t.UkScanPatches, kUkScanPatchPlaces);
        applyCaptionPatches(t, t.UkCaptionPatches);
    } else if (currentLanguage == Language::Spain) {
        applyScanPatches(t, t.SpanishScanPatches, kSpanishScanPatchPlaces);
        applyCaptionPatches(t, t.SpanishCaptionPatches);
    }

    // A missing or unreadable STC file leaves the table blank.
    loadScanRecords(t.StcTable, stcBytes, kScanRecords);
    overlayStcRecords(t);
}

void LoadStartupTables(KeyboardTables& t, const std::filesystem::path& appPath)
{
    const DataFolder folder(appPath);
    ParseStartupTables(t, folder.files());
}

void LoadLanguageTables(KeyboardTables& t, const std::filesystem::path& appPath,
                        int currentLanguage, const std::filesystem::path& stcFolder)
{
    const DataFolder folder(appPath);
    const QByteArray stc = ReadRegularFile((stcFolder.empty() ? appPath : stcFolder) /
                                               LanguageStcFile(currentLanguage),
                                           kDataFileLimit)
                               .bytes;
    ParseLanguageTables(t, folder.files(), currentLanguage, BytesOf(stc));
}

} // namespace morvaw
