#pragma once

#include "settingsrecord.h"

#include <QString>

#include <optional>

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

    // A missing file or one of another length is replaced by the first-run
    // defaults first; a file that still cannot be read gives the defaults.
    // `problem` says why a path that is no regular file was left alone.
    [[nodiscard]] SettingsRecord Load(std::optional<QString>* problem = nullptr) const;

    // Writes through a temporary file and one rename, so that a failure
    // leaves the old file as it was. The cause when it could not be written.
    std::optional<QString> Save(const SettingsRecord& record) const;

    // False when the path is there but no regular file.
    [[nodiscard]] bool isUsable() const;
    [[nodiscard]] const QString& path() const { return m_path; }

private:
    [[nodiscard]] bool readRecord(SettingsRecord& record) const;

    QString m_path;
};

} // namespace vornestw
