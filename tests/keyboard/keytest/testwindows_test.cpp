#include "configuratorrig.h"
#include "document/testlayouts.h"
#include "inputlinepicture.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>

using namespace morvaw;
using namespace morvaw::test;

namespace {

class TestWindowsTest : public ConfiguratorRig
{
protected:
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
        EXPECT_EQ(m_main->logic().appHelpFile(), m_main->logic().helpFile());
        EXPECT_FALSE(m_main->logic().helpFile().isEmpty());
    }
};

TEST_F(TestWindowsTest, KeysAreWrittenAsTokensAndAltXReturnsWithHelp)
{
    QPointer<TestForm> form = openTest();
    ASSERT_TRUE(form);
    EXPECT_TRUE(m_main->logic().appHelpFile().isEmpty());
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
    changeKey(2, [](KeyRecord& key) {
        SetDef(key, 0, Tokens({"a", "Spc"}));
        SetDef(key, 1, "Func1");
        SetDef(key, 2, Tokens({"\x18"}));
    });
    m_document.markUnchanged();

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
    EXPECT_FALSE(m_document.isChanged());

    QTest::mouseClick(child(m_main.get(), "KeyBtn_5"), Qt::RightButton);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(child<InputLinePicture>(m_hint.get(), QString("InputLinePict_%1").arg(k))->text(),
                  "");
}

} // namespace
