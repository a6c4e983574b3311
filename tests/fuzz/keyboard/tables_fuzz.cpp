// Any bytes where the keyboard data files and the language's STC file should
// be, read as start-up and a change of language read them; then the key
// editor's on-screen keyboard, which looks its buttons up in them. Input: a
// language byte, then each file as a two-byte length and its bytes.
#include "kbdfuzz.h"
#include "keymodelogic.h"
#include "languagetables.h"
#include "scripteddialogs.h"

using namespace morvaw;
using namespace morvaw::fuzz;

namespace {

bool sameTables(const KeyboardTables& a, const KeyboardTables& b)
{
    return a.AssocTable == b.AssocTable && a.ScanTable == b.ScanTable && a.CapTable == b.CapTable &&
           a.ShiftCapTable == b.ShiftCapTable && a.StcTable == b.StcTable;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput in{{data, size}};
    const int language = in.byte();
    const auto file = [&in] {
        const std::size_t length = in.byte() | in.byte() << 8;
        const auto bytes = in.rest.first(std::min(length, in.rest.size()));
        in.rest = in.rest.subspan(bytes.size());
        return bytes;
    };
    DataFileBytes files;
    for (const char* name : kDataFileNames)
        files.emplace(name, file());
    const auto stc = file();

    auto tables = std::make_unique<KeyboardTables>(StartupTables());
    ParseStartupTables(*tables, files);
    ParseLanguageTables(*tables, files, language, stc);
    const KeyboardTables once = *tables;
    ParseLanguageTables(*tables, files, language, stc);
    require(sameTables(once, *tables), "reading the tables again changes nothing");

    test::ScriptedDialogs dialogs{true};
    LanguageTables owner(FileFolders{kDataDir, {}}, *tables);
    KeyModeLogic editor(owner, dialogs);
    editor.openForKey({}, static_cast<std::uint8_t>(language));
    using L = KeyModeLogic;
    for (auto modifier : {L::ModNone, L::ModCtrl, L::ModAlt, L::ModShift}) {
        editor.toggleModifier(modifier);
        (void)editor.DispShifts();
        for (int button = OnScreen::kFirstButton; button <= OnScreen::kLastButton; ++button)
            editor.pickOnScreenKey(button);
        editor.toggleModifier(modifier);
    }
    for (int line = 0; line < editor.LineCount(); ++line)
        (void)editor.PrintInpLine(line);
    return 0;
}
