#pragma once

#include "fileoutcome.h"
#include "layoutmodel.h"
#include "programmingservice.h"
#include "transfermeter.h"

#include <QDateTime>
#include <QString>

#include <chrono>
#include <optional>

namespace morvaw {

// One unit's transfer, as the programming log keeps it.
struct ProgrammingLogEntry
{
    QDateTime time;
    QString layoutFile;
    QString layoutSha256; // of the layout's 27400 bytes as the transfer took them
    QString port;         // "COM2", the path of a device, or "KBD"
    QString device;       // what the port led to, or the keyboard the keyboard port used
    // The type programmed as: the layout's or the one detected; none when
    // detection found none (the older table was sent).
    std::optional<int> keyboardType;
    bool typeDetected = false;
    std::optional<int> versionAnswered; // "V" answered 164 + this
    int writes = 0;                     // records the keyboard took
    int total = 0;                      // records of the pass, the end record counted
    std::chrono::milliseconds duration{};
    TransferResult result = TransferResult::Programmed;
    QString message;
};

// The SHA-256 of a layout's file bytes (records 1..100), in hexadecimal: the
// same as that of its .KBD file when it is saved as it is.
[[nodiscard]] QString LayoutSha256(const LayoutRecordArray& records);

// A result in a few words ("programmed", "not acknowledged").
[[nodiscard]] QString ResultWords(TransferResult result);

// The entry as one line of tab-separated fields, the time first, then
// name=value: layout, sha256, port, device, type, version, writes, duration,
// result, message. Tabs and line breaks in values become spaces.
[[nodiscard]] QString ProgrammingLogLine(const ProgrammingLogEntry& entry);

// What a client knows of its transfer for the record, from its start.
struct UnitContext
{
    QString layoutFile;
    QString layoutSha256;
    QString port;
    std::uint8_t kbdFlagsBefore = 0; // type 3: the type is detected
};

// The entry of a pass (or a transfer that ended without one) that ended
// with `outcome`, from what the meter saw of it.
[[nodiscard]] ProgrammingLogEntry LogEntryFor(const UnitContext& context,
                                              const TransferMeter& meter,
                                              const TransferOutcome& outcome, QString device,
                                              std::chrono::milliseconds now);

// The record of every keyboard programmed: one line a unit, appended.
class ProgrammingLog
{
public:
    // An empty path keeps nothing.
    explicit ProgrammingLog(QString path = {}) : m_path(std::move(path)) {}

    [[nodiscard]] const QString& path() const { return m_path; }
    // Appends the entry's line, making the folder when needed; the reason
    // when it could not be written.
    [[nodiscard]] FileOutcome append(const ProgrammingLogEntry& entry) const;
    // The end of the log for showing: whole lines, at most about maxBytes.
    [[nodiscard]] QString tail(qint64 maxBytes = 1 << 20) const;

private:
    QString m_path;
};

} // namespace morvaw
