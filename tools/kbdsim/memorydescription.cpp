#include "memorydescription.h"

#include "keyboarddevice.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace kbdsim {

namespace {

constexpr std::uint8_t kRepeat = 1;
constexpr std::uint8_t kLast = 2;
constexpr std::uint8_t kCtrl = 4;
constexpr std::uint8_t kAlt = 8;
constexpr std::uint8_t kShift = 16;
constexpr std::uint8_t kForceNum = 64;
constexpr int kMaxSteps = 31;

std::string utf8Of(std::uint8_t c)
{
    switch (c) {
    case 16:
        return "\u25BA";
    case 17:
        return "\u25C4";
    case 24:
        return "\u2191";
    case 25:
        return "\u2193";
    case 196:
        return "\u2500";
    case 205:
        return "\u2550";
    case 217:
        return "\u2518";
    default:
        break;
    }
    if (c < 0x80)
        return std::string(1, static_cast<char>(c));
    return {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
}

std::string hex(int value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02X", value & 0xFF);
    return text;
}

// Key number (1..84) of each matrix code; 0 where no key sits.
std::array<int, 128> keysByMatrixCode()
{
    constexpr std::array<int, 12> base{0, 8, 16, 32, 24, 40, 56, 48, 64, 72, 80, 88};
    constexpr std::array<int, 7> offset{3, 4, 5, 2, 1, 0, 6};
    std::array<int, 128> keys{};
    for (int r = 0; r < 7; ++r) {
        for (int c = 0; c < 12; ++c)
            keys[static_cast<std::size_t>(base[static_cast<std::size_t>(c)] +
                                          offset[static_cast<std::size_t>(r)])] = 12 * r + c + 1;
    }
    return keys;
}

bool isPause(std::uint8_t mask)
{
    return (mask | kLast) == 0xAB;
}

struct Reader
{
    const KeyboardDevice& device;
    const std::vector<ScanName>& names;
    bool enhanced;

    // Code i of the area starting at `at`.
    [[nodiscard]] std::pair<std::uint8_t, std::uint8_t> code(int at) const
    {
        if (enhanced)
            return {device.byte(at), device.byte(at + 1)};
        const std::uint16_t w = device.word(at);
        return {static_cast<std::uint8_t>(w >> 8), static_cast<std::uint8_t>(w & 0xFF)};
    }

    // The steps of one macro part, up to its end marker or the next part.
    [[nodiscard]] std::string steps(int at, int end) const
    {
        const int step = enhanced ? 2 : 1;
        const int limit = enhanced ? KeyboardDevice::kBytes - 1 : KeyboardDevice::kWords - 1;
        if (end <= at)
            end = limit;
        std::string out;
        for (int i = 0; i < kMaxSteps && at < end; ++i, at += step) {
            const auto [scan, mask] = code(at);
            out += (out.empty() ? "" : " ") + CodeName(names, scan, mask);
            if ((mask & kLast) && !isPause(mask))
                break;
        }
        return out;
    }

    [[nodiscard]] std::string raw(std::uint8_t high, std::uint8_t low) const
    {
        return "[" + hex(high) + " " + hex(low) + "]";
    }

    [[nodiscard]] std::string entry(std::uint8_t high, std::uint8_t low) const
    {
        if (!(low & kLast) || isPause(low)) {
            if (high == 0 && low == 0)
                return {};
            return CodeName(names, high, low) + ((low & kRepeat) ? " (repeats)" : "");
        }
        std::ostringstream out;
        if (enhanced) {
            const int s = (high & 127) | (low & 128) | ((low >> 4) & 7) << 8;
            const std::uint8_t flags = device.byte(s);
            if ((flags & 0xE0) == 0)
                return raw(high, low); // no macro there: two characters of a label
            // A part's start is kept as its low byte; parts follow the header.
            const auto startOf = [&](int headerByte) {
                const int start = (s & ~0xFF) | device.byte(s + headerByte);
                return start < s ? start + 256 : start;
            };
            const int func1 = (flags & 0x40) ? startOf(1) : 0;
            const int func2 = (flags & 0x20) ? startOf(2) : 0;
            out << "macro at " << s << ":";
            if (flags & 0x80)
                out << " " << steps(s + 3, func1 ? func1 : func2)
                    << ((flags & 0x02) ? " (repeats)" : "");
            if (func1)
                out << " | Func1: " << steps(func1, func2) << ((flags & 0x04) ? " (repeats)" : "");
            if (func2)
                out << " | Func2: " << steps(func2, 0) << ((flags & 0x08) ? " (repeats)" : "");
        } else {
            const int s = high + ((low & 128) ? 128 : 0);
            const std::uint16_t header = device.word(s);
            const int flags = header >> 8;
            if ((flags & 0x0C) == 0)
                return raw(high, low);
            const int func1 = (flags & 0x04) ? (header & 0xFF) : 0;
            out << "macro at word " << s << ":";
            if (flags & 0x08)
                out << " " << steps(s + 1, func1) << ((low & kRepeat) ? " (repeats)" : "");
            if (func1)
                out << " | Func1: " << steps(func1, 0) << ((flags & 0x01) ? " (repeats)" : "");
        }
        return out.str();
    }
};

} // namespace

std::vector<ScanName> ReadScanNames(const std::string& path)
{
    std::vector<ScanName> names;
    std::ifstream in(path, std::ios::binary);
    char record[9];
    while (in.read(record, sizeof record)) {
        std::string name;
        for (int i = 0; i < 7; ++i)
            name += utf8Of(static_cast<std::uint8_t>(record[i]));
        while (!name.empty() && name.back() == ' ')
            name.pop_back();
        names.push_back(
            {name, static_cast<std::uint8_t>(record[7]), static_cast<std::uint8_t>(record[8])});
    }
    return names;
}

std::string CodeName(const std::vector<ScanName>& names, std::uint8_t scan, std::uint8_t mask)
{
    if (isPause(mask))
        return "(pause " + std::to_string(scan) + ")";
    const std::uint8_t plain = mask & static_cast<std::uint8_t>(~(kRepeat | kLast));
    for (const ScanName& n : names) {
        if (n.scan == scan && n.mask == plain && !n.name.empty())
            return n.name;
    }
    std::string prefix;
    if (plain & kCtrl)
        prefix += "^";
    if (plain & kShift)
        prefix += "Sh";
    if (plain & kAlt)
        prefix += "Alt";
    if (plain & kForceNum)
        prefix += "#";
    const std::uint8_t rest =
        plain & static_cast<std::uint8_t>(~(kCtrl | kShift | kAlt | kForceNum));
    for (const ScanName& n : names) {
        if (n.scan == scan && (n.mask == rest || n.mask == (rest | 32)) && !n.name.empty())
            return prefix + n.name;
    }
    return prefix + "[" + hex(scan) + " " + hex(plain) + "]";
}

std::string DescribeMemory(const KeyboardDevice& device, const std::vector<ScanName>& names)
{
    const bool enhanced = device.type() == 2;
    const Reader reader{device, names, enhanced};
    std::ostringstream out;
    out << (enhanced             ? "Enhanced keyboard"
            : device.type() == 1 ? "Reduced keyboard"
                                 : "Keyboard without macros")
        << (device.complete() ? ", programming complete" : ", programming not complete") << ", "
        << device.writes() << " writes\n";

    const auto entryAt = [&](int matrixCode) {
        if (enhanced)
            return reader.entry(device.byte(2 * matrixCode + 1), device.byte(2 * matrixCode + 2));
        const std::uint16_t w = device.word(matrixCode + 1);
        return reader.entry(static_cast<std::uint8_t>(w >> 8), static_cast<std::uint8_t>(w & 0xFF));
    };
    const std::array<int, 128> keys = keysByMatrixCode();
    std::array<std::string, 85> byKey;
    for (int code = 0; code < 96; ++code) {
        if (keys[static_cast<std::size_t>(code)] != 0)
            byKey[static_cast<std::size_t>(keys[static_cast<std::size_t>(code)])] = entryAt(code);
    }
    for (int key = 1; key <= 84; ++key) {
        if (!byKey[static_cast<std::size_t>(key)].empty())
            out << "Key " << key << " (row " << (key - 1) / 12 + 1 << ", column "
                << (key - 1) % 12 + 1 << "): " << byKey[static_cast<std::size_t>(key)] << "\n";
    }

    const auto flags = enhanced ? device.byte(16) : device.word(8) & 0xFF;
    out << "Options: flags " << hex(flags) << " (type " << ((flags >> 2) & 7) << ", buzzer "
        << ((flags & 2) ? "on" : "off") << ")";
    if (enhanced)
        out << ", macro play delay " << int(device.byte(32)) << ", key delay "
            << int(device.byte(127)) << ", MSR data delay " << int(device.byte(31))
            << ", MSR tracks " << hex(device.byte(15)) << ", MSR options " << hex(device.byte(95));
    else
        out << ", macro play delay " << (device.word(16) & 0xFF) << ", key delay "
            << (device.word(16) >> 8) << ", MSR data delay " << (device.word(64) & 0xFF);
    out << "\nKeypad:";
    static const char* const kPadNames[] = {"0", "1", "2", "3", "4",     "5",
                                            "6", "7", "8", "9", "Enter", "Esc"};
    for (int i = 0; i < 12; ++i) {
        const int v =
            enhanced ? device.byte(192 + i)
                     : (i % 2 == 0 ? device.word(97 + i / 2) >> 8 : device.word(97 + i / 2) & 0xFF);
        if (v != 255)
            out << " " << kPadNames[i] << "=key " << keys[static_cast<std::size_t>(v & 127)]
                << ((v & 128) ? " (pad)" : "");
    }
    out << "\n";
    // Matrix codes of the MSR keys; older keyboards have no trailer.
    const struct
    {
        const char* name;
        int olderCode;
        int enhancedCode;
    } msr[] = {
        {"header", 39, 39}, {"separator", 31, 31}, {"inter-tracks", 55, 71}, {"trailer", -1, 55}};
    for (const auto& m : msr) {
        const int code = enhanced ? m.enhancedCode : m.olderCode;
        if (code < 0)
            continue;
        const std::string text = entryAt(code);
        if (!text.empty())
            out << "MSR " << m.name << ": " << text << "\n";
    }
    return out.str();
}

} // namespace kbdsim
