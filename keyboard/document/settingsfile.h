#pragma once

#include "fileoutcome.h"

#include <QByteArray>

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace morvaw {

// "PALIX.INI" in the user's folder: one binary record of 10000 bytes holding
// the last layout's name, the programming port and the three recent files.
constexpr qint64 kSettingsFileSize = 10000;
constexpr std::size_t kSettingsNameField = 128;
constexpr const char* kSettingsFileName = "PALIX.INI";
constexpr const char* kUntitledName = "UNTITLED.KBD";

// Captions of the File menu's recent items File(7) to File(9), most recent
// first; an empty one is hidden.
using RecentCaptions = std::array<std::string, 3>;

// What the settings file holds. Names are bytes, without trailing blanks.
struct SettingsRecord
{
    std::string LayoutFileName;
    std::uint16_t ComPortIndex = 0;
    RecentCaptions RecentFiles;
    // The record's unused tail, written back as it was read.
    std::array<std::uint8_t, 9486> IniReserved{};

    friend bool operator==(const SettingsRecord&, const SettingsRecord&) = default;
};

[[nodiscard]] std::filesystem::path SettingsFilePath(const std::filesystem::path& userFolder);

// Reads the settings file. Without a readable regular file the layout is
// "UNTITLED.KBD" and the port 1; a short file gives what it holds, and the
// fields it does not reach count as empty.
[[nodiscard]] SettingsRecord LoadIni(const std::filesystem::path& file);

// The same from the file's bytes (only the first 10000 count).
[[nodiscard]] SettingsRecord ParseIni(std::span<const std::uint8_t> bytes);

// The record as SaveIni writes it: names space-padded to 128 bytes.
[[nodiscard]] QByteArray SettingsRecordBytes(const SettingsRecord& settings);

// Writes the record with ReplaceFileContents: only a regular file (or a link
// to one) is replaced.
[[nodiscard]] FileOutcome SaveIni(const std::filesystem::path& file,
                                  const SettingsRecord& settings);

} // namespace morvaw
