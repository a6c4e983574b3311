#include "keypictures.h"

#include "definitiontext.h"
#include "keytoken.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace morvaw {

namespace {

std::string readableToken(std::string_view token)
{
    // The prefixes stay as written; only the key name behind them changes.
    const ParsedKeyToken parsed = ParseKeyToken(token);
    const std::string_view word = PictureKeyWord(parsed.name);
    if (word == parsed.name)
        return std::string(token);
    return std::string(token.substr(0, token.size() - parsed.name.size())) + std::string(word);
}

std::string_view usedPart(const Definition& d)
{
    // A length byte read from a file may claim more than the field holds.
    const auto used =
        static_cast<std::size_t>(std::clamp(int{d.Len}, 0, static_cast<int>(KeyRecord::kDefWidth)));
    return d.Def.view().substr(0, used);
}

std::vector<std::string_view> tokensOf(std::string_view used)
{
    std::vector<std::string_view> tokens;
    std::size_t pos = 0;
    while (pos < used.size()) {
        const std::size_t end = std::min(used.find(TokenMark, pos), used.size());
        // Padding after the last mark, taken in by a length beyond the text, is no token.
        const bool padding = end == used.size() && IsBlankText(used.substr(pos));
        if (end > pos && !padding)
            tokens.push_back(used.substr(pos, end - pos));
        pos = end + 1;
    }
    return tokens;
}

std::string namedKeyWords(std::string_view token)
{
    const ParsedKeyToken parsed = ParseKeyToken(token);
    std::string words = "<";
    if (parsed.modifier & CtrlBit)
        words += "Ctrl+";
    if (parsed.modifier & ShiftBit)
        words += "Shift+";
    if (parsed.modifier & AltBit)
        words += "Alt+";
    if (parsed.modifier == ForceNumBit)
        words += "Num+";
    return words + std::string(PictureKeyWord(parsed.name)) + '>';
}

} // namespace

std::string_view PictureKeyWord(std::string_view name)
{
    for (const PictureKeyName& p : kPictureKeyNames) {
        if (name == p.name)
            return p.word;
    }
    return name;
}

std::string InputLineText(const FixedText<KeyRecord::kDefWidth>& text, int length)
{
    // A length byte read from a file may claim more than the field holds.
    const auto used =
        static_cast<std::size_t>(std::clamp(length, 0, static_cast<int>(KeyRecord::kDefWidth)));
    const std::string_view definition = text.view().substr(0, used);
    if (IsFunctionShiftWord(definition))
        return std::string(definition);
    std::string shown;
    std::size_t pos = 0;
    while (pos < definition.size()) {
        if (definition[pos] == TokenMark) {
            shown += DotMark;
            ++pos;
            continue;
        }
        const std::size_t end = std::min(definition.find(TokenMark, pos), definition.size());
        shown += readableToken(definition.substr(pos, end - pos));
        pos = end;
    }
    return shown;
}

std::vector<std::string> InputLineTokens(const Definition& definition)
{
    const std::string_view used = usedPart(definition);
    if (IsFunctionShiftWord(used))
        return {std::string(used)};
    std::vector<std::string> shown;
    for (std::string_view token : tokensOf(used))
        shown.push_back(readableToken(token));
    return shown;
}

std::string ReadableDefinition(const Definition& definition)
{
    const std::string_view used = usedPart(definition);
    if (IsBlankText(used))
        return {};
    if (IsFunctionShiftWord(used) || used.find(TokenMark) == std::string_view::npos)
        return Trim(used, Padding::SpacesAndNuls);
    std::string text;
    for (std::string_view token : tokensOf(used)) {
        if (token == "Spc")
            text += ' ';
        else if (token.size() == 1)
            text += token;
        else
            text += namedKeyWords(token);
    }
    return text;
}

} // namespace morvaw
