#include "configuratorstate.h"
#include "fakes.h"
#include "mainformlogic.h"
#include "settingsfile.h"
#include "testlayouts.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <tuple>

using namespace morvaw;
using namespace morvaw::test;

namespace {

// Scan records named after their number, so a patched record shows.
QByteArray scanRecords(const char* prefix, int count)
{
    QByteArray out;
    for (int i = 1; i <= count; ++i) {
        out += QString("%1%2").arg(prefix).arg(i, 3, 10, QChar('0')).leftJustified(7).toLatin1();
        out += static_cast<char>(i);
        out += '\0';
    }
    return out;
}

class MainFormLogicTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_app.isValid() && m_work.isValid());
        ASSERT_TRUE(WriteBytes(appFile("SCNTBL.BIN"), scanRecords("S", 138)));
        ASSERT_TRUE(WriteBytes(appFile("UKST.BIN"), scanRecords("UK", 8)));
        ASSERT_TRUE(WriteBytes(appFile("SPST.BIN"), scanRecords("SP", 32)));
        m_oldCurrent = QDir::currentPath();
        QDir::setCurrent(m_work.path()); // where UNTITLED.KBD is saved
    }
    void TearDown() override { QDir::setCurrent(m_oldCurrent); }

    // Start-up: tables, then the main window's load.
    void start()
    {
        InitialiseConfigurator(*m_state, m_app.path().toStdString());
        m_logic = std::make_unique<MainFormLogic>(*m_state, m_dialogs, m_help);
        m_logic->Form_Load(1000, 700);
    }
    void startWithSettings(const std::string& layout, RecentCaptions recent = {})
    {
        auto other = std::make_unique<ConfiguratorState>();
        other->AppPath = m_app.path().toStdString();
        other->LayoutFileName = layout;
        other->RecentFiles = recent;
        ASSERT_TRUE(SaveIni(*other).ok);
        start();
    }

    [[nodiscard]] QString appFile(const QString& name) const
    {
        return QDir(m_app.path()).filePath(name);
    }
    [[nodiscard]] QString work(const QString& name) const
    {
        return QDir(m_work.path()).filePath(name);
    }
    [[nodiscard]] std::string workName(const QString& name) const
    {
        return work(name).toStdString();
    }
    void writeLayout(const QString& name, std::uint8_t language = 0, const std::string& key = "a")
    {
        ASSERT_TRUE(WriteBytes(work(name), LayoutWith(language, key)));
    }
    // An edit the user has not saved.
    void edit(const std::string& key = "z")
    {
        SetDef0(m_state->LayoutRecords[1], Tokens({key}));
        m_state->LayoutChanged = true;
    }
    [[nodiscard]] std::string firstKey() const
    {
        return m_state->LayoutRecords[1].Def0.str().substr(0, 3);
    }
    void answer(std::initializer_list<Answer> answers)
    {
        m_dialogs.answers.insert(m_dialogs.answers.end(), answers);
    }
    void choose(std::initializer_list<std::optional<QString>> names)
    {
        m_dialogs.fileNames.insert(m_dialogs.fileNames.end(), names);
    }

    QTemporaryDir m_app;
    QTemporaryDir m_work;
    QString m_oldCurrent;
    std::unique_ptr<ConfiguratorState> m_state = std::make_unique<ConfiguratorState>();
    ScriptedDialogs m_dialogs;
    RecordingHelp m_help;
    std::unique_ptr<MainFormLogic> m_logic;
};

const std::string kZ = Tokens({"z"}).substr(0, 3);
const std::string kA = Tokens({"a"}).substr(0, 3);

} // namespace

// --- Start-up and exit ---

TEST_F(MainFormLogicTest, FirstStartIsUntitledAndExitWritesTheSettings)
{
    start();
    EXPECT_EQ(m_logic->Caption(), "KBD Layout: UNTITLED.KBD (USA)");
    EXPECT_EQ(m_logic->RecentVisible(), (RecentVisibility{false, false, false}));
    EXPECT_TRUE(m_dialogs.messages.empty()); // the missing UNTITLED.KBD is normal

    EXPECT_TRUE(m_logic->Form_Unload());
    EXPECT_TRUE(m_dialogs.questions.empty());
    EXPECT_EQ(ReadBytes(appFile("PALIX.INI")).size(), 10000);
    ASSERT_EQ(m_help.requests.size(), 1u);
    EXPECT_EQ(m_help.requests[0].command, HelpCommand::Quit);
    EXPECT_EQ(m_help.requests[0].file, appFile("MORVA.HLP"));
}

TEST_F(MainFormLogicTest, LanguageByteDrivesSuffixStcFileAndPatches)
{
    writeLayout("es.KBD", 2, "q");
    writeLayout("uk.KBD", 1);
    writeLayout("odd.KBD", 9);
    startWithSettings(workName("es.KBD"));
    EXPECT_EQ(m_logic->Caption(), "KBD Layout: " + workName("es.KBD") + " (SPAIN)");
    EXPECT_EQ(m_state->Tables.StcFileName, "STCSP.TBL");
    EXPECT_EQ(m_state->Tables.ScanTable[74].Name.str(), "SP001  ");
    EXPECT_EQ(m_logic->KeyCaption(0), "q");

    choose({work("uk.KBD"), work("odd.KBD")});
    m_logic->File_Click(MainFormLogic::FileLoad);
    EXPECT_EQ(m_state->CurrentLanguage, 1);
    EXPECT_EQ(m_state->Tables.ScanTable[68].Name.str(), "UK001  ");
    EXPECT_EQ(m_state->Tables.ScanTable[74].Name.str(), "UK006  ");

    m_logic->File_Click(MainFormLogic::FileLoad);
    EXPECT_EQ(m_logic->Caption(), "KBD Layout: " + workName("odd.KBD") + " (Unknown)");
    EXPECT_EQ(m_state->Tables.StcFileName, "STCUK.TBL"); // kept from before
    EXPECT_EQ(m_state->Tables.ScanTable[68].Name.str(), "S068   ");
}

TEST_F(MainFormLogicTest, MissingLastLayoutLoadsSilentlyUnderItsName)
{
    startWithSettings(workName("gone.KBD"), {"/x/a.KBD", "", ""});
    EXPECT_EQ(m_logic->Caption(), "KBD Layout: " + workName("gone.KBD") + " (USA)");
    EXPECT_TRUE(m_dialogs.messages.empty());
    EXPECT_EQ(m_logic->RecentVisible(), (RecentVisibility{true, false, false}));
}

TEST_F(MainFormLogicTest, ExitAsksOnlyAboutChangesAndCancelKeepsThem)
{
    start();
    edit();
    answer({Answer::Cancel});
    EXPECT_FALSE(m_logic->Form_Unload());
    EXPECT_TRUE(m_state->LayoutChanged);
    EXPECT_EQ(firstKey(), kZ);
    EXPECT_EQ(m_dialogs.questions.at(0).text, "Layout changed. Save current changes ?");
    EXPECT_EQ(m_dialogs.questions.at(0).title, "MORVAW");
    EXPECT_TRUE(m_help.requests.empty());

    answer({Answer::No});
    EXPECT_TRUE(m_logic->Form_Unload());
    EXPECT_FALSE(m_state->LayoutChanged);
    EXPECT_FALSE(QFileInfo::exists(work("UNTITLED.KBD")));
}

TEST_F(MainFormLogicTest, ExitWithYesSavesUnderTheChosenName)
{
    writeLayout("old.KBD");
    start();
    edit();
    // Existing file: No shows the dialog again; the second dialog is cancelled.
    answer({Answer::Yes, Answer::No});
    choose({work("old.KBD"), std::nullopt});
    EXPECT_FALSE(m_logic->Form_Unload());
    EXPECT_EQ(m_dialogs.saveDialogs, 2);
    EXPECT_EQ(m_dialogs.questions.at(1).text, "File already exist. Overwrite?");

    answer({Answer::Yes});
    choose({work("new.KBD")});
    EXPECT_TRUE(m_logic->Form_Unload());
    EXPECT_EQ(ReadBytes(work("new.KBD")).size(), 27400);
    EXPECT_FALSE(m_state->LayoutChanged);
    EXPECT_TRUE(m_dialogs.scriptUsedUp());
}

// --- New ---

TEST_F(MainFormLogicTest, NewWithoutChangesAsksNothing)
{
    writeLayout("a.KBD", 1);
    startWithSettings(workName("a.KBD"));
    m_logic->File_Click(MainFormLogic::FileNew);
    EXPECT_TRUE(m_dialogs.questions.empty());
    EXPECT_EQ(m_logic->Caption(), "KBD Layout: UNTITLED.KBD (USA)");
    EXPECT_TRUE(m_state->LayoutChanged);
    EXPECT_EQ(m_state->LayoutRecords[Settings::KbdFlags].PosX, 10);
    EXPECT_EQ(m_logic->KeyCaption(0), "");
}

TEST_F(MainFormLogicTest, NewPromptPaths)
{
    writeLayout("a.KBD");
    startWithSettings(workName("a.KBD"));

    edit();
    answer({Answer::Cancel});
    m_logic->File_Click(MainFormLogic::FileNew);
    EXPECT_EQ(firstKey(), kZ);
    EXPECT_EQ(m_dialogs.questions.at(0).text, "Layout has changed. Save current changes ?");

    answer({Answer::Yes});
    choose({std::nullopt});
    m_logic->File_Click(MainFormLogic::FileNew);
    EXPECT_EQ(firstKey(), kZ);

    // Yes saves first; the left layout goes into the recent list.
    answer({Answer::Yes});
    choose({work("saved.KBD")});
    m_logic->File_Click(MainFormLogic::FileNew);
    EXPECT_EQ(ReadBytes(work("saved.KBD")).mid(11, 3).toStdString(), kZ);
    EXPECT_EQ(m_state->RecentFiles[0], workName("a.KBD"));
    EXPECT_EQ(m_state->LayoutFileName, "UNTITLED.KBD");
    EXPECT_TRUE(m_state->LayoutChanged);

    edit("y");
    answer({Answer::No});
    m_logic->File_Click(MainFormLogic::FileNew);
    EXPECT_EQ(m_logic->KeyCaption(0), "");
    EXPECT_TRUE(m_dialogs.scriptUsedUp());
}

// --- Load and recent files ---

TEST_F(MainFormLogicTest, LoadPutsTheLeftLayoutOnTopOfTheRecentList)
{
    writeLayout("D.KBD");
    writeLayout("E.KBD", 0, "e");
    startWithSettings(workName("D.KBD"), {"A", "B", "C"});
    choose({work("E.KBD")});
    m_logic->File_Click(MainFormLogic::FileLoad);

    EXPECT_EQ(m_state->RecentFiles, (RecentCaptions{workName("D.KBD"), "A", "B"}));
    EXPECT_EQ(m_state->LayoutFileName, workName("E.KBD"));
    EXPECT_EQ(m_logic->KeyCaption(0), "e");
    EXPECT_FALSE(m_state->LayoutChanged);
    const FileDialogSettings& d = m_dialogs.dialogs.at(0);
    EXPECT_EQ(d.filter, "KBD layout files (*.KBD)|*.kbd|All files (*.*)|*.*");
    EXPECT_EQ(d.defaultExtension, "KBD");
    EXPECT_EQ(d.initialName, "*.KBD");
}

TEST_F(MainFormLogicTest, LoadPromptAndDialogCancel)
{
    writeLayout("a.KBD");
    writeLayout("b.KBD", 0, "b");
    startWithSettings(workName("a.KBD"));
    edit();
    answer({Answer::Cancel});
    m_logic->File_Click(MainFormLogic::FileLoad);
    EXPECT_EQ(m_dialogs.openDialogs, 0);

    answer({Answer::No});
    choose({std::nullopt});
    m_logic->File_Click(MainFormLogic::FileLoad);
    EXPECT_EQ(firstKey(), kZ);
    EXPECT_TRUE(m_state->LayoutChanged);

    answer({Answer::No});
    choose({work("b.KBD")});
    m_logic->File_Click(MainFormLogic::FileLoad);
    EXPECT_EQ(m_logic->KeyCaption(0), "b");
    EXPECT_FALSE(m_state->LayoutChanged);
}

TEST_F(MainFormLogicTest, RecentFileOpensAndTheOpenFileStaysListed)
{
    writeLayout("a.KBD");
    writeLayout("b.KBD", 1, "b");
    startWithSettings(workName("a.KBD"), {workName("b.KBD"), "", ""});
    m_logic->File_Click(MainFormLogic::FileRecent1);
    EXPECT_EQ(m_logic->Caption(), "KBD Layout: " + workName("b.KBD") + " (UK)");
    EXPECT_EQ(m_state->RecentFiles, (RecentCaptions{workName("a.KBD"), workName("b.KBD"), ""}));

    // Back to a, then a again from the list: it reloads and stays listed.
    m_logic->File_Click(MainFormLogic::FileRecent1);
    EXPECT_EQ(m_state->RecentFiles, (RecentCaptions{workName("b.KBD"), workName("a.KBD"), ""}));
    edit();
    answer({Answer::No});
    m_logic->File_Click(MainFormLogic::FileRecent2);
    EXPECT_EQ(firstKey(), kA);
    EXPECT_EQ(m_state->RecentFiles, (RecentCaptions{workName("a.KBD"), workName("b.KBD"), ""}));
    EXPECT_EQ(m_logic->RecentVisible(), (RecentVisibility{true, true, false}));
    EXPECT_EQ(m_dialogs.openDialogs, 0);
}

TEST_F(MainFormLogicTest, UnreadableLayoutIsRefusedAndTheCurrentOneStays)
{
    writeLayout("a.KBD", 1);
    ASSERT_TRUE(WriteBytes(work("short.KBD"), LayoutWith(2).left(27000)));
    ASSERT_TRUE(WriteBytes(work("long.KBD"), LayoutWith(2) + "tail"));
    startWithSettings(workName("a.KBD"), {workName("gone.KBD"), "", ""});
    edit();
    const auto records = m_state->LayoutRecords;
    const std::string caption = m_logic->Caption();

    for (const char* name : {"gone.KBD", "short.KBD", "long.KBD"}) {
        SCOPED_TRACE(name);
        answer({Answer::No});
        if (std::string(name) == "gone.KBD") {
            m_logic->File_Click(MainFormLogic::FileRecent1);
        } else {
            choose({work(name)});
            m_logic->File_Click(MainFormLogic::FileLoad);
        }
        ASSERT_FALSE(m_dialogs.messages.empty());
        EXPECT_TRUE(m_dialogs.messages.back().text.contains(work(name)));
        EXPECT_EQ(m_dialogs.messages.back().title, "MORVAW");
        EXPECT_EQ(m_state->LayoutRecords, records);
        EXPECT_EQ(m_state->LayoutFileName, workName("a.KBD"));
        EXPECT_EQ(m_state->CurrentLanguage, 1);
        EXPECT_TRUE(m_state->LayoutChanged);
        EXPECT_EQ(m_logic->Caption(), caption);
    }
    EXPECT_EQ(m_dialogs.messages.size(), 3u);
}

// --- Save and Save As ---

TEST_F(MainFormLogicTest, SaveOfANewLayoutWritesUntitledWithoutADialog)
{
    start();
    m_logic->File_Click(MainFormLogic::FileNew);
    m_state->CurrentLanguage = 1; // only the working copy changed
    m_logic->File_Click(MainFormLogic::FileSave);
    const QByteArray bytes = ReadBytes(work("UNTITLED.KBD"));
    EXPECT_EQ(bytes.size(), 27400);
    EXPECT_EQ(bytes[26031], 1);
    EXPECT_FALSE(m_state->LayoutChanged);
    EXPECT_EQ(m_dialogs.saveDialogs, 0);
    EXPECT_EQ(m_logic->Caption(), "KBD Layout: UNTITLED.KBD (UK)");
}

TEST_F(MainFormLogicTest, SaveAsAsksBeforeReplacingAFile)
{
    writeLayout("a.KBD");
    writeLayout("other.KBD", 0, "o");
    startWithSettings(workName("a.KBD"));
    edit();

    answer({Answer::Cancel});
    choose({work("other.KBD")});
    m_logic->File_Click(MainFormLogic::FileSaveAs);
    EXPECT_EQ(ReadBytes(work("other.KBD")), LayoutWith(0, "o"));
    EXPECT_TRUE(m_state->LayoutChanged);

    answer({Answer::No});
    choose({work("other.KBD"), work("fresh.KBD")});
    m_logic->File_Click(MainFormLogic::FileSaveAs);
    EXPECT_EQ(ReadBytes(work("other.KBD")), LayoutWith(0, "o"));
    EXPECT_EQ(ReadBytes(work("fresh.KBD")).mid(11, 3).toStdString(), kZ);
    EXPECT_EQ(m_state->LayoutFileName, workName("fresh.KBD"));
    EXPECT_FALSE(m_state->LayoutChanged);

    answer({Answer::Yes});
    choose({work("other.KBD")});
    m_logic->File_Click(MainFormLogic::FileSaveAs);
    EXPECT_EQ(ReadBytes(work("other.KBD")).mid(11, 3).toStdString(), kZ);
    EXPECT_EQ(m_logic->Caption(), "KBD Layout: " + workName("other.KBD") + " (USA)");
    EXPECT_TRUE(m_dialogs.scriptUsedUp());
}

TEST_F(MainFormLogicTest, FailedSaveSaysWhyAndKeepsTheChanges)
{
    writeLayout("a.KBD");
    startWithSettings(workName("a.KBD"));
    const QString bad = work("no-folder/b.KBD");
    QFile::remove(appFile("PALIX.INI"));
    edit();
    const std::string caption = m_logic->Caption();

    choose({bad});
    m_logic->File_Click(MainFormLogic::FileSaveAs);
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_TRUE(m_dialogs.messages[0].text.contains(bad));
    EXPECT_EQ(m_dialogs.messages[0].title, "MORVAW");
    EXPECT_TRUE(m_state->LayoutChanged);
    EXPECT_EQ(m_state->LayoutFileName, workName("a.KBD"));
    EXPECT_EQ(m_logic->Caption(), caption);
    EXPECT_EQ(ReadBytes(appFile("PALIX.INI")).size(), 10000); // still written

    // Save to the current name after its folder went away.
    m_state->LayoutFileName = bad.toStdString();
    m_logic->File_Click(MainFormLogic::FileSave);
    EXPECT_EQ(m_dialogs.messages.size(), 2u);
    EXPECT_TRUE(m_state->LayoutChanged);

    // A failed save in a prompt stops the command that would drop the changes.
    answer({Answer::Yes});
    choose({bad});
    m_logic->File_Click(MainFormLogic::FileNew);
    EXPECT_EQ(firstKey(), kZ);

    answer({Answer::Yes});
    choose({bad});
    EXPECT_FALSE(m_logic->Form_Unload());
    EXPECT_TRUE(m_state->LayoutChanged);
    EXPECT_EQ(m_dialogs.messages.size(), 4u);
}

// --- Keys and the other commands ---

TEST_F(MainFormLogicTest, LeftClickCopiesTheKeyForTheEditor)
{
    writeLayout("uk.KBD", 1);
    startWithSettings(workName("uk.KBD"));
    int editorShown = 0;
    m_logic->windows().showKeyEditor = [&] { ++editorShown; };
    m_state->WorkKey.Def3.assign("left over");
    m_state->WorkKey.Len3 = 9;
    m_state->WorkKey.Spare = 77;
    m_state->Tables.ScanTable[68].Name.assign("edited");

    m_logic->KeyBtn_Click(4);
    const KeyRecord& r = m_state->LayoutRecords[5];
    const KeyRecord& w = m_state->WorkKey;
    EXPECT_TRUE(m_state->LayoutChanged);
    EXPECT_EQ(m_state->SelectedKey, 4);
    EXPECT_FALSE(m_state->MsrEditMode);
    EXPECT_EQ(m_state->MsrEditStatus(), 0);
    EXPECT_EQ(editorShown, 1);
    EXPECT_EQ(m_state->Tables.ScanTable[68].Name.str(), "UK001  "); // tables reloaded
    EXPECT_EQ(std::tie(w.PosY, w.PosX, w.KeyWord, w.Matrix, w.RepeatFlags),
              std::tie(r.PosY, r.PosX, r.KeyWord, r.Matrix, r.RepeatFlags));
    EXPECT_EQ(w.Label, r.Label);
    EXPECT_EQ(w.Tail, r.Tail);
    for (int level = 0; level < 3; ++level) {
        EXPECT_EQ(w.def(level), r.def(level));
        EXPECT_EQ(w.len(level), r.len(level));
    }
    EXPECT_EQ(w.Def3.str().substr(0, 9), "left over");
    EXPECT_EQ(w.Len3, 9);
    EXPECT_EQ(w.Spare, 77);
}

TEST_F(MainFormLogicTest, RightButtonShowsTheHintWithoutAChange)
{
    writeLayout("a.KBD");
    startWithSettings(workName("a.KBD"));
    int hintShown = 0;
    m_logic->windows().showMacroHint = [&] { ++hintShown; };
    m_logic->KeyBtn_MouseDown(0, Qt::LeftButton);
    EXPECT_EQ(hintShown, 0);
    m_logic->KeyBtn_MouseDown(0, Qt::RightButton);
    EXPECT_EQ(hintShown, 1);
    EXPECT_FALSE(m_state->LayoutChanged);
    EXPECT_EQ(m_state->WorkKey.Def0, m_state->LayoutRecords[1].Def0);
}

TEST_F(MainFormLogicTest, WindowCommandsWaitForTheirWindows)
{
    start();
    m_logic->Configure1_Click();
    m_logic->Configure_Click();
    m_logic->Edit_Click(1);
    m_logic->Edit_Click(2);
    m_logic->Edit_Click(4);
    EXPECT_FALSE(m_state->LayoutChanged);
    EXPECT_FALSE(m_logic->AppHelpFile().isEmpty());

    std::vector<std::string> shown;
    auto& w = m_logic->windows();
    w.showKeybConf = [&] { shown.push_back("KeybConf"); };
    w.showMsrParameters = [&] { shown.push_back("SetParam"); };
    w.showTest = [&] { shown.push_back("TestForm"); };
    w.showProgramming = [&] { shown.push_back("SEND2COM"); };
    m_logic->Configure1_Click();
    EXPECT_TRUE(m_state->LayoutChanged);
    m_state->MsrEditMode = false;
    m_logic->Edit_Click(1);
    EXPECT_TRUE(m_state->MsrEditMode);
    m_logic->Edit_Click(4);
    m_logic->Edit_Click(2);
    EXPECT_EQ(shown, (std::vector<std::string>{"KeybConf", "SetParam", "SEND2COM", "TestForm"}));

    // After the test window F1 no longer opens help; the Help menu still does.
    m_logic->ContextHelp(1020);
    m_logic->Contents_Click();
    ASSERT_EQ(m_help.requests.size(), 1u);
    EXPECT_EQ(m_help.requests[0].command, HelpCommand::Contents);
}

TEST_F(MainFormLogicTest, HelpAndAbout)
{
    start();
    m_logic->ContextHelp(1070);
    m_logic->Contents_Click();
    m_logic->How_To_Use_Help_Click();
    ASSERT_EQ(m_help.requests.size(), 3u);
    EXPECT_EQ(m_help.requests[0].command, HelpCommand::Context);
    EXPECT_EQ(m_help.requests[0].context, 1070);
    EXPECT_EQ(m_help.requests[1].command, HelpCommand::Contents);
    EXPECT_EQ(m_help.requests[2].command, HelpCommand::HelpOnHelp);
    for (const auto& r : m_help.requests)
        EXPECT_EQ(r.file, appFile("MORVA.HLP"));

    m_logic->About_Click();
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_EQ(m_dialogs.messages[0].title, "About MORVAW");
    EXPECT_TRUE(m_dialogs.messages[0].text.contains("MorvaWin Version 1.97"));
}

TEST_F(MainFormLogicTest, MinimizedWindowKeepsItsKeysWhereTheyWere)
{
    start();
    m_logic->Form_Resize(1000, 700, false);
    const KeyButtonPlaces before = m_logic->KeyPlaces();
    m_logic->Form_Resize(160, 30, true);
    EXPECT_EQ(m_logic->KeyPlaces(), before);
    m_logic->Form_Resize(500, 350, false);
    EXPECT_FLOAT_EQ(m_logic->KeyPlaces()[0].width, 500.0f / 15);
}
