#pragma once

#include <QObject>

class QWidget;

namespace morvaw {

// Shrinks a window that is larger than its screen's free area (a large scale
// factor on a small screen) as far as its minimum size allows, and moves it
// wholly onto that area.
void FitIntoScreen(QWidget* window);

// Installed on the application: every window of the program, dialogs and
// message boxes included, is fitted onto the screen each time it is shown.
class ScreenFitter : public QObject
{
    Q_OBJECT
public:
    explicit ScreenFitter(QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace morvaw
