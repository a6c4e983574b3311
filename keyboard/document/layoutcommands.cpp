#include "layoutcommands.h"

#include "displaytext.h"
#include "layoutfile.h"
#include "layouttext.h"
#include "regularfile.h"

#include <QTextStream>

namespace morvaw {

namespace {

// A text form is some tens of kilobytes; one of a layout full of odd bytes
// stays well below this.
constexpr qint64 kMaxTextSize = 16 << 20;

QString shown(const std::filesystem::path& path)
{
    return ToQtPath(path.string());
}

bool readLayout(const std::filesystem::path& path, LayoutRecordArray& records, QTextStream& errors)
{
    const FileOutcome read = ReadLayoutFile(path, records);
    if (!read.ok)
        errors << shown(path) << ": " << read.reason << '\n';
    return read.ok;
}

} // namespace

int ExportLayoutText(const std::filesystem::path& layout,
                     const std::optional<std::filesystem::path>& output, QTextStream& out,
                     QTextStream& errors)
{
    LayoutRecordArray records{};
    if (!readLayout(layout, records, errors))
        return LayoutCommandFailed;
    const QByteArray text = LayoutToText(records);
    if (!output) {
        out << QString::fromUtf8(text);
        return LayoutsAlike;
    }
    if (const FileOutcome written = ReplaceFileContents(*output, text); !written.ok) {
        errors << shown(*output) << ": " << written.reason << '\n';
        return LayoutCommandFailed;
    }
    return LayoutsAlike;
}

int ImportLayoutText(const std::filesystem::path& text, const std::filesystem::path& output,
                     QTextStream& errors)
{
    const FileRead read = ReadRegularFile(text, kMaxTextSize + 1);
    if (!read.outcome.ok) {
        errors << shown(text) << ": " << read.outcome.reason << '\n';
        return LayoutCommandFailed;
    }
    if (read.size > kMaxTextSize) {
        errors << shown(text) << ": " << read.size << " bytes is too large for a layout's text\n";
        return LayoutCommandFailed;
    }
    const LayoutTextRead layout = LayoutFromText(read.bytes);
    if (!layout.error.isEmpty()) {
        errors << shown(text) << ": " << layout.error << "; nothing was written\n";
        return LayoutCommandFailed;
    }
    if (const FileOutcome written = WriteLayoutFile(output, layout.records); !written.ok) {
        errors << shown(output) << ": " << written.reason << '\n';
        return LayoutCommandFailed;
    }
    return LayoutsAlike;
}

int DiffLayoutFiles(const std::filesystem::path& before, const std::filesystem::path& after,
                    QTextStream& out, QTextStream& errors)
{
    LayoutRecordArray a{};
    LayoutRecordArray b{};
    if (!readLayout(before, a, errors) || !readLayout(after, b, errors))
        return LayoutCommandFailed;
    const QStringList lines = LayoutDifferences(a, b);
    for (const QString& line : lines)
        out << WithControlPictures(line) << '\n';
    return lines.isEmpty() ? LayoutsAlike : LayoutsDiffer;
}

} // namespace morvaw
