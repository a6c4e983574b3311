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

using namespace morvaw;
using namespace morvaw::test;

namespace {

// Scan records named after their number, so a patched record shows.
QByteArray scanRecords(const char* prefix, int count)
{
    QByteArray out;
    for (int i = 1; i <= count; ++i)
        out += QString("%1%2").arg(prefix).arg(i, 3, 10, QChar('0')).leftJustified(7).toLatin1() +
               QByteArray(2, '\0');
    return out;
}

const std::string kZ = Tokens({"z"});

class MainFormLogicTest : public ::testing::Test
{
protected:
    using L = MainFormLogic;

    void SetUp() override
    {
        ASSERT_TRUE(WriteBytes(appFile("SCNTBL.BIN"), scanRecords("S", 138)));
        ASSERT_TRUE(WriteBytes(appFile("UKST.BIN"), scanRecords("UK", 8)));
        ASSERT_TRUE(WriteBytes(appFile("SPST.BIN"), scanRecords("SP", 32)));
        m_oldCurrent = QDir::currentPath();
        QDir::setCurrent(m_work.path()); // where UNTITLED.KBD is saved
    }
    void TearDown() override { QDir::setCurrent(m_oldCurrent); }

    // Start-up with a settings file naming the last layout (none: first start).
    void start(const QString& layout = {}, RecentCaptions recent = {})
    {
        if (!layout.isEmpty()) {
            auto other = std::make_unique<ConfiguratorState>();
            other->AppPath = m_app.path().toStdString();
            other->LayoutFileName = work(layout).toStdString();
            other->RecentFiles = recent;
            ASSERT_TRUE(SaveIni(*other).ok);
        }
        InitialiseConfigurator(*m_state, m_app.path().toStdString());
        m_logic = std::make_unique<MainFormLogic>(*m_state, m_dialogs, m_help);
        m_logic->Form_Load(1000, 700);
    }

    [[nodiscard]] QString appFile(const QString& name) const
    {
        return QDir(m_app.path()).filePath(name);
    }
    [[nodiscard]] QString work(const QString& name) const
    {
        return QDir(m_work.path()).filePath(name);
    }
    [[nodiscard]] std::string name(const QString& file) const { return work(file).toStdString(); }
    [[nodiscard]] std::string caption(const QString& file, const char* suffix) const
    {
        return "KBD Layout: " + name(file) + suffix;
    }
    void layout(const QString& file, std::uint8_t language = 0, const std::string& key = "a")
    {
        ASSERT_TRUE(WriteBytes(work(file), LayoutWith(language, key)));
    }
    // An edit the user has not saved.
    void edit()
    {
        SetDef0(m_state->LayoutRecords[1], kZ);
        m_state->LayoutChanged = true;
    }
    [[nodiscard]] bool edited() const
    {
        return m_state->LayoutRecords[1].Def0.str().starts_with(kZ);
    }
    [[nodiscard]] bool savedEdit(const QString& file) const
    {
        return ReadBytes(work(file)).mid(11, 3).toStdString() == kZ;
    }
    void script(std::initializer_list<Answer> answers,
                std::initializer_list<std::optional<QString>> files)
    {
        m_dialogs.answers.insert(m_dialogs.answers.end(), answers);
        for (const auto& f : files)
            m_dialogs.fileNames.push_back(f ? std::optional(work(*f)) : std::nullopt);
    }
    void expectScriptUsedUp() const
    {
        EXPECT_TRUE(m_dialogs.answers.empty() && m_dialogs.fileNames.empty());
    }

    QTemporaryDir m_app;
    QTemporaryDir m_work;
    QString m_oldCurrent;
    std::unique_ptr<ConfiguratorState> m_state = std::make_unique<ConfiguratorState>();
    ScriptedDialogs m_dialogs;
    RecordingHelp m_help;
    std::unique_ptr<MainFormLogic> m_logic;
};

} // namespace

TEST_F(MainFormLogicTest, FirstStartIsUntitledAndExitWritesTheSettings)
{
    start();
    EXPECT_EQ(m_logic->Caption(), "KBD Layout: UNTITLED.KBD (USA)");
    EXPECT_EQ(m_logic->RecentVisible(), (RecentVisibility{false, false, false}));
    EXPECT_TRUE(m_logic->Form_Unload());
    EXPECT_TRUE(m_dialogs.messages.empty() && m_dialogs.questions.empty());
    EXPECT_EQ(ReadBytes(appFile("PALIX.INI")).size(), 10000);
    ASSERT_EQ(m_help.requests.size(), 1u);
    EXPECT_EQ(m_help.requests[0].command, HelpCommand::Quit);
    EXPECT_EQ(m_help.requests[0].file, appFile("MORVA.HLP"));
}

TEST_F(MainFormLogicTest, LanguageByteDrivesSuffixStcFileAndPatches)
{
    layout("es.KBD", 2, "q");
    layout("uk.KBD", 1);
    layout("odd.KBD", 9);
    start("es.KBD");
    EXPECT_EQ(m_logic->Caption(), caption("es.KBD", " (SPAIN)"));
    EXPECT_EQ(m_state->Tables.StcFileName, "STCSP.TBL");
    EXPECT_EQ(m_state->Tables.ScanTable[74].Name.str(), "SP001  ");
    EXPECT_EQ(m_logic->KeyCaption(0), "q");

    script({}, {"uk.KBD", "odd.KBD"});
    m_logic->File_Click(L::FileLoad);
    EXPECT_EQ(m_state->Tables.ScanTable[68].Name.str(), "UK001  ");
    m_logic->File_Click(L::FileLoad);
    EXPECT_EQ(m_logic->Caption(), caption("odd.KBD", " (Unknown)"));
    EXPECT_EQ(m_state->Tables.StcFileName, "STCUK.TBL"); // kept
    EXPECT_EQ(m_state->Tables.ScanTable[68].Name.str(), "S068   ");
}

TEST_F(MainFormLogicTest, ExitPromptPaths)
{
    layout("old.KBD");
    start("gone.KBD"); // a missing last layout loads silently under its name
    EXPECT_EQ(m_logic->Caption(), caption("gone.KBD", " (USA)"));
    edit();
    script({Answer::Cancel}, {});
    EXPECT_FALSE(m_logic->Form_Unload());
    EXPECT_EQ(m_dialogs.questions.at(0).text, "Layout changed. Save current changes ?");
    EXPECT_EQ(m_dialogs.questions.at(0).title, "MORVAW");
    // Yes, an existing file, No: the dialog again, which is cancelled.
    script({Answer::Yes, Answer::No}, {"old.KBD", std::nullopt});
    EXPECT_FALSE(m_logic->Form_Unload());
    EXPECT_EQ(m_dialogs.questions.at(2).text, "File already exist. Overwrite?");
    EXPECT_TRUE(edited() && m_state->LayoutChanged && m_help.requests.empty());

    script({Answer::Yes}, {"new.KBD"});
    EXPECT_TRUE(m_logic->Form_Unload());
    EXPECT_TRUE(savedEdit("new.KBD"));
    edit();
    script({Answer::No}, {});
    EXPECT_TRUE(m_logic->Form_Unload());
    EXPECT_FALSE(m_state->LayoutChanged);
    EXPECT_TRUE(m_dialogs.messages.empty());
    expectScriptUsedUp();
}

TEST_F(MainFormLogicTest, NewPromptPaths)
{
    layout("a.KBD", 1);
    start("a.KBD");
    m_logic->File_Click(L::FileNew); // unchanged: no question
    EXPECT_TRUE(m_dialogs.questions.empty());
    EXPECT_EQ(m_logic->Caption(), "KBD Layout: UNTITLED.KBD (USA)");
    EXPECT_TRUE(m_state->LayoutChanged);
    EXPECT_EQ(m_state->LayoutRecords[Settings::KbdFlags].PosX, 10);

    m_state->LayoutFileName = name("a.KBD");
    edit();
    script({Answer::Cancel, Answer::Yes}, {std::nullopt});
    m_logic->File_Click(L::FileNew);
    m_logic->File_Click(L::FileNew);
    EXPECT_TRUE(edited());
    EXPECT_EQ(m_dialogs.questions.at(0).text, "Layout has changed. Save current changes ?");

    // Yes saves first, and the layout left goes into the recent list.
    script({Answer::Yes}, {"saved.KBD"});
    m_logic->File_Click(L::FileNew);
    EXPECT_TRUE(savedEdit("saved.KBD"));
    EXPECT_EQ(m_state->RecentFiles[0], name("a.KBD"));
    EXPECT_EQ(m_state->LayoutFileName, "UNTITLED.KBD");

    edit();
    script({Answer::No}, {});
    m_logic->File_Click(L::FileNew);
    EXPECT_FALSE(edited());
    expectScriptUsedUp();
}

TEST_F(MainFormLogicTest, LoadPromptPathsAndTheRecentList)
{
    layout("D.KBD");
    layout("E.KBD", 0, "e");
    start("D.KBD", {"A", "B", "C"});
    edit();
    script({Answer::Cancel, Answer::No}, {std::nullopt});
    m_logic->File_Click(L::FileLoad);
    m_logic->File_Click(L::FileLoad);
    EXPECT_TRUE(edited() && m_state->LayoutChanged);
    EXPECT_EQ(m_dialogs.dialogs.size(), 1u);

    script({Answer::No}, {"E.KBD"});
    m_logic->File_Click(L::FileLoad);
    EXPECT_EQ(m_state->RecentFiles, (RecentCaptions{name("D.KBD"), "A", "B"}));
    EXPECT_EQ(m_logic->KeyCaption(0), "e");
    EXPECT_FALSE(m_state->LayoutChanged);
    const FileDialogSettings& d = m_dialogs.dialogs.at(0);
    EXPECT_EQ(d.filter, "KBD layout files (*.KBD)|*.kbd|All files (*.*)|*.*");
    EXPECT_EQ(d.defaultExtension, "KBD");
    EXPECT_EQ(d.initialName, "*.KBD");
    expectScriptUsedUp();
}

TEST_F(MainFormLogicTest, RecentFileOpensAndTheOpenFileStaysListed)
{
    layout("a.KBD");
    layout("b.KBD", 1, "b");
    start("a.KBD", {name("b.KBD"), "", ""});
    m_logic->File_Click(L::FileRecent1);
    EXPECT_EQ(m_logic->Caption(), caption("b.KBD", " (UK)"));
    EXPECT_EQ(m_state->RecentFiles, (RecentCaptions{name("a.KBD"), name("b.KBD"), ""}));

    m_logic->File_Click(L::FileRecent2); // b again: reloaded, still listed
    edit();
    script({Answer::No}, {});
    m_logic->File_Click(L::FileRecent2);
    EXPECT_FALSE(edited());
    EXPECT_EQ(m_state->RecentFiles, (RecentCaptions{name("b.KBD"), name("a.KBD"), ""}));
    EXPECT_EQ(m_logic->RecentVisible(), (RecentVisibility{true, true, false}));
    EXPECT_TRUE(m_dialogs.dialogs.empty());
}

TEST_F(MainFormLogicTest, UnreadableLayoutIsRefusedAndTheCurrentOneStays)
{
    layout("a.KBD", 1);
    ASSERT_TRUE(WriteBytes(work("short.KBD"), LayoutWith(2).left(27000)));
    ASSERT_TRUE(WriteBytes(work("long.KBD"), LayoutWith(2) + "tail"));
    start("a.KBD", {name("gone.KBD"), "", ""});
    edit();
    const auto records = m_state->LayoutRecords;
    const std::string before = m_logic->Caption();

    script({Answer::No, Answer::No, Answer::No}, {"short.KBD", "long.KBD"});
    m_logic->File_Click(L::FileRecent1);
    m_logic->File_Click(L::FileLoad);
    m_logic->File_Click(L::FileLoad);
    ASSERT_EQ(m_dialogs.messages.size(), 3u);
    const char* files[] = {"gone.KBD", "short.KBD", "long.KBD"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(m_dialogs.messages[i].text.contains(work(files[i]))) << files[i];
        EXPECT_EQ(m_dialogs.messages[i].title, "MORVAW");
    }
    EXPECT_EQ(m_state->LayoutRecords, records);
    EXPECT_EQ(m_state->LayoutFileName, name("a.KBD"));
    EXPECT_EQ(m_state->CurrentLanguage, 1);
    EXPECT_TRUE(m_state->LayoutChanged);
    EXPECT_EQ(m_logic->Caption(), before);
}

TEST_F(MainFormLogicTest, SaveOfANewLayoutWritesUntitledWithoutADialog)
{
    start();
    m_logic->File_Click(L::FileNew);
    m_state->CurrentLanguage = 1; // only the working copy changed
    m_logic->File_Click(L::FileSave);
    EXPECT_EQ(ReadBytes(work("UNTITLED.KBD")).at(26031), 1);
    EXPECT_FALSE(m_state->LayoutChanged);
    EXPECT_EQ(m_logic->Caption(), "KBD Layout: UNTITLED.KBD (UK)");
}

TEST_F(MainFormLogicTest, SaveAsAsksBeforeReplacingAFile)
{
    layout("a.KBD");
    layout("other.KBD", 0, "o");
    start("a.KBD");
    edit();
    script({Answer::Cancel, Answer::No}, {"other.KBD", "other.KBD", "fresh.KBD"});
    m_logic->File_Click(L::FileSaveAs);
    EXPECT_TRUE(m_state->LayoutChanged);
    m_logic->File_Click(L::FileSaveAs);
    EXPECT_EQ(ReadBytes(work("other.KBD")), LayoutWith(0, "o"));
    EXPECT_TRUE(savedEdit("fresh.KBD"));
    EXPECT_FALSE(m_state->LayoutChanged);

    script({Answer::Yes}, {"other.KBD"});
    m_logic->File_Click(L::FileSaveAs);
    EXPECT_TRUE(savedEdit("other.KBD"));
    EXPECT_EQ(m_logic->Caption(), caption("other.KBD", " (USA)"));
    expectScriptUsedUp();
}

TEST_F(MainFormLogicTest, FailedSaveSaysWhyAndKeepsTheChanges)
{
    layout("a.KBD");
    start("a.KBD");
    QFile::remove(appFile("PALIX.INI"));
    edit();
    const std::string before = m_logic->Caption();
    script({}, {"no-folder/b.KBD"});
    m_logic->File_Click(L::FileSaveAs);
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_TRUE(m_dialogs.messages[0].text.contains(work("no-folder/b.KBD")));
    EXPECT_EQ(m_dialogs.messages[0].title, "MORVAW");
    EXPECT_TRUE(m_state->LayoutChanged);
    EXPECT_EQ(m_logic->Caption(), before);
    EXPECT_EQ(ReadBytes(appFile("PALIX.INI")).size(), 10000); // still written

    m_state->LayoutFileName = name("no-folder/b.KBD"); // its folder went away
    m_logic->File_Click(L::FileSave);
    EXPECT_TRUE(m_state->LayoutChanged);
    // A failed save inside a prompt stops the command that would drop the changes.
    script({Answer::Yes, Answer::Yes}, {"no-folder/c.KBD", "no-folder/c.KBD"});
    m_logic->File_Click(L::FileNew);
    EXPECT_TRUE(edited());
    EXPECT_FALSE(m_logic->Form_Unload());
    EXPECT_TRUE(m_state->LayoutChanged);
    EXPECT_EQ(m_dialogs.messages.size(), 4u);
}

TEST_F(MainFormLogicTest, KeyClicksCopyTheKeyForTheirWindows)
{
    layout("uk.KBD", 1);
    start("uk.KBD");
    int editor = 0, hint = 0;
    m_logic->windows().showKeyEditor = [&] { ++editor; };
    m_logic->windows().showMacroHint = [&] { ++hint; };
    m_logic->KeyBtn_MouseDown(3, Qt::RightButton);
    EXPECT_EQ(hint, 1);
    EXPECT_FALSE(m_state->LayoutChanged);
    EXPECT_EQ(m_state->WorkKey.Def0, m_state->LayoutRecords[4].Def0);

    KeyRecord expected = m_state->LayoutRecords[5];
    m_state->WorkKey.Def3.assign("left over");
    m_state->WorkKey.Len3 = 9;
    m_state->WorkKey.Spare = 77;
    expected.Spare = 77;
    m_state->Tables.ScanTable[68].Name.assign("edited");
    m_logic->KeyBtn_Click(4);
    EXPECT_EQ(m_state->WorkKey, expected); // all but Spare, the fourth definition too
    EXPECT_TRUE(m_state->LayoutChanged);
    EXPECT_EQ(m_state->SelectedKey, 4);
    EXPECT_FALSE(m_state->MsrEditMode);
    EXPECT_EQ(m_state->Tables.ScanTable[68].Name.str(), "UK001  "); // tables reloaded
    EXPECT_EQ(editor, 1);
}

TEST_F(MainFormLogicTest, WindowCommandsWaitForTheirWindows)
{
    start();
    m_logic->Configure1_Click();
    m_logic->Edit_Click(1);
    m_logic->Edit_Click(2);
    EXPECT_FALSE(m_state->LayoutChanged);

    std::string shown;
    auto& w = m_logic->windows();
    w.showKeybConf = [&] { shown += "KeybConf "; };
    w.showMsrParameters = [&] { shown += "SetParam "; };
    w.showTest = [&] { shown += "TestForm "; };
    w.showProgramming = [&] { shown += "SEND2COM"; };
    m_logic->Configure1_Click();
    EXPECT_TRUE(m_state->LayoutChanged);
    m_state->MsrEditMode = false;
    m_logic->Edit_Click(1);
    EXPECT_TRUE(m_state->MsrEditMode);
    m_logic->Edit_Click(2);
    m_logic->Edit_Click(4);
    EXPECT_EQ(shown, "KeybConf SetParam TestForm SEND2COM");

    // After the test window F1 no longer opens help; the Help menu still does.
    m_logic->ContextHelp(1020);
    m_logic->How_To_Use_Help_Click();
    ASSERT_EQ(m_help.requests.size(), 1u);
    EXPECT_EQ(m_help.requests[0].command, HelpCommand::HelpOnHelp);
}

TEST_F(MainFormLogicTest, HelpAboutAndMinimizing)
{
    start();
    m_logic->ContextHelp(1070);
    m_logic->Contents_Click();
    ASSERT_EQ(m_help.requests.size(), 2u);
    EXPECT_EQ(m_help.requests[0].command, HelpCommand::Context);
    EXPECT_EQ(m_help.requests[0].context, 1070);
    EXPECT_EQ(m_help.requests[1].command, HelpCommand::Contents);
    EXPECT_EQ(m_help.requests[1].file, appFile("MORVA.HLP"));

    m_logic->About_Click();
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_EQ(m_dialogs.messages[0].title, "About MORVAW");
    EXPECT_TRUE(m_dialogs.messages[0].text.contains("MorvaWin Version 1.97"));

    const KeyButtonPlaces before = m_logic->KeyPlaces();
    m_logic->Form_Resize(160, 30, true);
    EXPECT_EQ(m_logic->KeyPlaces(), before);
    m_logic->Form_Resize(500, 350, false);
    EXPECT_FLOAT_EQ(m_logic->KeyPlaces()[0].width, 500.0f / 15);
}
