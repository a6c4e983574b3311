#pragma once

#include "fixedtext.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace morvaw {

// One definition with its length byte, as a value.
struct Definition
{
    std::uint8_t Len = 0;
    FixedText<60> Def;

    friend bool operator==(const Definition&, const Definition&) = default;
};

// One record of the layout model: a key position or a settings record.
// The field order is the order of the 274-byte form in a layout file.
struct KeyRecord
{
    static constexpr std::size_t kFileSize = 274;
    static constexpr std::size_t kDefWidth = 60;

    std::uint8_t PosY = 0;
    std::uint8_t PosX = 0;
    std::uint16_t KeyWord = 0;
    std::uint8_t Matrix = 0;
    std::uint8_t Spare = 0;
    FixedText<4> Label;
    std::uint8_t Len0 = 0;
    FixedText<kDefWidth> Def0;
    std::uint8_t Len1 = 0;
    FixedText<kDefWidth> Def1;
    std::uint8_t Len2 = 0;
    FixedText<kDefWidth> Def2;
    std::uint8_t Len3 = 0;
    FixedText<kDefWidth> Def3;
    std::uint8_t RepeatFlags = 0;
    FixedText<19> Tail;

    // Definition i (0..3) and its length byte, for code that walks the levels.
    [[nodiscard]] FixedText<kDefWidth>& def(int i);
    [[nodiscard]] const FixedText<kDefWidth>& def(int i) const;
    [[nodiscard]] std::uint8_t& len(int i);
    [[nodiscard]] std::uint8_t len(int i) const;
    [[nodiscard]] Definition definition(int i) const { return {len(i), def(i)}; }
    void setDefinition(int i, const Definition& d)
    {
        len(i) = d.Len;
        def(i) = d.Def;
    }

    [[nodiscard]] std::array<std::uint8_t, kFileSize> toBytes() const;
    [[nodiscard]] static KeyRecord fromBytes(std::span<const std::uint8_t, kFileSize> bytes);

    friend bool operator==(const KeyRecord&, const KeyRecord&) = default;
};

} // namespace morvaw
