#include "settingsfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <utility>

namespace vornestw {

SettingsFile::SettingsFile(QString path) : m_path(std::move(path)) {}

QString SettingsFile::PathFor(const QString& programFolder)
{
    QString folder = programFolder;
    while (folder.size() > 1 && folder.endsWith('/'))
        folder.chop(1);
    return folder + ".INI";
}

SettingsRecord SettingsFile::Load() const
{
    const QFileInfo info(m_path);
    if (!info.exists() || info.size() != static_cast<qint64>(SettingsRecord::kSize))
        Save(SettingsRecord{});

    SettingsRecord record;
    if (readRecord(record))
        return record;
    Save(SettingsRecord{});
    if (readRecord(record))
        return record;
    return SettingsRecord{};
}

bool SettingsFile::readRecord(SettingsRecord& record) const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    std::array<std::uint8_t, SettingsRecord::kSize> bytes{};
    const qint64 got = file.read(reinterpret_cast<char*>(bytes.data()), bytes.size());
    if (got != static_cast<qint64>(bytes.size()))
        return false;
    record = SettingsRecord::fromBytes(bytes);
    return true;
}

bool SettingsFile::Save(const SettingsRecord& record) const
{
    const auto bytes = record.toBytes();
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(reinterpret_cast<const char*>(bytes.data()), bytes.size()) !=
        static_cast<qint64>(bytes.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace vornestw
