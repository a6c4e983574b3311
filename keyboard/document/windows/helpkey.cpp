#include "helpkey.h"

#include "mainformlogic.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

namespace morvaw {

namespace {

struct WindowTopic
{
    const char* window;
    int context;
};

using L = MainFormLogic;
constexpr WindowTopic kWindowTopics[] = {
    {"MainForm", L::kMainWindowHelp},
    {"KeyModeForm", L::kKeyEditorHelp},
    {"HintMacrosForm", L::kKeyMacrosHelp},
    {"KeybConf", L::kKeyboardHelp},
    {"SetParam", L::kMsrHelp},
    {"SEND2COM", L::kProgramHelp},
    {"PortChooserForm", L::kProgramHelp},
    {"ProgrammingLog", L::kProgramHelp},
    {"LegendsForm", L::kLegendsHelp},
};

} // namespace

HelpKey::HelpKey(QObject* parent) : QObject(parent)
{
    qApp->installEventFilter(this);
}

int HelpKey::TopicOf(const QString& windowName)
{
    for (const WindowTopic& entry : kWindowTopics) {
        if (windowName == QLatin1String(entry.window))
            return entry.context;
    }
    return 0;
}

bool HelpKey::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_F1 ||
        !watched->isWidgetType())
        return false;
    // A menu item's F1 is the main window's: it names the item's own topic.
    if (qobject_cast<QMenu*>(watched) || qobject_cast<QMenuBar*>(watched))
        return false;
    for (QWidget* window = static_cast<QWidget*>(watched)->window(); window;
         window = window->parentWidget() ? window->parentWidget()->window() : nullptr) {
        if (window->objectName() == QLatin1String("TestForm"))
            return false;
        if (const int context = TopicOf(window->objectName()); context != 0) {
            emit helpWanted(context);
            return true;
        }
    }
    return false;
}

} // namespace morvaw
