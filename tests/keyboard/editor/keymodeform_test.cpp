#include "configuratorrig.h"
#include "editorfolder.h"
#include "inputlinepicture.h"
#include "picturekey.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

using namespace morvaw;
using namespace morvaw::test;

namespace {

// The configurator's windows over a folder with the shipped data files.
class KeyModeFormTest : public ConfiguratorRig
{
protected:
    void SetUp() override { start(Language::USA); }

    void start(std::uint8_t language)
    {
        TearDown();
        m_folder = std::make_unique<EditorFolder>(language);
        ConfiguratorRig::SetUp();
    }
    [[nodiscard]] FileFolders folders() const override { return m_folder->folders(); }

    template <typename T = QWidget> T* ed(const QString& name) const
    {
        T* w = m_keyEditor->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    [[nodiscard]] QString lineText(int k) const
    {
        return ed<InputLinePicture>(QString("DKInputLinePict_%1").arg(k))->text();
    }
    void click(const QString& name) { QTest::mouseClick(ed(name), Qt::LeftButton); }

    void type(QWidget* line, const QString& text)
    {
        for (QChar c : text) {
            const auto key = c == QLatin1Char('\b') ? Qt::Key_Backspace : Qt::Key_unknown;
            QTest::sendKeyEvent(QTest::Click, line, key, QString(c), Qt::NoModifier);
        }
    }

    void openKey(int key)
    {
        QTest::mouseClick(m_main->findChild<QWidget*>(QString("KeyBtn_%1").arg(key)),
                          Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitForWindowActive(m_keyEditor.get()));
        EXPECT_FALSE(m_main->isEnabled());
        EXPECT_EQ(m_keyEditor->windowTitle(), "Define Key");
    }
    void contr(std::initializer_list<int> buttons)
    {
        for (int b : buttons)
            click(QString("contr_%1").arg(b));
    }
    void picture(int n) { QTest::mousePress(ed(QString("BtnPict_%1").arg(n)), Qt::LeftButton); }
    void row(int n)
    {
        auto* list = ed<QListWidget>("ListTable");
        list->scrollToItem(list->item(n));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(n)).center());
    }
    void entry(int box, const QString& text)
    {
        QWidget* w = ed(QString("Text1_%1").arg(box));
        QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(w, text);
        if (box > 0)
            QTest::keyClick(w, Qt::Key_Return);
    }

    std::unique_ptr<EditorFolder> m_folder;
};

} // namespace

TEST_F(KeyModeFormTest, EditsThroughTheWindowAreSaved)
{
    LayoutRecordArray expected{};
    ASSERT_TRUE(ReadLayoutFile(Native(m_folder->layout()), expected).ok);
    // Edits of keys and of the scan table, as a user makes them.
    enum {
        TableOk = 0,
        TableCancel = 1,
        EditOk = 2,
        TableEdit = 4,
        KeyOk = 6,
        KeyCancel = 7,
        KeySpecial = 8
    };
    openKey(3);
    type(ed("DKInputLinePict_0"), QStringLiteral("ab c\bù\u0161"));
    EXPECT_EQ(lineText(0), ".a.b.Spc.");
    EXPECT_EQ(ed<QLabel>("LengthLabel_0")->text(), "9 of 60");
    click("DKInputLinePict_1");
    click("Btn_338");
    picture(OnScreen::NumLock);
    click("Btn_355");
    picture(OnScreen::LeftShift);
    click("Btn_317");
    picture(OnScreen::RightShift);
    click("Check1_1");
    contr({KeySpecial});
    picture(OnScreen::LeftCtrl);
    row(40);
    contr({TableOk});
    picture(OnScreen::RightCtrl);
    contr({KeySpecial, TableEdit});
    entry(0, "Mine");
    entry(1, "70");
    entry(2, "1");
    contr({EditOk, TableCancel, KeyOk});
    openKey(10);
    contr({KeySpecial});
    click("Func2");
    contr({KeyOk});
    openKey(20);
    type(ed("DKInputLinePict_0"), "x");
    contr({KeyCancel});
    openKey(21);
    contr({KeySpecial});
    row(140);
    contr({TableOk, KeyOk});
    EXPECT_FALSE(m_keyEditor->isVisible());
    EXPECT_TRUE(m_main->isEnabled());
    EXPECT_EQ(m_main->findChild<QPushButton*>("KeyBtn_10")->text(), "Func2");
    EXPECT_TRUE(m_dialogs.messages.empty());
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_main.get()));
    QTest::keyClick(m_main.get(), Qt::Key_F2);

    // Key 3: two lines and a repeat flag; key 10: Func2 alone; key 20
    // cancelled; key 21: the record stored on the table page.
    SetDef(expected[4], 0, Tokens({"a", "b", "Spc"}));
    SetDef(expected[4], 1, Tokens({"q", "Pad 8", "!", "^Esc"}));
    expected[4].RepeatFlags ^= 2;
    SetDef(expected[11], 0, "Func2");
    SetDef(expected[11], 3, "");
    SetDef(expected[22], 0, Tokens({"Mine"}));
    LayoutRecordArray saved{};
    ASSERT_TRUE(ReadLayoutFile(Native(m_folder->layout()), saved).ok);
    for (std::size_t n = 1; n <= 100; ++n)
        EXPECT_EQ(saved[n], expected[n]) << "record " << n;
    EXPECT_EQ(ReadBytes(m_folder->file("STCUSA.TBL")).mid(140 * 9, 9), "Mine   \x70\x01");
}

TEST_F(KeyModeFormTest, PicturesAndCaptionsFollowTheModifiers)
{
    QTest::mouseClick(m_main->findChild<QWidget*>("KeyBtn_0"), Qt::LeftButton);
    auto* leftShift = ed<PictureKey>("BtnPict_0");
    const QImage released = leftShift->picture().toImage();
    QTest::mousePress(leftShift, Qt::LeftButton);
    EXPECT_EQ(ed<PictureKey>("BtnPict_1")->picture().toImage(), QImage(m_folder->file("sr1.bmp")));
    EXPECT_EQ(leftShift->picture().toImage(), QImage(m_folder->file("sl1.bmp")));
    QTest::mousePress(ed("BtnPict_6"), Qt::LeftButton);
    EXPECT_EQ(ed<QPushButton>("Btn_338")->text(), "q");
    QTest::mousePress(leftShift, Qt::LeftButton);
    EXPECT_EQ(leftShift->picture().toImage(), released);
    EXPECT_EQ(ed<QPushButton>("Btn_338")->text(), "Q");
    EXPECT_FALSE(ed("Btn_374")->isVisible());
    const int usWidth = leftShift->width();

    // Ctrl on the table page and a second click switching it off.
    click("contr_8");
    EXPECT_TRUE(ed("FrameTable")->isVisible());
    click("OpShft_0");
    click("OpShft_0");
    EXPECT_TRUE(ed<QRadioButton>("OpShft_3")->isChecked());
    click("contr_7");

    start(Language::Spain);
    QTest::mouseClick(m_main->findChild<QWidget*>("KeyBtn_0"), Qt::LeftButton);
    EXPECT_TRUE(ed("Btn_374")->isVisible());
    EXPECT_LT(ed("BtnPict_0")->width(), usWidth * 2 / 3);
    // No gap wider than between two letters, at whatever size the keys are drawn.
    EXPECT_NEAR(ed("Btn_375")->x() - ed("Btn_374")->geometry().right(),
                ed("Btn_376")->x() - ed("Btn_375")->geometry().right(), 1);
}

// Ok and Cancel: the options windows test; the close box cancels too.
TEST_F(KeyModeFormTest, MsrModeHandsNothingBackOnClosing)
{
    QSignalSpy closed(m_keyEditor.get(), &KeyModeForm::msrClosed);
    bool accepted = false;
    m_keyEditor->editMsrLines({}, Language::USA, [&](const MsrLines&) { accepted = true; });
    EXPECT_EQ(m_keyEditor->windowTitle(), "MSR Parameters");
    EXPECT_TRUE(ed("FrameMsr")->isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_keyEditor.get()));
    QTest::mouseClick(ed("MSRInpLinePict_2"), Qt::LeftButton); // typing goes to the focused line
    type(ed("MSRInpLinePict_2"), "A B");
    EXPECT_EQ(ed<InputLinePicture>("MSRInpLinePict_2")->text(), ".A. .B.");
    m_keyEditor->close();
    ASSERT_EQ(closed.count(), 1);
    EXPECT_FALSE(accepted);
    EXPECT_TRUE(m_main->isEnabled()); // MSR mode leaves the main window to its own caller
}

// While a window is open over the main window its keys take no click: a right
// click neither opens the hint nor takes another key into the work copy.
TEST_F(KeyModeFormTest, TheMainWindowTakesNoClickWhileAWindowIsOpenOverIt)
{
    QWidget* key1 = m_main->findChild<QWidget*>("KeyBtn_1");
    KeyRecord expected = m_document.records()[3];
    SetDef(expected, 0, Tokens({"y"}));

    openKey(2);
    type(ed("DKInputLinePict_0"), "y");
    QTest::mouseClick(key1, Qt::RightButton);
    EXPECT_FALSE(m_hint->isVisible());
    click("contr_6"); // Ok
    EXPECT_EQ(m_document.records()[3], expected);

    menu("Configure1");
    QTest::mouseClick(key1, Qt::RightButton);
    EXPECT_FALSE(m_hint->isVisible());
    QTest::mouseClick(m_keybConf->findChild<QWidget*>("Command2"), Qt::LeftButton);
    QTest::mouseClick(key1, Qt::RightButton);
    EXPECT_TRUE(m_hint->isVisible());
}

// Undo and redo in the main window: Ctrl+Z takes back what the key editor
// stored, Ctrl+Shift+Z brings it again, and the Edit menu says which.
TEST_F(KeyModeFormTest, UndoAndRedoTakeBackWhatTheEditorStored)
{
    auto* key3 = m_main->findChild<QPushButton*>("KeyBtn_3");
    const QString before = key3->text();
    openKey(3);
    type(ed("DKInputLinePict_0"), "y");
    click("contr_6"); // Ok
    ASSERT_EQ(key3->text(), "y");
    auto* undo = m_main->findChild<QAction*>("Undo");
    auto* redo = m_main->findChild<QAction*>("Redo");
    EXPECT_EQ(undo->text(), "&Undo Define Key");
    EXPECT_FALSE(redo->isEnabled());

    ASSERT_TRUE(QTest::qWaitForWindowActive(m_main.get()));
    QTest::keyClick(m_main.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(key3->text(), before);
    EXPECT_EQ(redo->text(), "&Redo Define Key");
    EXPECT_FALSE(undo->isEnabled());
    QTest::keyClick(m_main.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(key3->text(), "y");
}
