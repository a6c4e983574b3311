#include "picturekey.h"

#include <QMouseEvent>
#include <QPainter>

namespace morvaw {

PictureKey::PictureKey(QWidget* parent) : QWidget(parent)
{
    // The input line keeps the focus, as with a picture on the keyboard.
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void PictureKey::setPicture(const QPixmap& picture)
{
    m_picture = picture;
    update();
}

void PictureKey::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_picture.isNull()) {
        p.fillRect(rect(), palette().color(QPalette::Button));
        return;
    }
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(rect(), m_picture);
}

void PictureKey::mousePressEvent(QMouseEvent* event)
{
    emit mouseDown(event->button());
    event->accept();
}

} // namespace morvaw
