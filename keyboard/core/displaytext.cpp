#include "displaytext.h"

#include <array>
#include <cstdint>

namespace morvaw {

namespace {

struct Picture
{
    std::uint8_t byte;
    char16_t glyph;
};

constexpr std::array<Picture, 8> kPictures{{
    {16, u'\u25BA'},  // ►
    {17, u'\u25C4'},  // ◄
    {24, u'\u2191'},  // ↑
    {25, u'\u2193'},  // ↓
    {196, u'\u2500'}, // ─
    {205, u'\u2550'}, // ═
    {217, u'\u2518'}, // ┘
    {249, u'\u2219'}, // ∙
}};

// Windows-1252 0x80..0x9F; the five unassigned codes keep their C1 code point.
constexpr std::array<char16_t, 32> kCp1252High{
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178',
};

char16_t glyphOf(std::uint8_t b)
{
    for (const Picture& p : kPictures) {
        if (p.byte == b)
            return p.glyph;
    }
    if (b >= 0x80 && b <= 0x9F)
        return kCp1252High[b - 0x80];
    return b;
}

} // namespace

QString ToDisplayText(std::string_view bytes)
{
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes)
        out.append(QChar(glyphOf(static_cast<std::uint8_t>(c))));
    return out;
}

QString WithControlPictures(QString text)
{
    for (QChar& ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x20)
            ch = QChar(static_cast<char16_t>(0x2400 + u));
        else if (u == 0x7F)
            ch = QChar(u'\u2421');
        else if (u >= 0x80 && u <= 0x9F) // the C1 codes Windows-1252 leaves unassigned
            ch = QChar(u'\uFFFD');
    }
    return text;
}

int DisplayCharToByte(QChar ch)
{
    const char16_t u = ch.unicode();
    for (const Picture& p : kPictures) {
        if (p.glyph == u)
            return p.byte;
    }
    for (std::size_t i = 0; i < kCp1252High.size(); ++i) {
        if (kCp1252High[i] == u)
            return static_cast<int>(0x80 + i);
    }
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    return -1;
}

std::string FromDisplayText(const QString& text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (QChar ch : text) {
        const int b = DisplayCharToByte(ch);
        out.push_back(static_cast<char>(b < 0 ? '?' : b));
    }
    return out;
}

} // namespace morvaw
