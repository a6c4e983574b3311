#pragma once

#include <functional>

class QAbstractButton;
class QWidget;

namespace morvaw {

// Escape presses `cancel` and Return (or Enter) presses `ok`, as in a dialog,
// while `when` allows it; a hidden or disabled button is not pressed. Either
// button may be null. `ok` is drawn as the default button.
void GiveDialogKeys(QWidget* window, QAbstractButton* ok, QAbstractButton* cancel,
                    std::function<bool()> when = {});

} // namespace morvaw
