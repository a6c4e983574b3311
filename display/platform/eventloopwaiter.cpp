#include "eventloopwaiter.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace vornestw {

namespace {

void runOneRound(std::chrono::milliseconds interval)
{
    QEventLoop loop;
    QTimer::singleShot(interval, &loop, &QEventLoop::quit);
    loop.exec();
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
