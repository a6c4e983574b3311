#include "senttext.h"

#include <cstdint>

namespace vornestw {

namespace {

// The readable token of one byte.
std::string tokenOf(std::uint8_t b)
{
    if (b == 27)
        return "<ESC>";
    if (b == 13)
        return "<CR>";
    if (b == 10)
        return "<LF>";
    if (b == ' ')
        return "<SP>";
    if (b < 32 || b >= 128)
        return "<" + std::to_string(b) + ">";
    return std::string(1, static_cast<char>(b));
}

} // namespace

std::string RenderSentText(std::string_view text)
{
    std::string out;
    for (char c : text)
        out += tokenOf(static_cast<std::uint8_t>(c));
    return out;
}

std::array<std::string, 4> SentTextLines(std::string_view text)
{
    constexpr std::size_t kWidth = 50;
    std::array<std::string, 4> lines;
    std::size_t line = 0;
    for (char c : text) {
        const std::string token = tokenOf(static_cast<std::uint8_t>(c));
        if (lines[line].size() + token.size() > kWidth && ++line == lines.size())
            break;
        lines[line] += token;
    }
    return lines;
}

std::string PrinterForm(std::string_view text)
{
    std::string out;
    out.reserve(text.size() * 4);
    for (char c : text) {
        const auto b = static_cast<std::uint8_t>(c);
        for (int shift = 0; shift < 8; shift += 2)
            out.push_back(static_cast<char>((b >> shift) & 3));
    }
    return out;
}

} // namespace vornestw
