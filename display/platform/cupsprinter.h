#pragma once

#include "printer.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace vornestw {

class Waiter;

// The print server (CUPS). Each item is one raw job, so the display behind a
// plain queue receives the bytes unchanged, and it counts as printed only
// once the queue reports the job completed: a paused or rejecting queue gets
// nothing, and a job the queue holds is cancelled before it can reach the
// display late. Talking to the server runs off the window's thread, every
// step bounded in time, while the window waits for it through the waiter,
// so a print server that does not answer never freezes it. The printer owns
// that worker: one job at a time, and none left running once it is gone.
class CupsPrinter : public Printer
{
public:
    // Each answer of the print server may take this long.
    static constexpr std::chrono::milliseconds kAnswerLimit{5000};
    // A job the queue has not passed on by then will not reach the display
    // in time; as on a COM port, a display that takes nothing for 2 s is not
    // ready.
    static constexpr std::chrono::milliseconds kCompletionLimit{2000};

    explicit CupsPrinter(Waiter& waiter, std::chrono::milliseconds answerLimit = kAnswerLimit,
                         std::chrono::milliseconds completionLimit = kCompletionLimit);
    // Tells a job still running to stop at its next step and waits for it:
    // at most the answer it is waiting for, and cancelling its job.
    ~CupsPrinter() override;
    CupsPrinter(const CupsPrinter&) = delete;
    CupsPrinter& operator=(const CupsPrinter&) = delete;

    std::optional<QString> printRaw(const QString& queue, std::string_view bytes) override;
    PrintQueueList listQueues() override;

private:
    // True while the worker still runs a job the window stopped waiting for.
    bool workerBusy();
    template <typename Result>
    std::optional<Result> runAside(std::chrono::milliseconds limit, std::function<Result()> work);

    Waiter& m_waiter;
    std::chrono::milliseconds m_answerLimit;
    std::chrono::milliseconds m_completionLimit;
    std::thread m_worker;
    std::atomic<bool> m_working{false};
    std::atomic<bool> m_stopping{false};
};

} // namespace vornestw
