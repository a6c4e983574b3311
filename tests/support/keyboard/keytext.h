#pragma once

#include "definitiontext.h"
#include "keyrecord.h"

#include <string>
#include <vector>

namespace morvaw::test {

// A definition made of tokens, each followed by the mark, as the editor stores it.
inline std::string Tokens(const std::vector<std::string>& tokens)
{
    std::string text(1, TokenMark);
    for (const auto& t : tokens)
        text += t + TokenMark;
    return text;
}

inline void SetDef(KeyRecord& record, int level, const std::string& text)
{
    record.def(level).assign(text);
    record.len(level) = static_cast<std::uint8_t>(text.size());
}

} // namespace morvaw::test
