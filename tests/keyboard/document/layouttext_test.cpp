#include "layoutcommands.h"
#include "layoutdocument.h"
#include "layouttext.h"
#include "testlayouts.h"

#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

using namespace morvaw;
using namespace morvaw::test;

namespace {

// Every kind of key and setting, and bytes no name covers.
LayoutRecordArray EveryKind()
{
    LayoutRecordArray r{};
    NewLayout(r);
    SetDef(r[1], 0, Tokens({"C", "O", "F", "F", "E", "E"}));
    SetDef(r[1], 1, Tokens({"L", "A", "T", "T", "E", "Spc", "2", ".", "5", "0"}));
    r[1].RepeatFlags = 2;
    SetDef(r[2], 0, Tokens({"F1", "\x11\xC4\xD9", "^Shs", "AltF4", "#Pad 1", "\xE9"}));
    SetDef(r[3], 0, "Func1");
    SetDef(r[4], 0, "FnTgl");
    SetDef(r[5], 0, ">");
    r[5].Label.assign(std::string("\x1C\0", 2)); // the key code a ">" key sends
    SetDef(r[Settings::MsrHeader], 0, Tokens({"%", " "}));
    SetDef(r[Settings::MsrTrailer], 0, Tokens({"\x11\xC4\xD9"}));
    r[Settings::MsrOption2].PosX = 0x35;
    r[Settings::MsrOption3].PosX = 0x86;
    r[Settings::KbdFlags].PosX = 0x6B;
    r[Settings::KbdShape].PosX = 2;
    r[Settings::KbdLanguage].PosX = 9;
    // Odd bytes: carried fields, a leftover mark, a length beyond the field,
    // an empty token, and records no operation uses.
    r[6].Tail[3] = 0xFF;
    r[6].Def3.assign("x");
    r[6].Len3 = 7;
    r[6].Spare = 1;
    SetDef(r[7], 0, Tokens({"a"}));
    r[7].Def0[10] = 0xF9;
    r[8].Len1 = 90;
    SetDef(r[9], 2, Tokens({"x", "", "y"}));
    r[86].PosY = 3;
    r[100].Tail[0] = 1;
    return r;
}

class LayoutTextTest : public ::testing::Test
{
protected:
    [[nodiscard]] std::filesystem::path path(const QString& name) const
    {
        return Native(m_dir.filePath(name));
    }
    int import(const QByteArray& text)
    {
        EXPECT_TRUE(WriteBytes(m_dir.filePath("in.json"), text));
        QTextStream errors(&m_errors);
        return ImportLayoutText(path("in.json"), path("out.KBD"), errors);
    }

    QTemporaryDir m_dir;
    QString m_errors;
};

} // namespace

TEST_F(LayoutTextTest, ExportAndImportGiveTheSameBytes)
{
    LayoutRecordArray varied{};
    FillVaried(varied, 5);
    for (const LayoutRecordArray& records : {EveryKind(), varied}) {
        const QByteArray layout = LayoutFileBytes(records);
        ASSERT_TRUE(WriteBytes(m_dir.filePath("a.KBD"), layout));
        QString out;
        QTextStream outStream(&out);
        QTextStream errors(&m_errors);
        ASSERT_EQ(ExportLayoutText(path("a.KBD"), path("a.json"), outStream, errors), 0);
        ASSERT_EQ(import(ReadBytes(m_dir.filePath("a.json"))), 0) << m_errors.toStdString();
        EXPECT_EQ(ReadBytes(m_dir.filePath("out.KBD")), layout);
    }
    // Keys read as tokens; a layout made in the window needs no hex at all.
    const QByteArray text = LayoutToText(EveryKind());
    EXPECT_TRUE(text.contains(R"("func1": ["L", "A", "T", "T", "E", "Spc", "2", ".", "5", "0"])"));
    EXPECT_TRUE(text.contains(R"("plain": ["F1", "◄─┘", "^Shs", "AltF4", "#Pad 1", "é"])"));
    LayoutRecordArray plain{};
    NewLayout(plain);
    SetDef(plain[Settings::MsrSeparator], 0, Tokens({"\x11\xC4\xD9"}));
    KeyContent::Of(EveryKind()[1]).applyTo(plain[3]);
    EXPECT_FALSE(LayoutToText(plain).contains("unusedBytes"));
}

TEST_F(LayoutTextTest, BadTextSaysWhereAndWritesNothing)
{
    const QByteArray head = "{\"format\": \"morvaw layout\", \"version\": 1,\n";
    const std::pair<QByteArray, QString> cases[] = {
        {head + "\"keys\": [\n  {\"key\": 1 \"plain\": []}]}", "line 3, column 13: expected ','"},
        {head + "\"keys\": [{\"key\": 1, \"plain\": [\"a\", 5]}]}",
         "keys[0].plain[1]: expected a text"},
        {head + "\"keys\": [{\"key\": 2, \"plian\": []}]}", "keys[0].plian: unknown name"},
        {head + "\"keys\": [{\"key\": 85}]}", "keys[0].key: expected a key number from 1 to 84"},
        {head + "\"keys\": [{\"key\": 1, \"func2\": [" + QByteArray("\"ab\", ").repeated(20) +
             "\"c\"]}]}",
         "keys[0].func2: expected at most 60 characters"},
        {head + "\"msr\": {\"headerKey\": [\"\\u4e2d\"]}}",
         "msr.headerKey[0]: expected characters"},
        {head + "\"options\": {\"keypadShape\": \"13 x 7\"}}", "expected one of \"12 x 7\""},
        {head + "\"unusedBytes\": [{\"record\": 5, \"field\": \"Tail\", \"offset\": 18, "
                "\"hex\": \"0102\"}]}",
         "unusedBytes[0].offset: expected the bytes to lie within Tail"},
        {"[1, 2]", "line 1: expected '{'"},
        {"{\"format\": \"other\"}", "expected \"format\": \"morvaw layout\""},
    };
    for (const auto& [text, expected] : cases) {
        m_errors.clear();
        EXPECT_EQ(import(text), 2) << text.toStdString();
        EXPECT_TRUE(m_errors.contains(expected)) << m_errors.toStdString();
        EXPECT_FALSE(QFile::exists(m_dir.filePath("out.KBD"))) << text.toStdString();
    }
    // A layout already there stays as it was.
    ASSERT_TRUE(WriteBytes(m_dir.filePath("out.KBD"), "kept"));
    EXPECT_EQ(import(head + "}"), 2);
    EXPECT_EQ(ReadBytes(m_dir.filePath("out.KBD")), "kept");
    // Sixty characters fit a definition, sixty-one do not.
    const auto func2 = [&](int n) {
        return head + R"("keys": [{"key": 1, "func2": ")" + QByteArray(n, 'x') + R"("}]})";
    };
    EXPECT_EQ(import(func2(61)), 2);
    EXPECT_EQ(import(func2(60)), 0) << m_errors.toStdString();
}

TEST_F(LayoutTextTest, DiffSaysInWordsWhatChanged)
{
    const LayoutRecordArray before = EveryKind();
    LayoutRecordArray after = before;
    SetDef(after[1], 0, Tokens({"T", "E", "A"}));
    after[1].RepeatFlags = 1;
    after[5].Label.assign("AB");
    after[Settings::MacroPlayDelay].PosX = 7;
    after[Settings::KbdFlags].PosX ^= 0x02;
    SetDef(after[Settings::MsrHeader], 0, Tokens({"F1"}));
    after[6].Tail[0] = 0xAA;
    after[100].KeyWord = 9;
    ASSERT_TRUE(WriteBytes(m_dir.filePath("a.KBD"), LayoutFileBytes(before)));
    ASSERT_TRUE(WriteBytes(m_dir.filePath("b.KBD"), LayoutFileBytes(after)));

    QString out;
    QTextStream outStream(&out);
    QTextStream errors(&m_errors);
    EXPECT_EQ(DiffLayoutFiles(path("a.KBD"), path("b.KBD"), outStream, errors), 1);
    outStream.flush();
    EXPECT_EQ(out.split('\n', Qt::SkipEmptyParts),
              QStringList({"Key 1, plain: \"COFFEE\" -> \"TEA\"", "Key 1, plain repeat: off -> on",
                           "Key 1, Func1 repeat: on -> off", "Key 5, label: \"␜\" -> \"AB\"",
                           "Buzzer: on -> off", "Macro play delay: 5 -> 7",
                           "MSR Header key: \"% \" -> \"<F1>\"", "Key 6: other bytes differ (Tail)",
                           "Record 100: other bytes differ (KeyWord)"}));
    out.clear();
    EXPECT_EQ(DiffLayoutFiles(path("a.KBD"), path("a.KBD"), outStream, errors), 0);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_EQ(DiffLayoutFiles(path("a.KBD"), path("missing.KBD"), outStream, errors), 2);
}
