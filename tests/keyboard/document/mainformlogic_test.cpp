#include "fakes.h"
#include "filerig.h"
#include "languagetables.h"
#include "layoutdocument.h"
#include "mainformlogic.h"
#include "regularfile.h"
#include "settingsfile.h"
#include "testlayouts.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

#include <sys/stat.h>

using namespace morvaw;
using namespace morvaw::test;
using namespace std::chrono_literals;

namespace {

const std::string kZ = Tokens({"z"});

class MainFormLogicTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_oldCurrent = QDir::currentPath();
        QDir::setCurrent(m_work.path()); // where UNTITLED.KBD is saved
    }
    void TearDown() override { QDir::setCurrent(m_oldCurrent); }

    // Start-up with a settings file naming the last layout (none: first start).
    void start(const QString& layout = {}, RecentCaptions recent = {})
    {
        startWith(layout.isEmpty() ? std::string() : name(layout), recent);
    }
    void startWith(const std::string& lastLayout, RecentCaptions recent = {})
    {
        if (!lastLayout.empty()) {
            SettingsRecord settings;
            settings.LayoutFileName = lastLayout;
            settings.RecentFiles = recent;
            ASSERT_TRUE(SaveIni(Native(appFile("PALIX.INI")), settings).ok);
        }
        const FileFolders folders{m_app.path().toStdString(), {}};
        m_logic.reset();
        m_document = std::make_unique<LayoutDocument>();
        m_tables = std::make_unique<LanguageTables>(folders);
        m_logic =
            std::make_unique<MainFormLogic>(*m_document, *m_tables, folders, m_dialogs, m_help);
        m_logic->load(1000, 700);
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
        KeyRecord key = m_document->key(0);
        SetDef(key, 0, kZ);
        m_document->markChanged(); // as a click on the key does
        m_document->storeKey(0, key);
    }
    [[nodiscard]] bool edited() const { return m_document->key(0).Def0.str().starts_with(kZ); }
    [[nodiscard]] const SettingsRecord& settings() const { return m_logic->settings(); }
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
    std::unique_ptr<LayoutDocument> m_document;
    std::unique_ptr<LanguageTables> m_tables;
    ScriptedDialogs m_dialogs;
    RecordingHelp m_help;
    std::unique_ptr<MainFormLogic> m_logic;
};

} // namespace

TEST_F(MainFormLogicTest, LanguageByteDrivesSuffixStcFileAndPatches)
{
    layout("es.KBD", 2, "q");
    layout("uk.KBD", 1);
    layout("odd.KBD", 9);
    start("es.KBD");
    EXPECT_EQ(m_logic->caption(), caption("es.KBD", " (SPAIN)"));
    EXPECT_EQ(m_tables->tables().StcFileName, "STCSP.TBL");
    EXPECT_EQ(m_logic->keyCaption(0), "q");

    script({}, {"uk.KBD", "odd.KBD"});
    m_logic->loadLayout();
    EXPECT_EQ(m_tables->tables().StcFileName, "STCUK.TBL");
    m_logic->loadLayout();
    EXPECT_EQ(m_logic->caption(), caption("odd.KBD", " (Unknown)"));
    EXPECT_EQ(m_tables->tables().StcFileName, "STCUSA.TBL"); // the US table, whatever came before
}

TEST_F(MainFormLogicTest, ExitPromptPaths)
{
    layout("old.KBD");
    start("gone.KBD"); // a missing last layout loads silently under its name
    EXPECT_EQ(m_logic->caption(), caption("gone.KBD", " (USA)"));
    edit();
    script({Answer::Cancel}, {});
    EXPECT_FALSE(m_logic->unload());
    EXPECT_EQ(m_dialogs.questions.at(0).text, "Layout changed. Save current changes ?");
    EXPECT_EQ(m_dialogs.questions.at(0).title, "MORVAW");
    // Yes, an existing file, No: the dialog again, which is cancelled.
    script({Answer::Yes, Answer::No}, {"old.KBD", std::nullopt});
    EXPECT_FALSE(m_logic->unload());
    EXPECT_EQ(m_dialogs.questions.at(2).text, "File already exist. Overwrite?");
    EXPECT_TRUE(edited() && m_document->isChanged() && m_help.requests.empty());

    script({Answer::Yes}, {"new.KBD"});
    EXPECT_TRUE(m_logic->unload());
    EXPECT_TRUE(savedEdit("new.KBD"));
    edit();
    script({Answer::No}, {});
    EXPECT_TRUE(m_logic->unload());
    EXPECT_FALSE(m_document->isChanged());
    EXPECT_TRUE(m_dialogs.messages.empty());
    expectScriptUsedUp();
}

TEST_F(MainFormLogicTest, NewPromptPaths)
{
    layout("a.KBD", 1);
    start("a.KBD");
    m_logic->newLayout(); // unchanged: no question
    EXPECT_TRUE(m_dialogs.questions.empty());
    EXPECT_EQ(m_logic->caption(), "KBD Layout: UNTITLED.KBD (USA)");
    EXPECT_TRUE(m_document->isChanged());
    EXPECT_EQ(m_document->setting(Settings::KbdFlags), 10);

    ASSERT_TRUE(m_document->load(name("a.KBD"), LayoutDocument::LoadMode::Whole).ok);
    edit();
    script({Answer::Cancel, Answer::Yes}, {std::nullopt});
    m_logic->newLayout();
    m_logic->newLayout();
    EXPECT_TRUE(edited());
    EXPECT_EQ(m_dialogs.questions.at(0).text, "Layout has changed. Save current changes ?");

    // Yes saves first, and the layout left goes into the recent list.
    script({Answer::Yes}, {"saved.KBD"});
    m_logic->newLayout();
    EXPECT_TRUE(savedEdit("saved.KBD"));
    EXPECT_EQ(settings().RecentFiles[0], name("a.KBD"));
    EXPECT_EQ(m_document->fileName(), "UNTITLED.KBD");

    edit();
    script({Answer::No}, {});
    m_logic->newLayout();
    EXPECT_FALSE(edited());
    expectScriptUsedUp();
}

// Load and the recent items put the layout left on top of the list; the file
// already open, loaded again from the list, is reloaded and stays listed.
TEST_F(MainFormLogicTest, LoadAndRecentItemsKeepTheList)
{
    layout("D.KBD");
    layout("E.KBD", 1, "e");
    start("D.KBD", {"A", "B", "C"});
    edit();
    script({Answer::Cancel, Answer::No}, {std::nullopt});
    m_logic->loadLayout();
    m_logic->loadLayout();
    EXPECT_TRUE(edited() && m_document->isChanged());
    ASSERT_EQ(m_dialogs.dialogs.size(), 1u);
    const FileDialogSettings& d = m_dialogs.dialogs.at(0);
    EXPECT_EQ(d.filter + d.defaultExtension + d.initialName,
              "KBD layout files (*.KBD)|*.kbd|All files (*.*)|*.*KBD*.KBD");

    script({Answer::No}, {"E.KBD"});
    m_logic->loadLayout();
    EXPECT_EQ(settings().RecentFiles, (RecentCaptions{name("D.KBD"), "A", "B"}));
    EXPECT_EQ(m_logic->keyCaption(0), "e");
    EXPECT_EQ(m_logic->caption(), caption("E.KBD", " (UK)"));
    EXPECT_FALSE(m_document->isChanged());

    m_logic->openRecentFile(0); // D
    EXPECT_EQ(settings().RecentFiles, (RecentCaptions{name("E.KBD"), name("D.KBD"), "A"}));
    edit();
    script({Answer::No}, {});
    m_logic->openRecentFile(1); // D again: reloaded, still listed
    EXPECT_FALSE(edited());
    EXPECT_EQ(settings().RecentFiles, (RecentCaptions{name("D.KBD"), name("E.KBD"), "A"}));
    EXPECT_EQ(m_logic->recentVisible(), (RecentVisibility{true, true, true}));
    EXPECT_EQ(m_dialogs.dialogs.size(), 2u);
    expectScriptUsedUp();
}

TEST_F(MainFormLogicTest, UnreadableLayoutIsRefusedAndTheCurrentOneStays)
{
    layout("a.KBD", 1);
    ASSERT_TRUE(WriteBytes(work("short.KBD"), LayoutWith(2).left(27000)));
    ASSERT_TRUE(WriteBytes(work("long.KBD"), LayoutWith(2) + "tail"));
    start("a.KBD", {name("gone.KBD"), "", ""});
    edit();
    const auto records = m_document->records();
    const std::string before = m_logic->caption();

    script({Answer::No, Answer::No, Answer::No}, {"short.KBD", "long.KBD"});
    m_logic->openRecentFile(0);
    m_logic->loadLayout();
    m_logic->loadLayout();
    ASSERT_EQ(m_dialogs.messages.size(), 3u);
    const char* files[] = {"gone.KBD", "short.KBD", "long.KBD"};
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(m_dialogs.messages[i].text.contains(work(files[i]))) << files[i];
    EXPECT_TRUE(m_dialogs.messages[0].warning && m_dialogs.messages[0].title == "MORVAW");
    EXPECT_TRUE(m_dialogs.messages[1].text.contains("27000")) << "the size that was found";
    EXPECT_EQ(m_document->records(), records);
    EXPECT_TRUE(m_document->isChanged());
    EXPECT_EQ(m_logic->caption(), before); // the name and the language
}

TEST_F(MainFormLogicTest, SaveAndSaveAs)
{
    layout("other.KBD", 0, "o");
    start();
    m_logic->newLayout();
    m_document->setLanguage(1); // only the working copy changed
    // Save of a layout never saved is Save As: nothing is written unasked
    // into the current folder, where an earlier UNTITLED.KBD would be lost.
    ASSERT_TRUE(WriteBytes(work("UNTITLED.KBD"), "earlier"));
    script({}, {std::nullopt, "named.KBD"});
    m_logic->saveLayout();
    EXPECT_EQ(ReadBytes(work("UNTITLED.KBD")), "earlier");
    EXPECT_TRUE(m_document->isChanged());
    m_logic->saveLayout();
    EXPECT_EQ(ReadBytes(work("named.KBD")).at(26031), 1);
    EXPECT_FALSE(m_document->isChanged());
    EXPECT_EQ(m_logic->caption(), caption("named.KBD", " (UK)"));
    EXPECT_EQ(m_dialogs.dialogs.at(1).initialName, "*.KBD");

    // Save As asks before replacing a file; No shows the dialog again.
    edit();
    script({Answer::Cancel, Answer::No}, {"other.KBD", "other.KBD", "fresh.KBD"});
    m_logic->saveLayoutAs();
    EXPECT_TRUE(m_document->isChanged());
    m_logic->saveLayoutAs();
    EXPECT_EQ(ReadBytes(work("other.KBD")), LayoutWith(0, "o"));
    EXPECT_TRUE(savedEdit("fresh.KBD"));
    EXPECT_FALSE(m_document->isChanged());
    script({Answer::Yes}, {"other.KBD"});
    m_logic->saveLayoutAs();
    EXPECT_TRUE(savedEdit("other.KBD"));
    EXPECT_EQ(m_logic->caption(), caption("other.KBD", " (UK)"));
    // Once the layout has a file, the save dialogs start at it.
    EXPECT_EQ(m_dialogs.dialogs.back().initialName, work("fresh.KBD"));
    expectScriptUsedUp();
}

TEST_F(MainFormLogicTest, FailedSaveSaysWhyAndKeepsTheChanges)
{
    layout("a.KBD");
    start("a.KBD");
    QFile::remove(appFile("PALIX.INI"));
    edit();
    const std::string before = m_logic->caption();
    script({}, {"no-folder/b.KBD"});
    m_logic->saveLayoutAs();
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_TRUE(m_dialogs.messages[0].text.contains(work("no-folder/b.KBD")));
    EXPECT_TRUE(m_document->isChanged());
    EXPECT_EQ(m_logic->caption(), before);
    EXPECT_EQ(ReadBytes(appFile("PALIX.INI")).size(), 10000); // still written

    // Its folder went away: the start-up load keeps a missing file's name.
    m_document->load(name("no-folder/b.KBD"), LayoutDocument::LoadMode::Partly);
    m_logic->saveLayout();
    EXPECT_TRUE(m_document->isChanged());
    // A failed save inside a prompt stops the command that would drop the changes.
    script({Answer::Yes, Answer::Yes}, {"no-folder/c.KBD", "no-folder/c.KBD"});
    m_logic->newLayout();
    EXPECT_TRUE(edited());
    EXPECT_FALSE(m_logic->unload());
    EXPECT_TRUE(m_document->isChanged());
    EXPECT_EQ(m_dialogs.messages.size(), 4u);
}

// A left click hands the whole key to the editor (with the tables read afresh:
// keymodelogic_test); the right button changes nothing.
TEST_F(MainFormLogicTest, KeyClicksHandTheKeyToTheirWindows)
{
    layout("uk.KBD", 1);
    start("uk.KBD");
    std::vector<KeyRecord> handed;
    QObject::connect(m_logic.get(), &MainFormLogic::keyDefinitionsRequested,
                     [&](const KeyRecord& record) { handed.push_back(record); });
    QObject::connect(m_logic.get(), &MainFormLogic::keyEditorRequested,
                     [&](int key, const KeyRecord& record, int language) {
                         handed.push_back(record);
                         EXPECT_EQ(key * 10 + language, 41);
                     });
    m_logic->showKeyDefinitions(3);
    EXPECT_FALSE(m_document->isChanged());
    m_logic->openKeyEditor(4);
    EXPECT_TRUE(m_document->isChanged());
    EXPECT_EQ(handed, (std::vector{m_document->key(3), m_document->key(4)}));
}

// After the test window F1 no longer opens help; the Help menu still does;
// exit closes it. A minimized window keeps its keys where they are.
TEST_F(MainFormLogicTest, HelpAndMinimizing)
{
    start();
    EXPECT_EQ(m_logic->recentVisible(), (RecentVisibility{false, false, false}));
    m_logic->showContextHelp(1070);
    m_logic->openTest();
    m_logic->showContextHelp(1020);
    m_logic->showHelpContents();
    ASSERT_EQ(m_help.requests.size(), 2u);
    EXPECT_EQ(m_help.requests[0].command, HelpCommand::Context);
    EXPECT_EQ(m_help.requests[0].context, 1070);
    EXPECT_EQ(m_help.requests[1].command, HelpCommand::Contents);
    EXPECT_EQ(m_help.requests[1].file, appFile("MORVA.HLP"));

    const KeyButtonPlaces before = m_logic->keyPlaces();
    m_logic->resize(160, 30, true);
    EXPECT_EQ(m_logic->keyPlaces(), before);
    m_logic->resize(500, 350, false);
    EXPECT_FLOAT_EQ(m_logic->keyPlaces()[0].width, 500.0f / 15);
    EXPECT_TRUE(m_logic->unload());
    EXPECT_EQ(m_help.requests.at(2).command, HelpCommand::Quit);
}

// A named pipe or a device where a layout should be is refused at once and
// said to be one; the start-up load of one stays silent.
TEST_F(MainFormLogicTest, PipesAndDevicesAreNoLayouts)
{
    layout("a.KBD", 1);
    ASSERT_EQ(::mkfifo(name("pipe.KBD").c_str(), 0600), 0);
    ASSERT_TRUE(FinishesWithin(
        10s, [&] { start("pipe.KBD"); }, name("pipe.KBD")));
    EXPECT_EQ(m_logic->caption(), caption("pipe.KBD", " (USA)"));
    EXPECT_TRUE(m_dialogs.messages.empty());

    script({}, {"a.KBD", "pipe.KBD"});
    m_logic->loadLayout();
    const auto records = m_document->records();
    ASSERT_TRUE(FinishesWithin(
        10s, [&] { m_logic->loadLayout(); }, name("pipe.KBD")));
    m_dialogs.fileNames.push_back("/dev/null");
    m_logic->loadLayout();
    ASSERT_EQ(m_dialogs.messages.size(), 2u);
    EXPECT_TRUE(
        m_dialogs.messages[0].text.endsWith("It is a named pipe (FIFO), not a regular file."));
    EXPECT_TRUE(m_dialogs.messages[1].text.endsWith("It is a device, not a regular file."));
    EXPECT_EQ(m_document->records(), records);
    EXPECT_EQ(m_logic->caption(), caption("a.KBD", " (UK)"));
}

// A name from the settings file is bytes: one that is not UTF-8 loads, and F2
// saves to that file, not to a new one with the byte replaced.
TEST_F(MainFormLogicTest, NamesFromTheSettingsFileStayBytes)
{
    const std::string cafe = m_work.path().toStdString() + "/caf\xC9.kbd";
    ASSERT_TRUE(ReplaceFileContents(cafe, LayoutWith(1, "c")).ok);
    startWith(cafe);
    EXPECT_EQ(m_logic->keyCaption(0), "c");
    EXPECT_EQ(m_document->language(), 1);
    edit();
    m_logic->saveLayout();
    EXPECT_TRUE(m_dialogs.messages.empty());
    EXPECT_EQ(ReadRegularFile(cafe, 14).bytes.mid(11).toStdString(), kZ);
    const std::filesystem::directory_iterator folder(m_work.path().toStdString());
    EXPECT_EQ(std::distance(folder, {}), 1) << "no second file with a replaced byte";
    std::filesystem::remove(cafe); // a name Qt's own clean-up cannot reach
}

// PALIX.INI as a link: to a file elsewhere it is followed; to a named pipe it
// is left alone, reported once, and the program goes on with the defaults.
TEST_F(MainFormLogicTest, SettingsWriterReplacesOnlyRegularFiles)
{
    const std::filesystem::path ini = Native(appFile("PALIX.INI"));
    std::filesystem::create_symlink(name("real.INI"), ini);
    start();
    EXPECT_TRUE(m_logic->unload());
    EXPECT_EQ(ReadBytes(work("real.INI")).size(), 10000);
    EXPECT_TRUE(std::filesystem::is_symlink(ini));

    std::filesystem::remove(ini);
    ASSERT_EQ(::mkfifo(name("pipe.INI").c_str(), 0600), 0);
    std::filesystem::create_symlink(name("pipe.INI"), ini);
    ASSERT_TRUE(FinishesWithin(
        10s, [&] { start(); }, name("pipe.INI")));
    EXPECT_EQ(m_logic->caption(), "KBD Layout: UNTITLED.KBD (USA)");
    m_logic->newLayout();
    script({}, {"new.KBD"});
    m_logic->saveLayout();
    m_document->markUnchanged();
    EXPECT_TRUE(m_logic->unload());
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_TRUE(m_dialogs.messages[0].text.contains("PALIX.INI"));
    EXPECT_TRUE(
        m_dialogs.messages[0].text.endsWith("It is a named pipe (FIFO), not a regular file."));
    EXPECT_TRUE(std::filesystem::is_fifo(name("pipe.INI")));
}

// Two configurators on one layout: a save over the file that the other one,
// or any other program, wrote since this one loaded or saved it asks first,
// and no answer loses the other's save unasked.
TEST_F(MainFormLogicTest, ASaveOverAFileSomeoneElseWroteAsksFirst)
{
    layout("shared.KBD");
    start("shared.KBD");
    const FileFolders folders{m_app.path().toStdString(), {}};
    LayoutDocument secondDocument;
    LanguageTables secondTables(folders);
    MainFormLogic second(secondDocument, secondTables, folders, m_dialogs, m_help);
    second.load(1000, 700);

    edit();
    m_logic->saveLayout();
    secondDocument.markChanged();
    script({Answer::Cancel, Answer::No}, {"mine.KBD"}); // then under another name
    second.saveLayout();
    ASSERT_EQ(m_dialogs.questions.size(), 1u);
    EXPECT_TRUE(m_dialogs.questions[0].text.contains("was changed by another program"));
    EXPECT_TRUE(savedEdit("shared.KBD") && secondDocument.isChanged());
    second.saveLayout();
    EXPECT_EQ(ReadBytes(work("mine.KBD")), secondDocument.layoutBytes());
    EXPECT_FALSE(secondDocument.isChanged());

    // Written again with the same bytes it is the same file; with others, not.
    std::filesystem::last_write_time(name("shared.KBD"),
                                     std::filesystem::file_time_type::clock::now());
    edit();
    m_logic->saveLayout();
    EXPECT_EQ(m_dialogs.questions.size(), 2u);
    ASSERT_EQ(QProcess::execute("cp", {work("mine.KBD"), work("shared.KBD")}), 0);
    edit();
    script({Answer::Yes}, {}); // overwrite
    m_logic->saveLayout();
    EXPECT_EQ(m_dialogs.questions.size(), 3u);
    EXPECT_TRUE(savedEdit("shared.KBD"));
    expectScriptUsedUp();
    EXPECT_EQ(QDir(m_work.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"mine.KBD", "shared.KBD"}));
}
