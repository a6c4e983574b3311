#include "keystablebuilder.h"

#include "definitiontext.h"

#include <vector>

namespace morvaw {

namespace {

// Header flags of a macro (high byte of its first word).
constexpr std::uint8_t kPlainPresent = 0x08;
constexpr std::uint8_t kPlainSingle = 0x02;
constexpr std::uint8_t kFunc1Present = 0x04;
constexpr std::uint8_t kFunc1Repeat = 0x01;

// A plain definition that only names the Func2 shift: older keyboards have no
// Func2 level, so such a key sends nothing.
constexpr std::string_view kFunc2Token = "\xF9"
                                         "Func2\xF9";

std::uint16_t wordOf(std::uint8_t high, std::uint8_t low)
{
    return static_cast<std::uint16_t>(high << 8 | low);
}

// Ends a part: its last code gets the end bit, unless it is a pause.
void markLast(std::vector<KeyCode>& codes)
{
    if (!codes.empty() && !IsPauseCode(codes.back()))
        codes.back().mask |= CodeBits::Last;
}

} // namespace

KeysTableBuilder::KeysTableBuilder(const LayoutSource& source) : m_source(source) {}

KeysTableBuilder KeysTableBuilder::Build(const LayoutSource& source)
{
    KeysTableBuilder builder(source);
    for (int key = 1; key <= kKeyCount && builder.addKey(key); ++key) {
    }
    builder.finish();
    return builder;
}

void KeysTableBuilder::setWord(int index, std::uint8_t high, std::uint8_t low)
{
    // A macro running past the last word is an overflow; it is never sent.
    if (index >= 1 && index <= kWords)
        m_words[static_cast<std::size_t>(index)] = wordOf(high, low);
}

bool KeysTableBuilder::addKey(int key)
{
    if (m_overflow)
        return false;
    const KeyRecord& record = m_source.record(key);
    const std::uint8_t matrix = m_source.matrixCodes[static_cast<std::size_t>(key)];
    std::string_view plain = UsedDefinition(record, 0);
    m_keypad.update(matrix, plain);
    if (plain == kFunc2Token)
        plain = {};
    return !AddKeyToArray(key, matrix + 1, plain, UsedDefinition(record, 1), record.Label);
}

bool KeysTableBuilder::AddKeyToArray(int keyNo, int matrixOffset, std::string_view keySt,
                                     std::string_view func1St, const FixedText<4>& keyFuncSt)
{
    const std::uint8_t flags = m_source.record(keyNo).RepeatFlags;
    const std::uint8_t plainRepeat = flags & 1;
    const std::uint8_t delayKeyTime = m_source.setting(Settings::DelayKeyTime);
    const bool func1Blank = HasNoSignificantText(func1St);

    if (func1Blank && HasNoSignificantText(DefToken(2, keySt, TokenMark))) {
        if (keySt.starts_with('>')) {
            setWord(matrixOffset, keyFuncSt[0], keyFuncSt[1]);
            return false;
        }
        KeyCode code = SetKeySequence(m_source.names, DefToken(1, keySt, TokenMark));
        if (IsPauseCode(code))
            code.scan = delayKeyTime;
        setWord(matrixOffset, code.scan, code.mask | plainRepeat);
        return false;
    }

    // The entry points at the macro: its word number, the part below 128 in
    // the high byte and 128 in the low byte's top bit.
    const int s = m_nextSlot;
    if (s < 128)
        setWord(matrixOffset, static_cast<std::uint8_t>(s), CodeBits::Last | plainRepeat);
    else
        setWord(matrixOffset, static_cast<std::uint8_t>(s - 128),
                static_cast<std::uint8_t>(130 | plainRepeat));

    std::vector<KeyCode> plain = TokenCodes(m_source.names, keySt, delayKeyTime);
    for (KeyCode& code : plain)
        code.mask |= plainRepeat;
    markLast(plain);

    std::uint8_t headerHigh = 0;
    std::uint8_t headerLow = 0;
    if (!plain.empty())
        headerHigh |= kPlainPresent;
    if (plain.size() == 1)
        headerHigh |= kPlainSingle;

    int next = s + 1;
    for (const KeyCode& code : plain)
        setWord(next++, code.scan, code.mask);

    if (!func1Blank) {
        std::vector<KeyCode> func1 = TokenCodes(m_source.names, func1St, delayKeyTime);
        markLast(func1);
        if (!func1.empty()) {
            headerLow = static_cast<std::uint8_t>(next);
            headerHigh |= kFunc1Present;
        }
        for (const KeyCode& code : func1)
            setWord(next++, code.scan, code.mask);
    }
    if (flags & 2)
        headerHigh |= kFunc1Repeat;
    setWord(s, headerHigh, headerLow);

    m_nextSlot = next;
    m_overflow = m_nextSlot >= kMacroLimit;
    return m_overflow;
}

void KeysTableBuilder::addMsrKey(int record, int word)
{
    if (!m_overflow)
        AddKeyToArray(record, word, UsedDefinition(m_source.record(record), 0), {},
                      m_source.record(record).Label);
}

void KeysTableBuilder::finish()
{
    setWord(8, 0, m_source.setting(Settings::KbdFlags));
    setWord(16, m_source.setting(Settings::DelayKeyTime),
            m_source.setting(Settings::MacroPlayDelay));
    setWord(64, 0, m_source.setting(Settings::MsrOption1));
    for (int i = 1; i <= 6; ++i)
        setWord(96 + i, m_keypad[2 * i - 1], m_keypad[2 * i]);

    addMsrKey(Settings::MsrHeader, 40);
    addMsrKey(Settings::MsrSeparator, 32);
    addMsrKey(Settings::MsrInterTracks, 56);
}

} // namespace morvaw
