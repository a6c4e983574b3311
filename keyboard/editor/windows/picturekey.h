#pragma once

#include <QPixmap>
#include <QWidget>

namespace morvaw {

// A modifier key of the on-screen keyboard drawn by its bitmap, scaled to the
// key's place. It reports the mouse button pressed on it.
class PictureKey : public QWidget
{
    Q_OBJECT
public:
    explicit PictureKey(QWidget* parent = nullptr);

    void setPicture(const QPixmap& picture);
    [[nodiscard]] const QPixmap& picture() const { return m_picture; }

signals:
    void mouseDown(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QPixmap m_picture;
};

} // namespace morvaw
