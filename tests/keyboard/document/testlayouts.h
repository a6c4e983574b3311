#pragma once

#include "configuratorstate.h"
#include "keyrecord.h"
#include "layoutfile.h"

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

// A definition made of tokens, each followed by the mark, as the editor stores it.
inline std::string Tokens(std::initializer_list<std::string> tokens)
{
    std::string s(1, static_cast<char>(249));
    for (const auto& t : tokens)
        s += t + static_cast<char>(249);
    return s;
}

inline void SetDef0(KeyRecord& r, const std::string& def)
{
    r.Def0.assign(def);
    r.Len0 = static_cast<std::uint8_t>(def.size());
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
    SetDef0(records[1], Tokens({firstKey}));
    records[Settings::KbdLanguage].PosX = language;
    records[Settings::KbdShape].PosX = shape;
    return LayoutFileBytes(records);
}

} // namespace morvaw::test
