#include "definitiontext.h"

#include <algorithm>

namespace morvaw {

namespace {

std::uint8_t byteAt(std::string_view text, std::size_t i)
{
    return static_cast<std::uint8_t>(text[i]);
}

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

bool isPadding(char c, Padding padding)
{
    return c == ' ' || (c == '\0' && padding == Padding::SpacesAndNuls);
}

} // namespace

bool IsPictureByte(std::uint8_t c)
{
    switch (c) {
    case 16:
    case 17:
    case 24:
    case 25:
    case 196:
    case 205:
    case 217:
        return true;
    default:
        return false;
    }
}

int SignificantLength(std::string_view text)
{
    // Results are 0..255; a longer text only counts its first 255 characters.
    const std::size_t n = std::min<std::size_t>(text.size(), 255);
    for (std::size_t i = n; i > 0; --i) {
        const std::uint8_t c = byteAt(text, i - 1);
        if (c > ' ' || IsPictureByte(c))
            return static_cast<int>(i);
    }
    return 0;
}

bool IsBlankText(std::string_view text)
{
    return std::none_of(text.begin(), text.end(),
                        [](char c) { return static_cast<std::uint8_t>(c) >= 33; });
}

std::uint8_t HexToByte(std::string_view text)
{
    const std::string s = AsciiUpper(text);
    if (s.empty())
        return 0;
    const auto digit = [](char ch) {
        int v = static_cast<std::uint8_t>(ch) - 48;
        if (static_cast<std::uint8_t>(ch) >= 'A')
            v -= 7;
        return v;
    };
    const int high = SignificantLength(s) < 2 ? 0 : digit(s.front());
    const int low = digit(s.back());
    // Unvalidated digits wrap like the byte they are stored in.
    return static_cast<std::uint8_t>(high * 16 + low);
}

std::string DefToken(int n, std::string_view text, char mark)
{
    if (IsBlankText(text))
        return {};

    if (text == "Func" && n == 1)
        return "Func";
    for (std::string_view word : {"Func1", "Func2", "FnTgl"}) {
        if (startsWith(text, word) && n == 1)
            return std::string(word);
    }
    if ((startsWith(text, "Func") || startsWith(text, "FnTgl")) && n > 1)
        return {};

    constexpr std::size_t kMaxToken = 60;
    int counter = 0;
    std::size_t pos = 0;
    std::string collected;
    while (counter != n && pos < text.size()) {
        while (pos < text.size() && text[pos] == mark)
            ++pos;
        if (pos >= text.size())
            break;
        ++counter;
        const std::size_t end = std::min(text.find(mark, pos), text.size());
        if (counter == n)
            collected = std::string(text.substr(pos, std::min(end - pos, kMaxToken)));
        pos = end;
    }
    if (counter != n)
        return {};
    collected.resize(static_cast<std::size_t>(SignificantLength(collected)));
    return collected;
}

bool IsFunctionShiftWord(std::string_view definition)
{
    return definition.starts_with("Func") || definition.starts_with("FnT");
}

std::string TrimRight(std::string_view text, Padding padding)
{
    std::size_t end = text.size();
    while (end > 0 && isPadding(text[end - 1], padding))
        --end;
    return std::string(text.substr(0, end));
}

std::string Trim(std::string_view text, Padding padding)
{
    std::size_t begin = 0;
    while (begin < text.size() && isPadding(text[begin], padding))
        ++begin;
    return TrimRight(text.substr(begin), padding);
}

std::string AsciiUpper(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

std::string AsciiLower(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

} // namespace morvaw
