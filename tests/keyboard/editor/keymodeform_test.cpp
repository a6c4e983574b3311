#include "editorfolder.h"
#include "fakes.h"
#include "inputlinepicture.h"
#include "keymodeform.h"
#include "keymodelogic.h"
#include "mainform.h"
#include "picturekey.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

using namespace morvaw;
using namespace morvaw::test;

namespace {

// One thing a user does, done either on the windows or through the logic alone.
struct Step
{
    enum Kind { Key, Type, Focus, OnScreen, Picture, Contr, Function, Rpt, Row, Text } kind;
    int arg = 0;
    QString text = {};
};

// Edits of keys and of the scan table, as a user makes them.
const std::vector<Step> kSession = {
    {Step::Key, 3},
    {Step::Type, 0, QStringLiteral("ab c\bù\u0161")},
    {Step::Focus, 1},
    {Step::OnScreen, 338},
    {Step::Picture, OnScreen::NumLock},
    {Step::OnScreen, 355},
    {Step::Picture, OnScreen::LeftShift},
    {Step::OnScreen, 317},
    {Step::Picture, OnScreen::RightShift},
    {Step::Rpt, 1},
    {Step::Contr, KeyModeLogic::KeySpecial},
    {Step::Picture, OnScreen::LeftCtrl},
    {Step::Row, 40},
    {Step::Contr, KeyModeLogic::TableOk},
    {Step::Picture, OnScreen::RightCtrl},
    {Step::Contr, KeyModeLogic::KeySpecial},
    {Step::Contr, KeyModeLogic::TableEdit},
    {Step::Text, 0, QStringLiteral("Mine")},
    {Step::Text, 1, QStringLiteral("70")},
    {Step::Text, 2, QStringLiteral("1")},
    {Step::Contr, KeyModeLogic::EditOk},
    {Step::Contr, KeyModeLogic::TableCancel},
    {Step::Contr, KeyModeLogic::KeyOk},
    {Step::Key, 10},
    {Step::Contr, KeyModeLogic::KeySpecial},
    {Step::Function, KeyModeLogic::Func2Button},
    {Step::Contr, KeyModeLogic::KeyOk},
    {Step::Key, 20},
    {Step::Type, 0, QStringLiteral("x")},
    {Step::Contr, KeyModeLogic::KeyCancel},
    {Step::Key, 21},
    {Step::Contr, KeyModeLogic::KeySpecial},
    {Step::Row, 140},
    {Step::Contr, KeyModeLogic::TableOk},
    {Step::Contr, KeyModeLogic::KeyOk},
};

class KeyModeFormTest : public ::testing::Test
{
protected:
    void SetUp() override { start(Language::USA); }

    void start(std::uint8_t language)
    {
        m_editor.reset();
        m_main.reset();
        m_folder = std::make_unique<EditorFolder>(language);
        m_state = m_folder->startedState();
        m_main = std::make_unique<MainForm>(*m_state, m_dialogs, m_help);
        m_editor = std::make_unique<KeyModeForm>(*m_state, m_dialogs);
        m_editor->attachToMainForm(*m_main);
        m_main->show();
        QApplication::processEvents();
    }

    template <typename T = QWidget> T* ed(const QString& name) const
    {
        T* w = m_editor->findChild<T*>(name);
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

    void onWindows(const Step& s)
    {
        switch (s.kind) {
        case Step::Key:
            QTest::mouseClick(m_main->findChild<QWidget*>(QString("KeyBtn_%1").arg(s.arg)),
                              Qt::LeftButton);
            EXPECT_TRUE(QTest::qWaitForWindowActive(m_editor.get()));
            m_typingLine = 0;
            break;
        case Step::Type:
            type(ed(QString("DKInputLinePict_%1").arg(m_typingLine)), s.text);
            break;
        case Step::Focus:
            m_typingLine = s.arg;
            click(QString("DKInputLinePict_%1").arg(s.arg));
            break;
        case Step::OnScreen:
            click(QString("Btn_%1").arg(s.arg));
            break;
        case Step::Picture:
            QTest::mousePress(ed(QString("BtnPict_%1").arg(s.arg)), Qt::LeftButton);
            break;
        case Step::Contr:
            click(QString("contr_%1").arg(s.arg));
            break;
        case Step::Function:
            click(std::array{"Func1", "Func2", "FuncToggle"}[static_cast<std::size_t>(s.arg)]);
            break;
        case Step::Rpt:
            click(QString("Check1_%1").arg(s.arg));
            break;
        case Step::Row: {
            auto* list = ed<QListWidget>("ListTable");
            list->scrollToItem(list->item(s.arg));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(s.arg)).center());
            break;
        }
        case Step::Text: {
            QWidget* box = ed(QString("Text1_%1").arg(s.arg));
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(box, s.text);
            if (s.arg > 0)
                QTest::keyClick(box, Qt::Key_Return);
            break;
        }
        }
    }

    std::unique_ptr<EditorFolder> m_folder;
    std::unique_ptr<ConfiguratorState> m_state;
    ScriptedDialogs m_dialogs;
    RecordingHelp m_help;
    std::unique_ptr<MainForm> m_main;
    std::unique_ptr<KeyModeForm> m_editor;
    int m_typingLine = 0;
};

} // namespace

TEST_F(KeyModeFormTest, EditsThroughTheWindowAreSaved)
{
    LayoutRecordArray expected{};
    ASSERT_TRUE(ReadLayoutFile(Native(m_folder->layout()), expected).ok);
    for (const Step& s : kSession) {
        onWindows(s);
        if (s.kind == Step::Key) {
            EXPECT_TRUE(m_editor->isVisible());
            EXPECT_FALSE(m_main->isEnabled());
            EXPECT_EQ(m_editor->windowTitle(), "Define Key");
        }
        if (s.kind == Step::Type && s.text.size() > 1) {
            EXPECT_EQ(lineText(0), ".a.b.Spc.");
        }
    }
    EXPECT_FALSE(m_editor->isVisible());
    EXPECT_TRUE(m_main->isEnabled());
    EXPECT_EQ(m_main->findChild<QPushButton*>("KeyBtn_10")->text(), "Func2");
    EXPECT_TRUE(m_dialogs.messages.empty());
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_main.get()));
    QTest::keyClick(m_main.get(), Qt::Key_F2);

    // Key 3: two lines and a repeat flag; key 10: Func2 alone; key 20
    // cancelled; key 21: the record stored on the table page.
    SetDef0(expected[4], Tokens({"a", "b", "Spc"}));
    const std::string line1 = Tokens({"q", "Pad 8", "!", "^Esc"});
    expected[4].Def1.assign(line1);
    expected[4].Len1 = static_cast<std::uint8_t>(line1.size());
    expected[4].RepeatFlags ^= 2;
    SetDef0(expected[11], "Func2");
    expected[11].Def3.assign("");
    expected[11].Len3 = 0;
    SetDef0(expected[22], Tokens({"Mine"}));
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
    EXPECT_EQ(ed("Btn_374")->geometry().right() + 1 + 4, ed("Btn_375")->x()); // no gap
}

TEST_F(KeyModeFormTest, MsrModeReportsItsStatusOnClosing)
{
    QSignalSpy closed(m_editor.get(), &KeyModeForm::msrClosed);
    m_editor->openForMsr();
    EXPECT_EQ(m_editor->windowTitle(), "MSR Parameters");
    EXPECT_TRUE(ed("FrameMsr")->isVisible());
    type(ed("MSRInpLinePict_0"), "A B");
    EXPECT_EQ(ed<InputLinePicture>("MSRInpLinePict_0")->text(), ".A. .B.");
    click("contr_13");
    EXPECT_FALSE(m_editor->isVisible());
    m_editor->openForMsr();
    type(ed("MSRInpLinePict_2"), "z");
    m_editor->close();
    ASSERT_EQ(closed.count(), 2);
    EXPECT_EQ(closed[0][0].toInt(), 2);
    EXPECT_EQ(closed[1][0].toInt(), 3);
    EXPECT_EQ(m_state->MsrKeys[0].Def0.str().substr(0, 7), Tokens({"A", " ", "B"}));
    EXPECT_EQ(m_state->MsrKeys[2].Len0, 0);
    EXPECT_TRUE(m_main->isEnabled()); // MSR mode leaves the main window to its own caller
}

int main(int argc, char** argv)
{
    // Also when ctest lists the tests, which it does without the test environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Made first and gone before the leak check, with the libraries it started.
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
