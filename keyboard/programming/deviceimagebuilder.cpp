#include "deviceimagebuilder.h"

#include "definitiontext.h"

#include <vector>

namespace morvaw {

namespace {

// Flags of a macro's first header byte.
constexpr std::uint8_t kPlainPresent = 0x80;
constexpr std::uint8_t kPlainSingle = 0x01;
constexpr std::uint8_t kPlainRepeat = 0x02;
constexpr std::uint8_t kFunc1Present = 0x40;
constexpr std::uint8_t kFunc1Repeat = 0x04;
constexpr std::uint8_t kFunc2Present = 0x20;
constexpr std::uint8_t kFunc2Repeat = 0x08;

// Codes of one macro part: the end bit is cleared everywhere and set on the
// last code, unless that is a pause.
std::vector<KeyCode> partCodes(const ScanNames& names, std::string_view definition,
                               std::uint8_t delayKeyTime)
{
    std::vector<KeyCode> codes = TokenCodes(names, definition, delayKeyTime);
    const bool endsInPause = !codes.empty() && IsPauseCode(codes.back());
    for (KeyCode& code : codes)
        code.mask &= static_cast<std::uint8_t>(~CodeBits::Last);
    if (!codes.empty() && !endsInPause)
        codes.back().mask |= CodeBits::Last;
    return codes;
}

} // namespace

DeviceImageBuilder::DeviceImageBuilder(const LayoutSource& source) : m_source(source) {}

DeviceImageBuilder DeviceImageBuilder::Build(const LayoutSource& source)
{
    DeviceImageBuilder builder(source);
    for (int key = 1; key <= kKeyCount && builder.addKey(key); ++key) {
    }
    builder.finish();
    return builder;
}

void DeviceImageBuilder::setEntry(int matrixCode, std::uint8_t first, std::uint8_t second)
{
    m_image[static_cast<std::size_t>(2 * matrixCode + 1)] = first;
    m_image[static_cast<std::size_t>(2 * matrixCode + 2)] = second;
}

bool DeviceImageBuilder::addKey(int key)
{
    if (m_overflow)
        return false;
    const KeyRecord& record = m_source.record(key);
    const std::uint8_t matrix = m_source.matrixCodes[static_cast<std::size_t>(key)];
    const std::string_view plain = UsedDefinition(record, 0);
    m_keypad.update(matrix, plain);
    return !NewAddKeyToArray(key, matrix, plain, UsedDefinition(record, 1),
                             UsedDefinition(record, 2), record.Label);
}

bool DeviceImageBuilder::NewAddKeyToArray(int keyNo, int matrixOffset, std::string_view keySt,
                                          std::string_view func1St, std::string_view func2St,
                                          const FixedText<4>& keyFuncSt)
{
    const std::uint8_t flags = m_source.record(keyNo).RepeatFlags;
    const std::uint8_t plainRepeat = flags & 1;
    const std::uint8_t delayKeyTime = m_source.setting(Settings::DelayKeyTime);
    const bool func1Blank = HasNoSignificantText(func1St);
    const bool func2Blank = HasNoSignificantText(func2St);

    if (func1Blank && func2Blank && HasNoSignificantText(DefToken(2, keySt, TokenMark))) {
        if (keySt.starts_with('>')) {
            setEntry(matrixOffset, keyFuncSt[0], keyFuncSt[1]);
            return false;
        }
        KeyCode code = SetKeySequence(m_source.names, DefToken(1, keySt, TokenMark));
        if (IsPauseCode(code))
            code.scan = delayKeyTime;
        setEntry(matrixOffset, code.scan, code.mask | plainRepeat);
        return false;
    }

    // An entry whose pointer's low byte were 0 or 128 would read as empty.
    int s = m_nextSlot;
    if ((s & 0xFF) == 0 || (s & 0xFF) == 128)
        ++s;

    std::vector<std::uint8_t> macro(3, 0);
    // The repeat flags are the key's "Rpt" boxes, whether or not a level has
    // codes: a level left blank still repeats what the keyboard sends for it.
    if (plainRepeat)
        macro[0] |= kPlainRepeat;
    if (flags & 2)
        macro[0] |= kFunc1Repeat;
    if (flags & 4)
        macro[0] |= kFunc2Repeat;
    const auto addPart = [&](std::string_view definition, std::uint8_t present) -> int {
        const std::vector<KeyCode> codes = partCodes(m_source.names, definition, delayKeyTime);
        const int start = s + static_cast<int>(macro.size());
        for (const KeyCode& code : codes) {
            macro.push_back(code.scan);
            macro.push_back(code.mask);
        }
        if (!codes.empty())
            macro[0] |= present;
        return codes.empty() ? -1 : start;
    };

    const std::size_t plainStart = macro.size();
    addPart(keySt, kPlainPresent);
    if (macro.size() - plainStart == 2)
        macro[0] |= kPlainSingle;
    if (!func1Blank) {
        const int start = addPart(func1St, kFunc1Present);
        if (start >= 0)
            macro[1] = static_cast<std::uint8_t>(start & 0xFF);
    }
    if (!func2Blank) {
        const int start = addPart(func2St, kFunc2Present);
        if (start >= 0)
            macro[2] = static_cast<std::uint8_t>(start & 0xFF);
    }

    const int next = s + static_cast<int>(macro.size());
    if (next >= kEndByte + 1) {
        m_overflow = true;
        return true;
    }
    for (std::size_t i = 0; i < macro.size(); ++i)
        m_image[static_cast<std::size_t>(s) + i] = macro[i];
    setEntry(
        matrixOffset, static_cast<std::uint8_t>(s & 127),
        static_cast<std::uint8_t>((CodeBits::Last + plainRepeat + (s & 128)) | ((s >> 8) << 4)));
    m_nextSlot = next;
    return false;
}

void DeviceImageBuilder::addMsrKey(int record, int matrixCode)
{
    if (!m_overflow)
        NewAddKeyToArray(record, matrixCode, UsedDefinition(m_source.record(record), 0), {}, {},
                         m_source.record(record).Label);
}

void DeviceImageBuilder::finish()
{
    const auto set = [this](int address, std::uint8_t value) {
        m_image[static_cast<std::size_t>(address)] = value;
    };
    set(16, m_source.setting(Settings::KbdFlags));
    set(31, m_source.setting(Settings::MsrOption1));
    set(32, m_source.setting(Settings::MacroPlayDelay));
    set(127, m_source.setting(Settings::DelayKeyTime));
    set(15, m_source.setting(Settings::MsrOption2));
    set(95, m_source.setting(Settings::MsrOption3));
    for (int i = 1; i <= KeypadMap::kEntries; ++i)
        set(kKeypadByte - 1 + i, m_keypad[i]);

    addMsrKey(Settings::MsrHeader, 39);
    addMsrKey(Settings::MsrSeparator, 31);
    addMsrKey(Settings::MsrTrailer, 55);
    addMsrKey(Settings::MsrInterTracks, 71);
}

} // namespace morvaw
