#pragma once

#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

namespace suite::fuzz {

// Stops the run with a finding when a property does not hold.
inline void require(bool holds, const char* property)
{
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}

// Reads a fuzz input from the front, so that a seed can be written by hand:
// single bytes, and texts as a length byte followed by that many bytes. Past
// the end every read gives zeros and empty texts.
struct FuzzInput
{
    std::span<const std::uint8_t> rest;

    [[nodiscard]] bool empty() const { return rest.empty(); }
    std::uint8_t byte()
    {
        const std::uint8_t b = rest.empty() ? 0 : rest.front();
        rest = rest.subspan(rest.empty() ? 0 : 1);
        return b;
    }
    int number(int low, int high) { return low + byte() % (high - low + 1); } // low..high
    // What a person types or pastes into a text box, from UTF-8 (malformed
    // parts become replacement characters).
    QString typed()
    {
        const auto text = rest.first(std::min<std::size_t>(byte(), rest.size()));
        rest = rest.subspan(text.size());
        return QString::fromUtf8(reinterpret_cast<const char*>(text.data()),
                                 static_cast<qsizetype>(text.size()));
    }
};

} // namespace suite::fuzz
