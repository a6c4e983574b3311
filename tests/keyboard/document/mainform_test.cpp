#include "configuratorstate.h"
#include "fakes.h"
#include "htmlhelp.h"
#include "keybutton.h"
#include "mainform.h"
#include "settingsfile.h"
#include "testlayouts.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

using namespace morvaw;
using namespace morvaw::test;

namespace {

// One application for the whole run, destroyed at its end so that the
// libraries it started shut down before the leak check.
class ApplicationEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "morvaw_document_tests";
        static char* argv[] = {name, nullptr};
        m_app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QApplication> m_app;
};

[[maybe_unused]] ::testing::Environment* const g_application =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

// A 14 by 6 layout whose first keys use a picture name, pictures inside a
// token and a character that Qt would take as an access key.
QByteArray pictureLayout()
{
    LayoutRecordArray records{};
    SetDef0(records[1], Tokens({"\x11\xCD"}));
    SetDef0(records[2], Tokens({"Sh\x11\xCD"}));
    SetDef0(records[3], Tokens({"&"}));
    SetDef0(records[4], Tokens({"a", "b"}));
    records[Settings::KbdShape].PosX = 1;
    return LayoutFileBytes(records);
}

class MainFormTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        const QString layout = QDir(m_dir.path()).filePath("pictures.KBD");
        ASSERT_TRUE(WriteBytes(layout, pictureLayout()));
        auto settings = std::make_unique<ConfiguratorState>();
        settings->AppPath = m_dir.path().toStdString();
        settings->LayoutFileName = layout.toStdString();
        settings->RecentFiles = {"/shop/a&b.KBD", "", ""};
        ASSERT_TRUE(SaveIni(*settings).ok);

        InitialiseConfigurator(*m_state, m_dir.path().toStdString());
        m_form = std::make_unique<MainForm>(*m_state, m_dialogs, m_help);
        m_form->resize(1000, 700);
        m_form->show();
        QCoreApplication::processEvents();
    }

    template <typename T> T* child(const QString& name) const
    {
        return m_form->findChild<T*>(name);
    }
    [[nodiscard]] KeyButton* key(int i) const
    {
        return child<KeyButton>(QString("KeyBtn_%1").arg(i));
    }

    QTemporaryDir m_dir;
    std::unique_ptr<ConfiguratorState> m_state = std::make_unique<ConfiguratorState>();
    ScriptedDialogs m_dialogs;
    RecordingHelp m_help;
    std::unique_ptr<MainForm> m_form;
};

} // namespace

TEST_F(MainFormTest, MenusCarryTheirCaptionsShortcutsAndHelpContexts)
{
    struct Item
    {
        const char* name;
        const char* text;
        QKeySequence shortcut;
        int context;
    };
    const Item items[] = {
        {"File_1", "&New", {}, 1020},
        {"File_2", "&Load layout", QKeySequence(Qt::Key_F3), 1020},
        {"File_4", "&Save", QKeySequence(Qt::Key_F2), 1020},
        {"File_5", "Save &As", QKeySequence(Qt::CTRL | Qt::Key_A), 1020},
        {"File_11", "E&xit", QKeySequence(Qt::CTRL | Qt::Key_X), 1020},
        {"Configure1", "&Configure", QKeySequence(Qt::Key_F6), 1070},
        {"Configure", "&Configure", QKeySequence(Qt::Key_F4), 1080},
        {"Edit_1", "&Set Param", {}, 1000},
        {"Edit_2", "&Test", {}, 1090},
        {"Edit_4", "&Program Kbd", {}, 1100},
        {"Contents", "Contents", {}, 0},
        {"How_To_Use_Help", "How to use help", {}, 0},
        {"About", "&About", {}, 1100},
    };
    for (const Item& item : items) {
        SCOPED_TRACE(item.name);
        auto* action = child<QAction>(item.name);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text(), item.text);
        EXPECT_EQ(action->shortcut(), item.shortcut);
        EXPECT_EQ(action->property("helpContext").toInt(), item.context);
    }
    EXPECT_FALSE(child<QAction>("Edit_1")->isVisible());
    EXPECT_TRUE(child<QAction>("File_7")->isVisible());
    EXPECT_EQ(child<QAction>("File_7")->text(), "/shop/a&&b.KBD");
    EXPECT_FALSE(child<QAction>("File_8")->isVisible());
    EXPECT_FALSE(child<QAction>("File_9")->isVisible());
}

TEST_F(MainFormTest, PictureShowsTheLayoutLegibly)
{
    EXPECT_EQ(m_form->windowTitle(),
              "KBD Layout: " + QDir(m_dir.path()).filePath("pictures.KBD") + " (USA)");
    const QRect single = key(34)->geometry();
    EXPECT_NEAR(key(25)->height(), 2 * single.height(), 10);
    EXPECT_NEAR(key(72)->width(), 2 * single.width(), 10);
    int shown = 0;
    for (int i = 0; i < 84; ++i)
        shown += key(i)->isVisible() ? 1 : 0;
    EXPECT_EQ(shown, 72);
    EXPECT_FALSE(key(60)->isVisible());

    EXPECT_EQ(key(0)->text(), "BS");
    const QString shifted = QString("Sh") + QChar(0x25C4) + QChar(0x2550);
    EXPECT_EQ(key(1)->text(), shifted);
    EXPECT_EQ(key(2)->text(), "&&"); // shown as "&", not taken as an access key
    EXPECT_EQ(key(3)->text(), "<#>");
    const QFontMetrics metrics(key(1)->font());
    for (QChar glyph : {QChar(0x25BA), QChar(0x25C4), QChar(0x2191), QChar(0x2193), QChar(0x2500),
                        QChar(0x2550), QChar(0x2518), QChar(0x2219)})
        EXPECT_TRUE(metrics.inFont(glyph)) << int(glyph.unicode());
    EXPECT_LE(metrics.horizontalAdvance(shifted), key(1)->width());
}

TEST_F(MainFormTest, KeysAndFunctionKeysReachTheirWindows)
{
    std::vector<std::string> shown;
    auto& w = m_form->logic().windows();
    w.showKeyEditor = [&] { shown.push_back("editor"); };
    w.showMacroHint = [&] { shown.push_back("hint"); };
    w.showTest = [&] { shown.push_back("test"); };
    w.showProgramming = [&] { shown.push_back("program"); };

    QTest::mouseClick(key(5), Qt::LeftButton);
    EXPECT_EQ(m_state->SelectedKey, 5);
    QTest::mousePress(key(1), Qt::RightButton);
    QTest::mouseRelease(key(1), Qt::RightButton);
    // The form sees F5 and F7 whichever key has the focus.
    QTest::keyClick(key(7), Qt::Key_F5);
    QTest::keyClick(key(9), Qt::Key_F7);
    EXPECT_EQ(shown, (std::vector<std::string>{"editor", "hint", "program", "test"}));
}

TEST_F(MainFormTest, ClosingAsksOnlyWhenChanged)
{
    m_state->LayoutChanged = true;
    m_dialogs.answers = {Answer::Cancel};
    EXPECT_FALSE(m_form->close());
    EXPECT_TRUE(m_form->isVisible());

    m_state->LayoutChanged = false;
    EXPECT_TRUE(m_form->close());
    EXPECT_EQ(m_dialogs.questions.size(), 1u);
    EXPECT_EQ(ReadBytes(QDir(m_dir.path()).filePath("PALIX.INI")).size(), 10000);
}

TEST(HtmlHelp, ShowsThePageTheHelpFileNames)
{
    QTemporaryDir dir;
    const QString helpFile = QDir(dir.path()).filePath("MORVA.HLP");
    ASSERT_TRUE(WriteBytes(helpFile, "contents start.html\n1020 file.html\n"));
    ASSERT_TRUE(WriteBytes(QDir(dir.path()).filePath("file.html"), "<p>About files</p>"));

    HtmlHelp help;
    help.showHelp(helpFile, HelpCommand::Context, 1020);
    ASSERT_NE(help.window(), nullptr);
    EXPECT_TRUE(help.window()->isVisible());
    EXPECT_TRUE(help.window()->toPlainText().contains("About files"));

    // The contents page is missing: the window says so instead of going blank.
    help.showHelp(helpFile, HelpCommand::Contents, 0);
    EXPECT_TRUE(help.window()->toPlainText().contains("MORVA.HLP"));

    help.showHelp(helpFile, HelpCommand::Quit, 0);
    EXPECT_FALSE(help.window()->isVisible());
}
