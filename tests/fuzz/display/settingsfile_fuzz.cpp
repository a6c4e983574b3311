// Any bytes where the display settings file should be. A whole record is read
// back byte for byte; what a run starts with, saved and read again by the next
// run, gives the same bytes; and the real file gives what the bytes give.
#include "displaystate.h"
#include "displaytext.h"
#include "displayutility.h"
#include "fuzzinput.h"
#include "outputchannel.h"
#include "protocoltables.h"
#include "settingsfile.h"
#include "settingsrecord.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

using namespace vornestw;
using vornestw::fuzz::require;

namespace {

// A memory file system where there is one: every run writes and syncs a file.
QString scratchFile()
{
    static const QTemporaryDir dir(
        (QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm") : QDir::tempPath()) +
        "/vornestw-fuzz-XXXXXX");
    return dir.filePath("prog.INI");
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("unreadable");
}

bool trimmed(const std::string& text, std::size_t width)
{
    return text.size() <= width && !text.starts_with(' ') && !text.ends_with(' ');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    const auto record = SettingsFile::Parse(bytes);
    require(record.has_value() == (size == SettingsRecord::kSize), "only one whole record is read");
    if (record) {
        const auto back = record->toBytes();
        require(std::equal(back.begin(), back.end(), bytes.begin(), bytes.end()),
                "a record keeps every byte");
    }

    DisplayState first;
    ApplySettings(record.value_or(SettingsRecord{}), first);
    require(ProtocolOf(first.Mode).has_value(), "the mode is one of the eight protocols");
    require(first.Port >= 0 && first.Port <= kPrinterPort, "the channel is one the window offers");
    require(first.XPos >= 1 && first.XPos <= kLineWidth && (first.LineNo == 1 || first.LineNo == 2),
            "the cursor position is on the display");
    require(trimmed(first.Line1, kLineWidth) && trimmed(first.Line2, kLineWidth) &&
                trimmed(first.LongText, kLongTextWidth),
            "texts come without surrounding spaces, within their widths");
    for (const std::string* text : {&first.Line1, &first.Line2, &first.LongText})
        require(FromDisplayText(ToDisplayText(*text)) == *text,
                "a text shown in its window comes back unchanged");
    require(!OutputChannel::ChannelCaption(first.Port).isEmpty(), "the channel has a caption");

    // Saved when the window closes and read by the next start.
    const auto saved = RecordOf(first).toBytes();
    DisplayState second;
    ApplySettings(SettingsFile::Parse(saved).value(), second);
    require(RecordOf(second).toBytes() == saved, "save and reload give the same bytes");

    // The same through the file itself.
    const QString path = scratchFile();
    {
        QFile file(path);
        require(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) ==
                        static_cast<qint64>(size),
                "the scratch file takes the input");
    }
    DisplayState fromFile;
    require(!ReadSettings(fromFile, SettingsFile(path)), "a regular file is read without a word");
    require(RecordOf(fromFile).toBytes() == saved, "the file gives what its bytes give");
    require(!SaveSettings(fromFile, SettingsFile(path)), "the settings are saved");
    require(fileBytes(path) ==
                QByteArray(reinterpret_cast<const char*>(saved.data()), SettingsRecord::kSize),
            "the saved file holds the record's bytes");
    return 0;
}
