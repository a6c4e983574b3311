#include "linkcodes.h"

#include "definitiontext.h"

namespace morvaw {

std::uint8_t Lo(std::int32_t value)
{
    return static_cast<std::uint8_t>(value & 0xFF);
}

std::uint8_t Hi(std::int32_t value)
{
    return static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

char B2Hex(std::uint8_t nibble)
{
    constexpr std::string_view digits = "0123456789abcdef";
    return digits[nibble & 0x0F];
}

std::string Hex2Asc(std::int32_t value)
{
    const int v = value & 0xFF;
    return {static_cast<char>('0' + (v >> 4)), static_cast<char>('0' + (v & 0x0F))};
}

std::string StLoCase(std::string_view text)
{
    std::size_t n = text.size();
    while (n > 0 && text[n - 1] == ' ')
        --n;
    return AsciiLower(text.substr(0, n));
}

std::string NumberText(long long value)
{
    return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

} // namespace morvaw
