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
    // The shortcut as the keyboard gives it to the main window; where the
    // file dialog it opened (and that is cancelled) starts, empty for none.
    QString press(QKeyCombination key, std::deque<Answer> answers = {})
    {
        m_dialogs.answers = std::move(answers);
        m_dialogs.fileNames = {std::nullopt};
        m_dialogs.dialogs.clear();
        m_main->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(m_main.get()));
        QTest::keyClick(m_main->windowHandle(), key.key(), key.keyboardModifiers());
        return m_dialogs.dialogs.empty() ? QString() : m_dialogs.dialogs.back().initialName;
    }

    std::unique_ptr<EditorFolder> m_folder;
};

TEST_F(DesktopKeys, ShortcutsOpenTheirCommandsAndSaveDialogsStartAtTheFile)
{
    EXPECT_FALSE(press(Qt::CTRL | Qt::Key_O).isEmpty());
    EXPECT_EQ(press(Qt::CTRL | Qt::SHIFT | Qt::Key_S), m_folder->layout());
    m_document.markChanged();
    EXPECT_EQ(press(Qt::CTRL | Qt::Key_Q, {Answer::Yes}), m_folder->layout());
    EXPECT_EQ(m_dialogs.questions.at(0).text, "Layout changed. Save current changes ?");
    EXPECT_TRUE(m_main->isVisible());
    EXPECT_TRUE(press(Qt::CTRL | Qt::Key_N, {Answer::No}).isEmpty());
    EXPECT_EQ(m_document.fileName(), "UNTITLED.KBD");
    // A layout never saved gets a name from the user, rather than replacing
    // an earlier UNTITLED.KBD in the current folder.
    EXPECT_EQ(press(Qt::CTRL | Qt::Key_S), "*.KBD");
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
