#include "legendsheet.h"

#include "keyboardpicture.h"
#include "keylegends.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace morvaw {

namespace {

// The key's number, printed in the gap under its insert.
constexpr double kKeyNumberMm = 3;

// A key's cell in the picture: column and row, and how many of each it takes.
struct Cell
{
    int key;
    int column;
    int row;
    int columns = 1;
    int rows = 1;
};

std::vector<Cell> pictureCells(std::uint8_t kbdShape)
{
    std::vector<Cell> cells;
    for (int k = 0; k < kKeyCount; ++k) {
        if (kbdShape == 0) {
            cells.push_back({k + 1, k % 12, k / 12});
            continue;
        }
        const KeyPlace& place = KeyGeometry[static_cast<std::size_t>(k)];
        if (place.kind == KeyKind::Hidden)
            continue;
        cells.push_back({k + 1, place.column, place.row, place.kind == KeyKind::WideDouble ? 2 : 1,
                         place.kind == KeyKind::TallDouble ? 2 : 1});
    }
    return cells;
}

// Where the pages begin along one side of the picture: as many cells as fit
// the room, fewer where a doubled key would be cut.
std::vector<int> bandStarts(int count, double side, double room,
                            const std::vector<std::pair<int, int>>& spans)
{
    const int perBand =
        std::max(1, static_cast<int>(std::floor((room + kInsertGapMm) / (side + kInsertGapMm))));
    std::vector<int> starts = {0};
    for (int start = 0; start + perBand < count;) {
        int next = start + perBand;
        auto cut = [&](int at) {
            return std::any_of(spans.begin(), spans.end(),
                               [&](const auto& s) { return s.first < at && s.second >= at; });
        };
        while (next > start + 1 && cut(next))
            --next;
        starts.push_back(next);
        start = next;
    }
    return starts;
}

int bandOf(const std::vector<int>& starts, int cell)
{
    return static_cast<int>(std::upper_bound(starts.begin(), starts.end(), cell) - starts.begin()) -
           1;
}

double bandExtent(const std::vector<int>& starts, int band, int count, double side)
{
    const int end = band + 1 < static_cast<int>(starts.size())
                        ? starts[static_cast<std::size_t>(band) + 1]
                        : count;
    const int cells = end - starts[static_cast<std::size_t>(band)];
    return cells * (side + kInsertGapMm) - kInsertGapMm;
}

// --- Drawing, in the device's pixels ---

class SheetPainter
{
public:
    SheetPainter(QPainter& painter, const QPagedPaintDevice& device)
        : m_p(painter), m_device(device), m_x(device.logicalDpiX() / 25.4),
          m_y(device.logicalDpiY() / 25.4)
    {
    }

    [[nodiscard]] QRectF toPixels(const QRectF& mm) const
    {
        return {mm.x() * m_x, mm.y() * m_y, mm.width() * m_x, mm.height() * m_y};
    }
    [[nodiscard]] double mm(double length) const { return length * m_x; }

    void title(const QString& text, double widthMm)
    {
        m_p.setFont(font(8, false));
        m_p.setPen(Qt::black);
        m_p.drawText(toPixels(QRectF(0, 0, widthMm, kSheetTitleMm - 2)),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    }

    void insert(const InsertPlace& place, const KeyLegends& legends)
    {
        const QRectF r = toPixels(place.mm);
        cutMarks(r);
        m_p.setFont(font(4.5, false));
        m_p.setPen(Qt::darkGray);
        m_p.drawText(QRectF(r.left(), r.bottom() + mm(0.4), r.width(), mm(kKeyNumberMm - 0.6)),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                     QStringLiteral("#%1").arg(place.key));

        QRectF inner = r.adjusted(mm(0.8), mm(0.8), -mm(0.8), -mm(0.8));
        QStringList levels;
        for (int level : {2, 1}) {
            const QString text = legends.levelText(place.key, level);
            if (!text.isEmpty())
                levels << QStringLiteral("F%1 %2").arg(level).arg(text);
        }
        m_p.setPen(Qt::black);
        for (const QString& line : levels) {
            // Small, and smaller still before a long text is cut short.
            QFont small = font(5, false);
            for (double points = 5; points > 3.5; points -= 0.25) {
                small.setPointSizeF(points);
                if (QFontMetricsF(small, &m_device).horizontalAdvance(line) <= inner.width())
                    break;
            }
            const QFontMetricsF smallMetrics(small, &m_device);
            m_p.setFont(small);
            const QRectF at(inner.left(), inner.bottom() - smallMetrics.height(), inner.width(),
                            smallMetrics.height());
            m_p.drawText(at, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine,
                         smallMetrics.elidedText(line, Qt::ElideRight, inner.width()));
            inner.setBottom(at.top());
        }
        legend(inner, legends.legend(place.key));
    }

private:
    [[nodiscard]] QFont font(double points, bool bold) const
    {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setStyleHint(QFont::SansSerif);
        f.setPointSizeF(points);
        f.setBold(bold);
        return f;
    }

    // The legend as large as the room allows, 16 pt at most, wrapped between words.
    void legend(const QRectF& room, const QString& text)
    {
        if (text.isEmpty() || room.height() <= 0)
            return;
        int flags = Qt::AlignCenter | Qt::TextWordWrap;
        QFont f = font(16, true);
        for (double points = 16; points >= 5; points -= 0.5) {
            f.setPointSizeF(points);
            const QRectF needed = QFontMetricsF(f, &m_device).boundingRect(room, flags, text);
            if (needed.width() <= room.width() && needed.height() <= room.height())
                break;
        }
        const QRectF needed = QFontMetricsF(f, &m_device).boundingRect(room, flags, text);
        if (needed.width() > room.width())
            flags = Qt::AlignCenter | Qt::TextWrapAnywhere;
        m_p.save();
        m_p.setClipRect(room);
        m_p.setFont(f);
        m_p.drawText(room, flags, text);
        m_p.restore();
    }

    // Two short strokes outside each corner, on the lines to cut along.
    void cutMarks(const QRectF& r)
    {
        m_p.setPen(QPen(Qt::black, mm(0.15)));
        const double away = mm(0.5);
        const double length = mm(1.3);
        for (const QPointF corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}) {
            const double dx = corner.x() == r.left() ? -1 : 1;
            const double dy = corner.y() == r.top() ? -1 : 1;
            m_p.drawLine(QPointF(corner.x() + dx * away, corner.y()),
                         QPointF(corner.x() + dx * (away + length), corner.y()));
            m_p.drawLine(QPointF(corner.x(), corner.y() + dy * away),
                         QPointF(corner.x(), corner.y() + dy * (away + length)));
        }
    }

    QPainter& m_p;
    const QPagedPaintDevice& m_device;
    double m_x; // pixels per millimetre
    double m_y;
};

} // namespace

SheetPlan PlanLegendSheet(std::uint8_t kbdShape, double sideMm, QSizeF areaMm)
{
    const std::vector<Cell> cells = pictureCells(kbdShape);
    const int columns = kbdShape == 0 ? 12 : 14;
    const int rows = kbdShape == 0 ? 7 : 6;
    std::vector<std::pair<int, int>> wide;
    std::vector<std::pair<int, int>> tall;
    for (const Cell& c : cells) {
        wide.emplace_back(c.column, c.column + c.columns - 1);
        tall.emplace_back(c.row, c.row + c.rows - 1);
    }
    // Above the first row half a gap, under the last one its keys' numbers.
    const double roomHeight = areaMm.height() - kSheetTitleMm - kInsertGapMm / 2 - kKeyNumberMm;
    const std::vector<int> columnStarts = bandStarts(columns, sideMm, areaMm.width(), wide);
    const std::vector<int> rowStarts = bandStarts(rows, sideMm, roomHeight, tall);

    SheetPlan plan;
    plan.pages = static_cast<int>(columnStarts.size() * rowStarts.size());
    const double pitch = sideMm + kInsertGapMm;
    for (const Cell& c : cells) {
        const int columnBand = bandOf(columnStarts, c.column);
        const int rowBand = bandOf(rowStarts, c.row);
        // Each page's part of the picture is centred on it.
        const double left =
            (areaMm.width() - bandExtent(columnStarts, columnBand, columns, sideMm)) / 2;
        // Under the title, leaving room above the first row's cut marks.
        const double top = kSheetTitleMm + kInsertGapMm / 2;
        const QRectF square(std::max(0.0, left) +
                                (c.column - columnStarts[static_cast<std::size_t>(columnBand)]) *
                                    pitch,
                            top + (c.row - rowStarts[static_cast<std::size_t>(rowBand)]) * pitch,
                            c.columns * pitch - kInsertGapMm, c.rows * pitch - kInsertGapMm);
        plan.inserts.push_back(
            {c.key, rowBand * static_cast<int>(columnStarts.size()) + columnBand, square});
    }
    return plan;
}

bool PaintLegendSheet(QPagedPaintDevice& device, const KeyLegends& legends, const QString& title)
{
    const QRectF area = device.pageLayout().paintRect(QPageLayout::Millimeter);
    const SheetPlan plan = PlanLegendSheet(legends.shape(), legends.sizeMm(), area.size());
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    SheetPainter sheet(painter, device);
    for (int page = 0; page < plan.pages; ++page) {
        if (page > 0 && !device.newPage())
            return false;
        sheet.title(QStringLiteral("Key legends: %1 \u2014 %2 mm inserts, page %3 of %4 \u2014 "
                                   "cut along the marks")
                        .arg(title)
                        .arg(legends.sizeMm())
                        .arg(page + 1)
                        .arg(plan.pages),
                    area.width());
        for (const InsertPlace& place : plan.inserts) {
            if (place.page == page)
                sheet.insert(place, legends);
        }
    }
    return painter.end();
}

} // namespace morvaw
