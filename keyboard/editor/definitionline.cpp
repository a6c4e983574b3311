#include "definitionline.h"

#include "definitiontext.h"

#include <algorithm>

namespace morvaw {

namespace {

constexpr int kWidth = static_cast<int>(KeyRecord::kDefWidth);

// A length byte read from a file may claim more than the field holds.
int usedLength(int length)
{
    return std::clamp(length, 0, kWidth);
}

struct Marks
{
    int last = 0;       // 1-based position of the last mark within the used part; 0 none
    int beforeLast = 0; // the mark before it; 0 none
};

Marks findMarks(const FixedText<KeyRecord::kDefWidth>& text, int length)
{
    Marks m;
    for (int pos = 1; pos <= usedLength(length); ++pos) {
        if (text[static_cast<std::size_t>(pos - 1)] == static_cast<std::uint8_t>(TokenMark)) {
            m.beforeLast = m.last;
            m.last = pos;
        }
    }
    return m;
}

void blankFrom(FixedText<KeyRecord::kDefWidth>& text, int first)
{
    for (int i = first; i < kWidth; ++i)
        text[static_cast<std::size_t>(i)] = ' ';
}

} // namespace

LineEdit RemoveLastToken(DefinitionRef line)
{
    if (IsFunctionShiftWord(line.text.view())) {
        line.text.assign("");
        line.length = 0;
        return LineEdit::Changed;
    }
    if (line.length == 0)
        return LineEdit::Ignored;
    const Marks m = findMarks(line.text, line.length);
    if (m.last > 1) {
        blankFrom(line.text, m.beforeLast);
        line.length = static_cast<std::uint8_t>(m.beforeLast);
    } else if (m.last == 1) {
        line.length = 0;
    } else {
        // Text without any mark (from a foreign file) is one token: remove it all.
        line.text.assign("");
        line.length = 0;
    }
    return LineEdit::Changed;
}

LineEdit AppendToken(DefinitionRef line, std::string_view token)
{
    // A mark inside a token would split it: "\xF9x" would be the key x.
    if (token.empty() || token.find(TokenMark) != std::string_view::npos)
        return LineEdit::Ignored;
    Marks m = findMarks(line.text, line.length);
    const int end = (m.last == 0 ? 1 : m.last) + static_cast<int>(token.size()) + 1;
    if (end > kWidth)
        return LineEdit::NoRoom;
    if (m.last == 0) {
        line.text.assign(std::string(1, TokenMark));
        m.last = 1;
    }
    int pos = m.last; // 0-based index of the character after the last mark
    for (char c : token)
        line.text[static_cast<std::size_t>(pos++)] = static_cast<std::uint8_t>(c);
    line.text[static_cast<std::size_t>(pos++)] = static_cast<std::uint8_t>(TokenMark);
    line.length = static_cast<std::uint8_t>(pos);
    return LineEdit::Changed;
}

std::optional<std::string> TypedToken(int code, bool spaceAsItself)
{
    if (code == 32)
        return spaceAsItself ? " " : "Spc";
    if (code >= 33 && code <= 127)
        return std::string(1, static_cast<char>(code));
    // Anything else, above all bytes 128..255, never reaches a definition:
    // a typed 249 ("\u00F9") would be taken for a mark.
    return std::nullopt;
}

std::string UsedLengthText(int length)
{
    return std::to_string(usedLength(length)) + " of " + std::to_string(kWidth);
}

} // namespace morvaw
