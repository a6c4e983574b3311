#include "dialogkeys.h"

#include <QPointer>
#include <QPushButton>
#include <QShortcut>

#include <utility>

namespace morvaw {

namespace {

void pressOn(QWidget* window, QKeyCombination key, QAbstractButton* button,
             const std::function<bool()>& when)
{
    auto* shortcut = new QShortcut(QKeySequence(key), window);
    QObject::connect(shortcut, &QShortcut::activated, window,
                     [window, button = QPointer<QAbstractButton>(button), when] {
                         if (button && button->isVisibleTo(window) && button->isEnabled() &&
                             (!when || when()))
                             button->click();
                     });
}

} // namespace

void GiveDialogKeys(QWidget* window, QAbstractButton* ok, QAbstractButton* cancel,
                    std::function<bool()> when)
{
    if (cancel)
        pressOn(window, QKeyCombination(Qt::Key_Escape), cancel, when);
    if (!ok)
        return;
    pressOn(window, QKeyCombination(Qt::Key_Return), ok, when);
    pressOn(window, QKeyCombination(Qt::Key_Enter), ok, when);
    if (auto* push = qobject_cast<QPushButton*>(ok))
        push->setDefault(true);
}

} // namespace morvaw
