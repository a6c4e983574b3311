#include "cupsprinter.h"

#include "waiter.h"

#include <cups/cups.h>
#include <sys/socket.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace vornestw {

namespace {

QString lastError()
{
    return QString::fromUtf8(cupsLastErrorString());
}

// As a person would name it: a socket path, or host:port.
QString serverName()
{
    const QString host = QString::fromUtf8(cupsServer());
    return host.startsWith('/') ? host : QStringLiteral("%1:%2").arg(host).arg(ippPort());
}

// Any wait longer than the limit given to httpSetTimeout ends the request.
int giveUp(http_t*, void*)
{
    return 0;
}

std::optional<QString> printJob(http_t* http, cups_dest_t* dest, const std::string& bytes)
{
    std::optional<QString> error;
    cups_dinfo_t* info = cupsCopyDestInfo(http, dest);
    int job = 0;
    if (cupsCreateDestJob(http, dest, info, &job, "Vornest", 0, nullptr) != IPP_STATUS_OK) {
        error = lastError();
    } else if (cupsStartDestDocument(http, dest, info, job, "Vornest", CUPS_FORMAT_RAW, 0, nullptr,
                                     1) != HTTP_STATUS_CONTINUE) {
        error = lastError();
        cupsCancelDestJob(http, dest, job);
    } else if (cupsWriteRequestData(http, bytes.data(), bytes.size()) != HTTP_STATUS_CONTINUE) {
        error = lastError();
        cupsFinishDestDocument(http, dest, info);
        cupsCancelDestJob(http, dest, job);
    } else if (cupsFinishDestDocument(http, dest, info) != IPP_STATUS_OK) {
        error = lastError();
    }
    cupsFreeDestInfo(info);
    return error;
}

std::optional<QString> runJob(const std::string& bytes, std::chrono::milliseconds limit)
{
    const QString server = serverName();
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                static_cast<int>(limit.count()), nullptr);
    if (http == nullptr)
        return QStringLiteral("The print server %1 cannot be reached (%2)")
            .arg(server, lastError());
    httpSetTimeout(http, static_cast<double>(limit.count()) / 1000.0, giveUp, nullptr);

    // Asked first on its own: a server that takes the connection and never
    // answers would otherwise look like one without a default printer.
    ipp_t* answer = cupsDoRequest(http, ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/");
    if (answer == nullptr) {
        httpClose(http);
        return QStringLiteral("The print server %1 does not answer within %2 seconds")
            .arg(server)
            .arg(limit.count() / 1000.0);
    }
    ippDelete(answer);

    std::optional<QString> error;
    cups_dest_t* dest = cupsGetNamedDest(http, nullptr, nullptr);
    if (dest != nullptr) {
        error = printJob(http, dest, bytes);
        cupsFreeDests(1, dest);
    } else if (cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND) {
        error = QStringLiteral("No default printer on the print server %1").arg(server);
    } else {
        error = QStringLiteral("The print server %1 does not answer (%2)").arg(server, lastError());
    }
    httpClose(http);
    return error;
}

// Filled by the job's thread; it outlives a wait that gives up.
struct JobResult
{
    std::atomic<bool> done{false};
    std::optional<QString> error;
};

} // namespace

CupsPrinter::CupsPrinter(Waiter& waiter, std::chrono::milliseconds answerLimit)
    : m_waiter(waiter), m_answerLimit(answerLimit)
{
}

std::optional<QString> CupsPrinter::printRaw(std::string_view bytes)
{
    auto result = std::make_shared<JobResult>();
    std::thread([result, data = std::string(bytes), limit = m_answerLimit] {
        result->error = runJob(data, limit);
        result->done = true;
    }).detach();

    // Every step is bounded by the answer limit; a job needs at most a
    // handful of them.
    const bool never = false;
    m_waiter.waitUntil([&result] { return result->done.load(); }, m_answerLimit * 8, never);
    if (!result->done)
        return QStringLiteral("The print server %1 did not finish the job in time")
            .arg(serverName());
    return result->error;
}

} // namespace vornestw
