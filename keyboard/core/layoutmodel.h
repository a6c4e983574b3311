#pragma once

#include "keyrecord.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace morvaw {

// Records 0..100; 1..84 are the keys (button i edits record i + 1), 88..99 the
// settings, 0, 85..87 and 100 are only carried.
constexpr int kFirstKeyRecord = 1;
constexpr int kKeyCount = 84;
constexpr int kLastRecord = 100;
using LayoutRecordArray = std::array<KeyRecord, kLastRecord + 1>;

// Settings records by name; byte settings live in PosX, definitions in Len0/Def0.
namespace Settings {
constexpr int KbdShape = 88;
constexpr int MsrOption1 = 89;
constexpr int MsrHeader = 90;
constexpr int MsrInterTracks = 91;
constexpr int MsrSeparator = 92;
constexpr int KbdFlags = 93;
constexpr int MacroPlayDelay = 94;
constexpr int DelayKeyTime = 95;
constexpr int KbdLanguage = 96;
constexpr int MsrOption2 = 97;
constexpr int MsrOption3 = 98;
constexpr int MsrTrailer = 99;
} // namespace Settings

// Keyboard type held in bits 2..4 of KbdFlags.
enum class KeyboardKind : std::uint8_t { NoMacros = 0, Reduced = 1, Enhanced = 2, Detect = 3 };
[[nodiscard]] constexpr int KeyboardType(std::uint8_t kbdFlags)
{
    return (kbdFlags >> 2) & 0x07;
}
[[nodiscard]] constexpr std::uint8_t WithKeyboardType(std::uint8_t kbdFlags, int type)
{
    return static_cast<std::uint8_t>((kbdFlags & ~0x1C) | ((type & 0x07) << 2));
}

// Languages of the layout: the caption suffix and the language's STC file.
namespace Language {
constexpr std::uint8_t USA = 0;
constexpr std::uint8_t UK = 1;
constexpr std::uint8_t Spain = 2;
constexpr std::uint8_t Italy = 3;
constexpr std::uint8_t Germany = 4;
constexpr std::uint8_t France = 5;
constexpr std::uint8_t Belgium = 6;
constexpr std::uint8_t Switzerland = 7;
} // namespace Language

[[nodiscard]] std::string_view LanguageSuffix(int language);
// The language's STC file. Only the UK and Spanish tables are patched; every
// other language (Italian to Swiss, whose patches are not applied, and unknown
// codes) uses the US table and its file, whatever layout was open before.
[[nodiscard]] std::string_view LanguageStcFile(int language);

// Matrix code of key n (1..84) in the keyboard's memory; index 0 unused.
using MatrixCodeTable = std::array<std::uint8_t, kKeyCount + 1>;
[[nodiscard]] MatrixCodeTable MakeDeviceMatrixCodes();

// What "Keyboard Configure" edits.
struct KeyboardOptions
{
    std::uint8_t KbdFlags = 0;
    std::uint8_t MacroPlayDelay = 0;
    std::uint8_t DelayKeyTime = 0;
    std::uint8_t KbdShape = 0;
    std::uint8_t KbdLanguage = 0;

    friend bool operator==(const KeyboardOptions&, const KeyboardOptions&) = default;
};

// The four keys the card reader sends around its data, in the key editor's
// order: header, separator, inter-tracks, trailer (Len0/Def0 of these records).
using MsrLines = std::array<Definition, 4>;
inline constexpr std::array<int, 4> kMsrLineRecords = {
    Settings::MsrHeader, Settings::MsrSeparator, Settings::MsrInterTracks, Settings::MsrTrailer};

// What "MSR Configure" edits.
struct MsrSettings
{
    bool CheckSumMode = false;   // bit 0 of KbdFlags
    std::uint8_t MsrOption1 = 0; // data play delay
    std::uint8_t MsrOption2 = 0; // the tracks read
    std::uint8_t MsrOption3 = 0; // the output options
    MsrLines Lines{};

    friend bool operator==(const MsrSettings&, const MsrSettings&) = default;
};

// File > New defaults; fields and records it does not name keep their values.
void NewLayout(LayoutRecordArray& records);

} // namespace morvaw
