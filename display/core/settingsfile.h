#pragma once

#include "settingsrecord.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vornestw {

// What the settings file and its printer side file held at one moment, so
// that a write by another program since shows.
struct SettingsStamp
{
    qint64 size = -1;    // of the record file; -1 when there is none
    qint64 modified = 0; // its modification time, ms since the epoch
    QByteArray hash;     // of both files' bytes

    [[nodiscard]] bool sameContent(const SettingsStamp& other) const
    {
        return size == other.size && hash == other.hash;
    }
};

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

    // The printer queue lives in a side file, the settings path with ".INI"
    // replaced by ".printer": its name on one line. No file, or no valid
    // name in it, means the default printer.
    [[nodiscard]] QString PrinterQueuePath() const;
    [[nodiscard]] static QString ParsePrinterQueue(std::span<const std::uint8_t> bytes);
    [[nodiscard]] QString LoadPrinterQueue() const;
    // Writes the name as Save writes the record; the default printer needs
    // no file where there is none.
    std::optional<QString> SavePrinterQueue(const QString& queue) const;

    [[nodiscard]] SettingsStamp Stamp() const;

    // False when the path is there but no regular file.
    [[nodiscard]] bool isUsable() const;
    [[nodiscard]] const QString& path() const { return m_path; }

private:
    QString m_path;
};

} // namespace vornestw
