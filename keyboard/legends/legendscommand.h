#pragma once

#include <QByteArray>
#include <QString>

#include <filesystem>
#include <optional>

class QTextStream;

namespace morvaw {

class KeyLegends;

// The legend sheet as the bytes of an A4 landscape PDF; empty when it could
// not be drawn. Needs a QGuiApplication.
[[nodiscard]] QByteArray LegendsPdf(const KeyLegends& legends, const QString& title);

// morvaw --legends LAYOUT.KBD --output FILE.pdf [--size MM]: the sheet of
// File > "Print legends…" for a layout and its legends file, as an A4 PDF,
// without a window. Needs a QGuiApplication (the offscreen platform does).
// The PDF replaces the output file whole or not at all. 0 when written,
// 2 (with the reason on `errors`) for a layout, legends file or size that
// cannot be used, or an output that cannot be written.
int WriteLegendsPdf(const std::filesystem::path& layout, const std::filesystem::path& output,
                    std::optional<double> sizeMm, QTextStream& errors);

} // namespace morvaw
