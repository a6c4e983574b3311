// Build step: draws the configurator's application icon, a programmable
// keyboard with a card in its stripe reader, as the PNG files of the desktop's
// icon theme: <folder>/hicolor/<n>x<n>/apps/morvaw.png.
#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>

#include <cstdio>

namespace {

QImage drawIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(Qt::NoPen);

    // The card, half drawn through the reader.
    p.setBrush(QColor(40, 110, 200));
    p.drawRoundedRect(QRectF(17, 1, 12, 10), 1, 1);
    p.setBrush(QColor(20, 30, 50));
    p.drawRect(QRectF(17, 3, 12, 2));

    // Body and the reader's groove along its top.
    p.setBrush(QColor(62, 66, 76));
    p.drawRoundedRect(QRectF(1, 8, 30, 22), 2.5, 2.5);
    p.setBrush(QColor(30, 32, 38));
    p.drawRect(QRectF(15, 9, 13, 1.6));

    // Keys: fewer where the picture is small, so that each stays a key. One
    // orange key stands for a programmed one.
    const bool small = size < 32;
    const int columns = small ? 4 : 6;
    const int rows = small ? 3 : 4;
    const double gap = small ? 1.6 : 1.0;
    const QRectF area(3, 12, 26, 16);
    const double w = (area.width() + gap) / columns - gap;
    const double h = (area.height() + gap) / rows - gap;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const bool programmed = r == 1 && c == columns - 2;
            p.setBrush(programmed ? QColor(245, 150, 30) : QColor(232, 234, 238));
            p.drawRoundedRect(QRectF(area.left() + c * (w + gap), area.top() + r * (h + gap), w, h),
                              0.6, 0.6);
        }
    }
    return image;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: morvawiconmaker <icon theme folder>\n");
        return 2;
    }
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QDir(QString::fromLocal8Bit(argv[1]))
                                   .filePath(QStringLiteral("hicolor/%1x%1/apps").arg(size));
        if (!QDir().mkpath(folder) || !drawIcon(size).save(QDir(folder).filePath("morvaw.png")))
            return 1;
    }
    return 0;
}
