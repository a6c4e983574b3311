#include "document/testlayouts.h"
#include "hintmacrosform.h"
#include "inputlinepicture.h"
#include "testform.h"
#include "windowrig.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>

using namespace morvaw;
using namespace morvaw::test;

namespace {

class TestWindowsTest : public MainWindowRig
{
protected:
    void SetUp() override
    {
        MainWindowRig::SetUp();
        TestForm::attachToMainForm(*m_main);
        m_hint = std::make_unique<HintMacrosForm>(*m_state);
        m_hint->attachToMainForm(*m_main);
    }

    [[nodiscard]] TestForm* openTest()
    {
        QTest::keyClick(m_main.get(), Qt::Key_F7);
        TestForm* form = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* t = qobject_cast<TestForm*>(w); t && t->isVisible())
                form = t;
        }
        EXPECT_NE(form, nullptr);
        EXPECT_FALSE(m_main->isEnabled());
        return form;
    }
    // The test is over: the window went away, F1 and the main window work again.
    void expectBackInMain(const QPointer<TestForm>& form)
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(form.isNull());
        EXPECT_TRUE(m_main->isEnabled());
        EXPECT_EQ(m_main->logic().AppHelpFile(), m_main->logic().HelpFile());
        EXPECT_FALSE(m_main->logic().HelpFile().isEmpty());
    }

    std::unique_ptr<HintMacrosForm> m_hint;
};

TEST_F(TestWindowsTest, KeysAreWrittenAsTokensAndAltXReturnsWithHelp)
{
    QPointer<TestForm> form = openTest();
    ASSERT_TRUE(form);
    EXPECT_TRUE(m_main->logic().AppHelpFile().isEmpty());
    auto* text1 = child<QPlainTextEdit>(form, "Text1");
    QTest::keyClick(text1, Qt::Key_Return);
    QTest::keyClicks(text1, "a");
    QTest::keyClick(text1, Qt::Key_F5, Qt::ControlModifier);
    QTest::keyClick(text1, Qt::Key_A, Qt::AltModifier);
    QTest::keyClick(text1, Qt::Key_3, Qt::KeypadModifier);
    QTest::keyClick(text1, Qt::Key_Left);
    // A modifier pressed on its own is a key stroke too.
    EXPECT_EQ(text1->toPlainText(), "<Return>a<Ctrl><F5><Alt>A<Pad3><Left>");
    EXPECT_EQ(text1->textCursor().position(), text1->toPlainText().size());

    QTest::keyClick(text1, Qt::Key_X, Qt::AltModifier);
    expectBackInMain(form);
}

TEST_F(TestWindowsTest, AClickElsewhereStaysAndTheExitLabelReturns)
{
    QPointer<TestForm> form = openTest();
    ASSERT_TRUE(form);
    QTest::mouseClick(form, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(child(form, "Text1"), Qt::LeftButton);
    ASSERT_TRUE(form && form->isVisible());
    EXPECT_FALSE(m_main->isEnabled());

    // With the mouse held, the press on the label reaches the window itself.
    QTest::mousePress(form, Qt::LeftButton, {}, child<QLabel>(form, "Label1")->geometry().center());
    expectBackInMain(form);

    form = openTest();
    ASSERT_TRUE(form);
    QTest::mouseClick(child(form, "Label1"), Qt::LeftButton);
    expectBackInMain(form);
}

TEST_F(TestWindowsTest, RightButtonShowsTheKeysThreeLinesAndAnyClickCloses)
{
    auto& key = m_state->LayoutRecords[3];
    SetDef(key, 0, Tokens({"a", "Spc"}));
    SetDef(key, 1, "Func1");
    SetDef(key, 2, Tokens({"\x18"}));
    m_state->LayoutChanged = false;

    for (const char* target : {"InputLinePict_2", ""}) {
        QTest::mouseClick(child(m_main.get(), "KeyBtn_2"), Qt::RightButton);
        ASSERT_TRUE(m_hint->isVisible());
        EXPECT_FALSE(m_main->isEnabled());
        const QString shown[] = {".a.Spc.", "Func1", ".Up."};
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(
                child<InputLinePicture>(m_hint.get(), QString("InputLinePict_%1").arg(k))->text(),
                shown[k]);
        QWidget* where = *target ? child(m_hint.get(), target) : m_hint.get();
        QTest::mouseClick(where, Qt::LeftButton, {}, QPoint(2, 2));
        EXPECT_FALSE(m_hint->isVisible());
        EXPECT_TRUE(m_main->isEnabled());
    }
    EXPECT_FALSE(m_state->LayoutChanged);

    QTest::mouseClick(child(m_main.get(), "KeyBtn_5"), Qt::RightButton);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(child<InputLinePicture>(m_hint.get(), QString("InputLinePict_%1").arg(k))->text(),
                  "");
}

} // namespace
