#include "inputlinepicture.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace morvaw {

InputLinePicture::InputLinePicture(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    QFont f(QStringLiteral("DejaVu Sans Mono"));
    f.setStyleHint(QFont::Monospace);
    f.setPixelSize(14);
    setFont(f);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void InputLinePicture::setText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    update();
}

QSize InputLinePicture::sizeHint() const
{
    // Room for a full definition of short tokens.
    return {fontMetrics().horizontalAdvance(QLatin1Char('M')) * 48, fontMetrics().height() + 10};
}

void InputLinePicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), hasFocus() ? QColor(Qt::white) : palette().color(QPalette::Button));
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.lineWidth = 1;
    frame.state |= QStyle::State_Sunken;
    style()->drawPrimitive(QStyle::PE_Frame, &frame, &p, this);
    p.setPen(palette().color(QPalette::Text));
    p.drawText(rect().adjusted(5, 0, -3, 0), Qt::AlignLeft | Qt::AlignVCenter, m_text);
}

void InputLinePicture::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void InputLinePicture::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

} // namespace morvaw
