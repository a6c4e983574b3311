#include "screenfit.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace morvaw {

void FitIntoScreen(QWidget* window)
{
    const QScreen* screen = window->screen();
    if (!screen)
        return;
    const QRect free = screen->availableGeometry();
    const QSize frame = window->frameGeometry().size() - window->size();
    window->resize(window->size().boundedTo(free.size() - frame));
    QRect placed = window->frameGeometry();
    placed.moveLeft(std::clamp(placed.left(), free.left(),
                               std::max(free.left(), free.right() - placed.width() + 1)));
    placed.moveTop(std::clamp(placed.top(), free.top(),
                              std::max(free.top(), free.bottom() - placed.height() + 1)));
    window->move(placed.topLeft());
}

ScreenFitter::ScreenFitter(QObject* parent) : QObject(parent)
{
    qApp->installEventFilter(this);
}

bool ScreenFitter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* window = static_cast<QWidget*>(watched);
        // Menus, tool tips and list pop-ups place themselves.
        const Qt::WindowType type = window->windowType();
        if (window->isWindow() && (type == Qt::Window || type == Qt::Dialog))
            FitIntoScreen(window);
    }
    return false;
}

} // namespace morvaw
