#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace morvaw {

// The user's keyboard repeat settings, kept in a file while a keyboard-port
// transfer changes them, so that a start after a crash or a kill -9 can put
// them back: every change of a transfer reaches the keyboard and stays there
// until someone changes it again.
class RepeatSettingsRecord
{
public:
    struct Saved
    {
        QString device; // the event device they belong to
        int delayMs = 0;
        int periodMs = 0;
    };

    explicit RepeatSettingsRecord(QString path) : m_path(std::move(path)) {}
    ~RepeatSettingsRecord();
    RepeatSettingsRecord(const RepeatSettingsRecord&) = delete;
    RepeatSettingsRecord& operator=(const RepeatSettingsRecord&) = delete;

    // $XDG_STATE_HOME/morvaw/repeat-settings, or ~/.local/state/morvaw/... when
    // that is not set.
    [[nodiscard]] static QString DefaultPath();

    [[nodiscard]] const QString& path() const { return m_path; }
    bool save(const Saved& saved) const;
    [[nodiscard]] std::optional<Saved> load() const;
    void remove() const;

    // A running transfer holds its record (a lock the system frees when the
    // program dies), so that another Morvaw started meanwhile does not take
    // it for one left by a crash and change the keyboard in mid-transfer.
    bool hold();
    void release();
    [[nodiscard]] bool heldElsewhere() const;

private:
    QString m_path;
    int m_holdFd = -1;
};

// At start: puts back the settings a transfer that did not end left in the
// record, through write, and removes the record. What to tell the user, or
// nothing when there was no record.
[[nodiscard]] QString
PutBackLeftoverSettings(const RepeatSettingsRecord& record,
                        const std::function<bool(const RepeatSettingsRecord::Saved&)>& write);

} // namespace morvaw
