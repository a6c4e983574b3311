// The keys desktop users expect: Escape cancels a dialog, Return presses its
// default button, F1 opens the help topic of the window that has the focus.
#include "configuratorrig.h"
#include "editorfolder.h"
#include "keyboardrig.h"
#include "send2com.h"

#include <QSignalSpy>

using namespace morvaw;
using namespace morvaw::test;

namespace {

class DesktopKeys : public ConfiguratorRig
{
protected:
    void SetUp() override
    {
        m_folder = std::make_unique<EditorFolder>();
        ConfiguratorRig::SetUp();
    }
    [[nodiscard]] FileFolders folders() const override { return m_folder->folders(); }

    void openKey(int key)
    {
        QTest::mouseClick(child(m_main.get(), QString("KeyBtn_%1").arg(key)), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_keyEditor.get()));
    }
    [[nodiscard]] QWidget* line(int k) const
    {
        return child(m_keyEditor.get(), QString("DKInputLinePict_%1").arg(k));
    }
    [[nodiscard]] std::string def0(int key) const { return m_document.key(key).Def0.str(); }
    // A key as the keyboard gives it: to the focus widget of the window,
    // through the window system (where shortcuts are looked up).
    static void press(QWidget* widget, Qt::Key key)
    {
        widget->setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowActive(widget->window()));
        QTest::keyClick(widget->window()->windowHandle(), key);
    }
    // The help topic last asked for; 0 for none.
    [[nodiscard]] int lastTopic() const
    {
        return m_help.requests.empty() ? 0 : m_help.requests.back().context;
    }

    std::unique_ptr<EditorFolder> m_folder;
};

TEST_F(DesktopKeys, EscapeCancelsAndReturnPressesTheDefaultButton)
{
    // Define Key: Return keeps what was typed, Escape drops it.
    openKey(0);
    QTest::keyClicks(line(0), "a");
    press(line(0), Qt::Key_Return);
    EXPECT_FALSE(m_keyEditor->isVisible());
    const std::string kept = def0(0);
    EXPECT_TRUE(kept.starts_with(Tokens({"a"}) + ' ')) << kept;
    openKey(0);
    QTest::keyClicks(line(0), "b");
    press(line(0), Qt::Key_Escape);
    EXPECT_FALSE(m_keyEditor->isVisible());
    EXPECT_EQ(def0(0), kept);

    // On the scan table Escape goes back to the lines, not out of the editor.
    openKey(1);
    QTest::mouseClick(child(m_keyEditor.get(), "contr_8"), Qt::LeftButton);
    press(m_keyEditor.get(), Qt::Key_Escape);
    EXPECT_TRUE(m_keyEditor->isVisible());
    EXPECT_TRUE(child(m_keyEditor.get(), "FrameMacros")->isVisible());
    press(m_keyEditor.get(), Qt::Key_Escape);
    EXPECT_FALSE(m_keyEditor->isVisible());
    EXPECT_TRUE(m_main->isEnabled());

    // The options windows hand back on Return only.
    QSignalSpy options(m_keybConf.get(), &KeybConf::accepted);
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        menu("Configure1");
        press(m_keybConf.get(), key);
        EXPECT_FALSE(m_keybConf->isVisible());
    }
    EXPECT_EQ(options.count(), 1);
    QSignalSpy msr(m_setParam.get(), &SetParam::accepted);
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Enter}) {
        menu("Configure");
        press(m_setParam.get(), key);
        EXPECT_FALSE(m_setParam->isVisible());
    }
    EXPECT_EQ(msr.count(), 1);
    EXPECT_TRUE(m_main->isVisible() && m_main->isEnabled());

    QTest::mousePress(child(m_main.get(), "KeyBtn_1"), Qt::RightButton);
    press(m_hint.get(), Qt::Key_Escape);
    EXPECT_FALSE(m_hint->isVisible());

    // "Program Kbd", idle: Escape leaves it for the main window.
    KeyboardRig keyboard(2);
    ProgrammingWindowOpener(ServicesFor(*keyboard.state, keyboard.dialogs, keyboard.clock,
                                        keyboard.link, keyboard.repeat),
                            m_main.get(), {})();
    auto* programming = m_main->findChild<Send2Com*>();
    ASSERT_NE(programming, nullptr);
    press(programming, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(m_main->findChild<Send2Com*>(), nullptr);
    EXPECT_TRUE(m_main->isVisible());
}

TEST_F(DesktopKeys, F1OpensTheTopicOfTheWindowWithTheFocus)
{
    press(child(m_main.get(), "KeyBtn_3"), Qt::Key_F1);
    EXPECT_EQ(lastTopic(), MainFormLogic::kMainWindowHelp);
    openKey(0);
    // A screen reader hears the modifier switches by name, with their state.
    QWidget* shift = child(m_keyEditor.get(), "BtnPict_0");
    EXPECT_EQ(shift->accessibleName(), "Left Shift");
    EXPECT_EQ(shift->accessibleDescription(), "off");
    QTest::mousePress(shift, Qt::LeftButton);
    EXPECT_EQ(shift->accessibleDescription(), "on");
    press(line(1), Qt::Key_F1);
    EXPECT_EQ(lastTopic(), MainFormLogic::kKeyEditorHelp);
    press(line(1), Qt::Key_Escape);
    menu("Configure1");
    press(child(m_keybConf.get(), "KbdLang"), Qt::Key_F1);
    EXPECT_EQ(lastTopic(), MainFormLogic::kKeyboardHelp);
    press(m_keybConf.get(), Qt::Key_Escape);
    menu("Configure");
    press(m_setParam.get(), Qt::Key_F1);
    EXPECT_EQ(lastTopic(), MainFormLogic::kMsrHelp);
    press(m_setParam.get(), Qt::Key_Escape);

    // The keyboard test writes F1 down as a key; it asks for no help.
    const auto asked = m_help.requests.size();
    menu("Edit_2");
    QWidget* test = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        test = w->objectName() == "TestForm" && w->isVisible() ? w : test;
    ASSERT_NE(test, nullptr);
    press(test->focusWidget() ? test->focusWidget() : test, Qt::Key_F1);
    EXPECT_EQ(m_help.requests.size(), asked);
    test->close();
}

} // namespace
