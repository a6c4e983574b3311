#include "settingsfile.h"

#include "configuratorstate.h"
#include "filenames.h"
#include "regularfile.h"

#include <algorithm>

namespace morvaw {

namespace {

constexpr qint64 kNameOffset = 0;
constexpr qint64 kPortOffset = 128;
constexpr qint64 kRecentOffset = 130;
constexpr qint64 kReservedOffset = 514;
static_assert(kReservedOffset + 9486 == kSettingsFileSize);
static_assert(kRecentOffset + 3 * static_cast<qint64>(kSettingsNameField) == kReservedOffset);

// A text field; the part beyond the end of a short file is empty.
std::string fieldAt(const QByteArray& bytes, qint64 offset)
{
    if (bytes.size() <= offset)
        return {};
    const qint64 available = std::min<qint64>(kSettingsNameField, bytes.size() - offset);
    return std::string(bytes.constData() + offset, static_cast<std::size_t>(available));
}

} // namespace

std::filesystem::path SettingsFilePath(const ConfiguratorState& state)
{
    return state.UserFolder() / kSettingsFileName;
}

std::string LoadIni(ConfiguratorState& state)
{
    const QByteArray bytes = ReadRegularFile(SettingsFilePath(state), kSettingsFileSize).bytes;

    if (bytes.isEmpty()) {
        state.LayoutFileName = kUntitledName;
        state.ComPortIndex = 1;
        return state.LayoutFileName;
    }

    state.LayoutFileName = TrimRight(fieldAt(bytes, kNameOffset));
    if (state.LayoutFileName.empty())
        state.LayoutFileName = kUntitledName;

    if (bytes.size() >= kPortOffset + 2) {
        const auto lo = static_cast<std::uint8_t>(bytes[kPortOffset]);
        const auto hi = static_cast<std::uint8_t>(bytes[kPortOffset + 1]);
        state.ComPortIndex = static_cast<std::uint16_t>(lo | (hi << 8));
    } else {
        state.ComPortIndex = 1;
    }

    for (std::size_t i = 0; i < state.RecentFiles.size(); ++i)
        state.RecentFiles[i] =
            TrimRight(fieldAt(bytes, kRecentOffset + static_cast<qint64>(i * kSettingsNameField)));

    state.IniReserved.fill(0);
    for (qint64 i = kReservedOffset; i < bytes.size(); ++i)
        state.IniReserved[static_cast<std::size_t>(i - kReservedOffset)] =
            static_cast<std::uint8_t>(bytes[i]);
    return state.LayoutFileName;
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
