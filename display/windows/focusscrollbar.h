#pragma once

#include <QScrollBar>

namespace vornestw {

// A horizontal scroll bar that takes the keyboard focus and shows it: the
// style draws no focus frame on scroll bars, so without one the user cannot
// see where the arrow keys go.
class FocusScrollBar : public QScrollBar
{
    Q_OBJECT
public:
    explicit FocusScrollBar(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace vornestw
