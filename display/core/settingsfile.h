#pragma once

#include "settingsrecord.h"

#include <QString>

namespace vornestw {

// The settings file: the program folder's path with ".INI" appended, so it
// lies beside the folder, not in it (/opt/vornest gives /opt/vornest.INI).
class SettingsFile
{
public:
    explicit SettingsFile(QString path);

    [[nodiscard]] static QString PathFor(const QString& programFolder);

    // A missing file or one of another length is replaced by the first-run
    // defaults first; a file that still cannot be read gives the defaults.
    [[nodiscard]] SettingsRecord Load() const;

    // Writes through a temporary file and one rename, so that a crash leaves
    // either the old file or the new one. False when it could not be written.
    bool Save(const SettingsRecord& record) const;

    [[nodiscard]] const QString& path() const { return m_path; }

private:
    [[nodiscard]] bool readRecord(SettingsRecord& record) const;

    QString m_path;
};

} // namespace vornestw
