#include "layoutsource.h"

#include "definitiontext.h"
#include "keypictures.h"

#include <algorithm>
#include <string>

namespace morvaw {

std::string_view UsedDefinition(const KeyRecord& record, int level)
{
    const std::size_t used = std::min<std::size_t>(record.len(level), KeyRecord::kDefWidth);
    return record.def(level).view().substr(0, used);
}

bool HasNoSignificantText(std::string_view text)
{
    return SignificantLength(text) == 0;
}

void KeypadMap::update(std::uint8_t matrixCode, std::string_view plainDefinition)
{
    const std::string token = DefToken(1, plainDefinition, TokenMark);
    if (token.empty() || !DefToken(2, plainDefinition, TokenMark).empty())
        return;
    const auto set = [this](int entry, int value) {
        m_entries[static_cast<std::size_t>(entry)] = static_cast<std::uint8_t>(value);
    };
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };

    constexpr std::string_view pad = "Pad ";
    const std::string_view name = PictureKeyWord(token);
    if (token.size() == pad.size() + 1 && token.starts_with(pad) && isDigit(token.back()))
        set(token.back() - '0' + 1, matrixCode | 128);
    else if (token.size() == 1 && isDigit(token[0]))
        set(token[0] - '0' + 1, matrixCode);
    else if (name == "Pad Ent")
        set(11, matrixCode | 128);
    else if (name == "Esc")
        set(12, matrixCode);
    else if (name == "Enter")
        set(11, matrixCode);
}

} // namespace morvaw
