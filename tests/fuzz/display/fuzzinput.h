#pragma once

#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

namespace vornestw::fuzz {

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
class FuzzInput
{
public:
    explicit FuzzInput(std::span<const std::uint8_t> bytes) : m_rest(bytes) {}

    [[nodiscard]] bool empty() const { return m_rest.empty(); }

    std::uint8_t byte()
    {
        if (m_rest.empty())
            return 0;
        const std::uint8_t b = m_rest.front();
        m_rest = m_rest.subspan(1);
        return b;
    }

    // low..high, from one byte.
    int number(int low, int high) { return low + byte() % (high - low + 1); }

    std::string bytes()
    {
        const std::size_t length = std::min<std::size_t>(byte(), m_rest.size());
        std::string text(reinterpret_cast<const char*>(m_rest.data()), length);
        m_rest = m_rest.subspan(length);
        return text;
    }

    // What a person types or pastes into a text box: any characters, here
    // from UTF-8 (malformed parts become replacement characters).
    QString typed()
    {
        const std::string utf8 = bytes();
        return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    }

private:
    std::span<const std::uint8_t> m_rest;
};

} // namespace vornestw::fuzz
