#pragma once

#include "mainformlogic.h"

#include <QMainWindow>
#include <QPoint>
#include <QSet>

#include <array>

class QAction;
class QMenu;

namespace morvaw {

class HelpAdapter;
class KeyButton;
class LanguageTables;
class LayoutDocument;
class UserDialogs;

// The configurator's main window: the menus and the keyboard picture of the
// layout document. It forwards its events to MainFormLogic and shows what
// that computed, again whenever the document changes.
class MainForm : public QMainWindow
{
    Q_OBJECT
public:
    MainForm(LayoutDocument& document, LanguageTables& tables, const FileFolders& folders,
             UserDialogs& dialogs, HelpAdapter& help, QWidget* parent = nullptr);

    [[nodiscard]] MainFormLogic& logic() { return m_logic; }

    // Shows the logic's caption, key captions and places and recent items.
    void syncView();

    // A window opened over this one holds it, disabled or hidden: no click on
    // it does anything until every window that holds it has handed back.
    enum class Hold { Disabled, Hidden };
    void holdFor(const QObject* window, Hold how = Hold::Disabled);

    // A window opened from here hands back. The last one to do so enables,
    // shows and refreshes it at once, without waiting for an activation that
    // some window managers (or none at all) never send.
    void returnFromChild(const QObject* window);

    // A termination request (a logout, a kill): the program ends as when this
    // window is closed, but without a question (unsaved changes stay in the
    // recovery copy) and with no other window of it left open.
    bool closeForTermination();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildMenus();
    void buildKeyboardPicture();
    QAction* addCommand(QMenu* menu, const QString& name, const QString& text, int helpContext,
                        const QKeySequence& shortcut = {});
    // Runs a command of the logic, then shows its results.
    template <typename Command> void run(Command command);
    void pictureResized();
    // Seeing and sharing keys: copy, paste, drag to swap, key text.
    void buildKeySharing(QMenu* edit);
    [[nodiscard]] int focusedKey() const;
    void dragKey(QObject* watched, QEvent* event);
    // Ends a drag over the key under the mouse; true when it was one.
    bool dropKey(QObject* watched, QEvent* event);

    MainFormLogic m_logic;
    QWidget* m_picture = nullptr;
    std::array<KeyButton*, kKeyCount> m_keyButtons{};
    std::array<QAction*, 3> m_recentActions{};
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    QSet<const QObject*> m_holders;
    QMenu* m_view = nullptr;
    QAction* m_pasteKey = nullptr;
    QAction* m_showKeyText = nullptr;
    struct Drag
    {
        int from = -1;
        QPoint start;
        bool moving = false;
    };
    Drag m_drag;
};

} // namespace morvaw
