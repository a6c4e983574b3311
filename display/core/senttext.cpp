#include "senttext.h"

#include <cstdint>

namespace vornestw {

std::string RenderSentText(std::string_view text)
{
    std::string out;
    for (char c : text) {
        const auto b = static_cast<std::uint8_t>(c);
        if (b == 27)
            out += "<ESC>";
        else if (b == 13)
            out += "<CR>";
        else if (b == 10)
            out += "<LF>";
        else if (b == ' ')
            out += "<SP>";
        else if (b < 32 || b >= 128)
            out += "<" + std::to_string(b) + ">";
        else
            out += c;
    }
    return out;
}

std::array<std::string, 4> SentTextLines(std::string_view sentText)
{
    constexpr std::size_t kWidth = 50;
    std::array<std::string, 4> lines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::size_t from = i * kWidth;
        if (from < sentText.size())
            lines[i] = std::string(sentText.substr(from, kWidth));
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
