// Any bytes where a .KBD layout should be, then everything that reads a
// loaded layout: the key captions, the editor's input lines for every record
// and both memory images over the shipped scan table. A whole layout is kept
// byte for byte.
#include "deviceimagebuilder.h"
#include "kbdfuzz.h"
#include "keyboardpicture.h"
#include "keymodelogic.h"
#include "keystablebuilder.h"
#include "layoutfile.h"
#include "memoryusage.h"
#include "scripteddialogs.h"

#include <algorithm>

using namespace morvaw;
using namespace morvaw::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    auto state = std::make_unique<ConfiguratorState>(StartedState());
    // Start-up takes what a layout file holds; opening takes only a whole one.
    ParseLayoutFilePartly(bytes, state->LayoutRecords);
    LayoutRecordArray opened{};
    require(ParseLayoutFile(bytes, opened) == (size == kLayoutFileSize),
            "only a whole layout opens");
    const QByteArray written = LayoutFileBytes(opened);
    require(size != kLayoutFileSize || std::ranges::equal(BytesOf(written), bytes),
            "a layout keeps every byte");

    state->CurrentLanguage = state->LayoutRecords[Settings::KbdLanguage].PosX;
    state->Tables = ShippedTables(state->CurrentLanguage);
    for (int key = 1; key <= kKeyCount; ++key)
        require(fnCaption(*state, key).find(' ') == std::string::npos,
                "captions come without spaces");

    test::ScriptedDialogs dialogs{true};
    KeyModeLogic editor(*state, dialogs);
    for (int record = 1; record <= kLayoutFileRecords; ++record) {
        state->WorkKey = state->LayoutRecords[static_cast<std::size_t>(record)];
        for (int line = 0; line < 4; ++line)
            (void)editor.PrintInpLine(line);
    }

    const LayoutSource source{state->LayoutRecords,
                              {state->Tables.ScanTable, state->Tables.ScanCount},
                              state->DeviceMatrixCodes};
    (void)MacroMemoryText(KeysTableBuilder::Build(source));
    (void)MacroMemoryText(DeviceImageBuilder::Build(source));
    return 0;
}
