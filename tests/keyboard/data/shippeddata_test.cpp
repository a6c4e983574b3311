// Checks the keyboard data the build generates, read through the
// configurator's own readers, against how real keyboards behave. What the
// generator itself refuses to build (duplicate names, shared or unknown
// entries, patches that do not land, wrong record counts) is not repeated.
#include "definitiontext.h"
#include "displaytext.h"
#include "keyboardtables.h"
#include "keysequence.h"
#include "keytoken.h"
#include "layoutmodel.h"

#include <QImage>
#include <QString>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

using namespace morvaw;

namespace {

const std::filesystem::path kDataDir = SUITE_DATA_DIR;

constexpr std::uint8_t kCurPad = 32, kSpecial = 128, kPauseMask = 0xAB;

KeyboardTables tablesFor(int language)
{
    KeyboardTables t;
    LoadStartupTables(t, kDataDir);
    LoadLanguageTables(t, kDataDir, language);
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

// Scan table record that a name finds: from record 1 up, case and trailing
// blanks ignored, stopping at a record whose name begins with a blank.
std::optional<std::size_t> lookUp(const KeyboardTables& t, const std::string& name)
{
    for (std::size_t i = 1; i <= t.ScanCount; ++i) {
        if (t.ScanTable[i].Name[0] == ' ')
            return std::nullopt;
        if (AsciiLower(trimmed(t.ScanTable[i])) == AsciiLower(name))
            return i;
    }
    return std::nullopt;
}

// What programming sends for a token, through its own look-up.
KeyCode keyCodeOf(const KeyboardTables& t, const std::string& token)
{
    return SetKeySequence(ScanNames{t.ScanTable, t.ScanCount}, token);
}

// Each picture key at its size (twips / 15; one key row high), its face
// showing a symbol or label, pressed and released telling apart at a glance.
TEST(ModifierBitmaps, LoadAtTheirSizesAndShowTheirState)
{
    const std::pair<std::string, int> pictures[] = {{"sl", 750},   {"spsl", 435}, {"sr", 975},
                                                    {"ctrl", 540}, {"alt", 540},  {"caps", 660},
                                                    {"numl", 450}};
    for (const auto& [base, twips] : pictures) {
        double mean[2] = {};
        for (int state = 0; state < 2; ++state) {
            const QImage image(QString::fromStdString(
                (kDataDir / (base + std::to_string(state) + ".bmp")).string()));
            ASSERT_EQ(image.size(), QSize(twips / 15, 25)) << base << state;
            int dark = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    mean[state] +=
                        qGray(image.pixel(x, y)) / double(image.width() * image.height());
                    dark += x >= 3 && y >= 3 && x < image.width() - 3 && y < image.height() - 3 &&
                            qGray(image.pixel(x, y)) < 100;
                }
            EXPECT_TRUE(dark > 20 && dark < (image.width() - 6) * (image.height() - 6) - 20)
                << base << state << ": the face shows a symbol or label";
        }
        EXPECT_GT(std::abs(mean[0] - mean[1]), 60.0) << base;
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

// Each name, with each prefix, finds its own record and adds the prefix's bit:
// no name is cut short by a prefix rule nor shadowed by an earlier record.
TEST_P(LanguageTable, PrefixesNeverMangleANameAndMaskBitsFollowTheirUse)
{
    ASSERT_EQ(m_tables.ScanCount, 160);
    const std::pair<std::string, std::uint8_t> prefixes[] = {
        {"", 0}, {"^", CtrlBit}, {"Sh", ShiftBit}, {"Alt", AltBit}, {"#", ForceNumBit}};
    for (std::size_t i = 1; i <= 140; ++i) {
        const ScanRecord& r = m_tables.ScanTable[i];
        const std::string name = trimmed(r);
        for (const auto& [prefix, modifier] : prefixes) {
            // A cursor-pad key sent with Ctrl, Alt or Shift goes without its bit.
            const bool dropPad = r.Seq2 == kCurPad && modifier != 0 && modifier != ForceNumBit;
            EXPECT_EQ(
                keyCodeOf(m_tables, prefix + name),
                (KeyCode{r.Seq1, static_cast<std::uint8_t>((dropPad ? 0 : r.Seq2) | modifier)}))
                << "record " << i << " as " << prefix + name;
        }
        if (name == "Delay") {
            EXPECT_EQ(r.Seq2, kPauseMask);
            continue;
        }
        EXPECT_EQ(r.Seq2 & 3, 0) << name << ": repeat comes from the key, bit 1 ends a macro";
        EXPECT_EQ(r.Seq2 & ForceNumBit, 0) << name << ": Force Num is the \"#\" prefix's";
        const bool special = name == "Func" || name == "Func1" || name == "Func2" ||
                             name == "FnTgl" || name == "Pause";
        EXPECT_EQ((r.Seq2 & kSpecial) != 0, special) << name;
    }
}

TEST_P(LanguageTable, FixedRecordsAreWhereTheEditorAndProgrammingLookForThem)
{
    const auto& s = m_tables.ScanTable;
    EXPECT_EQ(trimmed(s[126]) + trimmed(s[127]) + trimmed(s[133]), "Func1Func2FnTgl");
    const auto func = lookUp(m_tables, "Func");
    ASSERT_TRUE(func.has_value());
    EXPECT_EQ(s[*func].Name[4], ' ') << "the editor tells Func from Func1 by the fifth character";
    EXPECT_EQ(keyCodeOf(m_tables, "Spc"), (KeyCode{0x39, 0}));
    const auto pause = lookUp(m_tables, "Pause");
    ASSERT_TRUE(pause.has_value());
    EXPECT_NE(s[*pause].Seq2, kPauseMask) << "the Pause key is not the macro pause";

    // The pictures that captions and the readable form recognise: found as
    // themselves and through the words programming turns them into.
    const std::pair<std::string, KeyCode> pictures[] = {
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
        EXPECT_EQ(keyCodeOf(m_tables, picture), code) << "through its word";
    }
    // Cursor block, keypad Enter and /, right Ctrl and Alt carry the E0 prefix.
    const std::pair<const char*, KeyCode> keys[] = {
        {"PgUp", {0x49, kCurPad}}, {"Pad /", {0x35, kCurPad}}, {"RAlt", {0x38, kCurPad}},
        {"Apps", {0x5D, kCurPad}}, {"Pad 8", {0x48, 0}},       {"Alt", {0x38, 0}},
    };
    for (const auto& [name, code] : keys)
        EXPECT_EQ(keyCodeOf(m_tables, name), code) << name;
}

// One row of a keyboard: the scan codes of its keys and what they type
// without and with Shift.
struct KeyRow
{
    std::vector<std::uint8_t> scans;
    const char* plain;
    const char* shifted;
};

std::vector<KeyRow> layoutOf(int language)
{
    const std::vector<std::uint8_t> digits{0x29, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07,
                                           0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D};
    const std::vector<std::uint8_t> top{0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16,
                                        0x17, 0x18, 0x19, 0x1A, 0x1B, 0x2B};
    const std::vector<std::uint8_t> home{0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23,
                                         0x24, 0x25, 0x26, 0x27, 0x28, 0x2B};
    const std::vector<std::uint8_t> bottom{0x56, 0x2C, 0x2D, 0x2E, 0x2F, 0x30,
                                           0x31, 0x32, 0x33, 0x34, 0x35};
    const std::vector<std::uint8_t> top12(top.begin(), top.end() - 1);
    switch (language) {
    case Language::UK:
        return {{digits, "`1234567890-=", "¬!\"£$%^&*()_+"},
                {top12, "qwertyuiop[]", "QWERTYUIOP{}"},
                {home, "asdfghjkl;'#", "ASDFGHJKL:@~"},
                {bottom, "\\zxcvbnm,./", "|ZXCVBNM<>?"}};
    case Language::Spain:
        return {{digits, "º1234567890'¡", "ª!\"·$%&/()=?¿"},
                {top12, "qwertyuiop`+", "QWERTYUIOP^*"},
                {home, "asdfghjklñ´ç", "ASDFGHJKL\u00D1\u00A8\u00C7"},
                {bottom, "<zxcvbnm,.-", ">ZXCVBNM;:_"}};
    default:
        return {{digits, "`1234567890-=", "~!@#$%^&*()_+"},
                {top, "qwertyuiop[]\\", "QWERTYUIOP{}|"},
                {{home.begin(), home.end() - 1}, "asdfghjkl;'", "ASDFGHJKL:\""},
                {{bottom.begin() + 1, bottom.end()}, "zxcvbnm,./", "ZXCVBNM<>?"}};
    }
}

// What a typed or picked character sends is the key that types it on that
// language's keyboard: this is where the UK and Spanish patches show.
TEST_P(LanguageTable, EveryCharacterOfTheKeyboardSendsItsKey)
{
    for (const KeyRow& row : layoutOf(GetParam())) {
        const std::string plain = bytes(row.plain), shifted = bytes(row.shifted);
        ASSERT_EQ(plain.size(), row.scans.size()) << row.plain;
        ASSERT_EQ(shifted.size(), row.scans.size()) << row.shifted;
        for (std::size_t k = 0; k < row.scans.size(); ++k) {
            EXPECT_EQ(keyCodeOf(m_tables, plain.substr(k, 1)), (KeyCode{row.scans[k], 0}))
                << row.plain << " key " << k;
            EXPECT_EQ(keyCodeOf(m_tables, shifted.substr(k, 1)), (KeyCode{row.scans[k], ShiftBit}))
                << row.shifted << " key " << k;
        }
    }
    if (GetParam() == Language::Spain) {
        EXPECT_EQ(keyCodeOf(m_tables, "@"), (KeyCode{0x03, CtrlBit | AltBit})) << "AltGr + 2";
        for (const char* missing : {"[", "]", "{", "}", "\\", "|", "#", "~"})
            EXPECT_EQ(keyCodeOf(m_tables, missing), KeyCode{})
                << missing << " is AltGr-only on a Spanish keyboard: no US record may remain";
    }
}

// --- On-screen keyboard: ASSOC1.BIN and the caption tables ---

bool isLetterKey(int n)
{
    return (n >= 338 && n <= 347) || (n >= 359 && n <= 367) || (n >= 375 && n <= 381);
}

// A letter button types its record's name, and its capital with Shift (the
// other buttons, through the editor: keymodelogic_test).
TEST_P(LanguageTable, LetterButtonsShowTheirKeys)
{
    const KeyboardTables& t = m_tables;
    int buttons = 0;
    for (int n = 301; n <= 400; ++n) {
        const auto e = static_cast<std::size_t>(n - 300);
        buttons += t.AssocTable[e] != 0;
        if (isLetterKey(n)) {
            const auto cap = static_cast<char>(t.CapTable[e]);
            EXPECT_EQ(std::string({cap, static_cast<char>(t.ShiftCapTable[e])}),
                      trimmed(t.ScanTable[t.AssocTable[e]]) + static_cast<char>(cap - 'a' + 'A'))
                << "Btn " << n;
        }
    }
    EXPECT_GE(buttons, 95) << "one button per PC key";
}

} // namespace
