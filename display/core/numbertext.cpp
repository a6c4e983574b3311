#include "numbertext.h"

#include <cmath>
#include <string>

namespace vornestw {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::optional<double> radixNumber(std::string_view digits, int radix)
{
    double value = 0;
    bool any = false;
    for (char c : digits) {
        int d = -1;
        if (isDigit(c))
            d = c - '0';
        else if (radix == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (radix == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        if (d < 0 || d >= radix)
            break;
        value = value * radix + d;
        any = true;
    }
    return any ? std::optional<double>(value) : std::nullopt;
}

} // namespace

std::optional<double> LeadingNumber(std::string_view text)
{
    std::string compact;
    for (char c : text) {
        if (c != ' ' && c != '\t')
            compact.push_back(c);
    }
    if (compact.size() > 2 && compact[0] == '&') {
        const char kind = static_cast<char>(compact[1] | 0x20);
        if (kind == 'h')
            return radixNumber(std::string_view(compact).substr(2), 16);
        if (kind == 'o')
            return radixNumber(std::string_view(compact).substr(2), 8);
    }

    // The longest prefix that reads as sign, digits, point, digits, exponent.
    std::size_t i = 0;
    if (i < compact.size() && (compact[i] == '+' || compact[i] == '-'))
        ++i;
    const std::size_t digitsStart = i;
    while (i < compact.size() && isDigit(compact[i]))
        ++i;
    std::size_t mantissaDigits = i - digitsStart;
    if (i < compact.size() && compact[i] == '.') {
        ++i;
        const std::size_t fraction = i;
        while (i < compact.size() && isDigit(compact[i]))
            ++i;
        mantissaDigits += i - fraction;
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    std::size_t end = i;
    if (i < compact.size() &&
        (compact[i] == 'e' || compact[i] == 'E' || compact[i] == 'd' || compact[i] == 'D')) {
        std::size_t j = i + 1;
        if (j < compact.size() && (compact[j] == '+' || compact[j] == '-'))
            ++j;
        const std::size_t expStart = j;
        while (j < compact.size() && isDigit(compact[j]))
            ++j;
        if (j > expStart) {
            compact[i] = 'e';
            end = j;
        }
    }
    const double value = std::strtod(compact.substr(0, end).c_str(), nullptr);
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

std::optional<int> WholeNumberIn(std::string_view text, int low, int high)
{
    const auto value = LeadingNumber(text);
    if (!value)
        return std::nullopt;
    const double whole = std::trunc(*value);
    if (whole < low || whole > high)
        return std::nullopt;
    return static_cast<int>(whole);
}

} // namespace vornestw
