#pragma once

#include "settingsrecord.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vornestw {

// The settings file: the program folder's path with ".INI" appended, so it
// lies beside the folder, not in it (/opt/vornest gives /opt/vornest.INI).
// A symbolic link there is followed; a path that is no regular file (a
// FIFO, a device, a folder) is never opened nor replaced.
class SettingsFile
{
public:
    explicit SettingsFile(QString path);

    [[nodiscard]] static QString PathFor(const QString& programFolder);

    // The record a file's bytes hold: exactly one record, or nothing.
    [[nodiscard]] static std::optional<SettingsRecord> Parse(std::span<const std::uint8_t> bytes);

    // A missing or unreadable file, or one of another length, is replaced by
    // the first-run defaults first; a file that still cannot be read gives the
    // defaults. `problem` says why a path that is no regular file was left alone.
    [[nodiscard]] SettingsRecord Load(std::optional<QString>* problem = nullptr) const;

    // Writes through a temporary file and one rename, so that a failure
    // leaves the old file as it was; the file keeps its mode and owner. A
    // read-only file is refused, for root too. Where the folder takes no new
    // file (or the owner cannot be kept) the file is rewritten in place. The
    // cause when it could not be written.
    std::optional<QString> Save(const SettingsRecord& record) const;

    // False when the path is there but no regular file.
    [[nodiscard]] bool isUsable() const;
    [[nodiscard]] const QString& path() const { return m_path; }

private:
    // At most one byte more than a record, so that a longer file shows; empty
    // when the file cannot be read.
    [[nodiscard]] std::vector<std::uint8_t> readBytes() const;

    QString m_path;
};

} // namespace vornestw
