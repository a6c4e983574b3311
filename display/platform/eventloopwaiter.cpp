#include "eventloopwaiter.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace vornestw {

namespace {

// Sleeps until an event arrives or the interval ends, then runs what came.
// Unlike QEventLoop::exec this still works after the application was told
// to quit, so a wait never turns into a busy loop.
void runOneRound(std::chrono::milliseconds interval)
{
    QEventLoop loop;
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(interval);
    loop.processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace

Waiter::Outcome EventLoopWaiter::waitUntil(const std::function<bool()>& ready,
                                           std::chrono::milliseconds limit, const bool& abort,
                                           const std::function<void()>& eachRound)
{
    const QDeadlineTimer deadline(limit);
    for (;;) {
        if (ready())
            return Outcome::Ready;
        if (abort)
            return Outcome::Aborted;
        if (deadline.hasExpired())
            return Outcome::TimedOut;
        if (eachRound)
            eachRound();
        runOneRound(kPollInterval);
    }
}

void EventLoopWaiter::processEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace vornestw
