// Checks the keyboard data files as the build put them into the program
// folder, read through the configurator's own readers.
#include "definitiontext.h"
#include "displaytext.h"
#include "keyboardtables.h"
#include "layoutmodel.h"

#include <QImage>
#include <QString>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <vector>

using namespace morvaw;

namespace {

const std::filesystem::path kProgramDir = SUITE_PROGRAM_DIR;

constexpr std::uint8_t kCtrl = 4, kAlt = 8, kShift = 16, kCurPad = 32, kForceNum = 64,
                       kSpecial = 128;
constexpr std::uint8_t kPauseMask = 0xAB;

KeyboardTables tablesFor(int language, const std::filesystem::path& dir = kProgramDir)
{
    KeyboardTables t;
    LoadStartupTables(t, dir);
    LoadLanguageTables(t, dir, language);
    return t;
}

// Typed text (UTF-8 here) as the configurator's bytes.
std::string bytes(const char* utf8)
{
    return FromDisplayText(QString::fromUtf8(utf8));
}

std::string trimmed(const ScanRecord& r)
{
    std::string name = r.Name.str();
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return name;
}

// --- The programming code's name rules (SetKeySequence), written out from
// their description, since that code is not built yet. ---

struct Resolved
{
    std::string name;
    std::uint8_t modifier = 0;
};

Resolved resolvePrefixes(std::string name)
{
    Resolved r;
    if (name.size() > 1 && name[0] == '#') {
        name.erase(0, 1);
        r.modifier = kForceNum;
    }
    if (name.starts_with("Alt") && name.size() > 3) {
        name.erase(0, 3);
        r.modifier = kAlt;
    }
    if (name.starts_with("Sh") && name != "Shft" && name.substr(1, 4) != "Shft") {
        name.erase(0, 2);
        r.modifier = kShift;
    }
    // A lone "^" is the caret key itself. Taken literally the Ctrl rule would
    // turn it into an empty name; the programming code must guard it as the
    // "#" rule is guarded.
    if (name.size() > 1 && name[0] == '^') {
        name.erase(0, 1);
        r.modifier = kCtrl;
    }
    if (name.size() == 1 && r.modifier == 0 && name[0] >= 'A' && name[0] <= 'Z') {
        name[0] = static_cast<char>(name[0] - 'A' + 'a');
        r.modifier = kShift;
    }
    const std::string enter = "\x11\xC4\xD9";
    const std::vector<std::pair<std::string, std::string>> pictures{
        {"\x11\xCD", "BkSp"}, {enter, "Enter"}, {"\x11\xC4", "Left"},        {"\xC4\x10", "Right"},
        {"\x18", "Up"},       {"\x19", "Down"}, {"Pad " + enter, "Pad Ent"},
    };
    for (const auto& [picture, word] : pictures) {
        if (name == picture) {
            name = word;
            break;
        }
    }
    if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z')
        name[0] = static_cast<char>(name[0] - 'A' + 'a');
    r.name = name;
    return r;
}

// Scan table record that a name finds: from record 1 up, case and trailing
// blanks ignored, stopping at a record whose name begins with a blank.
std::optional<std::size_t> lookUp(const KeyboardTables& t, const std::string& name)
{
    for (std::size_t i = 1; i <= t.ScanCount; ++i) {
        const ScanRecord& r = t.ScanTable[i];
        if (r.Name[0] == ' ')
            return std::nullopt;
        if (AsciiLower(trimmed(r)) == AsciiLower(name))
            return i;
    }
    return std::nullopt;
}

struct KeyCode
{
    std::uint8_t scan = 0;
    std::uint8_t mask = 0;
    friend bool operator==(const KeyCode&, const KeyCode&) = default;
};

std::optional<KeyCode> keyCodeOf(const KeyboardTables& t, const std::string& token)
{
    const Resolved r = resolvePrefixes(token);
    const auto i = lookUp(t, r.name);
    if (!i)
        return std::nullopt;
    return KeyCode{t.ScanTable[*i].Seq1,
                   static_cast<std::uint8_t>(t.ScanTable[*i].Seq2 | r.modifier)};
}

// --- Files ---

TEST(ShippedFiles, HaveTheSizesTheirReadersExpect)
{
    const std::vector<std::pair<std::string, std::uintmax_t>> files{
        {"ASSOC1.BIN", 200},    {"SCNTBL.BIN", 138 * 9}, {"KCCCAPS.BIN", 200},
        {"KCCAPT.BIN", 200},    {"KCSCAPS.BIN", 200},    {"UKCAPT.BIN", 5 * 10},
        {"UKST.BIN", 8 * 9},    {"SPCAPT.BIN", 18 * 10}, {"SPST.BIN", 32 * 9},
        {"ITALST.BIN", 31 * 9}, {"GERMST.BIN", 27 * 9},  {"FRANST.BIN", 45 * 9},
        {"BELGST.BIN", 50 * 9}, {"SWISST.BIN", 47 * 9},  {"STCUSA.TBL", 160 * 9},
        {"STCUK.TBL", 160 * 9}, {"STCSP.TBL", 160 * 9},
    };
    for (const auto& [name, size] : files) {
        std::error_code error;
        EXPECT_EQ(std::filesystem::file_size(kProgramDir / name, error), size) << name;
        EXPECT_FALSE(error) << name;
    }
}

double meanLuminance(const QImage& image)
{
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += qGray(image.pixel(x, y));
    return sum / (image.width() * image.height());
}

TEST(ModifierBitmaps, LoadAtTheirSizesAndShowPressedAndReleasedApart)
{
    // Widths in twips (15 to a pixel); every picture is one key row, 375 twips, high.
    const std::vector<std::pair<std::string, int>> pictures{
        {"sl", 750},  {"spsl", 435}, {"sr", 975},   {"ctrl", 540},
        {"alt", 540}, {"caps", 660}, {"numl", 450},
    };
    for (const auto& [base, twips] : pictures) {
        const QImage released(QString::fromStdString((kProgramDir / (base + "0.bmp")).string()));
        const QImage pressed(QString::fromStdString((kProgramDir / (base + "1.bmp")).string()));
        ASSERT_FALSE(released.isNull()) << base;
        ASSERT_FALSE(pressed.isNull()) << base;
        EXPECT_EQ(released.size(), QSize(twips / 15, 25)) << base;
        EXPECT_EQ(pressed.size(), released.size()) << base;
        EXPECT_GT(std::abs(meanLuminance(released) - meanLuminance(pressed)), 60.0) << base;
        for (const QImage* image : {&released, &pressed}) {
            int dark = 0, light = 0;
            for (int y = 3; y < image->height() - 3; ++y)
                for (int x = 3; x < image->width() - 3; ++x)
                    (qGray(image->pixel(x, y)) < 100 ? dark : light) += 1;
            EXPECT_GT(dark, 20) << base << ": the face shows a symbol or label";
            EXPECT_GT(light, 20) << base;
        }
    }
}

// --- Scan tables of the three languages the configurator applies ---

class LanguageTable : public ::testing::TestWithParam<int>
{
protected:
    KeyboardTables m_tables = tablesFor(GetParam());
};

INSTANTIATE_TEST_SUITE_P(Languages, LanguageTable,
                         ::testing::Values(Language::USA, Language::UK, Language::Spain));

TEST_P(LanguageTable, NamesAreUniqueAndSafeInDefinitions)
{
    const KeyboardTables& t = m_tables;
    ASSERT_EQ(t.ScanCount, 160);
    std::set<std::string> seen;
    for (std::size_t i = 1; i <= 160; ++i) {
        const ScanRecord& r = t.ScanTable[i];
        if (i > 140) {
            EXPECT_TRUE(IsBlankText(r.Name.view())) << "record " << i << " is the user's";
            continue;
        }
        const std::string name = trimmed(r);
        ASSERT_FALSE(name.empty()) << "record " << i;
        EXPECT_NE(name[0], ' ') << "record " << i;
        EXPECT_TRUE(seen.insert(AsciiLower(name)).second) << "record " << i << " " << name;
        for (char c : name) {
            const auto b = static_cast<std::uint8_t>(c);
            EXPECT_NE(b, 249) << "record " << i << ": the token mark";
            EXPECT_TRUE(b >= 32 || IsPictureByte(b)) << "record " << i;
        }
        const std::string lower = AsciiLower(name);
        if (name.size() > 1) {
            EXPECT_NE(name[0], '#') << name;
            EXPECT_NE(name[0], '^') << name;
        }
        if (lower.starts_with("sh")) {
            EXPECT_EQ(name, "Shft");
        }
        if (lower.starts_with("alt")) {
            EXPECT_EQ(name, "Alt");
        }
        if (name.starts_with("Func") || name.starts_with("FnT")) {
            EXPECT_TRUE(i == 125 || i == 126 || i == 127 || i == 133) << name;
        }
    }
}

TEST_P(LanguageTable, MaskBitsFollowTheDocumentedUse)
{
    for (std::size_t i = 1; i <= 140; ++i) {
        const ScanRecord& r = m_tables.ScanTable[i];
        const std::string name = trimmed(r);
        if (name == "Delay") {
            EXPECT_EQ(r.Seq2, kPauseMask);
            continue;
        }
        EXPECT_EQ(r.Seq2 & 3, 0) << name << ": repeat comes from the key, bit 1 ends a macro";
        EXPECT_EQ(r.Seq2 & kForceNum, 0) << name << ": Force Num is the \"#\" prefix's";
        const int modifiers = r.Seq2 & (kCtrl | kAlt | kShift);
        EXPECT_TRUE(modifiers == 0 || modifiers == kShift || modifiers == (kCtrl | kAlt)) << name;
        const bool special = name == "Func" || name == "Func1" || name == "Func2" ||
                             name == "FnTgl" || name == "Pause";
        EXPECT_EQ((r.Seq2 & kSpecial) != 0, special) << name;
    }
}

TEST_P(LanguageTable, PrefixesNeverMangleAName)
{
    const KeyboardTables& t = m_tables;
    for (std::size_t i = 1; i <= 140; ++i) {
        const ScanRecord& r = t.ScanTable[i];
        const std::string name = trimmed(r);
        const std::vector<std::pair<std::string, std::uint8_t>> prefixes{
            {"", 0}, {"^", kCtrl}, {"Sh", kShift}, {"Alt", kAlt}, {"#", kForceNum}};
        for (const auto& [prefix, modifier] : prefixes) {
            const auto code = keyCodeOf(t, prefix + name);
            ASSERT_TRUE(code.has_value()) << "record " << i << " as " << prefix + name;
            EXPECT_EQ(*code, (KeyCode{r.Seq1, static_cast<std::uint8_t>(r.Seq2 | modifier)}))
                << "record " << i << " as " << prefix + name;
        }
    }
}

TEST_P(LanguageTable, FixedRecordsAreWhereTheEditorAndProgrammingLookForThem)
{
    const auto& s = m_tables.ScanTable;
    EXPECT_EQ(trimmed(s[126]), "Func1");
    EXPECT_EQ(trimmed(s[127]), "Func2");
    EXPECT_EQ(trimmed(s[133]), "FnTgl");
    const auto func = lookUp(m_tables, "Func");
    ASSERT_TRUE(func.has_value());
    EXPECT_EQ(s[*func].Name[4], ' ') << "the editor tells Func from Func1 by the fifth character";
    EXPECT_EQ(keyCodeOf(m_tables, "Spc"), (KeyCode{0x39, 0}));

    const auto pause = lookUp(m_tables, "Pause");
    ASSERT_TRUE(pause.has_value());
    EXPECT_NE(s[*pause].Seq2, kPauseMask) << "the Pause key is not the macro pause";

    // The pictures that captions and the readable form recognise, and their words.
    const std::vector<std::pair<std::string, KeyCode>> pictures{
        {"\x11\xCD", {0x0E, 0}},
        {"\x11\xC4\xD9", {0x1C, 0}},
        {"\x11\xC4", {0x4B, kCurPad}},
        {"\xC4\x10", {0x4D, kCurPad}},
        {"\x18", {0x48, kCurPad}},
        {"\x19", {0x50, kCurPad}},
        {"Pad \x11\xC4\xD9", {0x1C, kCurPad}},
    };
    for (const auto& [picture, code] : pictures) {
        const auto record = lookUp(m_tables, picture);
        ASSERT_TRUE(record.has_value()) << "a record drawn as " << picture;
        EXPECT_EQ((KeyCode{s[*record].Seq1, s[*record].Seq2}), code);
        EXPECT_EQ(keyCodeOf(m_tables, picture), code) << "through its word";
    }
}

// Cursor block, keypad Enter and /, right Ctrl and Alt carry the E0 prefix.
TEST_P(LanguageTable, ExtendedKeysCarryCurPad)
{
    const std::vector<std::pair<const char*, std::uint8_t>> extended{
        {"Ins", 0x52},  {"Del", 0x53},   {"Home", 0x47},  {"End", 0x4F},   {"PgUp", 0x49},
        {"PgDn", 0x51}, {"Pad /", 0x35}, {"RAlt", 0x38},  {"RCtrl", 0x1D}, {"LWin", 0x5B},
        {"RWin", 0x5C}, {"Apps", 0x5D},  {"PrtSc", 0x37},
    };
    for (const auto& [name, scan] : extended)
        EXPECT_EQ(keyCodeOf(m_tables, name), (KeyCode{scan, kCurPad})) << name;
    EXPECT_EQ(keyCodeOf(m_tables, "Pad 8"), (KeyCode{0x48, 0}));
    EXPECT_EQ(keyCodeOf(m_tables, "Alt"), (KeyCode{0x38, 0}));
}

// One row of a keyboard: the scan codes of its keys and what they type
// without and with Shift.
struct KeyRow
{
    std::vector<std::uint8_t> scans;
    const char* plain;
    const char* shifted;
};

const std::vector<std::uint8_t> kDigitRow{0x29, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07,
                                          0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D};
const std::vector<std::uint8_t> kTopRow{0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16,
                                        0x17, 0x18, 0x19, 0x1A, 0x1B, 0x2B};
const std::vector<std::uint8_t> kHomeRow{0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23,
                                         0x24, 0x25, 0x26, 0x27, 0x28, 0x2B};
const std::vector<std::uint8_t> kBottomRow{0x56, 0x2C, 0x2D, 0x2E, 0x2F, 0x30,
                                           0x31, 0x32, 0x33, 0x34, 0x35};

std::vector<KeyRow> layoutOf(int language)
{
    const std::vector<std::uint8_t> top12(kTopRow.begin(), kTopRow.end() - 1);
    const std::vector<std::uint8_t> home11(kHomeRow.begin(), kHomeRow.end() - 1);
    const std::vector<std::uint8_t> bottom10(kBottomRow.begin() + 1, kBottomRow.end());
    switch (language) {
    case Language::UK:
        return {{kDigitRow, "`1234567890-=", "¬!\"£$%^&*()_+"},
                {top12, "qwertyuiop[]", "QWERTYUIOP{}"},
                {kHomeRow, "asdfghjkl;'#", "ASDFGHJKL:@~"},
                {kBottomRow, "\\zxcvbnm,./", "|ZXCVBNM<>?"}};
    case Language::Spain:
        return {{kDigitRow, "º1234567890'¡", "ª!\"·$%&/()=?¿"},
                {top12, "qwertyuiop`+", "QWERTYUIOP^*"},
                {kHomeRow, "asdfghjklñ´ç", "ASDFGHJKL\u00D1\u00A8\u00C7"},
                {kBottomRow, "<zxcvbnm,.-", ">ZXCVBNM;:_"}};
    default:
        return {{kDigitRow, "`1234567890-=", "~!@#$%^&*()_+"},
                {kTopRow, "qwertyuiop[]\\", "QWERTYUIOP{}|"},
                {home11, "asdfghjkl;'", "ASDFGHJKL:\""},
                {bottom10, "zxcvbnm,./", "ZXCVBNM<>?"}};
    }
}

// What a typed or picked character sends is the key that types it on that
// language's keyboard: this is where the UK and Spanish patches show.
TEST_P(LanguageTable, EveryCharacterOfTheKeyboardSendsItsKey)
{
    for (const KeyRow& row : layoutOf(GetParam())) {
        const std::string plain = bytes(row.plain);
        const std::string shifted = bytes(row.shifted);
        ASSERT_EQ(plain.size(), row.scans.size()) << row.plain;
        ASSERT_EQ(shifted.size(), row.scans.size()) << row.shifted;
        for (std::size_t k = 0; k < row.scans.size(); ++k) {
            EXPECT_EQ(keyCodeOf(m_tables, plain.substr(k, 1)), (KeyCode{row.scans[k], 0}))
                << row.plain << " key " << k;
            EXPECT_EQ(keyCodeOf(m_tables, shifted.substr(k, 1)), (KeyCode{row.scans[k], kShift}))
                << row.shifted << " key " << k;
        }
    }
    if (GetParam() == Language::Spain) {
        EXPECT_EQ(keyCodeOf(m_tables, "@"), (KeyCode{0x03, kCtrl | kAlt})) << "AltGr + 2";
        for (const char* missing : {"[", "]", "{", "}", "\\", "|", "#", "~"})
            EXPECT_FALSE(keyCodeOf(m_tables, missing).has_value())
                << missing << " is AltGr-only on a Spanish keyboard: no US record may remain";
    }
}

// --- On-screen keyboard: ASSOC1.BIN and the caption tables ---

bool isLetterKey(int n)
{
    return (n >= 338 && n <= 347) || (n >= 359 && n <= 367) || (n >= 375 && n <= 381);
}

// The editor's Shift entries, as keyboard/data/README.md documents them.
int shiftEntryOf(int n)
{
    if (n >= 316 && n <= 328)
        return n - 180;
    if ((n >= 348 && n <= 350) || (n >= 382 && n <= 384))
        return n - 215;
    if (n == 368 || n == 369)
        return n - 204;
    if (n == 374)
        return n - 208;
    return 0;
}

int numLockEntryOf(int n)
{
    if (n >= 354 && n <= 356)
        return n - 204;
    if (n >= 371 && n <= 373)
        return n - 218;
    if (n >= 387 && n <= 389)
        return n - 231;
    if (n == 399 || n == 400)
        return n - 240;
    return 0;
}

TEST_P(LanguageTable, EveryButtonEntryNamesARecordAndNoEntryIsShared)
{
    const KeyboardTables& t = m_tables;
    std::set<int> used;
    const auto named = [&](int entry, int n) {
        EXPECT_TRUE(used.insert(entry).second) << "entry " << entry << " of Btn " << n;
        const int record = t.AssocTable[static_cast<std::size_t>(entry)];
        EXPECT_TRUE(record >= 1 && record <= 140) << "entry " << entry << " of Btn " << n;
        EXPECT_GT(SignificantLength(t.ScanTable[static_cast<std::size_t>(record)].Name.view()), 0)
            << "entry " << entry << " of Btn " << n;
        return t.ScanTable[static_cast<std::size_t>(record)];
    };
    int buttons = 0;
    for (int n = 301; n <= 400; ++n) {
        if (t.AssocTable[static_cast<std::size_t>(n - 300)] == 0)
            continue;
        ++buttons;
        const ScanRecord key = named(n - 300, n);
        if (const int e = shiftEntryOf(n)) {
            const ScanRecord shifted = named(e, n);
            EXPECT_EQ(shifted.Seq1, key.Seq1) << "Btn " << n << ": Shift on the same key";
            EXPECT_EQ(shifted.Seq2, key.Seq2 | kShift) << "Btn " << n;
        }
        if (const int e = numLockEntryOf(n)) {
            const ScanRecord digit = named(e, n);
            EXPECT_TRUE(trimmed(digit).starts_with("Pad ")) << "Btn " << n;
            EXPECT_EQ(digit.Seq1, key.Seq1) << "Btn " << n << ": the same keypad key";
        }
    }
    EXPECT_GE(buttons, 95) << "one button per PC key";
    for (int n : {301, 302, 313, 316, 328, 338, 347, 348, 350, 354, 356, 359, 367,
                  368, 369, 371, 373, 374, 375, 381, 382, 384, 387, 389, 399, 400})
        EXPECT_NE(t.AssocTable[static_cast<std::size_t>(n - 300)], 0) << "Btn " << n;
    // The keypad with Num Lock on gives the digits of the editor's captions.
    const std::vector<std::pair<int, const char*>> keypad{
        {354, "Pad 7"}, {355, "Pad 8"}, {356, "Pad 9"}, {371, "Pad 4"},
        {372, "Pad 5"}, {373, "Pad 6"}, {387, "Pad 1"}, {388, "Pad 2"},
        {389, "Pad 3"}, {399, "Pad 0"}, {400, "Pad ."}};
    for (const auto& [n, name] : keypad)
        EXPECT_EQ(trimmed(t.ScanTable[t.AssocTable[static_cast<std::size_t>(numLockEntryOf(n))]]),
                  name);
}

TEST_P(LanguageTable, CaptionsShowWhatTheKeysSend)
{
    const KeyboardTables& t = m_tables;
    const auto recordName = [&](int entry) {
        return trimmed(t.ScanTable[t.AssocTable[static_cast<std::size_t>(entry)]]);
    };
    for (int n = 316; n <= 384; ++n) {
        const int e = n - 300;
        const auto cap = static_cast<char>(t.CapTable[static_cast<std::size_t>(e)]);
        const auto shiftCap = static_cast<char>(t.ShiftCapTable[static_cast<std::size_t>(e)]);
        if (isLetterKey(n)) {
            EXPECT_EQ(std::string(1, cap), recordName(e)) << "Btn " << n;
            EXPECT_TRUE(cap >= 'a' && cap <= 'z') << "Btn " << n;
            EXPECT_EQ(shiftCap, cap - 'a' + 'A') << "Btn " << n;
        } else if (shiftEntryOf(n) != 0 && n != 374) {
            EXPECT_EQ(std::string(1, cap), recordName(e)) << "Btn " << n;
            EXPECT_EQ(std::string(1, shiftCap), recordName(shiftEntryOf(n))) << "Btn " << n;
        }
    }
    // The editor shows "&&" on the key whose shifted caption is the ampersand.
    const std::size_t ampersandKey = GetParam() == Language::Spain ? 22 : 23;
    EXPECT_EQ(t.ShiftCapTable[ampersandKey], '&');
}

TEST(LanguagePatches, LandOnTheRecordsTheReaderNamesAndUsStaysUnpatched)
{
    const KeyboardTables us = tablesFor(Language::USA);
    const KeyboardTables uk = tablesFor(Language::UK);
    EXPECT_EQ(uk.ScanTable[68], uk.UkScanPatches[1]);
    EXPECT_EQ(uk.ScanTable[134], uk.UkScanPatches[8]);
    KeyboardTables startup;
    LoadStartupTables(startup, kProgramDir);
    EXPECT_EQ(us.ScanTable[68], startup.ScanTable[68]);
    EXPECT_EQ(trimmed(startup.ScanTable[138]), "") << "start-up reads 137 records";
    // Every key keeps its record in every language: the patches rename records.
    EXPECT_EQ(uk.AssocTable, us.AssocTable);
    EXPECT_EQ(tablesFor(Language::Spain).AssocTable, us.AssocTable);
}

// An STC file starts as its language's table (with the protected records 139
// and 140 that only it carries), so a user's new record lands on 141 or later,
// where it can be cleared again.
TEST(StcFiles, StartAsTheLanguagesOwnTable)
{
    const std::filesystem::path bare = std::filesystem::path(::testing::TempDir()) / "no-stc";
    std::filesystem::create_directories(bare);
    for (const auto& entry : std::filesystem::directory_iterator(kProgramDir)) {
        if (entry.path().extension() == ".BIN")
            std::filesystem::copy_file(entry.path(), bare / entry.path().filename(),
                                       std::filesystem::copy_options::overwrite_existing);
    }
    for (int language : {Language::USA, Language::UK, Language::Spain}) {
        const KeyboardTables built = tablesFor(language, bare);
        std::ifstream in(kProgramDir / *LanguageStcFile(language), std::ios::binary);
        std::vector<std::uint8_t> file(160 * ScanRecord::kFileSize);
        in.read(reinterpret_cast<char*>(file.data()), static_cast<std::streamsize>(file.size()));
        ASSERT_EQ(in.gcount(), static_cast<std::streamsize>(file.size()));
        for (std::size_t i = 1; i <= 160; ++i) {
            const ScanRecord r = ScanRecordFromBytes(&file[(i - 1) * ScanRecord::kFileSize]);
            if (i <= 138)
                EXPECT_EQ(r, built.ScanTable[i]) << "language " << language << " record " << i;
            else if (i <= 140)
                EXPECT_FALSE(IsBlankText(r.Name.view())) << "record " << i;
            else
                EXPECT_EQ(r, ScanRecord{}) << "record " << i;
        }
    }
}

// Italian, German, French, Belgian and Swiss patches are read but not applied.
TEST(UnappliedPatches, HoldTheirKeyboardsCharacters)
{
    KeyboardTables t;
    LoadStartupTables(t, kProgramDir);
    const auto find = [](const auto& patches, const char* utf8) -> std::optional<KeyCode> {
        for (std::size_t i = 1; i < patches.size(); ++i) {
            if (trimmed(patches[i]) == bytes(utf8))
                return KeyCode{patches[i].Seq1, patches[i].Seq2};
        }
        return std::nullopt;
    };
    EXPECT_EQ(find(t.ItalianScanPatches, "ò"), (KeyCode{0x27, 0}));
    EXPECT_EQ(find(t.ItalianScanPatches, "@"), (KeyCode{0x27, kCtrl | kAlt}));
    EXPECT_EQ(find(t.GermanScanPatches, "ß"), (KeyCode{0x0C, 0}));
    EXPECT_EQ(find(t.GermanScanPatches, "z"), (KeyCode{0x15, 0}));
    EXPECT_EQ(find(t.FrenchScanPatches, "a"), (KeyCode{0x10, 0}));
    EXPECT_EQ(find(t.FrenchScanPatches, "1"), (KeyCode{0x02, kShift}));
    EXPECT_EQ(find(t.BelgianScanPatches, "m"), (KeyCode{0x27, 0}));
    EXPECT_EQ(find(t.SwissScanPatches, "€"), (KeyCode{0x12, kCtrl | kAlt}));
    EXPECT_EQ(find(t.SwissScanPatches, "y"), (KeyCode{0x2C, 0}));

    const auto checkNames = [](const auto& patches, const char* language) {
        std::set<std::string> seen;
        for (std::size_t i = 1; i < patches.size(); ++i) {
            const std::string name = trimmed(patches[i]);
            EXPECT_FALSE(name.empty()) << language << " " << i;
            EXPECT_EQ(name.find('\xF9'), std::string::npos) << language << " " << i;
            EXPECT_TRUE(seen.insert(AsciiLower(name)).second) << language << " " << name;
        }
    };
    checkNames(t.ItalianScanPatches, "Italian");
    checkNames(t.GermanScanPatches, "German");
    checkNames(t.FrenchScanPatches, "French");
    checkNames(t.BelgianScanPatches, "Belgian");
    checkNames(t.SwissScanPatches, "Swiss");
}

} // namespace
