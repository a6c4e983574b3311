#pragma once

#include <QString>

namespace morvaw {

// Whether a file could be read or written, and the system's reason when not.
struct FileOutcome
{
    bool ok = true;
    QString reason;

    [[nodiscard]] static FileOutcome failed(const QString& why) { return {false, why}; }
};

} // namespace morvaw
