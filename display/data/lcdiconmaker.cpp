// Draws the utility's window icon, a small pole display, and writes it as a
// classic Windows icon file (32-bit colour plus the transparency mask) with a
// 16 and a 32 pixel picture; given an icon theme folder, also as the theme's
// PNG files <folder>/hicolor/<n>x<n>/apps/vornestw.png.
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

QImage drawIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, size > 16);
    p.scale(size / 32.0, size / 32.0);

    // Post and foot.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 90, 96));
    p.drawRect(QRectF(14, 17, 4, 11));
    p.drawRoundedRect(QRectF(8, 27, 16, 4), 1.5, 1.5);
    // Housing.
    p.setBrush(QColor(40, 40, 46));
    p.drawRoundedRect(QRectF(1, 4, 30, 15), 2.5, 2.5);
    // Screen with two lines of characters.
    p.setBrush(QColor(20, 80, 70));
    p.drawRect(QRectF(3, 6, 26, 11));
    p.setBrush(QColor(120, 255, 200));
    for (int line = 0; line < 2; ++line) {
        for (int column = 0; column < 6; ++column)
            p.drawRect(QRectF(4.5 + column * 4.0, 7.5 + line * 5.0, 3.0, 3.5));
    }
    return image;
}

void put16(std::vector<std::uint8_t>& out, unsigned v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& out, unsigned v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// The picture as an icon resource: header, bottom-up BGRA rows, AND mask.
std::vector<std::uint8_t> iconImage(const QImage& image)
{
    const int size = image.width();
    const int maskStride = ((size + 31) / 32) * 4;
    std::vector<std::uint8_t> out;
    put32(out, 40);
    put32(out, static_cast<unsigned>(size));
    put32(out, static_cast<unsigned>(size * 2));
    put16(out, 1);
    put16(out, 32);
    put32(out, 0);
    put32(out, static_cast<unsigned>(size * size * 4 + maskStride * size));
    for (int i = 0; i < 4; ++i)
        put32(out, 0);
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const QRgb px = image.pixel(x, y);
            out.push_back(static_cast<std::uint8_t>(qBlue(px)));
            out.push_back(static_cast<std::uint8_t>(qGreen(px)));
            out.push_back(static_cast<std::uint8_t>(qRed(px)));
            out.push_back(static_cast<std::uint8_t>(qAlpha(px)));
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(maskStride), 0);
        for (int x = 0; x < size; ++x) {
            if (qAlpha(image.pixel(x, y)) == 0)
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

bool writeThemeIcons(const char* themeFolder)
{
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QDir(QString::fromLocal8Bit(themeFolder))
                                   .filePath(QStringLiteral("hicolor/%1x%1/apps").arg(size));
        if (!QDir().mkpath(folder) || !drawIcon(size).save(QDir(folder).filePath("vornestw.png")))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: lcdiconmaker <output.ico> [<icon theme folder>]\n");
        return 2;
    }
    if (argc == 3 && !writeThemeIcons(argv[2]))
        return 1;
    std::vector<std::vector<std::uint8_t>> images;
    for (int size : {16, 32})
        images.push_back(iconImage(drawIcon(size).convertToFormat(QImage::Format_ARGB32)));

    std::vector<std::uint8_t> file;
    put16(file, 0);
    put16(file, 1);
    put16(file, static_cast<unsigned>(images.size()));
    unsigned offset = static_cast<unsigned>(6 + 16 * images.size());
    int size = 16;
    for (const auto& image : images) {
        file.push_back(static_cast<std::uint8_t>(size));
        file.push_back(static_cast<std::uint8_t>(size));
        file.push_back(0);
        file.push_back(0);
        put16(file, 1);
        put16(file, 32);
        put32(file, static_cast<unsigned>(image.size()));
        put32(file, offset);
        offset += static_cast<unsigned>(image.size());
        size *= 2;
    }
    for (const auto& image : images)
        file.insert(file.end(), image.begin(), image.end());

    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<qint64>(file.size())) !=
            static_cast<qint64>(file.size()))
        return 1;
    return out.flush() ? 0 : 1;
}
