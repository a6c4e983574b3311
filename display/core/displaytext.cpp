#include "displaytext.h"

#include <array>
#include <cstdint>

namespace vornestw {

namespace {

struct Glyph
{
    std::uint8_t byte;
    char16_t unicode;
};

constexpr std::array<Glyph, 8> kDosGlyphs{{
    {16, u'\u25BA'},
    {17, u'\u25C4'},
    {24, u'\u2191'},
    {25, u'\u2193'},
    {196, u'\u2500'},
    {205, u'\u2550'},
    {217, u'\u2518'},
    {249, u'\u2219'},
}};

// Windows-1252 0x80..0x9F; its five holes keep their C1 code point.
constexpr std::array<char16_t, 32> kWindowsHigh{
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178',
};

char16_t unicodeOf(std::uint8_t b)
{
    for (const Glyph& g : kDosGlyphs) {
        if (g.byte == b)
            return g.unicode;
    }
    if (b >= 0x80 && b <= 0x9F)
        return kWindowsHigh[b - 0x80];
    return b;
}

} // namespace

QString ToDisplayText(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes)
        text.append(QChar(unicodeOf(static_cast<std::uint8_t>(c))));
    return text;
}

int DisplayCharToByte(QChar ch)
{
    const char16_t u = ch.unicode();
    for (const Glyph& g : kDosGlyphs) {
        if (g.unicode == u)
            return g.byte;
    }
    for (std::size_t i = 0; i < kWindowsHigh.size(); ++i) {
        if (kWindowsHigh[i] == u)
            return static_cast<int>(0x80 + i);
    }
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    return -1;
}

std::string FromDisplayText(const QString& text)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (QChar ch : text) {
        const int b = DisplayCharToByte(ch);
        bytes.push_back(static_cast<char>(b < 0 ? '?' : b));
    }
    return bytes;
}

} // namespace vornestw
