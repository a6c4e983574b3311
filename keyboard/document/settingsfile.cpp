#include "settingsfile.h"

#include "filenames.h"
#include "regularfile.h"

#include <algorithm>

namespace morvaw {

namespace {

constexpr std::size_t kNameOffset = 0;
constexpr std::size_t kPortOffset = 128;
constexpr std::size_t kRecentOffset = 130;
constexpr std::size_t kReservedOffset = 514;
static_assert(static_cast<qint64>(kReservedOffset) + 9486 == kSettingsFileSize);
static_assert(kRecentOffset + 3 * kSettingsNameField == kReservedOffset);

// A text field; the part beyond the end of a short file is empty.
std::string fieldAt(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    if (bytes.size() <= offset)
        return {};
    const auto field = bytes.subspan(offset, std::min(kSettingsNameField, bytes.size() - offset));
    return {field.begin(), field.end()};
}

} // namespace

std::filesystem::path SettingsFilePath(const std::filesystem::path& userFolder)
{
    return userFolder / kSettingsFileName;
}

SettingsRecord ParseIni(std::span<const std::uint8_t> bytes)
{
    SettingsRecord settings;
    bytes = bytes.first(std::min<std::size_t>(bytes.size(), kSettingsFileSize));
    if (bytes.empty()) {
        settings.LayoutFileName = kUntitledName;
        settings.ComPortIndex = 1;
        return settings;
    }

    settings.LayoutFileName = TrimName(fieldAt(bytes, kNameOffset));
    if (settings.LayoutFileName.empty())
        settings.LayoutFileName = kUntitledName;

    if (bytes.size() >= kPortOffset + 2)
        settings.ComPortIndex =
            static_cast<std::uint16_t>(bytes[kPortOffset] | (bytes[kPortOffset + 1] << 8));
    else
        settings.ComPortIndex = 1;

    for (std::size_t i = 0; i < settings.RecentFiles.size(); ++i)
        settings.RecentFiles[i] = TrimName(fieldAt(bytes, kRecentOffset + i * kSettingsNameField));

    if (bytes.size() > kReservedOffset)
        std::ranges::copy(bytes.subspan(kReservedOffset), settings.IniReserved.begin());
    return settings;
}

SettingsRecord LoadIni(const std::filesystem::path& file)
{
    return ParseIni(BytesOf(ReadRegularFile(file, kSettingsFileSize).bytes));
}

QByteArray SettingsRecordBytes(const SettingsRecord& settings)
{
    QByteArray out;
    out.reserve(kSettingsFileSize);
    out.append(QByteArray::fromStdString(PadToField(settings.LayoutFileName, kSettingsNameField)));
    out.append(static_cast<char>(settings.ComPortIndex & 0xFF));
    out.append(static_cast<char>(settings.ComPortIndex >> 8));
    for (const std::string& recent : settings.RecentFiles)
        out.append(QByteArray::fromStdString(PadToField(recent, kSettingsNameField)));
    out.append(reinterpret_cast<const char*>(settings.IniReserved.data()),
               static_cast<qsizetype>(settings.IniReserved.size()));
    return out;
}

FileOutcome SaveIni(const std::filesystem::path& file, const SettingsRecord& settings)
{
    return ReplaceFileContents(file, SettingsRecordBytes(settings));
}

} // namespace morvaw
