#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace morvaw {

// A fixed-width text field of the model, held as the bytes stored on disk
// (one Windows-1252 / code page 437 byte per character). Assigning pads with
// spaces and cuts what does not fit, as the file format requires.
template <std::size_t N> struct FixedText
{
    std::array<std::uint8_t, N> bytes{}; // all NUL until assigned

    static constexpr std::size_t size() { return N; }

    FixedText& operator=(std::string_view text)
    {
        assign(text);
        return *this;
    }

    void assign(std::string_view text)
    {
        const std::size_t n = std::min(text.size(), N);
        for (std::size_t i = 0; i < n; ++i)
            bytes[i] = static_cast<std::uint8_t>(text[i]);
        std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(n), bytes.end(), std::uint8_t{' '});
    }

    void fill(std::uint8_t value) { bytes.fill(value); }

    [[nodiscard]] std::string str() const { return std::string(view()); }
    [[nodiscard]] std::string_view view() const
    {
        return {reinterpret_cast<const char*>(bytes.data()), N};
    }

    [[nodiscard]] std::uint8_t operator[](std::size_t i) const { return bytes[i]; }
    std::uint8_t& operator[](std::size_t i) { return bytes[i]; }

    friend bool operator==(const FixedText&, const FixedText&) = default;
};

} // namespace morvaw
