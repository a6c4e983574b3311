// Any bytes where a .KBD layout should be, then everything that reads a
// loaded layout: the key captions, the input lines and readable texts of every
// definition and both memory images over the shipped scan table. A whole
// layout is kept byte for byte (through its text form: morvaw_layouttext).
#include "deviceimagebuilder.h"
#include "kbdfuzz.h"
#include "keyboardpicture.h"
#include "keypictures.h"
#include "keystablebuilder.h"
#include "layoutfile.h"
#include "layoutsource.h"
#include "memoryusage.h"

#include <algorithm>

using namespace morvaw;
using namespace morvaw::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    auto records = std::make_unique<LayoutRecordArray>();
    // Start-up takes what a layout file holds; opening takes only a whole one.
    ParseLayoutFilePartly(bytes, *records);
    LayoutRecordArray opened{};
    require(ParseLayoutFile(bytes, opened) == (size == kLayoutFileSize),
            "only a whole layout opens");
    const QByteArray written = LayoutFileBytes(opened);
    require(size != kLayoutFileSize || std::ranges::equal(BytesOf(written), bytes),
            "a layout keeps every byte");

    for (int key = 1; key <= kKeyCount; ++key)
        require(fnCaption((*records)[static_cast<std::size_t>(key)]).find(' ') == std::string::npos,
                "captions come without spaces");
    for (int record = 1; record <= kLayoutFileRecords; ++record) {
        const KeyRecord& r = (*records)[static_cast<std::size_t>(record)];
        for (int line = 0; line < 4; ++line) {
            (void)InputLineText(r.def(line), r.len(line));
            (void)InputLineTokens(r.definition(line));
            (void)ReadableDefinition(r.definition(line));
        }
    }

    const KeyboardTables& tables = ShippedTables((*records)[Settings::KbdLanguage].PosX);
    const MatrixCodeTable matrixCodes = MakeDeviceMatrixCodes();
    const LayoutSource source{*records, {tables.ScanTable, tables.ScanCount}, matrixCodes};
    (void)MacroMemoryText(KeysTableBuilder::Build(source));
    (void)MacroMemoryText(DeviceImageBuilder::Build(source));
    return 0;
}
