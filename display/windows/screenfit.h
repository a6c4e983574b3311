#pragma once

class QWidget;

namespace vornestw {

// Shrinks a window that is larger than the screen's free area (a large scale
// factor on a small screen) and moves it wholly onto it.
void FitIntoScreen(QWidget* window);

} // namespace vornestw
