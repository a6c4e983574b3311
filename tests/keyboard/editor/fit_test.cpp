// Every window of the configurator on a 1280x1024 screen at the scale factor
// of the run (ctest runs this at 1, 1.5 and 2): it fits the screen's free
// area with its buttons inside, and no text is drawn over other text.
#include "configuratorrig.h"
#include "editorfolder.h"
#include "htmlhelp.h"
#include "keyboardrig.h"
#include "qtuserdialogs.h"
#include "recoverykeeper.h"
#include "send2com.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QTimer>

using namespace morvaw;
using namespace morvaw::test;

namespace {

// The controls that show text, outside lists and pages (whose insides are
// theirs to draw).
std::vector<QWidget*> textControls(QWidget* window)
{
    std::vector<QWidget*> found;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        bool inView = false;
        for (QWidget* up = w->parentWidget(); up && up != window; up = up->parentWidget())
            inView = inView || qobject_cast<QAbstractItemView*>(up) || qobject_cast<QTextEdit*>(up);
        const auto* label = qobject_cast<QLabel*>(w);
        if (!inView && w->isVisibleTo(window) &&
            ((label && !label->text().isEmpty()) || qobject_cast<QAbstractButton*>(w) ||
             qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w)))
            found.push_back(w);
    }
    return found;
}

void ExpectFitsAndReadable(QWidget* window, const std::string& name)
{
    ASSERT_NE(window, nullptr) << name;
    QCoreApplication::processEvents();
    const QRect screen = window->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(window->frameGeometry()))
        << name << " at " << window->frameGeometry().width() << "x"
        << window->frameGeometry().height() << " on " << screen.width() << "x" << screen.height();
    const QSize least = window->minimumSizeHint().expandedTo(window->minimumSize());
    EXPECT_TRUE(least.width() <= screen.width() && least.height() <= screen.height())
        << name << " needs at least " << least.width() << "x" << least.height();
    const auto controls = textControls(window);
    const auto inWindow = [window](QWidget* w) {
        return QRect(w->mapTo(window, QPoint()), w->size());
    };
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const QRect place = inWindow(controls[i]);
        EXPECT_TRUE(!qobject_cast<QAbstractButton*>(controls[i]) || window->rect().contains(place))
            << name << ": " << controls[i]->objectName().toStdString() << " outside";
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            const bool related =
                controls[i]->isAncestorOf(controls[j]) || controls[j]->isAncestorOf(controls[i]);
            EXPECT_TRUE(related || !place.intersects(inWindow(controls[j])))
                << name << ": " << controls[i]->objectName().toStdString() << " over "
                << controls[j]->objectName().toStdString();
        }
    }
}

QWidget* topLevel(const char* name)
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String(name) && w->isVisible())
            return w;
    }
    return nullptr;
}

class EveryWindow : public ConfiguratorRig
{
protected:
    void SetUp() override
    {
        m_folder = std::make_unique<EditorFolder>(Language::Spain); // the "<" key too
        ConfiguratorRig::SetUp();
    }
    [[nodiscard]] FileFolders folders() const override { return m_folder->folders(); }
    void click(QWidget* window, const char* name)
    {
        QTest::mouseClick(child(window, QString::fromLatin1(name)), Qt::LeftButton);
    }

    std::unique_ptr<EditorFolder> m_folder;
};

TEST_F(EveryWindow, FitsTheScreenWithItsButtonsInsideAndNoTextOverText)
{
    ExpectFitsAndReadable(m_main.get(), "MainForm");
    m_main->resize(m_main->minimumSize());
    ExpectFitsAndReadable(m_main.get(), "MainForm at its smallest");

    QTest::mouseClick(child(m_main.get(), "KeyBtn_0"), Qt::LeftButton);
    ExpectFitsAndReadable(m_keyEditor.get(), "Define Key");
    click(m_keyEditor.get(), "contr_8"); // Special: the scan table
    ExpectFitsAndReadable(m_keyEditor.get(), "Define Key, scan table");
    click(m_keyEditor.get(), "contr_4"); // Edit
    ExpectFitsAndReadable(m_keyEditor.get(), "Define Key, edit scan code");
    click(m_keyEditor.get(), "contr_3");
    click(m_keyEditor.get(), "contr_1");
    click(m_keyEditor.get(), "contr_7");

    QTest::mousePress(child(m_main.get(), "KeyBtn_1"), Qt::RightButton);
    ExpectFitsAndReadable(m_hint.get(), "List key macros");
    QTest::mouseClick(m_hint.get(), Qt::LeftButton);

    menu("Configure1");
    ExpectFitsAndReadable(m_keybConf.get(), "Keyboard Configure");
    click(m_keybConf.get(), "Command2");

    menu("Configure");
    ExpectFitsAndReadable(m_setParam.get(), "MSR Configure");
    QTest::mouseClick(child(m_setParam.get(), "InputLinePict_0"), Qt::LeftButton);
    ExpectFitsAndReadable(m_keyEditor.get(), "MSR Parameters");
    click(m_keyEditor.get(), "contr_12");
    click(m_setParam.get(), "cbContrRet_1");

    menu("Edit_2");
    ExpectFitsAndReadable(topLevel("TestForm"), "Test");
    topLevel("TestForm")->close();

    menu("PrintLegends");
    ExpectFitsAndReadable(m_legends.get(), "Print legends");
    m_legends->close();

    KeyboardRig keyboard(2);
    ListedDevices devices;
    devices.listed = {{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A10K3X",
                       "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3X-if00-port0"}};
    PortChooser chooser(devices, m_folder->path());
    ProgrammingWindowOpener(keyboard.windowServices(chooser), m_main.get(), {})();
    auto* programming = m_main->findChild<Send2Com*>();
    ExpectFitsAndReadable(programming, "Program Kbd");
    click(programming, "BtnPorts");
    ExpectFitsAndReadable(programming->findChild<QDialog*>("PortChooserForm"), "Serial ports");
    programming->findChild<QDialog*>("PortChooserForm")->reject();
    click(programming, "LogButton");
    ExpectFitsAndReadable(programming->findChild<QDialog*>("ProgrammingLog"), "Programming log");
    programming->findChild<QDialog*>("ProgrammingLog")->reject();
    programming->close();

    // The question a recovery copy left by an earlier run asks at the start.
    QtUserDialogs dialogs(m_main.get());
    bool asked = false;
    QTimer::singleShot(0, [&] {
        QWidget* question = QApplication::activeModalWidget();
        ExpectFitsAndReadable(question, "Restore a recovery copy");
        asked = question != nullptr;
        if (question)
            question->close();
    });
    dialogs.askChoice(
        QString::fromLatin1(RecoveryKeeper::kRestorePrompt)
            .arg(QString(SUITE_PROGRAM_DIR) + "/layouts/a long folder name/COUNTER 2.KBD",
                 "2026-12-07 18:40:12"),
        "MORVAW", {"&Restore", "&Discard", "&Keep for later"});
    EXPECT_TRUE(asked);

    HtmlHelp help;
    help.showHelp(QString(SUITE_PROGRAM_DIR) + "/MORVA.HLP", HelpCommand::Contents, 0);
    ExpectFitsAndReadable(help.window(), "Help");
}

} // namespace
