// Any bytes where an exported layout (--import) or a legends file should be,
// and whole .KBD files to export. A layout text that reads gives records whose
// own text reads back to the very same bytes, as does a .KBD file's text;
// legends that read are written and read back the same.
#include "fuzzinput.h"
#include "keylegends.h"
#include "layoutfile.h"
#include "layouttext.h"

#include <memory>

using namespace morvaw;
using suite::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    auto legends = std::make_unique<KeyLegends>(LayoutRecordArray{});
    if (legends->readText(text).ok) {
        auto written = std::make_unique<KeyLegends>(LayoutRecordArray{});
        require(written->readText(legends->toText()).ok, "written legends read");
        require(written->toText() == legends->toText(), "legends read back the same");
    }

    if (auto layout = std::make_unique<LayoutRecordArray>();
        ParseLayoutFile({data, size}, *layout)) {
        const auto fromText =
            std::make_unique<LayoutTextRead>(LayoutFromText(LayoutToText(*layout)));
        require(fromText->error.isEmpty(), "an exported layout reads");
        require(LayoutFileBytes(fromText->records) == text, "export and import keep every byte");
        require(LayoutDifferences(*layout, fromText->records).isEmpty(), "no difference to itself");
        return 0;
    }
    const auto read = std::make_unique<LayoutTextRead>(LayoutFromText(text));
    if (!read->error.isEmpty()) {
        require(read->records == LayoutRecordArray{}, "a text that does not read gives nothing");
        return 0;
    }
    const auto again =
        std::make_unique<LayoutTextRead>(LayoutFromText(LayoutToText(read->records)));
    require(again->error.isEmpty(), "an exported layout reads");
    require(LayoutFileBytes(again->records) == LayoutFileBytes(read->records),
            "export and import keep every byte");
    return 0;
}
