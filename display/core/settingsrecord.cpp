#include "settingsrecord.h"

#include "displaystate.h"
#include "protocoltables.h"

#include <algorithm>
#include <string_view>

namespace vornestw {

namespace {

std::int16_t readInt(std::span<const std::uint8_t, SettingsRecord::kSize> b, std::size_t at)
{
    return static_cast<std::int16_t>(b[at] | (b[at + 1] << 8));
}

void writeInt(std::array<std::uint8_t, SettingsRecord::kSize>& b, std::size_t at, std::int16_t v)
{
    const auto u = static_cast<std::uint16_t>(v);
    b[at] = static_cast<std::uint8_t>(u & 0xFF);
    b[at + 1] = static_cast<std::uint8_t>(u >> 8);
}

std::string readText(std::span<const std::uint8_t, SettingsRecord::kSize> b, std::size_t at,
                     std::size_t width)
{
    return std::string(reinterpret_cast<const char*>(b.data() + at), width);
}

void writeText(std::array<std::uint8_t, SettingsRecord::kSize>& b, std::size_t at,
               std::size_t width, std::string_view text)
{
    const std::size_t n = std::min(width, text.size());
    for (std::size_t i = 0; i < width; ++i)
        b[at + i] = i < n ? static_cast<std::uint8_t>(text[i]) : std::uint8_t{' '};
}

// Spaces only: other white space is part of what the user typed.
std::string trimSpaces(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

int withinOr(int value, int low, int high, int fallback)
{
    return value >= low && value <= high ? value : fallback;
}

} // namespace

SettingsRecord SettingsRecord::fromBytes(std::span<const std::uint8_t, kSize> bytes)
{
    SettingsRecord r;
    r.Mode = readInt(bytes, 0);
    r.Port = readInt(bytes, 2);
    r.XPos = readInt(bytes, 4);
    r.LineNo = readInt(bytes, 6);
    r.Line1 = readText(bytes, 8, kLineBytes);
    r.Line2 = readText(bytes, 28, kLineBytes);
    r.LongText = readText(bytes, 48, kLongTextBytes);
    r.Prefix1 = static_cast<char>(bytes[88]);
    r.Prefix2 = static_cast<char>(bytes[89]);
    std::copy(bytes.begin() + 90, bytes.end(), r.Rest.begin());
    return r;
}

std::array<std::uint8_t, SettingsRecord::kSize> SettingsRecord::toBytes() const
{
    std::array<std::uint8_t, kSize> b{};
    writeInt(b, 0, Mode);
    writeInt(b, 2, Port);
    writeInt(b, 4, XPos);
    writeInt(b, 6, LineNo);
    writeText(b, 8, kLineBytes, Line1);
    writeText(b, 28, kLineBytes, Line2);
    writeText(b, 48, kLongTextBytes, LongText);
    b[88] = static_cast<std::uint8_t>(Prefix1);
    b[89] = static_cast<std::uint8_t>(Prefix2);
    std::copy(Rest.begin(), Rest.end(), b.begin() + 90);
    return b;
}

void ApplySettings(const SettingsRecord& record, DisplayState& state)
{
    const SettingsRecord defaults;
    // A mode outside the eight protocols would leave a menu that does nothing.
    state.Mode = withinOr(record.Mode, 0, kProtocolCount - 1, defaults.Mode);
    // An unknown channel would open a port that no window can select.
    state.Port = withinOr(record.Port, 0, kPrinterPort, defaults.Port);
    // The cursor command turns these into one byte; out of range they would wrap.
    state.XPos = withinOr(record.XPos, 1, kLineWidth, defaults.XPos);
    state.LineNo = withinOr(record.LineNo, 1, 2, defaults.LineNo);
    state.Line1 = trimSpaces(record.Line1);
    state.Line2 = trimSpaces(record.Line2);
    state.LongText = trimSpaces(record.LongText);
    state.Prefix1 = record.Prefix1;
    state.Prefix2 = record.Prefix2;
    state.SettingsRest = record.Rest;
}

SettingsRecord RecordOf(const DisplayState& state)
{
    SettingsRecord r;
    r.Mode = static_cast<std::int16_t>(state.Mode);
    r.Port = static_cast<std::int16_t>(state.Port);
    r.XPos = static_cast<std::int16_t>(state.XPos);
    r.LineNo = static_cast<std::int16_t>(state.LineNo);
    r.Line1 = state.Line1;
    r.Line2 = state.Line2;
    r.LongText = state.LongText;
    r.Prefix1 = state.Prefix1;
    r.Prefix2 = state.Prefix2;
    r.Rest = state.SettingsRest;
    return r;
}

} // namespace vornestw
