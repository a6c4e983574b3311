#pragma once

#include <QObject>

#include <functional>

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

    // The session manager's "die" at a logout reaches Qt as a request to quit,
    // which would close the windows one by one, each free to ask a question
    // nobody answers. While running() says the program has not ended by
    // itself (some window still open), such a request is taken as a
    // termination request instead.
    void takeQuitRequests(std::function<bool()> running);

signals:
    void received();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSocketNotifier* m_notifier = nullptr;
    std::function<bool()> m_running;
};

} // namespace morvaw
