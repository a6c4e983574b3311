#include "bytescrollbar.h"

#include <QSignalBlocker>

namespace morvaw {

ByteScrollBar::ByteScrollBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent)
{
    setRange(0, kMax);
    setSingleStep(1);
    setPageStep(10);
    setValue(kMax);
    connect(this, &QScrollBar::valueChanged, this, [this](int v) { emit byteChanged(kMax - v); });
}

void ByteScrollBar::showByte(int byte)
{
    QSignalBlocker block(this);
    setValue(kMax - byte);
}

} // namespace morvaw
