#include "bvalidate.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace morvaw {

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
           c == QLatin1Char('\r');
}

// "&H" and "&O" numbers are 16-bit when they have up to 4 (hex) or 6 (octal)
// digits and 32-bit up to 8 or 11, both signed; longer ones do not fit a
// number the boxes know, and count as too large.
double radixValue(const std::string& digits, int radix)
{
    if (digits.empty())
        return 0;
    const std::size_t shortDigits = radix == 16 ? 4 : 6;
    const std::size_t longDigits = radix == 16 ? 8 : 11;
    if (digits.size() > longDigits)
        return HUGE_VAL;
    const unsigned long long v = std::strtoull(digits.c_str(), nullptr, radix);
    if (digits.size() <= shortDigits && v <= 0xFFFF)
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(v));
    if (v <= 0xFFFFFFFFULL)
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    return HUGE_VAL;
}

} // namespace

double Val(QStringView text)
{
    // Blanks anywhere in the number are skipped, so gather the rest first.
    std::string s;
    for (QChar c : text) {
        if (isBlank(c))
            continue;
        if (c.unicode() > 127)
            break;
        s += static_cast<char>(c.unicode());
    }

    if (s.size() >= 2 && s[0] == '&') {
        const char kind = static_cast<char>(s[1] | 0x20);
        const int radix = kind == 'h' ? 16 : 8;
        const std::size_t from = (kind == 'h' || kind == 'o') ? 2 : 1;
        std::string digits;
        for (std::size_t i = from; i < s.size(); ++i) {
            const char c = s[i];
            const bool ok = radix == 16 ? std::isxdigit(static_cast<unsigned char>(c)) != 0
                                        : (c >= '0' && c <= '7');
            if (!ok)
                break;
            digits += c;
        }
        return radixValue(digits, radix);
    }

    // Sign, digits, point, digits, then an exponent only when digits follow it.
    std::size_t i = 0;
    std::string number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        number += s[i++];
    bool digits = false;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
        number += s[i++];
        digits = true;
    }
    if (i < s.size() && s[i] == '.') {
        number += s[i++];
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) {
            number += s[i++];
            digits = true;
        }
    }
    if (!digits)
        return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            exponent += s[j++];
        const std::size_t firstDigit = j;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j])))
            exponent += s[j++];
        if (j > firstDigit)
            number += exponent;
    }
    return std::strtod(number.c_str(), nullptr);
}

std::uint8_t BValidate(QStringView text)
{
    const double v = Val(text);
    if (v > 255)
        return 255;
    if (v < 0)
        return 0;
    return static_cast<std::uint8_t>(std::nearbyint(v));
}

} // namespace morvaw
