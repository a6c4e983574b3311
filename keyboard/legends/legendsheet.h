#pragma once

#include <QRectF>
#include <QSizeF>
#include <QString>

#include <cstdint>
#include <vector>

class QPagedPaintDevice;

namespace morvaw {

class KeyLegends;

// Where one insert lies: its key (1..84), its page and its square (or the
// oblong of a doubled key) in millimetres from the top left of the page's
// printable area.
struct InsertPlace
{
    int key = 0;
    int page = 0;
    QRectF mm;
};

struct SheetPlan
{
    std::vector<InsertPlace> inserts;
    int pages = 1;
};

// The space between two inserts, where the cut marks and key numbers go, and
// the line above them that says what the sheet is.
inline constexpr double kInsertGapMm = 4;
inline constexpr double kSheetTitleMm = 7;

// The inserts of the keys the picture shows, in its 12 x 7 or 14 x 6 shape,
// so that an insert is found where its key stands. A picture wider or taller
// than the area is cut into pages between columns (rows), never through a
// doubled key.
[[nodiscard]] SheetPlan PlanLegendSheet(std::uint8_t kbdShape, double sideMm, QSizeF areaMm);

// Prints the inserts with their legends, Func1 and Func2 texts and cut
// marks on the device's pages (a printer or a PDF writer); title names the
// layout. False when the device cannot be painted on.
bool PaintLegendSheet(QPagedPaintDevice& device, const KeyLegends& legends, const QString& title);

} // namespace morvaw
