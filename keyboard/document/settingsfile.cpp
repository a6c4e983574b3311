#include "settingsfile.h"

#include "configuratorstate.h"
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

std::filesystem::path SettingsFilePath(const ConfiguratorState& state)
{
    return state.UserFolder() / kSettingsFileName;
}

std::string ParseIni(std::span<const std::uint8_t> bytes, ConfiguratorState& state)
{
    bytes = bytes.first(std::min<std::size_t>(bytes.size(), kSettingsFileSize));
    if (bytes.empty()) {
        state.LayoutFileName = kUntitledName;
        state.ComPortIndex = 1;
        return state.LayoutFileName;
    }

    state.LayoutFileName = TrimName(fieldAt(bytes, kNameOffset));
    if (state.LayoutFileName.empty())
        state.LayoutFileName = kUntitledName;

    if (bytes.size() >= kPortOffset + 2)
        state.ComPortIndex =
            static_cast<std::uint16_t>(bytes[kPortOffset] | (bytes[kPortOffset + 1] << 8));
    else
        state.ComPortIndex = 1;

    for (std::size_t i = 0; i < state.RecentFiles.size(); ++i)
        state.RecentFiles[i] = TrimName(fieldAt(bytes, kRecentOffset + i * kSettingsNameField));

    state.IniReserved.fill(0);
    if (bytes.size() > kReservedOffset)
        std::ranges::copy(bytes.subspan(kReservedOffset), state.IniReserved.begin());
    return state.LayoutFileName;
}

std::string LoadIni(ConfiguratorState& state)
{
    return ParseIni(BytesOf(ReadRegularFile(SettingsFilePath(state), kSettingsFileSize).bytes),
                    state);
}

QByteArray SettingsRecordBytes(const ConfiguratorState& state)
{
    QByteArray out;
    out.reserve(kSettingsFileSize);
    out.append(QByteArray::fromStdString(PadToField(state.LayoutFileName, kSettingsNameField)));
    out.append(static_cast<char>(state.ComPortIndex & 0xFF));
    out.append(static_cast<char>(state.ComPortIndex >> 8));
    for (const std::string& recent : state.RecentFiles)
        out.append(QByteArray::fromStdString(PadToField(recent, kSettingsNameField)));
    out.append(reinterpret_cast<const char*>(state.IniReserved.data()),
               static_cast<qsizetype>(state.IniReserved.size()));
    return out;
}

FileOutcome SaveIni(const ConfiguratorState& state)
{
    return ReplaceFileContents(SettingsFilePath(state), SettingsRecordBytes(state));
}

} // namespace morvaw
