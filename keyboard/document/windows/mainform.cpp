#include "mainform.h"

#include "configuratorstate.h"
#include "displaytext.h"
#include "filenames.h"
#include "keybutton.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTimer>

#include <cmath>

namespace morvaw {

namespace {

const char* const kHelpContext = "helpContext";
const char* const kKeyIndex = "keyIndex";

// Edges are rounded, not sizes, so the gaps between keys stay even.
QRect pixelRect(const KeyButtonPlace& p)
{
    const int left = static_cast<int>(std::lround(p.left));
    const int top = static_cast<int>(std::lround(p.top));
    const int right = static_cast<int>(std::lround(p.left + p.width));
    const int bottom = static_cast<int>(std::lround(p.top + p.height));
    return {left, top, right - left, bottom - top};
}

QString menuText(const std::string& name)
{
    return ToQtPath(name).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

MainForm::MainForm(ConfiguratorState& state, UserDialogs& dialogs, HelpAdapter& help,
                   QWidget* parent)
    : QMainWindow(parent), m_logic(state, dialogs, help)
{
    setObjectName(QStringLiteral("MainForm"));
    buildMenus();
    buildKeyboardPicture();
    resize(920, 600);
    m_logic.Form_Load(static_cast<float>(m_picture->width()),
                      static_cast<float>(m_picture->height()));
    syncView();
    // Said once the event loop runs, over the window that main has shown by then.
    QTimer::singleShot(0, this, [this] { m_logic.ReportIncompleteInstallation(); });
}

template <typename Command> void MainForm::run(Command command)
{
    command();
    syncView();
}

QAction* MainForm::addCommand(QMenu* menu, const QString& name, const QString& text,
                              int helpContext, const QKeySequence& shortcut)
{
    auto* action = menu ? menu->addAction(text) : menuBar()->addAction(text);
    action->setObjectName(name);
    action->setProperty(kHelpContext, helpContext);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    return action;
}

void MainForm::buildMenus()
{
    using L = MainFormLogic;
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("FileMenu"));
    auto fileItem = [&](int index, const QString& text, const QKeySequence& key = {}) {
        QAction* a =
            addCommand(file, QStringLiteral("File_%1").arg(index), text, L::kFileHelp, key);
        connect(a, &QAction::triggered, this,
                [this, index] { run([&] { m_logic.File_Click(index); }); });
        return a;
    };
    fileItem(L::FileNew, QStringLiteral("&New"));
    fileItem(L::FileLoad, QStringLiteral("&Load layout"), QKeySequence(Qt::Key_F3));
    fileItem(L::FileSave, QStringLiteral("&Save"), QKeySequence(Qt::Key_F2));
    fileItem(L::FileSaveAs, QStringLiteral("Save &As"), QKeySequence(Qt::CTRL | Qt::Key_A));
    file->addSeparator()->setObjectName(QStringLiteral("File_6"));
    for (int i = 0; i < 3; ++i) {
        m_recentActions[static_cast<std::size_t>(i)] = fileItem(L::FileRecent1 + i, QString());
        m_recentActions[static_cast<std::size_t>(i)]->setVisible(false);
    }
    file->addSeparator()->setObjectName(QStringLiteral("File_10"));
    QAction* exit = addCommand(file, QStringLiteral("File_11"), QStringLiteral("E&xit"),
                               L::kFileHelp, QKeySequence(Qt::CTRL | Qt::Key_X));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* keyboard = menuBar()->addMenu(QStringLiteral("&Keyboard"));
    keyboard->setObjectName(QStringLiteral("KeyboardMenu"));
    connect(addCommand(keyboard, QStringLiteral("Configure1"), QStringLiteral("&Configure"),
                       L::kKeyboardHelp, QKeySequence(Qt::Key_F6)),
            &QAction::triggered, this, [this] { run([&] { m_logic.Configure1_Click(); }); });

    QMenu* msr = menuBar()->addMenu(QStringLiteral("&MSR-reader"));
    msr->setObjectName(QStringLiteral("MsrMenu"));
    connect(addCommand(msr, QStringLiteral("Configure"), QStringLiteral("&Configure"), L::kMsrHelp,
                       QKeySequence(Qt::Key_F4)),
            &QAction::triggered, this, [this] { run([&] { m_logic.Configure_Click(); }); });

    auto editItem = [&](int index, const QString& text, int context) {
        QAction* a = addCommand(nullptr, QStringLiteral("Edit_%1").arg(index), text, context);
        connect(a, &QAction::triggered, this,
                [this, index] { run([&] { m_logic.Edit_Click(index); }); });
        return a;
    };
    editItem(1, QStringLiteral("&Set Param"), L::kSetParamHelp)->setVisible(false);
    editItem(2, QStringLiteral("&Test"), L::kTestHelp);
    editItem(4, QStringLiteral("&Program Kbd"), L::kProgramHelp);

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("HelpMenu"));
    connect(addCommand(help, QStringLiteral("Contents"), QStringLiteral("Contents"), 0),
            &QAction::triggered, this, [this] { m_logic.Contents_Click(); });
    connect(
        addCommand(help, QStringLiteral("How_To_Use_Help"), QStringLiteral("How to use help"), 0),
        &QAction::triggered, this, [this] { m_logic.How_To_Use_Help_Click(); });
    help->addSeparator();
    connect(addCommand(help, QStringLiteral("About"), QStringLiteral("&About"), L::kAboutHelp),
            &QAction::triggered, this, [this] { run([&] { m_logic.About_Click(); }); });

    // F1 on a highlighted menu item asks for that item's help topic.
    menuBar()->installEventFilter(this);
    for (QMenu* menu : {file, keyboard, msr, help})
        menu->installEventFilter(this);
}

void MainForm::buildKeyboardPicture()
{
    m_picture = new QWidget(this);
    m_picture->setObjectName(QStringLiteral("KeyboardPicture"));
    setCentralWidget(m_picture);
    for (int i = 0; i < kKeyCount; ++i) {
        auto* button = new KeyButton(m_picture);
        button->setObjectName(QStringLiteral("KeyBtn_%1").arg(i));
        button->setProperty(kKeyIndex, i);
        button->installEventFilter(this);
        connect(button, &QPushButton::clicked, this,
                [this, i] { run([&] { m_logic.KeyBtn_Click(i); }); });
        m_keyButtons[static_cast<std::size_t>(i)] = button;
    }
    m_picture->installEventFilter(this);
}

void MainForm::syncView()
{
    setWindowTitle(ToQtPath(m_logic.Caption()));
    const KeyButtonPlaces& places = m_logic.KeyPlaces();
    for (int i = 0; i < kKeyCount; ++i) {
        KeyButton* button = m_keyButtons[static_cast<std::size_t>(i)];
        const KeyButtonPlace& place = places[static_cast<std::size_t>(i)];
        button->setCaption(ToDisplayText(m_logic.KeyCaption(i)));
        if (place.visible)
            button->setGeometry(pixelRect(place));
        button->setVisible(place.visible);
    }
    for (std::size_t i = 0; i < m_recentActions.size(); ++i) {
        m_recentActions[i]->setText(menuText(m_logic.RecentItems()[i]));
        m_recentActions[i]->setVisible(m_logic.RecentVisible()[i]);
    }
}

void MainForm::holdFor(const QObject* window, Hold how)
{
    m_holders.insert(window);
    if (how == Hold::Hidden)
        hide();
    else
        setEnabled(false);
}

void MainForm::returnFromChild(const QObject* window)
{
    m_holders.remove(window);
    if (!m_holders.isEmpty())
        return;
    setEnabled(true);
    show();
    raise();
    activateWindow();
    run([&] { m_logic.Form_Activate(); });
}

void MainForm::pictureResized()
{
    run([&] {
        m_logic.Form_Resize(static_cast<float>(m_picture->width()),
                            static_cast<float>(m_picture->height()), isMinimized());
    });
}

bool MainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_picture && event->type() == QEvent::Resize) {
        pictureResized();
    } else if (event->type() == QEvent::MouseButtonPress &&
               watched->property(kKeyIndex).isValid()) {
        // Qt runs event filters for disabled widgets too: while another window
        // holds this one, a click must not reach the keys.
        if (!isEnabled() || !m_holders.isEmpty())
            return true;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const int index = watched->property(kKeyIndex).toInt();
        run([&] { m_logic.KeyBtn_MouseDown(index, mouse->button()); });
    } else if (event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        QAction* active = nullptr;
        if (auto* menu = qobject_cast<QMenu*>(watched))
            active = menu->activeAction();
        else if (auto* bar = qobject_cast<QMenuBar*>(watched))
            active = bar->activeAction();
        if (active && active->property(kHelpContext).toInt() != 0) {
            m_logic.ContextHelp(active->property(kHelpContext).toInt());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainForm::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        run([&] { m_logic.Form_Activate(); });
    else if (event->type() == QEvent::WindowStateChange)
        pictureResized();
}

void MainForm::closeEvent(QCloseEvent* event)
{
    const bool unload = m_logic.Form_Unload();
    syncView();
    if (unload)
        event->accept();
    else
        event->ignore();
}

void MainForm::keyPressEvent(QKeyEvent* event)
{
    // The form sees these before its controls, whichever key has the focus.
    if (event->key() == Qt::Key_F5) {
        run([&] { m_logic.Edit_Click(4); });
        return;
    }
    if (event->key() == Qt::Key_F7) {
        run([&] { m_logic.Edit_Click(2); });
        return;
    }
    QMainWindow::keyPressEvent(event);
}

} // namespace morvaw
