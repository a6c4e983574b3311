#pragma once

#include <QObject>

class QSocketNotifier;

namespace morvaw {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal, so that a session logout
// or a kill closes the program the way its title bar does.
class TerminationSignal : public QObject
{
    Q_OBJECT
public:
    // Installs the process's handlers; call once, as early in main as possible
    // (signals that arrive before the event loop runs are kept until it does).
    static void installHandlers();

    explicit TerminationSignal(QObject* parent = nullptr);

signals:
    void received();

private:
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace morvaw
