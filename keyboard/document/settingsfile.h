#pragma once

#include "fileoutcome.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace morvaw {

struct ConfiguratorState;

// "PALIX.INI" in the program folder: one binary record of 10000 bytes holding
// the last layout's name, the programming port and the three recent files.
constexpr qint64 kSettingsFileSize = 10000;
constexpr std::size_t kSettingsNameField = 128;
constexpr const char* kSettingsFileName = "PALIX.INI";
constexpr const char* kUntitledName = "UNTITLED.KBD";

[[nodiscard]] std::filesystem::path SettingsFilePath(const ConfiguratorState& state);

// Reads the settings file into LayoutFileName, ComPortIndex, RecentFiles and
// the reserved part, and returns LayoutFileName. Without a readable regular
// file the layout is "UNTITLED.KBD" and the port 1; a short file gives what it
// holds, and the fields it does not reach count as empty. Names stay bytes.
std::string LoadIni(ConfiguratorState& state);

// The same from the file's bytes (only the first 10000 count).
std::string ParseIni(std::span<const std::uint8_t> bytes, ConfiguratorState& state);

// The record as SaveIni writes it: names space-padded to 128 bytes.
[[nodiscard]] QByteArray SettingsRecordBytes(const ConfiguratorState& state);

// Writes the record with ReplaceFileContents: only a regular file (or a link
// to one) is replaced.
FileOutcome SaveIni(const ConfiguratorState& state);

} // namespace morvaw
