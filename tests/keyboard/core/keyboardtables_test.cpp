#include "configuratorstate.h"
#include "keyboardtables.h"

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

std::string numbered(std::string_view prefix, int n)
{
    return std::string(prefix) + std::to_string(n);
}

struct Patch
{
    std::uint8_t cap, shiftCap;
    std::int16_t index1, index2, assoc1, assoc2;
};

// A program folder with small data files of the right forms.
class ProgramFolder
{
public:
    ProgramFolder() { EXPECT_TRUE(m_dir.isValid()); }

    [[nodiscard]] std::filesystem::path path() const { return m_dir.path().toStdString(); }

    void writeBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) const
    {
        std::ofstream out(path() / name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
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

    // count records named prefix + number, scan code = number.
    void writeNumberedScan(const std::string& name, std::string_view prefix, int count) const
    {
        std::vector<ScanRecord> records;
        for (int i = 1; i <= count; ++i)
            records.push_back(scan(numbered(prefix, i), static_cast<std::uint8_t>(i), 0x10));
        writeScan(name, records);
    }

    void writePatches(const std::string& name, const std::vector<Patch>& patches) const
    {
        std::vector<std::uint8_t> bytes;
        const auto i16 = [&](std::int16_t v) {
            bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>((static_cast<std::uint16_t>(v) >> 8)));
        };
        for (const Patch& p : patches) {
            bytes.push_back(p.cap);
            bytes.push_back(p.shiftCap);
            i16(p.index1);
            i16(p.index2);
            i16(p.assoc1);
            i16(p.assoc2);
        }
        writeBytes(name, bytes);
    }

    // Every file of the program folder with distinct, recognisable contents.
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
        writeNumberedScan("SCNTBL.BIN", "us", 138);
        writeNumberedScan("UKST.BIN", "uk", 8);
        writeNumberedScan("SPST.BIN", "sp", 32);
        writeNumberedScan("ITALST.BIN", "it", 31);
        writeNumberedScan("GERMST.BIN", "de", 27);
        writeNumberedScan("FRANST.BIN", "fr", 45);
        writeNumberedScan("BELGST.BIN", "be", 50);
        writeNumberedScan("SWISST.BIN", "ch", 47);
        writePatches("UKCAPT.BIN", {{0xA3, '@', 10, 11, 70, 0},
                                    {'#', '~', 12, 13, 0, 90},
                                    {'1', '2', 14, 0, 0, 0},
                                    {'3', '4', 15, 0, 0, 0},
                                    {'5', '6', 16, 0, 0, 0}});
        std::vector<Patch> spanish;
        for (int i = 1; i <= 18; ++i)
            spanish.push_back({static_cast<std::uint8_t>(0xD0 + i),
                               static_cast<std::uint8_t>(0xE0 + i),
                               static_cast<std::int16_t>(100 + i), 0, 0, 0});
        spanish[0] = {0xF1, 0xD1, 20, 21, 0, 0}; // Assoc1 0: AssocTable untouched
        spanish[1] = {0xE7, 0xC7, 22, 23, 135, 136};
        writePatches("SPCAPT.BIN", spanish);
    }

private:
    QTemporaryDir m_dir;
};

std::string nameOf(const ScanRecord& r)
{
    std::string s = r.Name.str();
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

} // namespace

TEST(StartupTables, ReadTheStartupCounts)
{
    ProgramFolder folder;
    folder.writeFullSet();
    KeyboardTables t;
    LoadStartupTables(t, folder.path());

    EXPECT_EQ(nameOf(t.ScanTable[1]), "us1");
    EXPECT_EQ(nameOf(t.ScanTable[137]), "us137");
    EXPECT_EQ(t.ScanTable[138], ScanRecord{}) << "start-up reads only 137 records";
    EXPECT_EQ(t.ScanCount, 0);
    EXPECT_TRUE(t.StcFileName.empty());
    EXPECT_EQ(t.AssocTable[1], 2);
    EXPECT_EQ(t.CapsTable[1], 'B');
    EXPECT_EQ(t.CapTable[200], 'a' + 200 % 26);
    EXPECT_EQ(t.AssocTable[0], 0);
    EXPECT_EQ(nameOf(t.UkScanPatches[8]), "uk8");
    EXPECT_EQ(nameOf(t.SpanishScanPatches[32]), "sp32");
    EXPECT_EQ(nameOf(t.ItalianScanPatches[31]), "it31");
    EXPECT_EQ(nameOf(t.GermanScanPatches[27]), "de27");
    EXPECT_EQ(nameOf(t.FrenchScanPatches[45]), "fr45");
    EXPECT_EQ(nameOf(t.BelgianScanPatches[50]), "be50");
    EXPECT_EQ(nameOf(t.SwissScanPatches[47]), "ch47");
    EXPECT_EQ(t.UkCaptionPatches[1].Cap, 0xA3);
    EXPECT_EQ(t.SpanishCaptionPatches[18].Index1, 118);
}

TEST(StartupTables, MissingFilesLeaveZeroOrBlankEntries)
{
    ProgramFolder folder; // empty
    KeyboardTables t;
    t.AssocTable.fill(7);
    t.ScanTable[5] = scan("junk", 1, 2);
    LoadStartupTables(t, folder.path());
    for (int i = 1; i <= 200; ++i)
        EXPECT_EQ(t.AssocTable[static_cast<std::size_t>(i)], 0);
    EXPECT_EQ(t.ScanTable[5], ScanRecord{});
    EXPECT_EQ(t.ScanTable[5].Name.str(), "       ");
}

TEST(StartupTables, ShortFilesFillTheRestWithBlanks)
{
    ProgramFolder folder;
    folder.writeBytes("ASSOC1.BIN", std::vector<std::uint8_t>(50, 9));
    folder.writeNumberedScan("SCNTBL.BIN", "us", 10);
    // Half a record more: a torn record is not taken.
    std::vector<std::uint8_t> torn(3 * 9 + 4, 'x');
    folder.writeBytes("UKST.BIN", torn);

    KeyboardTables t;
    for (auto& r : t.ScanTable)
        r = scan("old", 1);
    LoadStartupTables(t, folder.path());
    EXPECT_EQ(t.AssocTable[50], 9);
    EXPECT_EQ(t.AssocTable[51], 0);
    EXPECT_EQ(nameOf(t.ScanTable[10]), "us10");
    EXPECT_EQ(t.ScanTable[11], ScanRecord{});
    EXPECT_EQ(t.ScanTable[137], ScanRecord{});
    EXPECT_EQ(t.UkScanPatches[3].Name.str(), "xxxxxxx");
    EXPECT_EQ(t.UkScanPatches[4], ScanRecord{});
}

TEST(LanguageTables, UsaReadsTheWholeTableAndItsStcFile)
{
    ProgramFolder folder;
    folder.writeFullSet();
    ConfiguratorState state;
    InitialiseConfigurator(state, folder.path());
    LoadLanguageTables(state);

    const auto& t = state.Tables;
    EXPECT_EQ(t.ScanCount, 160);
    EXPECT_EQ(t.StcFileName, "STCUSA.TBL");
    EXPECT_EQ(nameOf(t.ScanTable[68]), "us68");
    EXPECT_EQ(nameOf(t.ScanTable[138]), "us138");
    EXPECT_EQ(t.ScanTable[139], ScanRecord{});
    // No STC file: a blank table and no fuss.
    for (int i = 1; i <= 160; ++i)
        EXPECT_EQ(t.StcTable[static_cast<std::size_t>(i)], ScanRecord{});
}

TEST(LanguageTables, UkPatchesAreAppliedAndUndone)
{
    ProgramFolder folder;
    folder.writeFullSet();
    ConfiguratorState state;
    InitialiseConfigurator(state, folder.path());
    const ByteTable usAssoc = state.Tables.AssocTable;

    state.CurrentLanguage = 1;
    LoadLanguageTables(state);
    auto& t = state.Tables;
    EXPECT_EQ(t.StcFileName, "STCUK.TBL");
    EXPECT_EQ(t.ScanTable[68], t.UkScanPatches[1]);
    EXPECT_EQ(t.ScanTable[84], t.UkScanPatches[2]);
    EXPECT_EQ(t.ScanTable[74], t.UkScanPatches[6]);
    EXPECT_EQ(t.ScanTable[134], t.UkScanPatches[8]);
    EXPECT_EQ(t.ScanTable[135], t.UkScanPatches[7]);
    EXPECT_EQ(t.CapTable[10], 0xA3);
    EXPECT_EQ(t.ShiftCapTable[10], '@');
    EXPECT_EQ(t.AssocTable[10], 70);
    EXPECT_EQ(t.AssocTable[11], usAssoc[11]); // Assoc2 0
    EXPECT_EQ(t.AssocTable[12], usAssoc[12]); // Assoc1 0
    EXPECT_EQ(t.AssocTable[13], 90);

    // Italian keeps the UK STC file name and count, but the tables are reread.
    state.CurrentLanguage = 3;
    LoadLanguageTables(state);
    EXPECT_EQ(t.StcFileName, "STCUK.TBL");
    EXPECT_EQ(t.ScanCount, 160);
    EXPECT_EQ(nameOf(t.ScanTable[68]), "us68");
    EXPECT_EQ(nameOf(t.ScanTable[134]), "us134");
    EXPECT_EQ(t.CapTable[10], 'a' + 10 % 26);
    EXPECT_EQ(t.AssocTable, usAssoc);

    state.CurrentLanguage = 0;
    LoadLanguageTables(state);
    EXPECT_EQ(t.StcFileName, "STCUSA.TBL");
    EXPECT_EQ(nameOf(t.ScanTable[68]), "us68");
}

TEST(LanguageTables, SpanishPatchesLandOnTheirPositions)
{
    ProgramFolder folder;
    folder.writeFullSet();
    ConfiguratorState state;
    InitialiseConfigurator(state, folder.path());
    const ByteTable usAssoc = state.Tables.AssocTable;
    state.CurrentLanguage = 2;
    LoadLanguageTables(state);
    const auto& t = state.Tables;

    const int places[33] = {0,  74, 68, 84, 88, 83, 67, 78, 70, 86, 71, 85, 66, 77,  69,  92, 64,
                            79, 65, 72, 61, 80, 62, 81, 63, 76, 75, 82, 90, 91, 134, 135, 136};
    for (int p = 1; p <= 32; ++p)
        EXPECT_EQ(nameOf(t.ScanTable[static_cast<std::size_t>(places[p])]), numbered("sp", p));
    EXPECT_EQ(nameOf(t.ScanTable[87]), "us87"); // not a Spanish position
    EXPECT_EQ(t.StcFileName, "STCSP.TBL");

    EXPECT_EQ(t.CapTable[20], 0xF1);
    EXPECT_EQ(t.ShiftCapTable[20], 0xD1);
    EXPECT_EQ(t.AssocTable[20], usAssoc[20]);
    EXPECT_EQ(t.AssocTable[21], usAssoc[21]);
    EXPECT_EQ(t.AssocTable[22], 135);
    EXPECT_EQ(t.AssocTable[23], 136);
    EXPECT_EQ(t.CapTable[118], 0xD0 + 18);
    // A missing STCSP.TBL leaves the STC table blank.
    for (int i = 1; i <= 160; ++i)
        EXPECT_EQ(t.StcTable[static_cast<std::size_t>(i)], ScanRecord{});
}

TEST(LanguageTables, LanguageWithoutStcFileBeforeAnyOther)
{
    ProgramFolder folder;
    folder.writeFullSet();
    ConfiguratorState state;
    InitialiseConfigurator(state, folder.path());
    state.CurrentLanguage = 4;
    LoadLanguageTables(state);
    EXPECT_EQ(state.Tables.ScanCount, 0);
    EXPECT_TRUE(state.Tables.StcFileName.empty());
    EXPECT_EQ(nameOf(state.Tables.ScanTable[138]), "us138");
}

TEST(CaptionPatches, OutOfRangePatchesAreSkippedWhole)
{
    KeyboardTables t;
    const ByteTable cap = t.CapTable;
    EXPECT_FALSE(ApplyCaptionPatch(t, {'x', 'y', 201, 0, 0, 0}));
    EXPECT_FALSE(ApplyCaptionPatch(t, {'x', 'y', -1, 0, 0, 0}));
    EXPECT_FALSE(ApplyCaptionPatch(t, {'x', 'y', 5, 300, 0, 7}));
    EXPECT_FALSE(ApplyCaptionPatch(t, {'x', 'y', 5, 6, 256, 0}));
    EXPECT_FALSE(ApplyCaptionPatch(t, {'x', 'y', 5, 6, 0, -3}));
    EXPECT_EQ(t.CapTable, cap);
    EXPECT_TRUE(ApplyCaptionPatch(t, {'x', 'y', 200, 0, 255, 0}));
    EXPECT_EQ(t.CapTable[200], 'x');
    EXPECT_EQ(t.AssocTable[200], 255);
}

TEST(CaptionPatches, CorruptPatchFileNeverWritesOutsideTheTables)
{
    ProgramFolder folder;
    folder.writeFullSet();
    folder.writePatches("UKCAPT.BIN", {{'a', 'b', 32767, -32768, 1, 1},
                                       {'c', 'd', -5, 3, 0, 0},
                                       {'e', 'f', 7, 8, 500, 0},
                                       {'g', 'h', 9, 0, 0, 0}});
    ConfiguratorState state;
    InitialiseConfigurator(state, folder.path());
    state.CurrentLanguage = 1;
    LoadLanguageTables(state); // ASan catches any stray write
    EXPECT_EQ(state.Tables.CapTable[9], 'g');
    EXPECT_EQ(state.Tables.CapTable[7], 'a' + 7 % 26);
}

TEST(StcOverlay, UserRecordsReachTheScanTable)
{
    ProgramFolder folder;
    folder.writeFullSet();
    std::vector<ScanRecord> stc(160);
    stc[5 - 1] = scan("Mine5", 0x55, 0x10);
    stc[141 - 1] = scan("MyKey", 0x41, 0x04);
    stc[160 - 1] = scan("Last", 0x60, 0);
    stc[150 - 1] = scan("\x18", 0x48, 0x20); // the up arrow's one-byte picture name
    folder.writeScan("STCUSA.TBL", stc);

    ConfiguratorState state;
    InitialiseConfigurator(state, folder.path());
    LoadLanguageTables(state);
    const auto& t = state.Tables;
    EXPECT_EQ(t.ScanTable[5], stc[4]);
    EXPECT_EQ(t.ScanTable[141], stc[140]);
    EXPECT_EQ(t.ScanTable[160], stc[159]);
    EXPECT_EQ(t.ScanTable[150], stc[149]);
    EXPECT_EQ(nameOf(t.ScanTable[6]), "us6"); // blank STC records change nothing
    EXPECT_EQ(t.StcTable[141], stc[140]);

    // The records survive every later reload, and a switch to a language
    // without its own STC file keeps them too.
    LoadLanguageTables(state);
    EXPECT_EQ(t.ScanTable[141], stc[140]);
    state.CurrentLanguage = 5;
    LoadLanguageTables(state);
    EXPECT_EQ(t.ScanTable[141], stc[140]);
}

TEST(StcOverlay, OverlayFollowsTheLanguagesFile)
{
    ProgramFolder folder;
    folder.writeFullSet();
    std::vector<ScanRecord> stc(160);
    stc[141 - 1] = scan("UkOnly", 0x41, 0);
    folder.writeScan("STCUK.TBL", stc);

    ConfiguratorState state;
    InitialiseConfigurator(state, folder.path());
    state.CurrentLanguage = 1;
    LoadLanguageTables(state);
    EXPECT_EQ(nameOf(state.Tables.ScanTable[141]), "UkOnly");
    state.CurrentLanguage = 0;
    LoadLanguageTables(state);
    EXPECT_EQ(state.Tables.ScanTable[141], ScanRecord{});
}
