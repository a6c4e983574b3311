#include "definitiontext.h"
#include "editorfolder.h"
#include "fakes.h"
#include "keymodelogic.h"
#include "keysequence.h"
#include "keytoken.h"
#include "languagetables.h"
#include "layoutdocument.h"

#include <QFile>
#include <QFileInfo>

using namespace morvaw;
using namespace morvaw::test;

namespace {

using L = KeyModeLogic;

class KeyModeLogicTest : public ::testing::Test
{
protected:
    void SetUp() override { start(Language::USA); }

    // The configurator started in a folder of the language, the first key in the editor.
    void start(std::uint8_t language)
    {
        m_main.reset();
        m_editor.reset();
        m_folder = std::make_unique<EditorFolder>(language);
        m_tables = std::make_unique<LanguageTables>(m_folder->folders());
        m_document = std::make_unique<LayoutDocument>();
        m_main = std::make_unique<MainFormLogic>(*m_document, *m_tables, m_folder->folders(),
                                                 m_dialogs, m_help);
        m_editor = std::make_unique<KeyModeLogic>(*m_tables, m_dialogs);
        QObject::connect(m_main.get(), &MainFormLogic::keyEditorRequested,
                         [this](int key, const KeyRecord& record, std::uint8_t lang) {
                             m_key = key;
                             m_editor->openForKey(record, lang);
                         });
        m_main->load(1000, 700);
        m_main->openKeyEditor(0);
    }
    // Ok, and the key stored as main stores it.
    void ok()
    {
        m_editor->accept();
        if (const auto key = m_editor->takeAcceptedKey())
            m_document->storeKey(m_key, *key);
    }

    [[nodiscard]] std::string line(int k) const
    {
        return m_editor->workKey().def(k).str().substr(0, m_editor->workKey().len(k));
    }
    // The editor opened again with a line changed.
    void setLine(int k, const std::string& def)
    {
        KeyRecord work = m_editor->workKey();
        SetDef(work, k, def);
        m_editor->openForKey(work, m_document->language());
    }
    void type(const std::string& text)
    {
        for (char c : text)
            m_editor->KeyPress(static_cast<std::uint8_t>(c));
    }
    void insertRecord(int record)
    {
        m_editor->selectListRow(record - 1);
        m_editor->insertSelectedKey();
    }
    [[nodiscard]] QByteArray stcFile() const { return ReadBytes(m_folder->file("STCUSA.TBL")); }
    [[nodiscard]] QByteArray stcTable() const
    {
        QByteArray bytes;
        for (int r = 1; r <= kScanRecords; ++r) {
            const auto b = ScanRecordBytes(tables().StcTable[static_cast<std::size_t>(r)]);
            bytes.append(reinterpret_cast<const char*>(b.data()), 9);
        }
        return bytes;
    }
    [[nodiscard]] const KeyboardTables& tables() const { return m_tables->tables(); }
    [[nodiscard]] std::string name(int record) const
    {
        return tables().ScanTable[static_cast<std::size_t>(record)].Name.str();
    }
    void storeRecord(const QString& keyName, const QString& scan, const QString& mask)
    {
        m_editor->editScanRecord();
        m_editor->Table().Text1_Change(ScanTableEditor::KeyNameBox, keyName);
        m_editor->Table().Text1_Change(ScanTableEditor::ScanCodeBox, scan);
        m_editor->Table().Text1_Change(ScanTableEditor::MaskCodeBox, mask);
        m_editor->storeScanRecord();
    }

    std::unique_ptr<EditorFolder> m_folder;
    std::unique_ptr<LanguageTables> m_tables;
    std::unique_ptr<LayoutDocument> m_document;
    ScriptedDialogs m_dialogs;
    RecordingHelp m_help;
    std::unique_ptr<MainFormLogic> m_main;
    std::unique_ptr<KeyModeLogic> m_editor;
    int m_key = -1;
};

} // namespace

TEST_F(KeyModeLogicTest, TypedKeysBecomeTokensThatFitSixtyCharacters)
{
    struct Row
    {
        std::string before;
        std::vector<int> codes;
        std::string after;
    };
    const std::string l59 = Tokens(std::vector<std::string>(29, "a")); // 59 characters
    const std::string l58 = Tokens({"F1"}) + l59.substr(5);
    const std::string l60 = Tokens({"F1"}) + l59.substr(3);
    const Row rows[] = {
        {Tokens({"a", "b"}), {8}, Tokens({"a"})},
        {Tokens({"a"}), {8, 8}, ""},
        {"Func1", {8}, ""},
        {"Func1", {'x'}, Tokens({"x"})},
        {l58, {'x'}, l58 + "x" + Tokens({})},
        {l58, {' ', 'x'}, l58}, // once a token found no room, nothing more
        {l59, {'x'}, l59},
        {l60, {'x', ' '}, l60},
        // Only 8, 32 and 33..127: byte 249 (a typed "ù") would pass for a mark,
        // and "š" (U+0161) cut to a byte would be "a".
        {"", {249, 0x161, 13, 27, 0, 200}, ""},
    };
    for (const Row& row : rows) {
        setLine(0, row.before);
        for (int c : row.codes)
            m_editor->KeyPress(c);
        EXPECT_EQ(line(0), row.after) << row.before << " + " << row.codes.front();
    }
}

// Once a token found no room the line takes nothing more until something is
// removed: a shorter token after it would drop the longer one from the middle.
TEST_F(KeyModeLogicTest, AFullLineTakesNothingUntilATokenIsRemoved)
{
    type("LARGE CAPPUCCINO WITH OAT MILK");
    EXPECT_TRUE(m_editor->PrintInpLine(0).ends_with(".W.I.T.H.Spc.O.A.T."));
    EXPECT_EQ(m_editor->LengthNote(0), "Line full: 57 of 60");
    EXPECT_TRUE(m_editor->TakeBeep());
    type("\bM");
    EXPECT_TRUE(m_editor->PrintInpLine(0).ends_with(".O.A.M."));
    EXPECT_EQ(m_editor->LengthNote(0), "57 of 60");
}

TEST_F(KeyModeLogicTest, LinesShowMarksAsDotsAndPicturesAsWords)
{
    setLine(0, Tokens({"a", "\x11\xCD", "Sh\x11\xC4", "Pad \x11\xC4\xD9", "\x18", "\x11\xC4\xD9",
                       "Spc"}));
    setLine(1, "Func1");
    EXPECT_EQ(m_editor->PrintInpLine(0), ".a.BkSp.ShLeft.Pad Ent.Up.Enter.Spc.");
    EXPECT_EQ(m_editor->PrintInpLine(1), "Func1");
}

// The token a picked key gives under each modifier state (that programming
// reads it back: EveryTokenTheEditorWritesReadsBackAsItsRecord).
TEST_F(KeyModeLogicTest, PickedKeysGetTheirModifierPrefixes)
{
    storeRecord("Rep", "13", "1"); // record 141, a mask with the repeat bit
    struct Row
    {
        int record; // picked in the list; 0: the on-screen button instead
        int button;
        L::Modifier modifier;
        bool capsLock;
        const char* token;
    };
    const Row rows[] = {
        {1, 0, L::ModCtrl, false, "^a"},     {1, 0, L::ModCtrl, true, "^Sha"},
        {1, 0, L::ModShift, true, "a"},      {73, 0, L::ModNone, false, "!"},
        {73, 0, L::ModCtrl, false, "^!"},    // Ctrl is kept on a record that has Shift
        {141, 0, L::ModCtrl, false, "^Rep"}, // mask 1 + Ctrl = 5
        {0, 317, L::ModShift, false, "!"},   // the digit row is already shifted
        {0, 317, L::ModShift, true, "!"},    {0, 348, L::ModShift, false, "Sh{"},
        {0, 355, L::ModNone, false, "\x18"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.token);
        setLine(0, "");
        m_editor->toggleModifier(row.modifier);
        if (m_editor->CapsLock() != row.capsLock)
            m_editor->pressPictureKey(OnScreen::CapsLock, Qt::LeftButton);
        if (row.record)
            insertRecord(row.record);
        else
            m_editor->pickOnScreenKey(row.button);
        EXPECT_EQ(DefToken(1, line(0), TokenMark), row.token);
        if (row.modifier != L::ModNone)
            m_editor->toggleModifier(row.modifier);
    }
}

// Every key with a shifted character inserts the records its two captions
// name, the shifted one the same key with Shift; with Num Lock a keypad key
// inserts its digit, the same key. In every language whose tables patch them.
TEST_F(KeyModeLogicTest, OnScreenKeysInsertTheRecordsTheirCaptionsName)
{
    for (std::uint8_t language : {Language::USA, Language::UK, Language::Spain}) {
        start(language);
        const ScanNames names{tables().ScanTable, tables().ScanCount};
        const auto pick = [&](int n, L::Modifier modifier) {
            setLine(0, "");
            m_editor->toggleModifier(modifier);
            m_editor->pickOnScreenKey(n);
            m_editor->toggleModifier(modifier);
            return DefToken(1, line(0), TokenMark);
        };
        for (int n : {316, 317, 318, 319, 320, 321, 322, 323, 324, 325, 326,
                      327, 328, 348, 349, 350, 368, 369, 382, 383, 384}) {
            const std::string plain = pick(n, L::ModNone), shifted = pick(n, L::ModShift);
            const auto e = static_cast<std::size_t>(n - 300);
            EXPECT_EQ(
                plain + ' ' + ParseKeyToken(shifted).name,
                std::string({char(tables().CapTable[e]), ' ', char(tables().ShiftCapTable[e])}))
                << "language " << int(language) << " key " << n;
            const KeyCode code = SetKeySequence(names, plain);
            EXPECT_EQ(SetKeySequence(names, shifted),
                      (KeyCode{code.scan, static_cast<std::uint8_t>(code.mask | ShiftBit)}))
                << n;
        }
        m_editor->pressPictureKey(OnScreen::NumLock, Qt::LeftButton);
        for (int n : {354, 355, 356, 371, 372, 373, 387, 388, 389, 399, 400}) {
            const std::string digit = pick(n, L::ModNone);
            m_editor->pressPictureKey(OnScreen::NumLock, Qt::LeftButton);
            EXPECT_TRUE(digit.starts_with("Pad ")) << n << ' ' << digit;
            EXPECT_EQ(SetKeySequence(names, digit).scan,
                      SetKeySequence(names, pick(n, L::ModNone)).scan)
                << n;
            m_editor->pressPictureKey(OnScreen::NumLock, Qt::LeftButton);
        }
    }
}

// Every shipped name and every name the table page accepts goes into a
// definition as a token that programming reads back as that record with the
// modifiers it was picked with (Caps Lock adds Shift); the rest are refused.
TEST_F(KeyModeLogicTest, EveryTokenTheEditorWritesReadsBackAsItsRecord)
{
    for (std::uint8_t language : {Language::USA, Language::UK, Language::Spain}) {
        start(language);
        for (const char* candidate : {"Mine", "Gr", "x1", "AltGr", "Sh1", "^x", "#5", "ft", "ftp",
                                      "A", "ESC", "Funcx", "\u00F9x", "\u2219"})
            storeRecord(candidate, "70", "0");
        ASSERT_EQ(m_editor->Table().Names().size(), 143u) << "only Mine, Gr and x1 are taken";
        EXPECT_EQ(m_dialogs.messages.size(), 11u * (language + 1));
        const ScanNames names{tables().ScanTable, tables().ScanCount};
        for (int r = 1; r <= 143; ++r) {
            const ScanRecord& rec = tables().ScanTable[static_cast<std::size_t>(r)];
            if (r <= 140 && (name(r).starts_with("Func") || name(r).starts_with("FnT")))
                continue; // these make the key a function-shift key
            for (int option : {L::ModNone, L::ModCtrl, L::ModAlt, L::ModShift}) {
                m_editor->toggleModifier(option == L::ModNone ? m_editor->SelectedModifier()
                                                              : static_cast<L::Modifier>(option));
                for (int caps = 0; caps < 2; ++caps) {
                    setLine(0, "");
                    m_editor->pressPictureKey(OnScreen::CapsLock, Qt::LeftButton);
                    insertRecord(r);
                    const int bits =
                        (option == L::ModCtrl ? CtrlBit : 0) | (option == L::ModAlt ? AltBit : 0) |
                        ((option == L::ModShift) != m_editor->CapsLock() ? ShiftBit : 0);
                    // A cursor-pad key goes without its pad bit once a modifier is added.
                    const int mask = (rec.Seq2 == 32 && bits != 0 ? 0 : rec.Seq2) | bits;
                    EXPECT_EQ(SetKeySequence(names, DefToken(1, line(0), TokenMark)),
                              (KeyCode{rec.Seq1, static_cast<std::uint8_t>(mask)}))
                        << "language " << int(language) << ", " << name(r) << ", bits " << bits;
                }
            }
        }
    }
}

// A name an older table file holds is listed and kept as it is, but one that
// would not read back as itself is not inserted: "\xF9x" would be the key x.
TEST_F(KeyModeLogicTest, AStoredNameThatWouldNotReadBackIsKeptButNotInserted)
{
    QByteArray stc = stcFile();
    stc.replace(140 * 9, 18,
                QByteArray("\xF9x     \x70\x00"
                           "AltGr  \x71\x00",
                           18));
    ASSERT_TRUE(WriteBytes(m_folder->file("STCUSA.TBL"), stc));
    m_main->openKeyEditor(0);
    EXPECT_EQ(m_editor->Table().Names().at(140), "\xF9x     ");
    insertRecord(141);
    insertRecord(142);
    EXPECT_EQ(line(0), "");
    EXPECT_EQ(m_dialogs.messages.size(), 2u);
    storeRecord("Mine", "1", "0");
    EXPECT_EQ(stcFile().left(142 * 9), stc.left(142 * 9));
}

// Letters under Caps Lock and the Spanish less key: the window tests.
TEST_F(KeyModeLogicTest, ModifiersAndLocksChangePicturesAndCaptions)
{
    m_editor->pressPictureKey(OnScreen::NumLock, Qt::LeftButton);
    EXPECT_EQ(m_editor->DispShifts().caption(355), "8");
    m_editor->pressPictureKey(OnScreen::LeftShift, Qt::RightButton); // ignored
    EXPECT_EQ(m_editor->DispShifts().pictures[0], "sl0.bmp");
    m_editor->pressPictureKey(OnScreen::LeftShift, Qt::LeftButton);
    m_editor->pressPictureKey(OnScreen::CapsLock, Qt::LeftButton);
    const ShiftDisplay d = m_editor->DispShifts();
    EXPECT_EQ(d.pictures,
              (std::array<std::string, 8>{"sl1.bmp", "sr1.bmp", "ctrl0.bmp", "ctrl0.bmp",
                                          "alt0.bmp", "alt0.bmp", "caps1.bmp", "numl1.bmp"}));
    EXPECT_EQ(d.caption(317) + d.caption(323), "!&&"); // an ampersand, not an access key
    m_editor->pressPictureKey(OnScreen::RightShift, Qt::LeftButton);
    EXPECT_EQ(m_editor->SelectedModifier(), L::ModNone);

    start(Language::Spain);
    m_editor->toggleModifier(L::ModShift);
    EXPECT_EQ(m_editor->DispShifts().pictures[0], "spsl1.bmp");
    EXPECT_EQ(m_editor->DispShifts().caption(322) + m_editor->DispShifts().caption(374), "&&>");
}

TEST_F(KeyModeLogicTest, HexEntriesBecomeTwoDigits)
{
    const std::pair<const char*, const char*> rows[] = {{"a", "0A"},  {"1G", "00"}, {"ABC", "AB"},
                                                        {"ff", "FF"}, {"1/", "00"}, {"", ""}};
    for (const auto& [typed, shown] : rows) {
        m_editor->Table().Text1_Change(ScanTableEditor::ScanCodeBox, typed);
        m_editor->Table().Text1_Enter(ScanTableEditor::ScanCodeBox);
        EXPECT_EQ(m_editor->Table().Text1(ScanTableEditor::ScanCodeBox), shown) << typed;
    }
    m_editor->Table().Text1_Change(ScanTableEditor::MaskCodeBox, "3c");
    m_editor->Table().Text1_Enter(ScanTableEditor::MaskCodeBox);
    EXPECT_EQ(m_editor->Table().EditMask(), 0x3C);
    EXPECT_TRUE(m_editor->Table().MaskCheck(5));
    // Shift over Alt: the highest bit wins.
    EXPECT_EQ(m_editor->Table().SelectedMaskOption(), ScanTableEditor::MaskShift);
    m_editor->Table().toggleMaskOption(ScanTableEditor::MaskShift);
    EXPECT_EQ(m_editor->Table().Text1(ScanTableEditor::MaskCodeBox), "20");
}

TEST_F(KeyModeLogicTest, StoreAndClearChangeBothTablesAndTheStcFile)
{
    // A name that exists, trailing blanks aside, is replaced in place.
    m_editor->selectListRow(0);
    storeRecord(" F1 ", "3c", "5");
    for (const ScanTableArray* t : {&tables().ScanTable, &tables().StcTable})
        EXPECT_EQ((*t)[42].Seq1 * 256 + (*t)[42].Seq2, 0x3C05);
    EXPECT_EQ(m_editor->CurrentPage(), L::PageTable);
    EXPECT_EQ(stcFile(), stcTable());

    // A new name takes the first free record, 141, and survives the next key click.
    storeRecord("Mine", "70", "0");
    storeRecord("Two", "71", "0");
    m_main->openKeyEditor(5);
    EXPECT_EQ(m_editor->Table().Names().at(140), "Mine   ");

    for (int r : {135, 140, 141}) {
        m_editor->selectListRow(r - 1);
        m_editor->clearScanRecord();
    }
    ASSERT_EQ(m_dialogs.messages.size(), 2u);
    EXPECT_EQ(m_dialogs.messages[0].text, ScanTableEditor::kCannotClear);
    EXPECT_TRUE(m_dialogs.messages[1].warning);
    // No gap is left behind a cleared record, where programming's lookup stops.
    EXPECT_EQ(name(140) + name(141), "RCtrl  Two    ");
    EXPECT_EQ(tables().StcTable[142], ScanRecord{});
    EXPECT_EQ(SetKeySequence({tables().ScanTable, tables().ScanCount}, "Two"), (KeyCode{0x71, 0}));

    // Only record 160 free: it takes the new name; then the table is full.
    for (int r = 141; r < 160; ++r) {
        ScanRecord named;
        named.Name.assign("U" + std::to_string(r));
        m_tables->storeScanRecord(r, named);
    }
    storeRecord("Last", "1", "0");
    EXPECT_EQ(name(160), "Last   ");
    storeRecord("More", "1", "0");
    EXPECT_EQ(m_dialogs.messages.back().text, ScanTableEditor::kOutOfSpace);
    EXPECT_EQ(m_editor->Table().Names().size(), 160u);
    EXPECT_EQ(stcFile(), stcTable());
}

TEST_F(KeyModeLogicTest, WithTheUsersFilesElsewhereEditsAndSettingsGoThere)
{
    QTemporaryDir user;
    const QString userStc = QDir(user.path()).filePath("STCUSA.TBL");
    ASSERT_TRUE(QFile::copy(m_folder->file("STCUSA.TBL"), userStc));
    const FileFolders folders{m_folder->path(), user.path().toStdString()};
    m_tables = std::make_unique<LanguageTables>(folders);
    m_tables->load(Language::USA);
    m_editor = std::make_unique<KeyModeLogic>(*m_tables, m_dialogs);
    m_editor->openForKey(m_document->key(0), Language::USA);
    const QByteArray shipped = stcFile();

    storeRecord("Mine", "1", "0");
    EXPECT_EQ(ReadBytes(userStc), stcTable());
    EXPECT_EQ(stcFile(), shipped) << "the program's own copy is never written";
    LanguageTables again(folders); // read back from the user's folder
    again.load(Language::USA);
    EXPECT_EQ(again.tables().ScanTable[141].Name.str(), "Mine   ");
    LayoutDocument unchanged;
    EXPECT_TRUE(MainFormLogic(unchanged, again, folders, m_dialogs, m_help).unload());
    EXPECT_EQ(QFileInfo(QDir(user.path()).filePath("PALIX.INI")).size(), kSettingsFileSize);
}

TEST_F(KeyModeLogicTest, EditThenCancelRewritesTheStcFileAndFailuresAreReported)
{
    ASSERT_TRUE(WriteBytes(m_folder->file("STCUSA.TBL"), "spoilt"));
    m_editor->editScanRecord();
    m_editor->cancelScanEdit();
    EXPECT_EQ(stcFile(), stcTable());
    EXPECT_TRUE(m_dialogs.messages.empty());

    ASSERT_TRUE(QFile::remove(m_folder->file("STCUSA.TBL")));
    ASSERT_TRUE(QDir(m_folder->file("")).mkdir("STCUSA.TBL")); // cannot be replaced
    m_editor->editScanRecord();
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_TRUE(m_dialogs.messages[0].text.contains("STCUSA.TBL"));
    m_editor->cancelScanEdit(); // reported once, not at every button
    EXPECT_EQ(m_dialogs.messages.size(), 1u);
}

// Cancel: the window tests.
TEST_F(KeyModeLogicTest, OkCommitsTheWholeKey)
{
    const LayoutRecordArray before = m_document->records();
    m_main->openKeyEditor(3);
    type("z");
    m_editor->GotFocus(1);
    m_editor->makeFunctionShiftKey(
        L::FuncToggleButton); // a function key: every other level emptied
    m_editor->setRepeat(2, true);
    // A logout takes what Ok would, unless Ok must first write a changed scan table.
    const auto unconfirmed = m_editor->unconfirmedKey();
    m_tables->markStcChanged();
    EXPECT_FALSE(m_editor->unconfirmedKey());
    ok();
    EXPECT_FALSE(m_editor->IsOpen());
    KeyRecord expected = before[4];
    SetDef(expected, 0, "FnTgl");
    SetDef(expected, 3, "");
    expected.RepeatFlags = static_cast<std::uint8_t>(before[4].RepeatFlags | 4);
    EXPECT_EQ(m_document->records()[4], expected);
    EXPECT_EQ(unconfirmed, expected);

    // The next key keeps its own fourth definition and carried fields.
    m_main->openKeyEditor(6);
    ok();
    EXPECT_EQ(m_document->records()[7], before[7]);
}

// Del and a named key act on the focused MSR line only; Ok hands all four back.
TEST_F(KeyModeLogicTest, MsrModeEditsTheFourMsrKeys)
{
    MsrLines msrKeys;
    for (std::size_t k = 0; k < msrKeys.size(); ++k)
        msrKeys[k] = {5, {}}, msrKeys[k].Def.assign(Tokens({std::to_string(k), "x"}));
    m_editor->openForMsr(msrKeys, Language::USA);
    EXPECT_EQ(m_editor->Caption(), "MSR Parameters");
    m_editor->GotFocus(1);
    m_editor->deleteLastToken();
    m_editor->GotFocus(3);
    insertRecord(42);
    EXPECT_FALSE(m_editor->unconfirmedKey()); // not a key of the layout
    const auto unconfirmed = m_editor->unconfirmedMsrLines();
    m_tables->markStcChanged();
    EXPECT_FALSE(m_editor->unconfirmedMsrLines());
    m_editor->accept();
    MsrLines expected = msrKeys;
    expected[1] = {3, {}};
    expected[1].Def.assign(Tokens({"1"}));
    expected[3] = {8, {}};
    expected[3].Def.assign(Tokens({"3", "x", "F1"}));
    EXPECT_EQ(m_editor->takeAcceptedMsrLines(), expected);
    EXPECT_EQ(unconfirmed, expected);
}
