#include "layoutdocument.h"
#include "testlayouts.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace morvaw;
using namespace morvaw::test;

namespace {

class LayoutDocumentTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(WriteBytes(file("a.KBD"), LayoutWith(Language::UK)));
        ASSERT_TRUE(m_document.load(name("a.KBD"), LayoutDocument::LoadMode::Whole).ok);
        m_loaded = m_document.records();
    }
    [[nodiscard]] QString file(const QString& n) const { return QDir(m_dir.path()).filePath(n); }
    [[nodiscard]] std::string name(const QString& n) const { return file(n).toStdString(); }
    [[nodiscard]] KeyRecord keyWith(int n, const std::string& token) const
    {
        KeyRecord key = m_document.key(n);
        SetDef(key, 0, Tokens({token}));
        key.Spare = 99; // not the editor's to change
        return key;
    }

    QTemporaryDir m_dir;
    LayoutDocument m_document;
    LayoutRecordArray m_loaded{};
};

} // namespace

// Each operation changes the fields it names, and nothing else of the layout.
TEST_F(LayoutDocumentTest, OperationsChangeWhatTheyNameOnly)
{
    QSignalSpy changed(&m_document, &LayoutDocument::changed);
    LayoutRecordArray expected = m_loaded;
    m_document.storeKey(4, keyWith(4, "q"));
    SetDef(expected[5], 0, Tokens({"q"}));
    m_document.setOptions({.KbdFlags = 0x81 | 4,
                           .MacroPlayDelay = 7,
                           .DelayKeyTime = 8,
                           .KbdShape = 1,
                           .KbdLanguage = Language::Spain});
    expected[Settings::MacroPlayDelay].PosX = 7;
    expected[Settings::DelayKeyTime].PosX = 8;
    expected[Settings::KbdShape].PosX = 1;
    MsrSettings msr = m_document.msrSettings();
    msr.CheckSumMode = false;
    msr.MsrOption2 = 8;
    SetDef(expected[Settings::MsrSeparator], 0, Tokens({"s"}));
    msr.Lines[1] = expected[Settings::MsrSeparator].definition(0);
    m_document.setMsrSettings(msr);
    expected[Settings::KbdFlags].PosX = 0x80 | 4; // bit 0 only
    expected[Settings::MsrOption2].PosX = 8;
    EXPECT_EQ(m_document.records(), expected);
    EXPECT_EQ(m_document.language(), Language::Spain);
    EXPECT_EQ(changed.count(), 3);

    // A transfer's flags leave LayoutChanged as it was; the other changes set it.
    m_document.markUnchanged();
    m_document.storeKbdFlags(0x88);
    EXPECT_FALSE(m_document.isChanged());
    m_document.storeKey(4, keyWith(4, "q")); // the same again: no change at all
    EXPECT_FALSE(m_document.isChanged());
    m_document.storeKey(5, keyWith(5, "r"));
    EXPECT_TRUE(m_document.isChanged());
}

TEST_F(LayoutDocumentTest, UndoAndRedoGoStepByStep)
{
    m_document.storeKey(0, keyWith(0, "x"));
    const LayoutRecordArray afterKey = m_document.records();
    MsrSettings msr = m_document.msrSettings();
    msr.Lines[0] = {};
    m_document.setMsrSettings(msr);
    m_document.setOptions({.KbdShape = 1, .KbdLanguage = Language::Spain});
    EXPECT_EQ(m_document.undoText(), "Keyboard Configure");

    m_document.undo();
    EXPECT_EQ(m_document.language(), Language::UK);
    EXPECT_EQ(m_document.undoText(), "MSR Configure");
    EXPECT_EQ(m_document.redoText(), "Keyboard Configure");
    m_document.undo();
    EXPECT_EQ(m_document.records(), afterKey);
    m_document.undo();
    EXPECT_EQ(m_document.key(0), m_loaded[1]);
    EXPECT_FALSE(m_document.canUndo());
    m_document.redo();
    EXPECT_EQ(m_document.records(), afterKey);
    EXPECT_TRUE(m_document.isChanged());

    // A new change drops what could be redone; a loaded or new layout starts afresh.
    m_document.storeKey(1, keyWith(1, "y"));
    EXPECT_FALSE(m_document.canRedo());
    m_document.newLayout();
    EXPECT_FALSE(m_document.canUndo());
    EXPECT_EQ(m_document.fileName(), "UNTITLED.KBD");

    // The type a port test found changes bits 2 to 4 only, and is undone like the rest.
    m_document.storeKbdFlags(0x81);
    m_document.setKeyboardType(2);
    EXPECT_EQ(m_document.setting(Settings::KbdFlags), 0x81 | 2 << 2);
    EXPECT_EQ(m_document.undoText(), "Program Kbd");
    m_document.undo();
    EXPECT_EQ(m_document.setting(Settings::KbdFlags), 0x81);
}

TEST_F(LayoutDocumentTest, TheHistoryKeepsTheLastStepsOnly)
{
    for (int i = 0; i <= LayoutDocument::kUndoSteps; ++i)
        m_document.setOptions(
            {.MacroPlayDelay = static_cast<std::uint8_t>(i + 1), .KbdLanguage = Language::UK});
    int steps = 0;
    for (; m_document.canUndo(); ++steps)
        m_document.undo();
    EXPECT_EQ(steps, LayoutDocument::kUndoSteps);
    EXPECT_EQ(m_document.setting(Settings::MacroPlayDelay), 1); // the first step is gone
}

// Paste and swap move what a key sends (definitions, repeat flags, label);
// where a key stands and what is only carried stay with it. Undo takes each back.
TEST_F(LayoutDocumentTest, PasteAndSwapMoveWhatKeysSendAndUndoTakesThemBack)
{
    KeyRecord source = keyWith(2, "s");
    SetDef(source, 1, Tokens({"F1"}));
    source.RepeatFlags = 5;
    source.Label.assign(">>");
    m_document.storeKey(2, source);
    const LayoutRecordArray before = m_document.records();

    m_document.pasteKey(7, KeyContent::Of(m_document.key(2)));
    KeyRecord pasted = before[8];
    for (int level = 0; level < 3; ++level)
        pasted.setDefinition(level, source.definition(level));
    pasted.RepeatFlags = 5;
    pasted.Label = source.Label;
    EXPECT_EQ(m_document.key(7), pasted);
    EXPECT_EQ(m_document.undoText(), "Paste Key");

    m_document.swapKeys(2, 3);
    EXPECT_EQ(KeyContent::Of(m_document.key(2)).levels, KeyContent::Of(before[4]).levels);
    EXPECT_EQ(KeyContent::Of(m_document.key(3)).Label, source.Label);
    EXPECT_EQ(m_document.key(3).Tail, before[4].Tail);
    EXPECT_EQ(m_document.key(2).Matrix, before[3].Matrix);

    m_document.swapKeys(-1, 3); // no such key: nothing happens
    m_document.pasteKey(84, KeyContent{});
    EXPECT_EQ(m_document.undoText(), "Swap Keys");
    m_document.undo();
    m_document.undo();
    EXPECT_EQ(m_document.records(), before);
}
