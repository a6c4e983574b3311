// Any bytes where the display settings file, or its printer queue file,
// should be. A whole record is read back byte for byte; what a run starts
// with is a state the windows can show, and saved and read again by the next
// run it gives the same bytes.
#include "displaystate.h"
#include "displaytext.h"
#include "fuzzinput.h"
#include "printqueue.h"
#include "protocoltables.h"
#include "settingsfile.h"
#include "settingsrecord.h"

#include <algorithm>

using namespace vornestw;
using suite::fuzz::require;

namespace {

bool trimmed(const std::string& text, std::size_t width)
{
    return text.size() <= width && !text.starts_with(' ') && !text.ends_with(' ') &&
           FromDisplayText(ToDisplayText(text)) == text; // its window gives it back unchanged
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    const auto record = SettingsFile::Parse(bytes);
    require(record.has_value() == (size == SettingsRecord::kSize), "only one whole record is read");
    require(!record || std::ranges::equal(record->toBytes(), bytes), "a record keeps every byte");
    DisplayState first;
    ApplySettings(record.value_or(SettingsRecord{}), first);
    require(ProtocolOf(first.Mode) && first.Port >= 0 && first.Port <= kPrinterPort &&
                first.XPos >= 1 && first.XPos <= kLineWidth &&
                (first.LineNo == 1 || first.LineNo == 2),
            "protocol, channel and cursor are ones the windows offer");
    require(trimmed(first.Line1, kLineWidth) && trimmed(first.Line2, kLineWidth) &&
                trimmed(first.LongText, kLongTextWidth),
            "texts come without surrounding spaces, within their widths");

    // Saved when the window closes and read by the next start.
    const auto saved = RecordOf(first).toBytes();
    DisplayState second;
    ApplySettings(SettingsFile::Parse(saved).value(), second);
    require(RecordOf(second).toBytes() == saved, "save and reload give the same bytes");

    // The same bytes as the printer queue's side file.
    const QString queue = SettingsFile::ParsePrinterQueue(bytes);
    require(queue.isEmpty() || IsPrintQueueName(queue), "a queue is a name a server can have");
    const QByteArray line = queue.toUtf8() + '\n';
    require(SettingsFile::ParsePrinterQueue(
                std::span(reinterpret_cast<const std::uint8_t*>(line.constData()),
                          static_cast<std::size_t>(line.size()))) == queue,
            "a saved queue reads back as itself");

    return 0;
}
