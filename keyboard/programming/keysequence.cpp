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

// The first scan record of a key name, as far as the search goes: it stops
// at the first blank record.
const ScanRecord* findScanRecord(const ScanNames& names, std::string_view name)
{
    const std::string wanted = StLoCase(name);
    const int count = std::min<int>(names.count, kScanRecords);
    for (int i = 1; i <= count; ++i) {
        const ScanRecord& record = names.table[static_cast<std::size_t>(i)];
        if (record.Name[0] == ' ')
            break;
        if (StLoCase(record.Name.view()) == wanted)
            return &record;
    }
    return nullptr;
}

} // namespace

KeyCode SetKeySequence(const ScanNames& names, std::string_view keySeq)
{
    if (SignificantLength(keySeq) == 0)
        return {};

    const ParsedKeyToken read = ReadKeyToken(keySeq);
    const ScanRecord* record = findScanRecord(names, PictureKeyWord(read.name));
    if (!record)
        return {};
    std::uint8_t mask = record->Seq2;
    if (mask == kCursorPad && (read.modifier & kModifierBits) != 0)
        mask = 0;
    return {record->Seq1, static_cast<std::uint8_t>(mask | read.modifier)};
}

bool HasScanRecord(const ScanNames& names, std::string_view keySeq)
{
    return SignificantLength(keySeq) == 0 ||
           findScanRecord(names, PictureKeyWord(ReadKeyToken(keySeq).name)) != nullptr;
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
