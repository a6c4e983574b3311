#include "mainform.h"

#include "displaytext.h"
#include "filenames.h"
#include "helpkey.h"
#include "keybutton.h"
#include "layoutdocument.h"
#include "regularfile.h"
#include "screenfit.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTimer>

#include <cmath>
#include <utility>

namespace morvaw {

namespace {

const char* const kHelpContext = "helpContext";
const char* const kKeyIndex = "keyIndex";

// The File menu's items by their index, as their object names number them.
enum FileItem { FileNew = 1, FileLoad = 2, FileSave = 4, FileSaveAs = 5, FileRecent1 = 7 };

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

MainForm::MainForm(LayoutDocument& document, LanguageTables& tables, const FileFolders& folders,
                   UserDialogs& dialogs, HelpAdapter& help, QWidget* parent)
    : QMainWindow(parent), m_logic(document, tables, folders, dialogs, help)
{
    setObjectName(QStringLiteral("MainForm"));
    buildMenus();
    buildKeyboardPicture();
    resize(920, 600);
    // Desktop habits of every window of the program: F1 opens the help topic
    // of the window that has the focus; each window fits the screen it opens on.
    connect(new HelpKey(this), &HelpKey::helpWanted, this,
            [this](int context) { m_logic.showContextHelp(context); });
    new ScreenFitter(this);
    // Small enough for a 1280x1024 screen at twice the scale, large enough
    // for legible keys.
    setMinimumSize(480, 320);
    m_logic.load(static_cast<float>(m_picture->width()), static_cast<float>(m_picture->height()));
    syncView();
    // An undo, or a window handing back a value, changes what the picture shows.
    connect(&document, &LayoutDocument::changed, this, [this] { run([&] { m_logic.refresh(); }); });
    // Said once the event loop runs, over the window that main has shown by then.
    QTimer::singleShot(0, this, [this] { m_logic.reportIncompleteInstallation(); });
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
    auto fileItem = [&](int index, const QString& text, void (L::*command)(),
                        const QKeySequence& key = {}) {
        QAction* a =
            addCommand(file, QStringLiteral("File_%1").arg(index), text, L::kFileHelp, key);
        connect(a, &QAction::triggered, this,
                [this, command] { run([&] { (m_logic.*command)(); }); });
        return a;
    };
    // Beside each command's own key, the one most desktop programs use for it.
    fileItem(FileNew, QStringLiteral("&New"), &L::newLayout)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    fileItem(FileLoad, QStringLiteral("&Load layout"), &L::loadLayout, QKeySequence(Qt::Key_F3))
        ->setShortcuts({QKeySequence(Qt::Key_F3), QKeySequence(Qt::CTRL | Qt::Key_O)});
    fileItem(FileSave, QStringLiteral("&Save"), &L::saveLayout, QKeySequence(Qt::Key_F2))
        ->setShortcuts({QKeySequence(Qt::Key_F2), QKeySequence(Qt::CTRL | Qt::Key_S)});
    fileItem(FileSaveAs, QStringLiteral("Save &As"), &L::saveLayoutAs,
             QKeySequence(Qt::CTRL | Qt::Key_A))
        ->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_A), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
    QAction* printLegends = addCommand(file, QStringLiteral("PrintLegends"),
                                       QStringLiteral("&Print legends\u2026"), L::kFileHelp);
    printLegends->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(printLegends, &QAction::triggered, this,
            [this] { run([&] { m_logic.openLegends(); }); });
    file->addSeparator()->setObjectName(QStringLiteral("File_6"));
    for (int i = 0; i < 3; ++i) {
        QAction* recent = addCommand(file, QStringLiteral("File_%1").arg(FileRecent1 + i),
                                     QString(), L::kFileHelp);
        connect(recent, &QAction::triggered, this,
                [this, i] { run([&] { m_logic.openRecentFile(i); }); });
        recent->setVisible(false);
        m_recentActions[static_cast<std::size_t>(i)] = recent;
    }
    file->addSeparator()->setObjectName(QStringLiteral("File_10"));
    QAction* exit = addCommand(file, QStringLiteral("File_11"), QStringLiteral("E&xit"),
                               L::kFileHelp, QKeySequence(Qt::CTRL | Qt::Key_X));
    exit->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::CTRL | Qt::Key_Q)});
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("EditMenu"));
    m_undo = addCommand(edit, QStringLiteral("Undo"), QStringLiteral("&Undo"), 0,
                        QKeySequence(Qt::CTRL | Qt::Key_Z));
    connect(m_undo, &QAction::triggered, this, [this] { run([&] { m_logic.undo(); }); });
    m_redo = addCommand(edit, QStringLiteral("Redo"), QStringLiteral("&Redo"), 0,
                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    connect(m_redo, &QAction::triggered, this, [this] { run([&] { m_logic.redo(); }); });
    buildKeySharing(edit);

    QMenu* keyboard = menuBar()->addMenu(QStringLiteral("&Keyboard"));
    keyboard->setObjectName(QStringLiteral("KeyboardMenu"));
    connect(addCommand(keyboard, QStringLiteral("Configure1"), QStringLiteral("&Configure"),
                       L::kKeyboardHelp, QKeySequence(Qt::Key_F6)),
            &QAction::triggered, this, [this] { run([&] { m_logic.openKeyboardOptions(); }); });

    QMenu* msr = menuBar()->addMenu(QStringLiteral("&MSR-reader"));
    msr->setObjectName(QStringLiteral("MsrMenu"));
    connect(addCommand(msr, QStringLiteral("Configure"), QStringLiteral("&Configure"), L::kMsrHelp,
                       QKeySequence(Qt::Key_F4)),
            &QAction::triggered, this, [this] { run([&] { m_logic.openMsrParameters(); }); });

    // Top-level items, named as the control array they were: Edit(1), (2) and (4).
    auto topItem = [&](const char* name, const QString& text, int context, void (L::*command)()) {
        QAction* a = addCommand(nullptr, QString::fromLatin1(name), text, context);
        connect(a, &QAction::triggered, this,
                [this, command] { run([&] { (m_logic.*command)(); }); });
        return a;
    };
    // The hidden Set Param: the MSR parameters, as from the MSR-reader menu.
    topItem("Edit_1", QStringLiteral("&Set Param"), L::kSetParamHelp, &L::openMsrParameters)
        ->setVisible(false);
    topItem("Edit_2", QStringLiteral("&Test"), L::kTestHelp, &L::openTest);
    topItem("Edit_4", QStringLiteral("&Program Kbd"), L::kProgramHelp, &L::openProgramming);

    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("HelpMenu"));
    connect(addCommand(help, QStringLiteral("Contents"), QStringLiteral("Contents"), 0),
            &QAction::triggered, this, [this] { m_logic.showHelpContents(); });
    connect(
        addCommand(help, QStringLiteral("How_To_Use_Help"), QStringLiteral("How to use help"), 0),
        &QAction::triggered, this, [this] { m_logic.showHelpOnHelp(); });
    help->addSeparator();
    connect(addCommand(help, QStringLiteral("About"), QStringLiteral("&About"), L::kAboutHelp),
            &QAction::triggered, this, [this] { run([&] { m_logic.showAbout(); }); });

    // F1 on a highlighted menu item asks for that item's help topic.
    menuBar()->installEventFilter(this);
    for (QMenu* menu : {file, edit, m_view, keyboard, msr, help})
        menu->installEventFilter(this);
}

// Copy and paste of the focused key, and View > "Show key text".
void MainForm::buildKeySharing(QMenu* edit)
{
    edit->addSeparator();
    QAction* copy = addCommand(edit, QStringLiteral("CopyKey"), QStringLiteral("&Copy key"), 0,
                               QKeySequence(Qt::CTRL | Qt::Key_C));
    connect(copy, &QAction::triggered, this, [this] {
        if (const int key = focusedKey(); key >= 0)
            run([&] { m_logic.copyKey(key); });
    });
    m_pasteKey = addCommand(edit, QStringLiteral("PasteKey"), QStringLiteral("&Paste key"), 0,
                            QKeySequence(Qt::CTRL | Qt::Key_V));
    connect(m_pasteKey, &QAction::triggered, this, [this] {
        if (const int key = focusedKey(); key >= 0)
            run([&] { m_logic.pasteKey(key); });
    });
    m_view = menuBar()->addMenu(QStringLiteral("&View"));
    m_view->setObjectName(QStringLiteral("ViewMenu"));
    m_showKeyText =
        addCommand(m_view, QStringLiteral("ShowKeyText"), QStringLiteral("Show key &text"), 0);
    m_showKeyText->setCheckable(true);
    connect(m_showKeyText, &QAction::triggered, this,
            [this](bool on) { run([&] { m_logic.setShowKeyText(on); }); });
}

int MainForm::focusedKey() const
{
    const QWidget* focused = QApplication::focusWidget();
    if (!focused || focused->parentWidget() != m_picture)
        return -1;
    return focused->property(kKeyIndex).isValid() ? focused->property(kKeyIndex).toInt() : -1;
}

void MainForm::dragKey(QObject* watched, QEvent* event)
{
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const int key = watched->property(kKeyIndex).toInt();
    if (event->type() == QEvent::MouseButtonPress) {
        m_drag = {key, mouse->globalPosition().toPoint(), false};
    } else if (event->type() == QEvent::MouseMove && m_drag.from == key && !m_drag.moving &&
               (mouse->globalPosition().toPoint() - m_drag.start).manhattanLength() >=
                   QApplication::startDragDistance()) {
        m_drag.moving = true;
        m_picture->setCursor(Qt::ClosedHandCursor);
    }
}

bool MainForm::dropKey(QObject* watched, QEvent* event)
{
    const Drag drag = std::exchange(m_drag, {});
    m_picture->unsetCursor();
    if (!drag.moving)
        return false;
    auto* source = static_cast<KeyButton*>(watched);
    source->setDown(false);
    const QPoint at =
        m_picture->mapFromGlobal(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
    const QWidget* target = m_picture->childAt(at);
    if (target && target->property(kKeyIndex).isValid()) {
        const int to = target->property(kKeyIndex).toInt();
        run([&] { m_logic.swapKeys(drag.from, to); });
    }
    return true; // a drag is no click: the key editor stays closed
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
                [this, i] { run([&] { m_logic.openKeyEditor(i); }); });
        m_keyButtons[static_cast<std::size_t>(i)] = button;
    }
    m_picture->installEventFilter(this);
}

void MainForm::syncView()
{
    // The desktop's modified mark, after the caption.
    // A "[*]" in a file name is doubled to stay itself.
    setWindowTitle(
        ToQtPath(m_logic.caption()).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")) +
        QStringLiteral("[*]"));
    setWindowModified(m_logic.document().isChanged());
    const KeyButtonPlaces& places = m_logic.keyPlaces();
    for (int i = 0; i < kKeyCount; ++i) {
        KeyButton* button = m_keyButtons[static_cast<std::size_t>(i)];
        const KeyButtonPlace& place = places[static_cast<std::size_t>(i)];
        button->setCaption(ToDisplayText(m_logic.keyCaption(i)));
        button->setToolTip(m_logic.keyToolTip(i));
        if (place.visible)
            button->setGeometry(pixelRect(place));
        button->setVisible(place.visible);
    }
    for (std::size_t i = 0; i < m_recentActions.size(); ++i) {
        m_recentActions[i]->setText(menuText(m_logic.recentItems()[i]));
        m_recentActions[i]->setVisible(m_logic.recentVisible()[i]);
    }
    m_undo->setText(m_logic.undoCommand());
    m_undo->setEnabled(m_logic.document().canUndo());
    m_redo->setText(m_logic.redoCommand());
    m_redo->setEnabled(m_logic.document().canRedo());
    m_pasteKey->setEnabled(m_logic.canPaste());
    m_showKeyText->setChecked(m_logic.showKeyText());
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
    run([&] { m_logic.refresh(); });
}

bool MainForm::closeForTermination()
{
    m_logic.endSession();
    // A question of any window would hold the request until answered: hidden,
    // it ends unanswered (as Escape would answer it), and the one it answers
    // for sees that the program ends.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible() && window->isWindow())
            window->hide();
    }
    if (!close())
        return false;
    // Hidden for "MSR Configure", this window closes without ending the
    // event loop: it is ended here.
    QCoreApplication::quit();
    return true;
}

void MainForm::pictureResized()
{
    run([&] {
        m_logic.resize(static_cast<float>(m_picture->width()),
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
        if (mouse->button() == Qt::RightButton)
            run([&] { m_logic.showKeyDefinitions(index); });
        else if (mouse->button() == Qt::LeftButton)
            dragKey(watched, event);
    } else if (event->type() == QEvent::MouseMove && watched->property(kKeyIndex).isValid()) {
        dragKey(watched, event);
    } else if (event->type() == QEvent::MouseButtonRelease &&
               watched->property(kKeyIndex).isValid() &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (dropKey(watched, event))
            return true;
    } else if (event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        QAction* active = nullptr;
        if (auto* menu = qobject_cast<QMenu*>(watched))
            active = menu->activeAction();
        else if (auto* bar = qobject_cast<QMenuBar*>(watched))
            active = bar->activeAction();
        if (active && active->property(kHelpContext).toInt() != 0) {
            m_logic.showContextHelp(active->property(kHelpContext).toInt());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainForm::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        run([&] { m_logic.refresh(); });
    else if (event->type() == QEvent::WindowStateChange)
        pictureResized();
}

void MainForm::closeEvent(QCloseEvent* event)
{
    const bool unload = m_logic.unload();
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
        run([&] { m_logic.openProgramming(); });
        return;
    }
    if (event->key() == Qt::Key_F7) {
        run([&] { m_logic.openTest(); });
        return;
    }
    QMainWindow::keyPressEvent(event);
}

} // namespace morvaw
