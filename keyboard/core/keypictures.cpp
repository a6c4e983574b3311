#include "keypictures.h"

#include "definitiontext.h"
#include "keytoken.h"

#include <algorithm>

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

} // namespace morvaw
