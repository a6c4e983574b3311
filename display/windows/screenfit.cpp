#include "screenfit.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace vornestw {

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

} // namespace vornestw
