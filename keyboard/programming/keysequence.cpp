#include "keysequence.h"

#include "definitiontext.h"
#include "keypictures.h"
#include "keytoken.h"
#include "linkcodes.h"

#include <array>
#include <string>

namespace morvaw {

namespace {

// The cursor-pad bit of a scan record; a key sent with Ctrl, Alt or Shift
// goes without it.
constexpr std::uint8_t kCursorPad = 32;
constexpr std::uint8_t kModifierBits = CtrlBit | AltBit | ShiftBit;

} // namespace

KeyCode SetKeySequence(const ScanNames& names, std::string_view keySeq)
{
    if (SignificantLength(keySeq) == 0)
        return {};

    const ParsedKeyToken read = ReadKeyToken(keySeq);
    const std::string_view name = PictureKeyWord(read.name);
    const std::uint8_t modifier = read.modifier;

    const std::string wanted = StLoCase(name);
    const int count = std::min<int>(names.count, kScanRecords);
    for (int i = 1; i <= count; ++i) {
        const ScanRecord& record = names.table[static_cast<std::size_t>(i)];
        if (record.Name[0] == ' ')
            break;
        if (StLoCase(record.Name.view()) != wanted)
            continue;
        std::uint8_t mask = record.Seq2;
        if (mask == kCursorPad && (modifier & kModifierBits) != 0)
            mask = 0;
        return {record.Seq1, static_cast<std::uint8_t>(mask | modifier)};
    }
    return {};
}

} // namespace morvaw

namespace morvaw {

std::vector<KeyCode> TokenCodes(const ScanNames& names, std::string_view definition,
                                std::uint8_t delayKeyTime)
{
    std::vector<KeyCode> codes;
    for (int n = 1;; ++n) {
        const std::string token = DefToken(n, definition, TokenMark);
        if (token.empty())
            return codes;
        KeyCode code = SetKeySequence(names, token);
        if (IsPauseCode(code))
            code.scan = delayKeyTime;
        codes.push_back(code);
    }
}

} // namespace morvaw
