// The keys desktop users expect: Escape cancels a dialog, Return presses its
// default button, F1 opens the help topic of the window that has the focus.
#include "configuratorrig.h"
#include "editorfolder.h"
#include "keyboardrig.h"
#include "send2com.h"

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>

using namespace morvaw;
using namespace morvaw::test;

namespace {

// The dialogs of "Program Kbd": the button that opens each, and its name.
constexpr std::pair<const char*, const char*> kProgrammingDialogs[] = {
    {"BtnPorts", "PortChooserForm"}, {"LogButton", "ProgrammingLog"}};

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
    static void press(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        widget->setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowActive(widget->window()));
        QTest::keyClick(widget->window()->windowHandle(), key, modifiers);
    }
    // "Program Kbd" as main opens it, with its port chooser and its log.
    Send2Com* openProgramming()
    {
        m_devices.listed = {{"/dev/ttyUSB0", "POS keyboard", "Maker", "K1", {}}};
        m_chooser = std::make_unique<PortChooser>(m_devices, m_folder->path());
        ProgrammingWindowOpener(m_keyboard.windowServices(*m_chooser), m_main.get(), {})();
        return m_main->findChild<Send2Com*>();
    }
    // The dialog `button` of the programming window opens.
    QDialog* openFromProgramming(Send2Com* programming, const char* button, const char* dialog)
    {
        QTest::mouseClick(child(programming, button), Qt::LeftButton);
        return child<QDialog>(programming, dialog);
    }
    // The help topic last asked for; 0 for none.
    [[nodiscard]] int lastTopic() const
    {
        return m_help.requests.empty() ? 0 : m_help.requests.back().context;
    }

    std::unique_ptr<EditorFolder> m_folder;
    KeyboardRig m_keyboard{2};
    ListedDevices m_devices;
    std::unique_ptr<PortChooser> m_chooser;
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

    // "Print legends…" (Ctrl+P): Escape leaves it, Return prints.
    press(child(m_main.get(), "KeyBtn_2"), Qt::Key_P, Qt::ControlModifier);
    ASSERT_TRUE(m_legends->isVisible());
    QString printDialog;
    QTimer::singleShot(0, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            printDialog = dialog->windowTitle();
            dialog->close();
        }
    });
    press(child(m_legends.get(), "LegendTable"), Qt::Key_Return);
    EXPECT_EQ(printDialog, "Print legends");
    m_legends->activateWindow();
    press(child(m_legends.get(), "LegendTable"), Qt::Key_Escape);
    EXPECT_FALSE(m_legends->isVisible());
    EXPECT_TRUE(m_main->isEnabled());

    // "Program Kbd", idle: its port chooser and log close on Escape, the
    // chooser binds the chosen device on Return; then Escape leaves it for
    // the main window.
    Send2Com* programming = openProgramming();
    ASSERT_NE(programming, nullptr);
    for (const auto& [button, name] : kProgrammingDialogs) {
        QPointer<QDialog> dialog = openFromProgramming(programming, button, name);
        ASSERT_NE(dialog, nullptr);
        press(dialog->focusWidget() ? dialog->focusWidget() : dialog.get(), Qt::Key_Escape);
        EXPECT_TRUE(!dialog || !dialog->isVisible()) << name; // the log goes when closed
    }
    QPointer<QDialog> log = openFromProgramming(programming, "LogButton", "ProgrammingLog");
    press(log->focusWidget() ? log->focusWidget() : log.get(), Qt::Key_Return);
    EXPECT_TRUE(!log || !log->isVisible());
    QDialog* chooser = openFromProgramming(programming, "BtnPorts", "PortChooserForm");
    auto* devices = child<QTreeWidget>(chooser, "PortList");
    devices->setCurrentItem(devices->topLevelItem(0));
    child<QComboBox>(chooser, "BindPort")->setCurrentIndex(1);
    press(devices, Qt::Key_Return);
    EXPECT_EQ(m_chooser->bindings().LinkTarget(2).value_or(""), "/dev/ttyUSB0");
    chooser->reject();
    programming->activateWindow();
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

    menu("PrintLegends");
    press(child(m_legends.get(), "LegendTable"), Qt::Key_F1);
    EXPECT_EQ(lastTopic(), MainFormLogic::kLegendsHelp);
    m_legends->close();
    Send2Com* programming = openProgramming();
    for (const auto& [button, dialog] : kProgrammingDialogs) {
        m_help.requests.clear();
        QDialog* shown = openFromProgramming(programming, button, dialog);
        press(shown->focusWidget() ? shown->focusWidget() : shown, Qt::Key_F1);
        EXPECT_EQ(lastTopic(), MainFormLogic::kProgramHelp) << dialog;
        shown->reject();
    }
    programming->close();

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

// A termination request (a logout, SIGTERM) ends the program as closing the
// main window does, but without a question whatever window is open (the
// unsaved layout stays in the recovery copy), and leaves no window open to
// keep it running.
class Termination : public DesktopKeys, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(Termination, EndsWithoutAQuestionAndLeavesNoWindowOpen)
{
    const std::string open = GetParam();
    QString legends; // an edited legend is kept
    m_document.markChanged();
    if (open == "Define Key") {
        openKey(3);
        QTest::keyClicks(line(0), "y");
    } else if (open.starts_with("MSR")) {
        menu("Configure");
        if (open == "MSR Parameters")
            QTest::mouseClick(child(m_setParam.get(), "InputLinePict_0"), Qt::LeftButton);
    } else if (open == "Print legends") {
        const QString layout =
            QDir(QString::fromStdString(m_folder->path().string())).filePath("shop.KBD");
        ASSERT_TRUE(m_document.save(layout.toStdString()).ok);
        m_document.markChanged();
        menu("PrintLegends");
        child<QTableWidget>(m_legends.get(), "LegendTable")->item(0, 1)->setText("TEA");
        legends = layout + ".legends";
    } else {
        Send2Com* programming = openProgramming();
        for (const auto& [button, name] : kProgrammingDialogs)
            if (open == name)
                openFromProgramming(programming, button, name);
    }
    bool ended = false;
    TerminateProgramming(m_main.get(), [&] { ended = m_main->closeForTermination(); });
    EXPECT_TRUE(ended);
    EXPECT_TRUE(m_dialogs.questions.empty()) << m_dialogs.questions[0].text.toStdString();
    EXPECT_TRUE(m_keyboard.dialogs.questions.empty());
    EXPECT_TRUE(m_document.isChanged());
    EXPECT_TRUE(legends.isEmpty() || QFileInfo::exists(legends));
    // With no window left, Qt's event loop ends with the last one closed.
    for (const QWidget* window : QApplication::topLevelWidgets())
        EXPECT_FALSE(window->isVisible()) << window->objectName().toStdString();
}

INSTANTIATE_TEST_SUITE_P(EveryWindow, Termination,
                         ::testing::Values("Define Key", "MSR Configure", "MSR Parameters",
                                           "Print legends", "Program Kbd", "PortChooserForm",
                                           "ProgrammingLog"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::erase(name, ' ');
                             return name;
                         });

} // namespace
