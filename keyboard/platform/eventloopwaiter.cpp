#include "eventloopwaiter.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace morvaw {

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

EventLoopWaiter::EventLoopWaiter()
{
    m_clock.start();
}

bool EventLoopWaiter::waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
                                const std::function<void()>& eachRound)
{
    const QDeadlineTimer deadline =
        limit == kForever ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(limit);
    for (;;) {
        if (done())
            return true;
        if (deadline.hasExpired())
            return false;
        if (eachRound)
            eachRound();
        runOneRound(kPollInterval);
    }
}

void EventLoopWaiter::processEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

std::chrono::milliseconds EventLoopWaiter::now() const
{
    return std::chrono::milliseconds(m_clock.elapsed());
}

} // namespace morvaw
