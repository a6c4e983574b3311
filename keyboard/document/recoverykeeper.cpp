#include "recoverykeeper.h"

#include "filenames.h"
#include "layoutdocument.h"
#include "regularfile.h"
#include "userdialogs.h"

#include <QCryptographicHash>
#include <QDateTime>

#include <algorithm>
#include <utility>

namespace morvaw {

namespace {

enum Choice { Restore, Discard, KeepForLater };

// Nothing to recover: the file was written after the copy, or holds what it does.
bool supersededBy(const RecoveryFolder::LeftCopy& left)
{
    const std::filesystem::path file = left.copy.onDisk.path.empty()
                                           ? std::filesystem::path(left.copy.fileName)
                                           : left.copy.onDisk.path;
    const FileIdentity now = IdentityOnDisk(file);
    return now.exists &&
           (now.modifiedNs > left.writtenNs ||
            now.sha256 == QCryptographicHash::hash(left.copy.layout, QCryptographicHash::Sha256));
}

} // namespace

RecoveryKeeper::RecoveryKeeper(LayoutDocument& document, std::filesystem::path folder,
                               UserDialogs& dialogs, QObject* parent)
    : QObject(parent), m_document(document), m_folder(std::move(folder)), m_dialogs(dialogs)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kCopyDelay);
    connect(&m_timer, &QTimer::timeout, this, [this] { writeCopy(Report::Once); });
    connect(&m_document, &LayoutDocument::changed, this, &RecoveryKeeper::followDocument);
}

void RecoveryKeeper::followDocument()
{
    if (!m_document.isChanged()) {
        m_timer.stop();
        m_folder.drop();
    } else if (m_ending) {
        writeCopy(Report::Never);
    } else if (!m_timer.isActive()) {
        // Not restarted by later changes: a copy is never older than the delay.
        m_timer.start();
    }
}

void RecoveryKeeper::keepNow(const QString& session, const std::optional<QByteArray>& layout)
{
    if (!session.isEmpty())
        m_session = session;
    m_timer.stop();
    writeCopy(Report::Never, layout);
}

void RecoveryKeeper::keepForEnd()
{
    m_ending = true;
    keepNow();
}

void RecoveryKeeper::keepLegends(const QByteArray& legends)
{
    m_legends = legends;
    followDocument();
}

void RecoveryKeeper::writeCopy(Report report, const std::optional<QByteArray>& layout)
{
    if (!m_document.isChanged() && !layout)
        return;
    const FileOutcome kept =
        m_folder.keep({m_document.fileName(), m_session, m_document.fileOnDisk(),
                       layout.value_or(m_document.layoutBytes()), m_legends});
    // Said once, and not while the program ends or the session manager waits.
    if (kept.ok || m_failureReported || report == Report::Never)
        return;
    m_failureReported = true;
    m_dialogs.warn(QStringLiteral("The recovery copy of the layout could not be written to\n%1\n\n"
                                  "%2\n\nIf the configurator ends before the layout is saved, "
                                  "its changes are lost.")
                       .arg(ToQtPath(m_folder.folder().string()), kept.reason),
                   QString::fromLatin1(kApplicationTitle));
}

void RecoveryKeeper::offerLeftCopies(const QString& session,
                                     const std::function<bool(const RecoveryCopy&)>& restore)
{
    // A program the session manager restarted runs in that session until it
    // saves again: a crash now is resumed from the same session.
    if (!session.isEmpty())
        m_session = session;
    std::vector<RecoveryFolder::LeftCopy> left = m_folder.takeLeftCopies();
    bool restored = false;
    // The copy of the session being resumed first.
    std::stable_partition(left.begin(), left.end(), [&](const RecoveryFolder::LeftCopy& copy) {
        return !session.isEmpty() && copy.copy.session == session;
    });
    for (RecoveryFolder::LeftCopy& copy : left) {
        if (m_ending || restored)
            break;
        if (supersededBy(copy)) {
            m_folder.discard(copy);
            continue;
        }
        Choice choice = Restore;
        if (session.isEmpty() || copy.copy.session != session) {
            const QString written = QDateTime::fromMSecsSinceEpoch(copy.writtenNs / 1'000'000)
                                        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            choice = static_cast<Choice>(
                m_dialogs.askChoice(QString::fromLatin1(kRestorePrompt)
                                        .arg(ToQtPath(TrimName(copy.copy.fileName)), written),
                                    QString::fromLatin1(kApplicationTitle),
                                    {QStringLiteral("&Restore"), QStringLiteral("&Discard"),
                                     QStringLiteral("&Keep for later")}));
        }
        // A logout while the question was open leaves the copy as it is.
        if (m_ending)
            break;
        if (choice == Restore && restore(copy.copy)) {
            m_folder.adopt(copy);
            restored = true;
        } else if (choice == Discard) {
            m_folder.discard(copy);
        }
    }
}

} // namespace morvaw
