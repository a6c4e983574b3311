#include "filenames.h"

#include "definitiontext.h"

namespace morvaw {

std::string TrimName(std::string_view name)
{
    return TrimRight(name, Padding::SpacesAndNuls);
}

std::string CutToField(std::string_view name, std::size_t maxBytes)
{
    if (name.size() <= maxBytes)
        return std::string(name);
    std::size_t cut = maxBytes;
    // Step back over continuation bytes (10xxxxxx) to the start of the cut character.
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;
    return std::string(name.substr(0, cut));
}

std::string PadToField(std::string_view name, std::size_t width)
{
    std::string out = CutToField(name, width);
    out.resize(width, ' ');
    return out;
}

bool IsWildcardName(std::string_view name)
{
    return AsciiLower(TrimName(name)) == "*.kbd";
}

} // namespace morvaw
