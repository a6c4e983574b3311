// What the configurator offers beside its own keys: the shortcuts desktop
// programs share, and switches a screen reader can name.
#include "configuratorrig.h"
#include "editorfolder.h"

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
    // The shortcut as the keyboard gives it to the main window; the file
    // dialog it opens, if any, is cancelled.
    void press(QKeyCombination key, std::deque<Answer> answers = {})
    {
        m_dialogs.answers = std::move(answers);
        m_dialogs.fileNames = {std::nullopt};
        m_main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_main.get()));
        QTest::keyClick(m_main->windowHandle(), key.key(), key.keyboardModifiers());
    }
    // Where the file dialog the last shortcut opened started; empty for none.
    [[nodiscard]] QString dialogStart()
    {
        const QString start = m_dialogs.fileNames.empty() && !m_dialogs.dialogs.empty()
                                  ? m_dialogs.dialogs.back().initialName
                                  : QString();
        m_dialogs.dialogs.clear();
        return start;
    }

    std::unique_ptr<EditorFolder> m_folder;
};

TEST_F(DesktopKeys, ShortcutsOpenTheirCommandsAndSaveDialogsStartAtTheFile)
{
    press(Qt::CTRL | Qt::Key_O);
    EXPECT_FALSE(dialogStart().isEmpty());
    press(Qt::CTRL | Qt::SHIFT | Qt::Key_S);
    EXPECT_EQ(dialogStart(), m_folder->layout());
    m_document.markChanged();
    press(Qt::CTRL | Qt::Key_Q, {Answer::Yes});
    EXPECT_EQ(m_dialogs.questions.at(0).text, "Layout changed. Save current changes ?");
    EXPECT_EQ(dialogStart(), m_folder->layout());
    EXPECT_TRUE(m_main->isVisible());
    press(Qt::CTRL | Qt::Key_N, {Answer::No});
    EXPECT_EQ(m_document.fileName(), "UNTITLED.KBD");
    EXPECT_TRUE(dialogStart().isEmpty());
    // A layout never saved is saved under a name the user gives, not into
    // the current folder over an earlier UNTITLED.KBD.
    press(Qt::CTRL | Qt::Key_S);
    EXPECT_EQ(dialogStart(), "*.KBD");
    press(Qt::CTRL | Qt::Key_P);
    EXPECT_TRUE(m_legends->isVisible());
}

TEST_F(DesktopKeys, ModifierSwitchesSayTheirNameAndState)
{
    QTest::mouseClick(child(m_main.get(), "KeyBtn_0"), Qt::LeftButton);
    QWidget* shift = child(m_keyEditor.get(), "BtnPict_0");
    EXPECT_EQ(shift->accessibleName(), "Left Shift");
    EXPECT_EQ(shift->accessibleDescription(), "off");
    QTest::mousePress(shift, Qt::LeftButton);
    EXPECT_EQ(shift->accessibleDescription(), "on");
}

} // namespace
