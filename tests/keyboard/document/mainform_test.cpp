#include "htmlhelp.h"
#include "keybutton.h"
#include "settingsfile.h"
#include "testlayouts.h"
#include "windowrig.h"

#include <QDir>
#include <QFontMetrics>
#include <QSettings>
#include <QTextBrowser>

using namespace morvaw;
using namespace morvaw::test;

namespace {

// Starts with a 14 by 6 layout whose first keys use a picture name, pictures
// inside a token and a character that Qt would take as an access key.
class MainFormTest : public MainWindowRig
{
protected:
    void prepareFolder() override
    {
        LayoutRecordArray records{};
        SetDef(records[1], 0, Tokens({"\x11\xCD"}));
        SetDef(records[2], 0, Tokens({"Sh\x11\xCD"}));
        SetDef(records[3], 0, Tokens({"&"}));
        records[Settings::KbdShape].PosX = 1;
        ASSERT_TRUE(WriteBytes(layout(), LayoutFileBytes(records)));
        // Of the data files only one, and that cut short.
        ASSERT_TRUE(WriteBytes(QDir(m_dir.path()).filePath("SCNTBL.BIN"), QByteArray(100, 'a')));
        SettingsRecord settings;
        settings.LayoutFileName = layout().toStdString();
        settings.RecentFiles = {"/shop/a&b.KBD", "", ""};
        ASSERT_TRUE(SaveIni(Native(QDir(m_dir.path()).filePath("PALIX.INI")), settings).ok);
    }
    [[nodiscard]] QString layout() const { return QDir(m_dir.path()).filePath("pictures.KBD"); }
    [[nodiscard]] KeyButton* key(int i) const
    {
        return child<KeyButton>(m_main.get(), QString("KeyBtn_%1").arg(i));
    }
};

} // namespace

// Captions themselves are the logic's (fnCaption); the window shows them
// with their pictures as glyphs, "&" as itself, at the logic's places.
TEST_F(MainFormTest, PictureShowsTheLayoutLegibly)
{
    // The desktop's modified mark follows the layout's changes.
    EXPECT_EQ(m_main->windowTitle(), "KBD Layout: " + layout() + " (USA)[*]");
    EXPECT_FALSE(m_main->isWindowModified());
    changeKey(5, [](KeyRecord& k) { SetDef(k, 0, Tokens({"x"})); });
    EXPECT_TRUE(m_main->isWindowModified());
    EXPECT_NEAR(key(25)->height(), 2 * key(34)->height(), 10);
    EXPECT_NEAR(key(72)->width(), 2 * key(34)->width(), 10);
    int shown = 0;
    for (int i = 0; i < 84; ++i)
        shown += key(i)->isVisible() ? 1 : 0;
    EXPECT_EQ(shown, 72);

    const QString shifted = QString("Sh") + QChar(0x25C4) + QChar(0x2550);
    EXPECT_EQ(key(1)->text(), shifted);
    EXPECT_EQ(key(2)->text(), "&&"); // shown as "&", not taken as an access key
    const QFontMetrics metrics(key(1)->font());
    for (QChar glyph : {QChar(0x25BA), QChar(0x25C4), QChar(0x2191), QChar(0x2193), QChar(0x2500),
                        QChar(0x2550), QChar(0x2518), QChar(0x2219)})
        EXPECT_TRUE(metrics.inFont(glyph)) << int(glyph.unicode());
    EXPECT_LE(metrics.horizontalAdvance(shifted), key(1)->width());

    auto* recent = child<QAction>(m_main.get(), "File_7");
    EXPECT_TRUE(recent->isVisible());
    EXPECT_EQ(recent->text(), "/shop/a&&b.KBD");
    EXPECT_FALSE(child<QAction>(m_main.get(), "File_8")->isVisible());
    EXPECT_FALSE(child<QAction>(m_main.get(), "Edit_1")->isVisible());

    // The start said why the on-screen keyboard will be blank.
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    const QString text = m_dialogs.messages[0].text;
    EXPECT_TRUE(text.contains("incomplete") && text.contains(m_dir.path()));
    EXPECT_TRUE(text.contains("SCNTBL.BIN: 100 of 1242 bytes") &&
                text.contains("ASSOC1.BIN: missing") && text.contains("SWISST.BIN: missing"));
}

TEST_F(MainFormTest, KeysAndFunctionKeysReachTheirWindows)
{
    std::vector<std::string> shown;
    int editedKey = -1;
    const MainFormLogic& w = m_main->logic();
    QObject::connect(&w, &MainFormLogic::keyEditorRequested, [&](int k, const KeyRecord&, int) {
        editedKey = k;
        shown.push_back("editor");
    });
    QObject::connect(&w, &MainFormLogic::keyDefinitionsRequested, [&] { shown.push_back("hint"); });
    QObject::connect(&w, &MainFormLogic::testRequested, [&] { shown.push_back("test"); });
    QObject::connect(&w, &MainFormLogic::programmingRequested, [&] { shown.push_back("program"); });

    QTest::mouseClick(key(5), Qt::LeftButton);
    EXPECT_EQ(editedKey, 5);
    QTest::mousePress(key(1), Qt::RightButton);
    QTest::mouseRelease(key(1), Qt::RightButton);
    // The form sees F5 and F7 whichever key has the focus.
    QTest::keyClick(key(7), Qt::Key_F5);
    QTest::keyClick(key(9), Qt::Key_F7);
    EXPECT_EQ(shown, (std::vector<std::string>{"editor", "hint", "program", "test"}));
}

TEST_F(MainFormTest, ClosingAsksOnlyWhenChanged)
{
    m_document.markChanged();
    m_dialogs.answers = {Answer::Cancel};
    EXPECT_FALSE(m_main->close());
    EXPECT_TRUE(m_main->isVisible());

    m_document.markUnchanged();
    EXPECT_TRUE(m_main->close());
    EXPECT_EQ(m_dialogs.questions.size(), 1u);
    EXPECT_EQ(ReadBytes(QDir(m_dir.path()).filePath("PALIX.INI")).size(), 10000);
}

// A logout that comes while the exit question is open ends the program all
// the same: the question, closed by it, does not keep the window open.
TEST_F(MainFormTest, ATerminationWhileTheExitQuestionIsOpenEndsTheProgram)
{
    struct InterruptedDialogs : ScriptedDialogs
    {
        std::function<void()> interrupt;
        Answer askYesNoCancel(const QString&, const QString&) override
        {
            std::exchange(interrupt, nullptr)();
            return Answer::Cancel; // what a closed question box answers
        }
    } dialogs;
    MainForm main(m_document, *m_tables, folders(), dialogs, m_help);
    main.show();
    m_document.markChanged();
    dialogs.interrupt = [&] { main.closeForTermination(); };
    main.close();
    EXPECT_FALSE(main.isVisible());
    EXPECT_TRUE(m_document.isChanged());
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
    EXPECT_TRUE(help.window()->browser()->toPlainText().contains("About files"));

    // The contents page is missing: the window says so instead of going blank.
    help.showHelp(helpFile, HelpCommand::Contents, 0);
    EXPECT_TRUE(help.window()->browser()->toPlainText().contains("MORVA.HLP"));

    help.showHelp(helpFile, HelpCommand::Quit, 0);
    EXPECT_FALSE(help.window()->isVisible());
}

// The focused key copied over another, a key dragged onto another, both taken
// back by undo; each key says in its tooltip what it types, and shows it on
// request, a choice kept for the next start.
TEST_F(MainFormTest, KeysAreCopiedSwappedAndReadable)
{
    changeKey(5, [](KeyRecord& r) {
        SetDef(r, 0, Tokens({"C", "O", "F", "F", "E", "E"}));
        SetDef(r, 1, Tokens({"L", "A", "T", "T", "E", "Spc", "2", ".", "5", "0"}));
        r.RepeatFlags = 2;
    });
    m_main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_main.get()));
    const LayoutRecordArray before = m_document.records();
    key(5)->setFocus();
    QTest::keyClick(key(5), Qt::Key_C, Qt::ControlModifier);
    key(6)->setFocus();
    QTest::keyClick(key(6), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(KeyContent::Of(m_document.key(6)).levels, KeyContent::Of(before[6]).levels);
    EXPECT_EQ(key(6)->text(), "<#>");

    int editorOpened = 0;
    QObject::connect(&m_main->logic(), &MainFormLogic::keyEditorRequested, [&] { ++editorOpened; });
    const QPoint onSix = key(0)->mapFromGlobal(key(6)->mapToGlobal(key(6)->rect().center()));
    QTest::mousePress(key(0), Qt::LeftButton);
    QTest::mouseMove(key(0), onSix);
    QTest::mouseRelease(key(0), Qt::LeftButton, {}, onSix);
    EXPECT_EQ(m_document.key(6).definition(0), before[1].definition(0));
    EXPECT_EQ(m_document.key(0).definition(0), before[6].definition(0));
    EXPECT_EQ(editorOpened, 0) << "a drag is no click";

    EXPECT_EQ(key(5)->toolTip(),
              QString("COFFEE\nFunc1: LATTE 2.50  \u21BB repeats while held\nFunc2: \u2014"));
    menu("ShowKeyText");
    EXPECT_EQ(key(5)->text(), "COFFEE");
    EXPECT_EQ(key(6)->text(), QString("<BkSp>"));
    EXPECT_TRUE(QSettings(QDir(m_dir.path()).filePath("morvaw.conf"), QSettings::IniFormat)
                    .value("view/showKeyText")
                    .toBool());

    menu("Undo");
    menu("Undo");
    EXPECT_EQ(m_document.records(), before);
}
