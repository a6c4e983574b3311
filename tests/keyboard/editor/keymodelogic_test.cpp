#include "definitiontext.h"
#include "editorfolder.h"
#include "fakes.h"
#include "keymodelogic.h"
#include "keysequence.h"
#include "keytoken.h"

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

    void start(std::uint8_t language)
    {
        m_folder = std::make_unique<EditorFolder>(language);
        m_state = m_folder->startedState();
        m_main = std::make_unique<MainFormLogic>(*m_state, m_dialogs, m_help);
        m_editor = std::make_unique<KeyModeLogic>(*m_state, m_dialogs);
        m_main->windows().showKeyEditor = [this] { m_editor->Open(); };
        m_main->Form_Load(1000, 700);
        m_main->KeyBtn_Click(0);
    }

    [[nodiscard]] std::string line(int k) const
    {
        return m_state->WorkKey.def(k).str().substr(0, m_state->WorkKey.len(k));
    }
    void setLine(int k, const std::string& def) { SetDef(m_state->WorkKey, k, def); }
    void type(const std::string& text)
    {
        for (char c : text)
            m_editor->KeyPress(static_cast<std::uint8_t>(c));
    }
    void insertRecord(int record)
    {
        m_editor->ListTable_Click(record - 1);
        m_editor->contr_Click(L::TableOk);
    }
    [[nodiscard]] QByteArray stcFile() const { return ReadBytes(m_folder->file("STCUSA.TBL")); }
    [[nodiscard]] QByteArray stcTable() const
    {
        QByteArray bytes;
        for (int r = 1; r <= kScanRecords; ++r) {
            const auto b = ScanRecordBytes(m_state->Tables.StcTable[static_cast<std::size_t>(r)]);
            bytes.append(reinterpret_cast<const char*>(b.data()), 9);
        }
        return bytes;
    }
    [[nodiscard]] std::string name(int record) const
    {
        return m_state->Tables.ScanTable[static_cast<std::size_t>(record)].Name.str();
    }
    void storeRecord(const QString& keyName, const QString& scan, const QString& mask)
    {
        m_editor->contr_Click(L::TableEdit);
        m_editor->Table().Text1_Change(0, keyName);
        m_editor->Table().Text1_Change(1, scan);
        m_editor->Table().Text1_Change(2, mask);
        m_editor->contr_Click(L::EditOk);
    }

    std::unique_ptr<EditorFolder> m_folder;
    std::unique_ptr<ConfiguratorState> m_state;
    ScriptedDialogs m_dialogs;
    RecordingHelp m_help;
    std::unique_ptr<MainFormLogic> m_main;
    std::unique_ptr<KeyModeLogic> m_editor;
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
    ASSERT_EQ(l58.size(), 58u);
    ASSERT_EQ(l60.size(), 60u);
    const Row rows[] = {
        {"", {'a', 'b'}, Tokens({"a", "b"})},
        {Tokens({"a", "b"}), {8}, Tokens({"a"})},
        {Tokens({"a"}), {8, 8}, ""},
        {"", {' '}, Tokens({"Spc"})},
        {"Func1", {8}, ""},
        {"Func1", {'x'}, Tokens({"x"})},
        {l58, {'x'}, l58 + "x" + Tokens({})},
        {l58, {' '}, l58},
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
    // A named token longer than one character no longer fits 58 characters.
    m_main->KeyBtn_Click(0); // no line is full yet
    setLine(0, l58);
    m_editor->AddChar("F1     ", 0x3B, 0);
    EXPECT_EQ(line(0), l58);
}

// Once a token found no room the line takes nothing more until something is
// removed: a shorter token after it would drop the longer one from the middle.
TEST_F(KeyModeLogicTest, AFullLineTakesNothingUntilATokenIsRemoved)
{
    type("LARGE CAPPUCCINO WITH OAT MILK");
    EXPECT_TRUE(m_editor->PrintInpLine(0).ends_with(".W.I.T.H.Spc.O.A.T."));
    EXPECT_EQ(m_editor->LengthNote(0), "Line full: 57 of 60");
    EXPECT_TRUE(m_editor->TakeBeep());
    insertRecord(24);
    EXPECT_EQ(line(0).size(), 57u);
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
        {1, 0, L::ModCtrl, false, "^a"},
        {1, 0, L::ModCtrl, true, "^Sha"},
        {1, 0, L::ModShift, false, "Sha"},
        {1, 0, L::ModShift, true, "a"},
        {1, 0, L::ModAlt, true, "ShAlta"},
        {1, 0, L::ModNone, true, "Sha"},
        {73, 0, L::ModNone, false, "!"},
        {73, 0, L::ModCtrl, false, "^!"},    // Ctrl is kept on a record that has Shift
        {141, 0, L::ModCtrl, false, "^Rep"}, // mask 1 + Ctrl = 5
        {0, 317, L::ModShift, false, "!"},   // the digit row is already shifted
        {0, 317, L::ModShift, true, "!"},
        {0, 348, L::ModShift, false, "Sh{"},
        {0, 355, L::ModNone, false, "\x18"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.token);
        setLine(0, "");
        m_editor->OpShft_Click(row.modifier);
        if (m_editor->CapsLock() != row.capsLock)
            m_editor->BtnPict_MouseDown(OnScreen::CapsLock, Qt::LeftButton);
        if (row.record)
            insertRecord(row.record);
        else
            m_editor->Btn_Click(row.button);
        EXPECT_EQ(DefToken(1, line(0), TokenMark), row.token);
        if (row.modifier != L::ModNone)
            m_editor->OpShft_Click(row.modifier);
    }
}

// Every key whose shifted character has a record inserts that record, the one
// its shifted caption names, in both languages whose tables patch captions.
TEST_F(KeyModeLogicTest, ShiftedKeysInsertTheirOwnRecords)
{
    for (std::uint8_t language : {Language::USA, Language::Spain}) {
        start(language);
        m_editor->OpShft_Click(L::ModShift);
        for (int n : {316, 317, 318, 319, 320, 321, 322, 323, 324, 325, 326,
                      327, 328, 348, 349, 350, 368, 369, 382, 383, 384}) {
            setLine(0, "");
            m_editor->Btn_Click(n);
            const char shifted = static_cast<char>(m_state->Tables.ShiftCapTable[n - 300]);
            EXPECT_EQ(ParseKeyToken(DefToken(1, line(0), TokenMark)).name, std::string(1, shifted))
                << "language " << int(language) << " key " << n;
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
        const ScanNames names{m_state->Tables.ScanTable, m_state->Tables.ScanCount};
        for (int r = 1; r <= 143; ++r) {
            const ScanRecord& rec = m_state->Tables.ScanTable[static_cast<std::size_t>(r)];
            if (r <= 140 && (name(r).starts_with("Func") || name(r).starts_with("FnT")))
                continue; // these make the key a function-shift key
            for (int option : {L::ModNone, L::ModCtrl, L::ModAlt, L::ModShift}) {
                m_editor->OpShft_Click(option == L::ModNone ? m_editor->SelectedModifier()
                                                            : option);
                for (int caps = 0; caps < 2; ++caps) {
                    setLine(0, "");
                    m_editor->BtnPict_MouseDown(OnScreen::CapsLock, Qt::LeftButton);
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
    m_main->KeyBtn_Click(0);
    EXPECT_EQ(m_editor->Table().Names().at(140), "\xF9x     ");
    insertRecord(141);
    insertRecord(142);
    EXPECT_EQ(line(0), "");
    EXPECT_EQ(m_dialogs.messages.size(), 2u);
    storeRecord("Mine", "1", "0");
    EXPECT_EQ(stcFile().left(142 * 9), stc.left(142 * 9));
}

TEST_F(KeyModeLogicTest, ModifiersAndLocksChangePicturesAndCaptions)
{
    m_editor->BtnPict_MouseDown(OnScreen::NumLock, Qt::LeftButton);
    EXPECT_EQ(m_editor->DispShifts().caption(355), "8");
    m_editor->Btn_Click(355);
    EXPECT_EQ(line(0), Tokens({"Pad 8"}));

    m_editor->BtnPict_MouseDown(OnScreen::LeftShift, Qt::RightButton); // ignored
    EXPECT_EQ(m_editor->DispShifts().pictures[0], "sl0.bmp");
    m_editor->BtnPict_MouseDown(OnScreen::LeftShift, Qt::LeftButton);
    ShiftDisplay d = m_editor->DispShifts();
    EXPECT_EQ(d.pictures,
              (std::array<std::string, 8>{"sl1.bmp", "sr1.bmp", "ctrl0.bmp", "ctrl0.bmp",
                                          "alt0.bmp", "alt0.bmp", "caps0.bmp", "numl1.bmp"}));
    EXPECT_EQ(d.caption(317), "!");
    EXPECT_EQ(d.caption(323), "&&"); // an ampersand, not an access key
    EXPECT_EQ(d.caption(338), "Q");
    EXPECT_FALSE(d.lessKeyShown);
    m_editor->BtnPict_MouseDown(OnScreen::CapsLock, Qt::LeftButton);
    d = m_editor->DispShifts();
    EXPECT_EQ(d.caption(338), "q");
    EXPECT_EQ(d.caption(317), "!");
    m_editor->BtnPict_MouseDown(OnScreen::RightShift, Qt::LeftButton);
    EXPECT_EQ(m_editor->SelectedModifier(), L::ModNone);
    EXPECT_EQ(m_editor->DispShifts().caption(338), "Q");

    start(Language::Spain);
    m_editor->OpShft_Click(L::ModShift);
    d = m_editor->DispShifts();
    EXPECT_TRUE(d.lessKeyShown);
    EXPECT_EQ(d.pictures[0], "spsl1.bmp");
    EXPECT_EQ(d.caption(322), "&&");
    EXPECT_EQ(d.caption(374), ">");
}

TEST_F(KeyModeLogicTest, HexEntriesBecomeTwoDigits)
{
    const std::pair<const char*, const char*> rows[] = {{"a", "0A"},  {"1G", "00"}, {"ABC", "AB"},
                                                        {"ff", "FF"}, {"1/", "00"}, {"", ""}};
    for (const auto& [typed, shown] : rows) {
        m_editor->Table().Text1_Change(1, typed);
        m_editor->Table().Text1_Enter(1);
        EXPECT_EQ(m_editor->Table().Text1(1), shown) << typed;
    }
    m_editor->Table().Text1_Change(2, "3c");
    m_editor->Table().Text1_Enter(2);
    EXPECT_EQ(m_editor->Table().EditMask(), 0x3C);
    EXPECT_TRUE(m_editor->Table().MaskCheck(5));
    EXPECT_EQ(m_editor->Table().MaskOption(), 2); // Shift over Alt: the highest bit wins
    m_editor->Table().Option1_Click(2);
    EXPECT_EQ(m_editor->Table().Text1(2), "20");
}

TEST_F(KeyModeLogicTest, StoreAndClearChangeBothTablesAndTheStcFile)
{
    // A name that exists, trailing blanks aside, is replaced in place.
    m_editor->ListTable_Click(0);
    storeRecord(" F1 ", "3c", "5");
    for (const ScanTableArray* t : {&m_state->Tables.ScanTable, &m_state->Tables.StcTable})
        EXPECT_EQ((*t)[42].Seq1 * 256 + (*t)[42].Seq2, 0x3C05);
    EXPECT_EQ(m_editor->CurrentPage(), L::PageTable);
    EXPECT_EQ(stcFile(), stcTable());

    // A new name takes the first free record, 141, and survives the next key click.
    storeRecord("Mine", "70", "0");
    EXPECT_EQ(name(141), "Mine   ");
    m_main->KeyBtn_Click(5);
    EXPECT_EQ(m_editor->Table().Names().at(140), "Mine   ");

    for (int r : {135, 140, 141}) {
        m_editor->ListTable_Click(r - 1);
        m_editor->contr_Click(L::TableClear);
    }
    ASSERT_EQ(m_dialogs.messages.size(), 2u);
    EXPECT_EQ(m_dialogs.messages[0].text, ScanTableEditor::kCannotClear);
    EXPECT_TRUE(m_dialogs.messages[1].warning);
    EXPECT_EQ(name(140), "RCtrl  ");
    EXPECT_EQ(name(141), "       ");
    EXPECT_EQ(m_state->Tables.StcTable[141], ScanRecord{});

    // Only record 160 free: it takes the new name; then the table is full.
    for (int r = 141; r < 160; ++r)
        m_state->Tables.ScanTable[static_cast<std::size_t>(r)].Name.assign("U" + std::to_string(r));
    storeRecord("Last", "1", "0");
    EXPECT_EQ(name(160), "Last   ");
    storeRecord("More", "1", "0");
    EXPECT_EQ(m_dialogs.messages.back().text, ScanTableEditor::kOutOfSpace);
    EXPECT_TRUE(m_dialogs.messages.back().warning);
    EXPECT_EQ(m_editor->Table().Names().size(), 160u);
    EXPECT_EQ(stcFile(), stcTable());
}

TEST_F(KeyModeLogicTest, WithTheUsersFilesElsewhereEditsAndSettingsGoThere)
{
    QTemporaryDir user;
    const QString userStc = QDir(user.path()).filePath("STCUSA.TBL");
    ASSERT_TRUE(QFile::copy(m_folder->file("STCUSA.TBL"), userStc));
    m_state->UserPath = user.path().toStdString();
    const QByteArray shipped = stcFile();

    storeRecord("Mine", "1", "0");
    EXPECT_EQ(name(141), "Mine   ");
    EXPECT_EQ(ReadBytes(userStc), stcTable());
    EXPECT_EQ(stcFile(), shipped) << "the program's own copy is never written";
    m_state->Tables.ScanTable[141].blank();
    LoadLanguageTables(*m_state); // read back from the user's folder
    EXPECT_EQ(name(141), "Mine   ");
    EXPECT_TRUE(SaveIni(SettingsFilePath(m_state->UserFolder()), m_main->settings()).ok);
    EXPECT_EQ(QFileInfo(QDir(user.path()).filePath("PALIX.INI")).size(), kSettingsFileSize);
}

TEST_F(KeyModeLogicTest, EditThenCancelRewritesTheStcFileAndFailuresAreReported)
{
    ASSERT_TRUE(WriteBytes(m_folder->file("STCUSA.TBL"), "spoilt"));
    m_editor->contr_Click(L::TableEdit);
    m_editor->contr_Click(L::EditCancel);
    EXPECT_EQ(stcFile(), stcTable());
    EXPECT_TRUE(m_dialogs.messages.empty());

    ASSERT_TRUE(QFile::remove(m_folder->file("STCUSA.TBL")));
    ASSERT_TRUE(QDir(m_folder->file("")).mkdir("STCUSA.TBL")); // cannot be replaced
    m_editor->contr_Click(L::TableEdit);
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_TRUE(m_dialogs.messages[0].warning);
    EXPECT_TRUE(m_dialogs.messages[0].text.contains("STCUSA.TBL"));
    m_editor->contr_Click(L::EditCancel); // reported once, not at every button
    EXPECT_EQ(m_dialogs.messages.size(), 1u);
}

TEST_F(KeyModeLogicTest, OkCommitsTheWholeKeyAndCancelNothing)
{
    const LayoutRecordArray before = m_state->LayoutRecords;
    m_main->KeyBtn_Click(3);
    type("z");
    m_editor->GotFocus(1);
    m_editor->Function_Click(L::FuncToggleButton); // a function key: every other level emptied
    m_editor->Check1_Click(2, true);
    m_editor->contr_Click(L::KeyOk);
    EXPECT_FALSE(m_editor->IsOpen());
    KeyRecord expected = before[4];
    SetDef(expected, 0, "FnTgl");
    SetDef(expected, 3, "");
    expected.RepeatFlags = static_cast<std::uint8_t>(before[4].RepeatFlags | 4);
    EXPECT_EQ(m_state->LayoutRecords[4], expected);

    // The next key keeps its own fourth definition and carried fields.
    m_main->KeyBtn_Click(6);
    m_editor->contr_Click(L::KeyOk);
    EXPECT_EQ(m_state->LayoutRecords[7], before[7]);

    m_main->KeyBtn_Click(8);
    type("abc");
    m_editor->Check1_Click(0, true);
    m_editor->contr_Click(L::KeyCancel);
    EXPECT_EQ(m_state->LayoutRecords[9], before[9]);
    EXPECT_TRUE(m_state->LayoutChanged);
}

TEST_F(KeyModeLogicTest, MsrModeEditsTheFourMsrKeys)
{
    for (int k = 0; k < 4; ++k)
        SetDef(m_state->MsrKeys[static_cast<std::size_t>(k)], 0, Tokens({std::to_string(k), "x"}));
    const auto msrKeys = m_state->MsrKeys;
    m_state->MsrEditMode = true;
    m_editor->Open();
    EXPECT_EQ(m_editor->Caption(), "MSR Parameters");
    EXPECT_EQ(line(3), Tokens({"3", "x"}));
    setLine(0, "");
    type("A B");
    m_editor->GotFocus(1);
    m_editor->contr_Click(L::MsrDel);
    m_editor->GotFocus(3);
    insertRecord(42);
    m_editor->contr_Click(L::MsrOk);
    EXPECT_EQ(m_state->MsrKeys[0].Def0.str().substr(0, 7), Tokens({"A", " ", "B"}));
    EXPECT_EQ(m_state->MsrKeys[1].Def0.str().substr(0, m_state->MsrKeys[1].Len0), Tokens({"1"}));
    EXPECT_EQ(m_state->MsrKeys[2].Len0, msrKeys[2].Len0);
    EXPECT_EQ(m_state->MsrKeys[3].Def0.str().substr(0, 8), Tokens({"3", "x", "F1"}));
    EXPECT_EQ(m_state->MsrEditStatus(), L::kMsrAccepted);

    const auto accepted = m_state->MsrKeys;
    for (bool closeBox : {false, true}) {
        m_editor->Open();
        type("q");
        if (closeBox)
            m_editor->Form_Unload();
        else
            m_editor->contr_Click(L::MsrCancel);
        EXPECT_EQ(m_state->MsrEditStatus(), L::kMsrCancelled);
        m_state->MsrEditStatus() = L::kMsrAccepted;
        EXPECT_EQ(m_state->MsrKeys, accepted);
    }
}
