// The configurator at home on a desktop, on a 1280x1024 screen at the scale
// factor of the run (ctest runs this at 1, 1.5 and 2). Every window fits the
// screen's free area with its buttons inside, no text is drawn over other
// text, F1 opens its help page, Escape and Return press its buttons, and a
// logout ends the program from it without a question, keeping what was typed
// in it; the desktop's shortcuts work beside the configurator's own keys.
#include "configuratorrig.h"
#include "editorfolder.h"
#include "helpindex.h"
#include "htmlhelp.h"
#include "keyboardrig.h"
#include "keylegends.h"
#include "qtuserdialogs.h"
#include "recoverykeeper.h"
#include "send2com.h"
#include "windowfit.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>

#include <cctype>

using namespace morvaw;
using namespace morvaw::test;
using suite::ExpectFitsAndReadable;

namespace {

// A key as the keyboard gives it: to the focus widget of the active window,
// through the window system (where shortcuts are looked up).
void Press(QWidget* window, QKeyCombination key)
{
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window->windowHandle(), key.key(), key.keyboardModifiers());
}

// A window, the menu item that opens it if any, the help page F1 opens there
// (none: F1 is a key it records), the buttons Return and Escape press (no
// cancel: Escape closes the window), and what a logout keeps of what was
// typed in it and not yet confirmed.
struct Window
{
    const char* name;
    const char* menu;
    const char* page;
    const char* ok;
    const char* cancel;
    const char* kept;
};

// A failing row says which window it is.
void PrintTo(const Window& row, std::ostream* out)
{
    *out << row.name;
}

constexpr Window kWindows[] = {
    {"Define Key", nullptr, "morva_keys.html", "contr_6", "contr_7", "key "},
    {"Define Key, scan table", nullptr, "morva_keys.html", nullptr, "contr_1", "key "},
    {"Define Key, edit scan code", nullptr, "morva_keys.html", nullptr, "contr_3", "key "},
    {"List key macros", nullptr, "morva_keys.html", nullptr, nullptr, ""},
    {"Keyboard Configure", "Configure1", "morva_keyboard.html", "Command1", "Command2", "options "},
    {"MSR Configure", "Configure", "morva_msr.html", "cbContrRet_0", "cbContrRet_1", "delay "},
    {"MSR Parameters", "Configure", "morva_keys.html", "contr_13", "contr_12", "delay lines "},
    {"Test", "Edit_2", nullptr, nullptr, nullptr, ""},
    {"Print legends", "PrintLegends", "morva_legends.html", "PrintLegends", nullptr, "legend"},
    {"Program Kbd", nullptr, "morva_program.html", "Program", "Cancel", ""},
    {"Serial ports", nullptr, "morva_program.html", "BtnBind", nullptr, ""},
    {"Programming log", nullptr, "morva_program.html", nullptr, nullptr, ""},
};

class EveryWindow : public ConfiguratorRig, public ::testing::WithParamInterface<Window>
{
protected:
    void SetUp() override
    {
        m_folder = std::make_unique<EditorFolder>(Language::Spain); // the "<" key too
        ConfiguratorRig::SetUp();
        m_devices.listed = {{"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A10K3X",
                             "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K3X-if00-port0"}};
        m_chooser = std::make_unique<PortChooser>(m_devices, m_folder->path());
        m_openProgramming =
            ProgrammingWindowOpener(m_keyboard.windowServices(*m_chooser), m_main.get(), {});
    }
    [[nodiscard]] FileFolders folders() const override { return m_folder->folders(); }
    // The page the last help request shows, through the help file shipped
    // with the program.
    [[nodiscard]] std::string helpPage() const
    {
        if (m_help.requests.empty())
            return {};
        const QDir program(SUITE_PROGRAM_DIR);
        const auto index = HelpIndex::read(program.filePath("MORVA.HLP"));
        const QString page =
            index->pageFor(m_help.requests.back().command, m_help.requests.back().context);
        return (program.exists(page) ? page : "missing " + page).toStdString();
    }
    void click(QWidget* window, const char* name)
    {
        QTest::mouseClick(child(window, QString::fromLatin1(name)), Qt::LeftButton);
    }
    // Types over a delay box a value the layout does not have.
    void retypeDelay(QWidget* window, const char* box, int now)
    {
        child<QLineEdit>(window, box)->selectAll();
        QTest::keyClicks(child(window, box), QString::number(now ^ 1));
    }
    // The window as the user opens it, with something typed where it can be.
    QWidget* open(const Window& row)
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const std::string name = row.name;
        if (name.starts_with("Define Key")) {
            click(m_main.get(), "KeyBtn_0");
            QTest::keyClicks(child(m_keyEditor.get(), "DKInputLinePict_0"), "y");
        } else if (name == "List key macros") {
            QTest::mousePress(child(m_main.get(), "KeyBtn_1"), Qt::RightButton);
        } else if (row.menu) {
            menu(row.menu);
        } else {
            m_openProgramming();
        }
        if (name.starts_with("Define Key, "))
            click(m_keyEditor.get(), "contr_8");
        if (name.ends_with("code"))
            click(m_keyEditor.get(), "contr_4");
        if (name == "Keyboard Configure")
            retypeDelay(m_keybConf.get(), "Text1_0", m_document.options().MacroPlayDelay);
        if (name.starts_with("MSR"))
            retypeDelay(m_setParam.get(), "Text1", m_document.msrSettings().MsrOption1);
        if (name == "MSR Parameters") {
            click(m_setParam.get(), "InputLinePict_0");
            QTest::keyClicks(child(m_keyEditor.get(), "MSRInpLinePict_0"), "y");
        }
        if (name == "Serial ports" || name == "Programming log")
            click(m_main->findChild<Send2Com*>(),
                  name == "Serial ports" ? "BtnPorts" : "LogButton");
        if (name == "Serial ports") {
            auto* devices = child<QTreeWidget>(QApplication::activeModalWidget(), "PortList");
            devices->setCurrentItem(devices->topLevelItem(0));
        }
        QCoreApplication::processEvents();
        return QApplication::activeWindow();
    }

    std::unique_ptr<EditorFolder> m_folder;
    KeyboardRig m_keyboard{2};
    ListedDevices m_devices;
    std::unique_ptr<PortChooser> m_chooser;
    std::function<void()> m_openProgramming;
};

TEST_P(EveryWindow, FitsTakesTheDesktopKeysAndEndsWithoutAQuestion)
{
    const Window& row = GetParam();
    QPointer<QWidget> window = open(row);
    ExpectFitsAndReadable(window, row.name);
    Press(window, Qt::Key_F1);
    EXPECT_EQ(helpPage(), row.page ? row.page : "");
    const std::pair<Qt::Key, const char*> keys[] = {
        {Qt::Key_Escape, row.cancel}, {Qt::Key_Return, row.ok}, {Qt::Key_Enter, row.ok}};
    for (const auto& [key, button] : keys) {
        if (!row.page || (!button && key != Qt::Key_Escape))
            continue;
        if (!window || !window->isVisible())
            window = open(row);
        QObject scope;
        QStringList clicked;
        for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
            QObject::connect(b, &QAbstractButton::clicked, &scope,
                             [&clicked, b] { clicked << b->objectName(); });
            // The print dialog a button opens is closed.
            QObject::connect(b, &QAbstractButton::pressed, &scope, [&] {
                QTimer::singleShot(0, &scope, [&] {
                    if (QWidget* modal = QApplication::activeModalWidget();
                        modal && modal != window)
                        modal->close();
                });
            });
        }
        // While a click runs, every key is the keyboard's answer, Escape too.
        int ticks = 0;
        m_keyboard.onTick = [&] { ticks++ ? void() : QTest::keyClick(window, Qt::Key_Escape); };
        Press(window, key);
        m_keyboard.onTick = nullptr;
        EXPECT_EQ(clicked, button ? QStringList{button} : QStringList{}) << row.name << key;
        EXPECT_TRUE(button || !window || !window->isVisible()) << row.name;
        EXPECT_EQ(ticks > 0, QString(button) == "Program");
    }
    if (!window || !window->isVisible())
        window = open(row);
    const std::filesystem::path legends = KeyLegends::FileFor(m_document.fileName());
    std::filesystem::remove(legends);
    if (auto* table = window->findChild<QTableWidget*>("LegendTable")) { // typed, not committed
        table->setCurrentCell(0, 1);
        QTest::keyClick(table, Qt::Key_F2);
        QTest::keyClicks(table->indexWidget(table->currentIndex()), "TOE");
    }
    m_document.markChanged();
    const KeyRecord key = m_document.key(0);
    const KeyboardOptions options = m_document.options();
    const MsrSettings msr = m_document.msrSettings();
    const std::size_t asked = m_dialogs.questions.size() + m_keyboard.dialogs.questions.size();
    QObject scope; // a program that does not end is ended after 5 s, failing the check
    QTimer::singleShot(5000, &scope, [] { QCoreApplication::exit(1); });
    QTimer::singleShot(0, &scope, [&] {
        TerminateProgramming(m_main.get(), [&] { m_main->closeForTermination(); });
    });
    EXPECT_EQ(QApplication::exec(), 0) << row.name;
    EXPECT_EQ(m_dialogs.questions.size() + m_keyboard.dialogs.questions.size(), asked);
    EXPECT_TRUE(m_document.isChanged()); // kept in the recovery copy
    std::string kept = m_document.key(0) != key ? "key " : "";
    kept += m_document.options() != options ? "options " : "";
    kept += m_document.msrSettings().MsrOption1 != msr.MsrOption1 ? "delay " : "";
    kept += m_document.msrSettings().Lines != msr.Lines ? "lines " : "";
    QFile file(QString::fromStdString(legends.string()));
    kept += file.open(QFile::ReadOnly) && file.readAll().contains("TOE") ? "legend" : "";
    EXPECT_EQ(kept, row.kept) << row.name;
    // No window is left.
    for (const QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    if (!row.page)
        delete window; // the test window, gone on its own when closed
}

INSTANTIATE_TEST_SUITE_P(Configurator, EveryWindow, ::testing::ValuesIn(kWindows),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             std::erase_if(name, [](char c) { return !std::isalnum(c); });
                             return name;
                         });

TEST_F(EveryWindow, MainWindowRestoreQuestionAndHelpFit)
{
    Press(m_main.get(), Qt::Key_F1);
    EXPECT_EQ(helpPage(), "morva_main.html");
    ExpectFitsAndReadable(m_main.get(), "MainForm");
    m_main->resize(m_main->minimumSize());
    ExpectFitsAndReadable(m_main.get(), "MainForm at its smallest");

    // The question a recovery copy left by an earlier run asks at the start.
    QWidget* question = nullptr; // gone once answered
    QTimer::singleShot(0, [&] {
        question = QApplication::activeModalWidget();
        ExpectFitsAndReadable(question, "Restore a recovery copy");
        question->close();
    });
    (void)QtUserDialogs(m_main.get())
        .askChoice(
            QString::fromLatin1(RecoveryKeeper::kRestorePrompt)
                .arg(QString(SUITE_PROGRAM_DIR) + "/layouts/a long folder name/COUNTER 2.KBD",
                     "2026-12-07 18:40:12"),
            "MORVAW", {"&Restore", "&Discard", "&Keep for later"});
    EXPECT_NE(question, nullptr);

    HtmlHelp help;
    help.showHelp(QString(SUITE_PROGRAM_DIR) + "/MORVA.HLP", HelpCommand::Contents, 0);
    ExpectFitsAndReadable(help.window(), "Help");
    Press(help.window(), Qt::Key_Escape);
    EXPECT_FALSE(help.window()->isVisible());
}

// The shortcuts desktop programs share, beside the configurator's own keys.
TEST_F(EveryWindow, ShortcutsOpenTheirCommandsAndSaveDialogsStartAtTheFile)
{
    // Where the file dialog the shortcut opened (and that is cancelled)
    // starts, empty for none.
    const auto press = [this](QKeyCombination key, std::deque<Answer> answers = {}) {
        m_dialogs.answers = std::move(answers);
        m_dialogs.fileNames = {std::nullopt};
        m_dialogs.dialogs.clear();
        Press(m_main.get(), key);
        return m_dialogs.dialogs.empty() ? QString() : m_dialogs.dialogs.back().initialName;
    };
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

// The on-screen modifier switches, as a screen reader names them.
TEST_F(EveryWindow, ModifierSwitchesSayTheirNameAndState)
{
    QTest::mouseClick(child(m_main.get(), "KeyBtn_0"), Qt::LeftButton);
    QWidget* shift = child(m_keyEditor.get(), "BtnPict_0");
    EXPECT_EQ(shift->accessibleName(), "Left Shift");
    EXPECT_EQ(shift->accessibleDescription(), "off");
    QTest::mousePress(shift, Qt::LeftButton);
    EXPECT_EQ(shift->accessibleDescription(), "on");
}

} // namespace
