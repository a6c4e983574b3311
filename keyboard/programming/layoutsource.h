#pragma once

#include "keysequence.h"
#include "layoutmodel.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace morvaw {

// What both memory images are built from: the layout, the scan table its
// names are looked up in and the keyboard's matrix codes. Only read.
struct LayoutSource
{
    const LayoutRecordArray& records;
    ScanNames names;
    const MatrixCodeTable& matrixCodes;

    [[nodiscard]] const KeyRecord& record(int index) const
    {
        return records[static_cast<std::size_t>(index)];
    }
    [[nodiscard]] std::uint8_t setting(int index) const { return record(index).PosX; }
};

// The used part of definition `level` (0..3) of a record.
[[nodiscard]] std::string_view UsedDefinition(const KeyRecord& record, int level);

// True when a text holds nothing that counts: no character above a space
// and none of the key pictures (the Up and Down arrows lie below the space).
[[nodiscard]] bool HasNoSignificantText(std::string_view text);

// The twelve positions the keyboard keeps for the digit keys 0..9 (entries
// 1..10), Enter (11) and Esc (12): a key's matrix code, plus 128 for the
// numeric keypad's keys; 255 where no key was found. Entry 0 is unused.
class KeypadMap
{
public:
    static constexpr int kEntries = 12;

    KeypadMap() { m_entries.fill(255); }

    // Looks at one key's plain definition; later keys overwrite earlier ones.
    void update(std::uint8_t matrixCode, std::string_view plainDefinition);

    [[nodiscard]] std::uint8_t operator[](int entry) const
    {
        return m_entries[static_cast<std::size_t>(entry)];
    }

private:
    std::array<std::uint8_t, kEntries + 1> m_entries{};
};

} // namespace morvaw
