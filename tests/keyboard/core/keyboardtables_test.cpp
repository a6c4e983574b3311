#include "keyboardtables.h"
#include "languagetables.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

using namespace morvaw;

namespace {

ScanRecord scan(std::string_view name, std::uint8_t seq1, std::uint8_t seq2 = 0)
{
    ScanRecord r;
    r.Name.assign(name);
    r.Seq1 = seq1;
    r.Seq2 = seq2;
    return r;
}

std::string nameOf(const ScanRecord& r)
{
    std::string s = r.Name.str();
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

struct Patch
{
    std::uint8_t cap, shiftCap;
    std::int16_t index1, index2, assoc1, assoc2;
};

// A program folder with small data files of the right forms: scan records
// named after their file and number ("us68", "uk1"), so a misplaced one shows.
class ProgramFolder
{
public:
    [[nodiscard]] std::filesystem::path path() const { return m_dir.path().toStdString(); }

    void writeBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) const
    {
        std::ofstream(path() / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    void writeScan(const std::string& name, const std::vector<ScanRecord>& records) const
    {
        std::vector<std::uint8_t> bytes;
        for (const auto& r : records) {
            const auto b = ScanRecordBytes(r);
            bytes.insert(bytes.end(), b.begin(), b.end());
        }
        writeBytes(name, bytes);
    }
    void writeNumberedScan(const std::string& name, const std::string& prefix, int count) const
    {
        std::vector<ScanRecord> records;
        for (int i = 1; i <= count; ++i)
            records.push_back(scan(prefix + std::to_string(i), static_cast<std::uint8_t>(i)));
        writeScan(name, records);
    }
    void writePatches(const std::string& name, const std::vector<Patch>& patches) const
    {
        std::vector<std::uint8_t> bytes;
        for (const Patch& p : patches) {
            bytes.insert(bytes.end(), {p.cap, p.shiftCap});
            for (std::int16_t v : {p.index1, p.index2, p.assoc1, p.assoc2})
                bytes.insert(bytes.end(),
                             {static_cast<std::uint8_t>(v & 0xFF),
                              static_cast<std::uint8_t>(static_cast<std::uint16_t>(v) >> 8)});
        }
        writeBytes(name, bytes);
    }
    void writeFullSet() const
    {
        std::vector<std::uint8_t> assoc, caps, cap, shiftCap;
        for (int i = 1; i <= 200; ++i) {
            assoc.push_back(static_cast<std::uint8_t>(i % 160 + 1));
            caps.push_back(static_cast<std::uint8_t>('A' + i % 26));
            cap.push_back(static_cast<std::uint8_t>('a' + i % 26));
            shiftCap.push_back(static_cast<std::uint8_t>('!' + i % 10));
        }
        writeBytes("ASSOC1.BIN", assoc);
        writeBytes("KCCCAPS.BIN", caps);
        writeBytes("KCCAPT.BIN", cap);
        writeBytes("KCSCAPS.BIN", shiftCap);
        // clang-format off
        const std::tuple<const char*, const char*, int> scanFiles[] = {
            {"SCNTBL.BIN", "us", 138}, {"UKST.BIN", "uk", 8},    {"SPST.BIN", "sp", 32},
            {"ITALST.BIN", "it", 31},  {"GERMST.BIN", "de", 27}, {"FRANST.BIN", "fr", 45},
            {"BELGST.BIN", "be", 50},  {"SWISST.BIN", "ch", 47}};
        // clang-format on
        for (const auto& [file, prefix, count] : scanFiles)
            writeNumberedScan(file, prefix, count);
        std::vector<Patch> uk(5, Patch{'1', '2', 14, 0, 0, 0});
        uk[0] = {0xA3, '@', 10, 11, 70, 0};
        uk[1] = {'#', '~', 12, 13, 0, 90};
        writePatches("UKCAPT.BIN", uk);
        std::vector<Patch> spanish(18, Patch{0xD0, 0xE0, 118, 0, 0, 0});
        spanish[0] = {0xF1, 0xD1, 20, 21, 0, 0}; // Assoc1 0: AssocTable untouched
        spanish[1] = {0xE7, 0xC7, 22, 23, 135, 136};
        writePatches("SPCAPT.BIN", spanish);
    }

private:
    QTemporaryDir m_dir;
};

} // namespace

TEST(StartupTables, ReadTheirCountsAndLeaveWhatAFileLacksEmpty)
{
    ProgramFolder folder;
    folder.writeFullSet();
    KeyboardTables t;
    LoadStartupTables(t, folder.path());
    EXPECT_EQ(nameOf(t.ScanTable[137]), "us137");
    EXPECT_EQ(t.ScanTable[138], ScanRecord{}) << "start-up reads only 137 records";
    EXPECT_EQ(std::string({char(t.AssocTable[1]), char(t.CapsTable[1]), char(t.CapTable[200])}),
              std::string({2, 'B', 'a' + 200 % 26}));
    EXPECT_EQ(nameOf(t.UkScanPatches[8]) + nameOf(t.SpanishScanPatches[32]) +
                  nameOf(t.ItalianScanPatches[31]) + nameOf(t.GermanScanPatches[27]) +
                  nameOf(t.FrenchScanPatches[45]) + nameOf(t.BelgianScanPatches[50]) +
                  nameOf(t.SwissScanPatches[47]),
              "uk8sp32it31de27fr45be50ch47");
    EXPECT_EQ(t.SpanishCaptionPatches[18].Index1, 118);

    // Short, torn and missing files: the rest is zero or blank, whatever it held.
    ProgramFolder sparse;
    sparse.writeBytes("ASSOC1.BIN", std::vector<std::uint8_t>(50, 9));
    sparse.writeNumberedScan("SCNTBL.BIN", "us", 10);
    sparse.writeBytes("UKST.BIN", std::vector<std::uint8_t>(3 * 9 + 4, 'x'));
    t.CapTable.fill(7);
    LoadStartupTables(t, sparse.path());
    EXPECT_EQ(t.AssocTable[50], 9);
    EXPECT_EQ(t.AssocTable[51], 0);
    EXPECT_EQ(t.CapTable[1], 0);
    EXPECT_EQ(t.ScanTable[11].Name.str(), "       ");
    EXPECT_EQ(t.ScanTable[137], ScanRecord{});
    EXPECT_EQ(t.UkScanPatches[3].Name.str(), "xxxxxxx");
    EXPECT_EQ(t.UkScanPatches[4], ScanRecord{}) << "a torn record is not taken";
}

// Where each scan patch lands is checked by the data generator and, through
// every character of the UK and Spanish keyboards, by the shipped data tests.
TEST(LanguagePatches, CaptionPatchesChangeOnlyTheEntriesTheyName)
{
    ProgramFolder folder;
    folder.writeFullSet();
    LanguageTables tables({folder.path(), {}});
    const ByteTable us = tables.tables().AssocTable;
    const auto& t = tables.tables();
    tables.load(1);
    EXPECT_EQ(std::vector<int>({t.CapTable[10], t.ShiftCapTable[10], t.AssocTable[10],
                                t.AssocTable[11], t.AssocTable[12], t.AssocTable[13]}),
              std::vector<int>({0xA3, '@', 70, us[11], us[12], 90}))
        << "an Assoc of 0 changes nothing";
    tables.load(2);
    EXPECT_EQ(std::vector<int>({t.CapTable[20], t.ShiftCapTable[20], t.AssocTable[20],
                                t.AssocTable[21], t.AssocTable[22], t.AssocTable[23]}),
              std::vector<int>({0xF1, 0xD1, us[20], us[21], 135, 136}));
}

TEST(CaptionPatches, OutOfRangePatchesAreSkippedWhole)
{
    KeyboardTables t;
    const ByteTable cap = t.CapTable;
    for (const CaptionPatch& bad :
         {CaptionPatch{'x', 'y', 201, 0, 0, 0}, CaptionPatch{'x', 'y', -1, 0, 0, 0},
          CaptionPatch{'x', 'y', 5, 300, 0, 7}, CaptionPatch{'x', 'y', 5, 6, 256, 0},
          CaptionPatch{'x', 'y', 5, 6, 0, -3}})
        EXPECT_FALSE(ApplyCaptionPatch(t, bad)) << bad.Index1 << ' ' << bad.Index2;
    EXPECT_EQ(t.CapTable, cap);
    EXPECT_TRUE(ApplyCaptionPatch(t, {'x', 'y', 200, 0, 255, 0}));
    EXPECT_EQ(t.CapTable[200], 'x');
    EXPECT_EQ(t.AssocTable[200], 255);

    // Through the file: a corrupt patch never writes outside the tables (ASan).
    ProgramFolder folder;
    folder.writeFullSet();
    folder.writePatches("UKCAPT.BIN", {{'a', 'b', 32767, -32768, 1, 1}, {'g', 'h', 9, 0, 0, 0}});
    LanguageTables tables({folder.path(), {}});
    tables.load(1);
    EXPECT_EQ(tables.tables().CapTable[9], 'g');
}

// The user's records in the STC file reach the scan table on every reload,
// and only from the current language's file.
TEST(StcOverlay, UserRecordsReachTheScanTable)
{
    ProgramFolder folder;
    folder.writeFullSet();
    std::vector<ScanRecord> stc(160);
    stc[5 - 1] = scan("Mine5", 0x55, 0x10);
    stc[141 - 1] = scan("MyKey", 0x41, 0x04);
    stc[150 - 1] = scan("\x18", 0x48, 0x20); // the up arrow's one-byte picture name
    stc[160 - 1] = scan("Last", 0x60, 0);
    folder.writeScan("STCUSA.TBL", stc);
    std::vector<ScanRecord> uk(160);
    uk[141 - 1] = scan("UkOnly", 0x41, 0);
    folder.writeScan("STCUK.TBL", uk);

    LanguageTables tables({folder.path(), {}});
    const auto& t = tables.tables();
    for (int language : {0, 0, 5}) { // languages other than UK and Spain use the US file
        tables.load(language);
        for (std::size_t i : {5, 141, 150, 160})
            EXPECT_EQ(t.ScanTable[i], stc[i - 1]) << "record " << i << ", language " << language;
        EXPECT_EQ(nameOf(t.ScanTable[6]), "us6"); // blank STC records change nothing
        EXPECT_EQ(t.StcTable[141], stc[140]);
    }
    tables.load(1);
    EXPECT_EQ(nameOf(t.ScanTable[141]), "UkOnly");
    EXPECT_EQ(nameOf(t.ScanTable[5]), "us5");
    // No STCSP.TBL: a blank STC table, no fuss, and the scan table as patched.
    tables.load(2);
    EXPECT_EQ(t.StcFileName, "STCSP.TBL");
    for (const ScanRecord& r : t.StcTable)
        EXPECT_EQ(r, ScanRecord{});
    EXPECT_EQ(nameOf(t.ScanTable[68]), "sp2");
    EXPECT_EQ(t.ScanTable[141], ScanRecord{});
    // Another language after Spanish is the US table again, patches and all.
    tables.load(3);
    EXPECT_EQ(nameOf(t.ScanTable[68]) + char(t.CapTable[20]) + char(t.ShiftCapTable[20]) +
                  char(t.AssocTable[22]),
              "us68u!\x17");
}
