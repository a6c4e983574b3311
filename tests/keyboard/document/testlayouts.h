#pragma once

#include "keyrecord.h"
#include "keytext.h"
#include "layoutfile.h"
#include "layoutmodel.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <filesystem>
#include <string>

namespace morvaw::test {

// Every byte of every record differs from its neighbours, so a field that is
// lost, shifted or swapped shows.
inline void FillVaried(LayoutRecordArray& records, int seed)
{
    for (std::size_t n = 0; n < records.size(); ++n) {
        std::array<std::uint8_t, KeyRecord::kFileSize> bytes{};
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(n * 7 + i * 13 + static_cast<std::size_t>(seed));
        records[n] = KeyRecord::fromBytes(bytes);
    }
}

// A path as the system's bytes, for the readers and writers.
inline std::filesystem::path Native(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A layout file in the given language, with a recognisable first key.
inline QByteArray LayoutWith(std::uint8_t language, const std::string& firstKey = "a",
                             std::uint8_t shape = 0)
{
    LayoutRecordArray records{};
    FillVaried(records, language);
    SetDef(records[1], 0, Tokens({firstKey}));
    records[Settings::KbdLanguage].PosX = language;
    records[Settings::KbdShape].PosX = shape;
    return LayoutFileBytes(records);
}

} // namespace morvaw::test
