#pragma once

#include "recoverycopy.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>

namespace morvaw {

class LayoutDocument;
class UserDialogs;

// Keeps a recovery copy of the layout while it has unsaved changes: written
// a moment after a change (not at every keystroke), removed once the layout
// is saved or its changes are dropped on purpose, left in place when the
// program ends without either. At start it offers the copies that
// configurators which ended so left behind.
class RecoveryKeeper : public QObject
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kCopyDelay{1000};
    static constexpr const char* kRestorePrompt =
        "The layout %1 has changes that were not saved when the configurator ended (%2).\n\n"
        "Restore them (they stay unsaved until you save the layout), discard them, or keep "
        "them for later?";

    RecoveryKeeper(LayoutDocument& document, std::filesystem::path folder, UserDialogs& dialogs,
                   QObject* parent = nullptr);

    [[nodiscard]] const RecoveryFolder& folder() const { return m_folder; }

    // Unsaved changes kept now, whatever the timer. A session's name marks
    // the copy as the one to restore when the session manager restarts the
    // program for that session. Given a layout (the document with what a
    // window has not handed to it yet), the copy holds that, changes of the
    // document or not, until the next followDocument.
    void keepNow(const QString& session = {}, const std::optional<QByteArray>& layout = {});
    // The copy follows the document: written a moment after a change,
    // removed when it has none (at each change of the document).
    void followDocument();
    // The program ends on request (a logout, a kill): unsaved changes are
    // kept now, and every change after this at once.
    void keepForEnd();
    // Legends edited for a layout with no name yet, held by the legends
    // window (a legends file's text): the copy keeps them beside it.
    void keepLegends(const QByteArray& legends);

    // At start. The copy of the session this start resumes is restored
    // without a question; of the others, those newer than their layout file
    // and different from it are offered one by one, newest first (Restore /
    // Discard / Keep for later), until one is restored. Copies their file
    // supersedes (written later, or holding the same layout) are removed.
    // restore puts a copy into the document; false when it cannot.
    void offerLeftCopies(const QString& session,
                         const std::function<bool(const RecoveryCopy&)>& restore);

private:
    enum class Report { Once, Never };

    void writeCopy(Report report, const std::optional<QByteArray>& layout = {});

    LayoutDocument& m_document;
    RecoveryFolder m_folder;
    UserDialogs& m_dialogs;
    QTimer m_timer;
    QString m_session;
    QByteArray m_legends;
    bool m_ending = false;
    bool m_failureReported = false;
};

} // namespace morvaw
