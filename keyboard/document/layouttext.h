#pragma once

#include "layoutmodel.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace morvaw {

// The text form of a layout, for review and version control: JSON with the
// keys by number (their three definitions as lists of tokens, repeat flags
// and labels), the options and the MSR settings by name, and every byte that
// these do not give back kept as hex, so that reading it makes the same
// 100 records, byte for byte.
[[nodiscard]] QByteArray LayoutToText(const LayoutRecordArray& records);

struct LayoutTextRead
{
    LayoutRecordArray records{};
    // Empty when the text was read; else where and what was expected.
    QString error;
};

// Reads a text form. Names left out keep the values of a new layout.
[[nodiscard]] LayoutTextRead LayoutFromText(const QByteArray& text);

// What differs from `before` to `after`, one key or setting a line, in words
// ("Key 5, plain: \"COFFEE\" -> \"TEA\""); empty when the layouts are the same.
[[nodiscard]] QStringList LayoutDifferences(const LayoutRecordArray& before,
                                            const LayoutRecordArray& after);

} // namespace morvaw
