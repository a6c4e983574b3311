#include "cupsprinter.h"

#include "waiter.h"

#include <QStringList>

#include <cups/cups.h>
#include <sys/socket.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <variant>

namespace vornestw {

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// Between two looks at a job that is not completed yet.
constexpr milliseconds kJobPollInterval{10};

// IPP's printer-state and job-state values.
constexpr int kPrinterProcessing = 4;
constexpr int kPrinterStopped = 5;
constexpr int kJobProcessing = 5;
constexpr int kJobCanceled = 7;
constexpr int kJobAborted = 8;
constexpr int kJobCompleted = 9;

QString lastError()
{
    return QString::fromUtf8(cupsLastErrorString());
}

bool answeredWell()
{
    return cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE;
}

// As a person would name it: a socket path, or host:port.
QString serverName()
{
    const QString host = QString::fromUtf8(cupsServer());
    return host.startsWith('/') ? host : QStringLiteral("%1:%2").arg(host).arg(ippPort());
}

bool serverIsLocal()
{
    const QString host = QString::fromUtf8(cupsServer());
    return host.startsWith('/') || host == QLatin1String("localhost") ||
           host.startsWith(QLatin1String("127.")) || host == QLatin1String("::1");
}

QString quoted(const char* name)
{
    return QStringLiteral("\"%1\"").arg(QString::fromUtf8(name));
}

// Nobody sits at a terminal to type a password for the utility.
const char* noPassword(const char*, http_t*, const char*, const char*, void*)
{
    return nullptr;
}

// Ends any wait longer than the limit given to httpSetTimeout, and says so.
int giveUp(http_t*, void* timedOut)
{
    *static_cast<bool*>(timedOut) = true;
    return 0;
}

// One connection to the print server; every answer comes within the limit
// or the request fails. Once `stop` is set no further request is made.
class Session
{
public:
    Session(milliseconds limit, const std::atomic<bool>& stop) : m_stop(stop)
    {
        if (m_stop)
            return;
        cupsSetPasswordCB2(noPassword, nullptr);
        m_http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                              static_cast<int>(limit.count()), nullptr);
        if (m_http != nullptr)
            httpSetTimeout(m_http, static_cast<double>(limit.count()) / 1000.0, giveUp,
                           &m_timedOut);
    }
    ~Session()
    {
        if (m_http != nullptr)
            httpClose(m_http);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    [[nodiscard]] http_t* http() const { return m_http; }
    [[nodiscard]] bool stopped() const { return m_stop; }

    // False for a server that takes the connection and never answers. Asked
    // on its own: libcups would take a silent server for one without the
    // queue, after several rounds of the limit.
    [[nodiscard]] bool answers()
    {
        (void)ask(ippNewRequest(IPP_OP_CUPS_GET_DEFAULT));
        return !m_timedOut && !m_stop;
    }

    // The answer, or nothing when the request failed (failure() says why).
    [[nodiscard]] std::unique_ptr<ipp_t, void (*)(ipp_t*)> ask(ipp_t* request)
    {
        if (m_stop) {
            ippDelete(request);
            return {nullptr, ippDelete};
        }
        const auto start = steady_clock::now();
        std::unique_ptr<ipp_t, void (*)(ipp_t*)> answer(cupsDoRequest(m_http, request, "/"),
                                                        ippDelete);
        if (m_timedOut && m_waited == milliseconds{})
            m_waited = std::chrono::duration_cast<milliseconds>(steady_clock::now() - start);
        if (!answeredWell())
            answer.reset();
        return answer;
    }

    // Why the server could not be used.
    [[nodiscard]] QString failure() const
    {
        const QString server = serverName();
        if (m_stop)
            return QStringLiteral("The program ended before the print server %1 was done")
                .arg(server);
        if (m_http == nullptr) {
            // libcups says "Host is down" for any connection that fails; a
            // server on this machine that takes no connection is not running.
            if (serverIsLocal())
                return QStringLiteral("The print server (%1) is not running; start it with: "
                                      "sudo systemctl start cups")
                    .arg(server);
            return QStringLiteral("The print server %1 cannot be reached: it does not run there, "
                                  "or the network does not lead to it")
                .arg(server);
        }
        // libcups waits a second more than the limit for some answers: the
        // time said is the time waited.
        if (m_timedOut)
            return QStringLiteral("The print server %1 does not answer (waited %2 seconds)")
                .arg(server)
                .arg(qRound(static_cast<double>(m_waited.count()) / 1000.0));
        return QStringLiteral("The print server %1 does not answer (%2)").arg(server, lastError());
    }

private:
    const std::atomic<bool>& m_stop;
    http_t* m_http = nullptr;
    bool m_timedOut = false;
    milliseconds m_waited{};
};

const char* option(const cups_dest_t& dest, const char* name)
{
    const char* value = cupsGetOption(name, dest.num_options, dest.options);
    return value != nullptr ? value : "";
}

QString stateWords(int printerState, bool accepting)
{
    QString words = printerState == kPrinterStopped      ? QStringLiteral("paused")
                    : printerState == kPrinterProcessing ? QStringLiteral("printing")
                                                         : QStringLiteral("idle");
    if (!accepting)
        words += QStringLiteral(", rejecting jobs");
    return words;
}

PrintQueueList listingOf(Session& session)
{
    PrintQueueList list;
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(session.http(), &dests);
    if (count == 0 && !answeredWell() && cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND)
        list.error = session.failure();
    for (int i = 0; i < count; ++i) {
        const cups_dest_t& dest = dests[i];
        // Instances are the user's option sets for a queue, not queues.
        if (dest.instance != nullptr)
            continue;
        const bool accepting =
            std::string_view(option(dest, "printer-is-accepting-jobs")) != "false";
        list.queues.push_back({QString::fromUtf8(dest.name),
                               stateWords(std::atoi(option(dest, "printer-state")), accepting),
                               dest.is_default != 0});
    }
    cupsFreeDests(count, dests);
    return list;
}

// What the print server was asked for and does not have, with what it has.
QString missingQueue(Session& session, const QString& queue)
{
    const QString server = serverName();
    QString text;
    const QByteArray lpdest = qgetenv("LPDEST"), printer = qgetenv("PRINTER");
    if (!queue.isEmpty())
        text = QStringLiteral("The printer queue \"%1\" does not exist on the print server %2.")
                   .arg(queue, server);
    else if (!lpdest.isEmpty() || (!printer.isEmpty() && printer != "lp"))
        text = QStringLiteral("The printer queue \"%1\" named by %2 does not exist on the print "
                              "server %3.")
                   .arg(QString::fromLocal8Bit(lpdest.isEmpty() ? printer : lpdest),
                        lpdest.isEmpty() ? QStringLiteral("PRINTER") : QStringLiteral("LPDEST"),
                        server);
    else
        text = QStringLiteral("No default printer on the print server %1.").arg(server);

    const PrintQueueList list = listingOf(session);
    if (list.error)
        return text;
    QStringList names;
    for (const PrintQueue& each : list.queues)
        names << each.name;
    if (names.isEmpty())
        return text + QStringLiteral(" It has no queues.");
    return text + QStringLiteral(" Its queues: %1.").arg(names.join(QStringLiteral(", ")));
}

struct QueueState
{
    int state = 0;
    bool accepting = true;
    QString message;
    // The backend has written the whole job and only waits for the printer
    // to close the connection, which some printers keep open for a long time.
    bool jobWritten = false;
};

std::optional<QueueState> queueState(Session& session, const char* uri)
{
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    static const char* const kWanted[] = {"printer-state", "printer-is-accepting-jobs",
                                          "printer-state-message", "printer-state-reasons"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  std::size(kWanted), nullptr, kWanted);
    const auto answer = session.ask(request);
    if (!answer)
        return std::nullopt;
    QueueState queue;
    if (ipp_attribute_t* state = ippFindAttribute(answer.get(), "printer-state", IPP_TAG_ENUM))
        queue.state = ippGetInteger(state, 0);
    if (ipp_attribute_t* accepting =
            ippFindAttribute(answer.get(), "printer-is-accepting-jobs", IPP_TAG_BOOLEAN))
        queue.accepting = ippGetBoolean(accepting, 0) != 0;
    if (ipp_attribute_t* message =
            ippFindAttribute(answer.get(), "printer-state-message", IPP_TAG_TEXT))
        queue.message = QString::fromUtf8(ippGetString(message, 0, nullptr)).trimmed();
    if (ipp_attribute_t* reasons =
            ippFindAttribute(answer.get(), "printer-state-reasons", IPP_TAG_KEYWORD))
        queue.jobWritten = ippContainsString(reasons, "cups-waiting-for-job-completed") != 0;
    return queue;
}

// The queue's own words, unless they only repeat what is said already.
QString reasonOf(const QString& message, const char* obvious)
{
    if (message.isEmpty() || message.compare(QLatin1String(obvious), Qt::CaseInsensitive) == 0)
        return {};
    return QStringLiteral(" (%1)").arg(message);
}

// Nothing is queued where it would only wait: a paused queue would hand the
// command to the display whenever it is resumed, and a rejecting one refuses it.
std::optional<QString> refusal(const cups_dest_t& dest, const QueueState& queue)
{
    if (queue.state == kPrinterStopped)
        return QStringLiteral("The printer queue %1 is paused%2; nothing was sent. Resume it "
                              "with: cupsenable %3")
            .arg(quoted(dest.name), reasonOf(queue.message, "Paused"),
                 QString::fromUtf8(dest.name));
    if (!queue.accepting)
        return QStringLiteral("The printer queue %1 rejects jobs%2; nothing was sent. Let it "
                              "accept them with: cupsaccept %3")
            .arg(quoted(dest.name), reasonOf(queue.message, "Rejecting Jobs"),
                 QString::fromUtf8(dest.name));
    return std::nullopt;
}

// The job's number, or the error.
std::variant<int, QString> submit(Session& session, cups_dest_t* dest, const std::string& bytes)
{
    http_t* http = session.http();
    cups_dinfo_t* info = cupsCopyDestInfo(http, dest);
    int job = 0;
    std::optional<QString> error;
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
    if (error)
        return *error;
    return job;
}

// The job's state, 0 when the server did not say.
int jobState(Session& session, const char* uri, int job)
{
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "job-state");
    const auto answer = session.ask(request);
    ipp_attribute_t* state =
        answer ? ippFindAttribute(answer.get(), "job-state", IPP_TAG_ENUM) : nullptr;
    return state != nullptr ? ippGetInteger(state, 0) : 0;
}

// Why the queue did not pass a job on, in its own words where it has some.
QString queueWords(Session& session, const char* uri)
{
    const auto queue = queueState(session, uri);
    if (!queue)
        return session.failure();
    return !queue->message.isEmpty() ? queue->message : stateWords(queue->state, queue->accepting);
}

// Waits for the queue to pass the job on; a job still held at the limit is
// cancelled, so that no old command reaches the display later.
std::optional<QString> awaitCompletion(Session& session, cups_dest_t* dest, const char* uri,
                                       int job, milliseconds limit)
{
    const auto deadline = steady_clock::now() + limit;
    // A program that ends does not wait for the job, but still cancels it.
    while (!session.stopped()) {
        const int state = jobState(session, uri, job);
        if (state == kJobCompleted)
            return std::nullopt;
        // The queue passes one job on at a time: while it prints ours, its
        // state says whether our bytes are out. The job would then keep the
        // queue from the next command until the printer closes the connection
        // (a socket printer that holds it: 90 s), so it ends here.
        if (state == kJobProcessing) {
            const auto queue = queueState(session, uri);
            if (queue && queue->jobWritten) {
                cupsCancelDestJob(session.http(), dest, job);
                return std::nullopt;
            }
        }
        if (state == kJobCanceled || state == kJobAborted)
            return QStringLiteral("The printer queue %1 %2 the command. The queue says: %3")
                .arg(quoted(dest->name),
                     state == kJobCanceled ? QStringLiteral("cancelled")
                                           : QStringLiteral("aborted"),
                     queueWords(session, uri));
        if (steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(kJobPollInterval);
    }
    // The queue's words first: cancelling the job clears them.
    const QString why = queueWords(session, uri);
    const bool cancelled = cupsCancelDestJob(session.http(), dest, job) == IPP_STATUS_OK;
    return QStringLiteral("The printer queue %1 did not pass the command on within %2 seconds; "
                          "%3. The queue says: %4")
        .arg(quoted(dest->name))
        .arg(static_cast<double>(limit.count()) / 1000.0)
        .arg(cancelled ? QStringLiteral("it was cancelled")
                       : QStringLiteral("it could not be cancelled (%1) and may still reach the "
                                        "display later")
                             .arg(lastError()),
             why);
}

std::optional<QString> print(const QByteArray& queue, const std::string& bytes,
                             milliseconds answerLimit, milliseconds completionLimit,
                             const std::atomic<bool>& stop)
{
    Session session(answerLimit, stop);
    if (session.http() == nullptr || !session.answers())
        return session.failure();
    // The default is what lp would take: LPDEST, PRINTER, the user's
    // lpoptions, then the server's default.
    std::unique_ptr<cups_dest_t, void (*)(cups_dest_t*)> dest(
        cupsGetNamedDest(session.http(), queue.isEmpty() ? nullptr : queue.constData(), nullptr),
        [](cups_dest_t* d) { cupsFreeDests(1, d); });
    if (!dest) {
        if (cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND)
            return missingQueue(session, QString::fromUtf8(queue));
        return session.failure();
    }
    QByteArray uri = option(*dest, "printer-uri-supported");
    if (uri.isEmpty())
        uri = "ipp://localhost/printers/" + QByteArray(dest->name);

    const auto queueNow = queueState(session, uri.constData());
    if (!queueNow)
        return session.failure();
    if (auto refused = refusal(*dest, *queueNow))
        return refused;
    const auto job = submit(session, dest.get(), bytes);
    if (const auto* error = std::get_if<QString>(&job))
        return *error;
    return awaitCompletion(session, dest.get(), uri.constData(), std::get<int>(job),
                           completionLimit);
}

} // namespace

CupsPrinter::CupsPrinter(Waiter& waiter, milliseconds answerLimit, milliseconds completionLimit)
    : m_waiter(waiter), m_answerLimit(answerLimit), m_completionLimit(completionLimit)
{
}

CupsPrinter::~CupsPrinter()
{
    m_stopping = true;
    if (m_worker.joinable())
        m_worker.join();
}

bool CupsPrinter::workerBusy()
{
    if (m_working)
        return true;
    if (m_worker.joinable())
        m_worker.join();
    return false;
}

// Runs `work` on the worker while the window goes on; nothing when it was not
// done within `limit` (it then finishes on its own, as bounded as ever, and
// keeps the worker busy until then).
template <typename Result>
std::optional<Result> CupsPrinter::runAside(milliseconds limit, std::function<Result()> work)
{
    struct Outcome
    {
        std::atomic<bool> done{false};
        Result result{};
    };
    auto outcome = std::make_shared<Outcome>();
    m_working = true;
    m_worker = std::thread([this, outcome, work = std::move(work)] {
        outcome->result = work();
        outcome->done = true;
        m_working = false;
    });
    const bool never = false;
    m_waiter.waitUntil([&outcome] { return outcome->done.load(); }, limit, never);
    if (!outcome->done)
        return std::nullopt;
    return std::move(outcome->result);
}

std::optional<QString> CupsPrinter::printRaw(const QString& queue, std::string_view bytes)
{
    // Two jobs at once could reach the display in either order.
    if (workerBusy())
        return QStringLiteral("The print server %1 is still busy with the previous command; "
                              "nothing was sent. Try again in a few seconds")
            .arg(serverName());
    // A job takes a handful of answers, each bounded by the answer limit.
    const auto done = runAside<std::optional<QString>>(
        m_answerLimit * 8 + m_completionLimit,
        [this, queue = queue.toUtf8(), data = std::string(bytes)] {
            return print(queue, data, m_answerLimit, m_completionLimit, m_stopping);
        });
    if (!done)
        return QStringLiteral("The print server %1 did not finish the job in time")
            .arg(serverName());
    return *done;
}

PrintQueueList CupsPrinter::listQueues()
{
    if (workerBusy())
        return {{},
                QStringLiteral("The print server %1 is still busy with the previous command; "
                               "its queues cannot be listed now. Try again in a few seconds")
                    .arg(serverName())};
    const auto done = runAside<PrintQueueList>(m_answerLimit * 4, [this] {
        Session session(m_answerLimit, m_stopping);
        if (session.http() == nullptr || !session.answers())
            return PrintQueueList{{}, session.failure()};
        return listingOf(session);
    });
    if (!done)
        return {{},
                QStringLiteral("The print server %1 did not list its queues in time")
                    .arg(serverName())};
    return *done;
}

} // namespace vornestw
