#include "legendscommand.h"

#include "keylegends.h"
#include "layoutfile.h"
#include "legendsheet.h"
#include "regularfile.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTextStream>

namespace morvaw {

namespace {

constexpr int kPdfResolution = 600;

QString shownPath(const std::filesystem::path& path)
{
    return ToQtPath(path.string());
}

} // namespace

QByteArray LegendsPdf(const KeyLegends& legends, const QString& title)
{
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(kPdfResolution);
        writer.setCreator(QStringLiteral("morvaw"));
        writer.setTitle(QStringLiteral("Key legends: %1").arg(title));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        if (!PaintLegendSheet(writer, legends, title))
            return {};
    } // the writer finishes the file here
    return pdf.data();
}

int WriteLegendsPdf(const std::filesystem::path& layout, const std::filesystem::path& output,
                    std::optional<double> sizeMm, QTextStream& errors)
{
    LayoutRecordArray records{};
    if (const FileOutcome read = ReadLayoutFile(layout, records); !read.ok) {
        errors << shownPath(layout) << ": " << read.reason << '\n';
        return 2;
    }
    KeyLegends legends(records);
    const std::filesystem::path legendsFile = KeyLegends::FileFor(layout);
    if (const FileOutcome read = legends.load(legendsFile); !read.ok) {
        errors << shownPath(legendsFile) << ": " << read.reason << '\n';
        return 2;
    }
    if (sizeMm && !legends.setSizeMm(*sizeMm)) {
        errors << QStringLiteral("--size: expected a size from %1 to %2 mm")
                      .arg(KeyLegends::kMinSizeMm)
                      .arg(KeyLegends::kMaxSizeMm)
               << '\n';
        return 2;
    }

    const QByteArray pdf = LegendsPdf(legends, shownPath(layout.filename()));
    if (pdf.isEmpty()) {
        errors << shownPath(output) << ": the PDF could not be drawn\n";
        return 2;
    }
    if (const FileOutcome written = ReplaceFileContents(output, pdf); !written.ok) {
        errors << shownPath(output) << ": " << written.reason << '\n';
        return 2;
    }
    return 0;
}

} // namespace morvaw
