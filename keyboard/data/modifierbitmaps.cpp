#include "modifierbitmaps.h"

#include "tabletext.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>

namespace morvaw {

namespace {

struct Palette
{
    QColor face;
    QColor text;
    QColor lightEdge; // top and left
    QColor darkEdge;  // bottom and right
};

const Palette kReleased{QColor(0xE4, 0xE4, 0xE0), QColor(0x20, 0x20, 0x20),
                        QColor(0xFF, 0xFF, 0xFF), QColor(0x80, 0x80, 0x80)};
const Palette kPressed{QColor(0x2E, 0x5C, 0x9A), QColor(0xFF, 0xFF, 0xFF), QColor(0x18, 0x30, 0x50),
                       QColor(0x7A, 0xA4, 0xD8)};

void drawKey(QPainter& p, const QRect& r, const Palette& c)
{
    p.fillRect(r, QColor(0x60, 0x60, 0x60)); // the gap around the key
    const QRect key = r.adjusted(1, 1, -1, -1);
    p.fillRect(key, c.face);
    p.setPen(c.lightEdge);
    p.drawLine(key.topLeft(), key.topRight());
    p.drawLine(key.topLeft(), key.bottomLeft());
    p.setPen(c.darkEdge);
    p.drawLine(key.bottomLeft(), key.bottomRight());
    p.drawLine(key.topRight(), key.bottomRight());
}

// The outlined upward arrow printed on Shift keys; drawn, not typed, so that it
// is crisp at any size and does not depend on a font.
void drawShiftArrow(QPainter& p, QPointF centre, double height, const QColor& colour)
{
    const double h = height;
    const double w = h * 0.9;
    const double stem = w * 0.42;
    const QPolygonF arrow{{
        {centre.x(), centre.y() - h / 2},
        {centre.x() + w / 2, centre.y()},
        {centre.x() + stem / 2, centre.y()},
        {centre.x() + stem / 2, centre.y() + h / 2},
        {centre.x() - stem / 2, centre.y() + h / 2},
        {centre.x() - stem / 2, centre.y()},
        {centre.x() - w / 2, centre.y()},
    }};
    p.setPen(QPen(colour, 1.3));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(arrow);
}

// The largest bold face up to 10 pixels in which the label fits the room.
QFont labelFont(const QString& label, int room)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setHintingPreference(QFont::PreferFullHinting);
    for (int size = 10; size >= 7; --size) {
        font.setPixelSize(size);
        if (QFontMetrics(font).horizontalAdvance(label) <= room)
            break;
    }
    return font;
}

} // namespace

QImage DrawModifierBitmap(const ModifierBitmap& b)
{
    QImage image(b.width, b.height, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    const Palette& c = b.pressed ? kPressed : kReleased;
    drawKey(p, image.rect(), c);

    // A pressed key's face moves down and right by a pixel, as a real key sinks.
    const int shift = b.pressed ? 1 : 0;
    const QRect face = image.rect().adjusted(2 + shift, 2 + shift, -2 + shift, -2 + shift);
    const QString label =
        QString::fromLatin1(b.label.data(), static_cast<qsizetype>(b.label.size()));
    const int arrowRoom = static_cast<int>(face.height() * 0.55) + 4;
    const int textRoom =
        face.width() - 2 - (b.symbol == ModifierSymbol::ShiftArrow ? arrowRoom : 0);
    p.setFont(labelFont(label, textRoom));
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);

    switch (b.symbol) {
    case ModifierSymbol::ShiftArrowOnly:
        drawShiftArrow(p, QRectF(face).center(), face.height() * 0.62, c.text);
        break;
    case ModifierSymbol::ShiftArrow: {
        drawShiftArrow(p, QPointF(face.left() + arrowRoom / 2.0 + 1, QRectF(face).center().y()),
                       face.height() * 0.55, c.text);
        p.setPen(c.text);
        p.drawText(face.adjusted(arrowRoom, 0, 0, 0), Qt::AlignCenter, label);
        break;
    }
    case ModifierSymbol::Text:
        p.setPen(c.text);
        p.drawText(face, Qt::AlignCenter, label);
        break;
    case ModifierSymbol::TextWithLight: {
        // The lock's light: lit green when on, dark when off.
        const QRectF light(face.right() - 6, face.top() + 1, 5, 5);
        p.setPen(QPen(QColor(0x30, 0x30, 0x30), 0.8));
        p.setBrush(b.pressed ? QColor(0x40, 0xF0, 0x40) : QColor(0x50, 0x58, 0x50));
        p.drawEllipse(light);
        p.setPen(c.text);
        p.drawText(face.adjusted(0, 4, 0, 0), Qt::AlignHCenter | Qt::AlignVCenter, label);
        break;
    }
    }
    p.end();
    return image;
}

void WriteModifierBitmaps(const std::filesystem::path& dir)
{
    for (const ModifierBitmap& b : kModifierBitmaps) {
        const std::filesystem::path file = dir / b.fileName;
        if (!DrawModifierBitmap(b).save(QString::fromStdString(file.string()), "BMP"))
            throw DataSourceError(file.string() + ": cannot be written");
    }
}

} // namespace morvaw
