#pragma once

#include <QScrollBar>

namespace morvaw {

// The vertical scroll bar beside a byte's text box. Its up arrow raises the
// byte, as on a spin box, so the bar runs from 255 at the top to 0 at the
// bottom; byte() and byteChanged() speak in the byte's own terms.
class ByteScrollBar : public QScrollBar
{
    Q_OBJECT
public:
    explicit ByteScrollBar(QWidget* parent = nullptr);

    [[nodiscard]] int byte() const { return kMax - value(); }
    // Moves the bar without reporting it.
    void showByte(int byte);

signals:
    void byteChanged(int byte);

private:
    static constexpr int kMax = 255;
};

} // namespace morvaw
