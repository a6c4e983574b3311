#pragma once

#include <filesystem>
#include <optional>

class QTextStream;

namespace morvaw {

// The command-line modes that work on layout files, without a window. Each
// returns the program's exit code: 0 done, 1 (--diff only) the layouts
// differ, 2 a file that cannot be read or written, with the reason written to
// `errors`; then no file is written at all.
enum LayoutCommandExit : int { LayoutsAlike = 0, LayoutsDiffer = 1, LayoutCommandFailed = 2 };

// --export LAYOUT.KBD [--output FILE.json]: the text form, to `out` or the file.
int ExportLayoutText(const std::filesystem::path& layout,
                     const std::optional<std::filesystem::path>& output, QTextStream& out,
                     QTextStream& errors);

// --import FILE.json --output LAYOUT.KBD: the layout file of a text form.
int ImportLayoutText(const std::filesystem::path& text, const std::filesystem::path& output,
                     QTextStream& errors);

// --diff A.KBD B.KBD: what differs, a line each, to `out`.
int DiffLayoutFiles(const std::filesystem::path& before, const std::filesystem::path& after,
                    QTextStream& out, QTextStream& errors);

} // namespace morvaw
