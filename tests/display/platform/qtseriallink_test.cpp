#include "cupsprinter.h"
#include "displaystate.h"
#include "eventloopwaiter.h"
#include "outputchannel.h"
#include "pseudoterminal.h"
#include "qtseriallink.h"
#include "recordingnotice.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <functional>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace vornestw;

namespace {

long cpuMicroseconds()
{
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return (r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1000000L + r.ru_utime.tv_usec +
           r.ru_stime.tv_usec;
}

std::vector<std::uint8_t> bytesOf(const std::string& text)
{
    return {text.begin(), text.end()};
}

// The real port, with the cable pulled right after a number of bytes.
class CablePulledAfter : public SerialLink
{
public:
    CablePulledAfter(SerialLink& port, int bytes, std::function<void()> pull)
        : m_port(port), m_left(bytes), m_pull(std::move(pull))
    {
    }
    std::optional<QString> open(int comNumber) override { return m_port.open(comNumber); }
    void close() override { m_port.close(); }
    [[nodiscard]] bool isOpen() const override { return m_port.isOpen(); }
    [[nodiscard]] bool ctsHolding() override { return m_port.ctsHolding(); }
    void write(std::uint8_t byte) override
    {
        m_port.write(byte);
        if (--m_left == 0)
            m_pull();
    }
    [[nodiscard]] int outBufferCount() override { return m_port.outBufferCount(); }
    void discardOutput() override { m_port.discardOutput(); }
    [[nodiscard]] std::optional<QString> failure() const override { return m_port.failure(); }

private:
    SerialLink& m_port;
    int m_left;
    std::function<void()> m_pull;
};

// A print server that knows no printer: every request is answered with
// "not found", as a server without a default printer answers.
class PrinterlessServer
{
public:
    PrinterlessServer()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), length);
        ::listen(m_listener, 4);
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~PrinterlessServer()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_listener);
    }
    [[nodiscard]] QByteArray address() const { return "127.0.0.1:" + QByteArray::number(m_port); }
    [[nodiscard]] int requests() const { return m_requests; }

private:
    void serve()
    {
        while (!m_stop) {
            pollfd p{m_listener, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            const int client = ::accept(m_listener, nullptr, nullptr);
            std::string in;
            while (client >= 0 && !m_stop && answer(client, in)) {
            }
            if (client >= 0)
                ::close(client);
        }
    }
    // More bytes from the client within 2 s.
    bool more(int client, std::string& in) const
    {
        pollfd p{client, POLLIN, 0};
        char buffer[4096];
        const ssize_t n = ::poll(&p, 1, 2000) > 0 ? ::recv(client, buffer, sizeof buffer, 0) : -1;
        if (n <= 0)
            return false;
        in.append(buffer, static_cast<std::size_t>(n));
        return true;
    }
    // Reads one HTTP request and answers it.
    bool answer(int client, std::string& in)
    {
        std::size_t end;
        while ((end = in.find("\r\n\r\n")) == std::string::npos) {
            if (!more(client, in))
                return false;
        }
        std::string header = in.substr(0, end + 4);
        in.erase(0, end + 4);
        for (char& c : header)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (header.find("expect: 100-continue") != std::string::npos)
            ::send(client, "HTTP/1.1 100 Continue\r\n\r\n", 25, MSG_NOSIGNAL);
        // The client library sends a request with its length.
        std::string body;
        if (const auto at = header.find("content-length: "); at != std::string::npos) {
            const std::size_t size = std::stoul(header.substr(at + 16));
            while (in.size() < size) {
                if (!more(client, in))
                    return false;
            }
            body = in.substr(0, size);
            in.erase(0, size);
        }
        ++m_requests;
        body.resize(std::max<std::size_t>(body.size(), 8));
        // Version and request id as asked; status client-error-not-found.
        std::string ipp = body.substr(0, 2) + "\x04\x06" + body.substr(4, 4) + "\x01";
        ipp += std::string("\x47\x00\x12", 3) + "attributes-charset" + std::string("\x00\x05", 2) +
               "utf-8";
        ipp += std::string("\x48\x00\x1B", 3) + "attributes-natural-language" +
               std::string("\x00\x02", 2) + "en" + "\x03";
        const std::string reply = "HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\n"
                                  "Content-Length: " +
                                  std::to_string(ipp.size()) + "\r\n\r\n" + ipp;
        return ::send(client, reply.data(), reply.size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(reply.size());
    }

    int m_listener = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_requests{0};
    std::thread m_thread;
};

TEST(PortLocation, LinkInTheProgramFolderElseTtyS)
{
    QTemporaryDir folder;
    EXPECT_EQ(QtSerialLink::PortLocation(folder.path(), 1), "/dev/ttyS0");
    EXPECT_EQ(QtSerialLink::PortLocation(folder.path(), 4), "/dev/ttyS3");
    ASSERT_TRUE(QFile::link("/dev/null", folder.filePath("com3")));
    EXPECT_EQ(QtSerialLink::PortLocation(folder.path(), 3), folder.filePath("com3"));
    // A dangling link still decides: /dev/ttyS3 would be another device.
    ASSERT_TRUE(QFile::link("/dev/ttyUSB7-gone", folder.filePath("com4")));
    EXPECT_EQ(QtSerialLink::PortLocation(folder.path(), 4), folder.filePath("com4"));
    EXPECT_EQ(QtSerialLink(folder.path()).open(4), "COM4 (/dev/ttyUSB7-gone): the link com4 in " +
                                                       folder.path() + " points to no device");
}

TEST(QtSerialLink, OpenFailuresNameThePortAndItsDevice)
{
    QTemporaryDir folder;
    QFile plain(folder.filePath("com1"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    QtSerialLink link(folder.path());
    EXPECT_EQ(link.open(1), "COM1 (" + folder.filePath("com1") + "): not a serial port");
    EXPECT_FALSE(link.isOpen());
    // Root passes every permission check, so the text is built directly.
    EXPECT_EQ(QtSerialLink::OpenErrorText(3, "/dev/ttyS2", EACCES, "Permission denied",
                                          "/home/u/.config/vornestw"),
              "COM3 (/dev/ttyS2): Permission denied. Add your user to the dialout group and log "
              "in again, or link com3 in /home/u/.config/vornestw to a port you may use.");
}

// The far end goes away in the middle of a session (a pulled USB adapter).
TEST(QtSerialLink, HungUpLineIsReportedClosedAndLeftQuiet)
{
    QTemporaryDir folder;
    auto pty = std::make_unique<test::PseudoTerminal>();
    ASSERT_TRUE(QFile::link(pty->terminalPath(), folder.filePath("com2")));
    const QString device = pty->terminalPath();
    QtSerialLink link(folder.path());
    EventLoopWaiter waiter;
    test::RecordingNotice notice;
    test::FakePrinter printer;
    DisplayState state; // COM2
    OutputChannel channel(state, link, printer, waiter, notice);
    channel.SendString("a");
    ASSERT_EQ(pty->receiveAtLeast(1).size(), 1u);

    pty.reset();
    channel.SendString("bc");
    ASSERT_EQ(notice.messages.size(), 1u);
    EXPECT_EQ(notice.messages[0].text, "COM2 (" + device + "): the device is gone");
    EXPECT_EQ(notice.messages[0].severity, UserNotice::Severity::Critical);
    EXPECT_FALSE(link.isOpen());

    // Idle afterwards: no failed write is retried over and over.
    const long before = cpuMicroseconds();
    QEventLoop idle;
    QTimer::singleShot(300, &idle, &QEventLoop::quit);
    idle.exec();
    EXPECT_LT(cpuMicroseconds() - before, 60000L);
}

// The cable is pulled in the middle of a command, while the display keeps
// sending noise that nobody reads: the command ends at once with one message,
// and the next one says where the port went.
TEST(QtSerialLink, CablePulledDuringACommandEndsItAtOnce)
{
    QTemporaryDir folder;
    auto pty = std::make_unique<test::PseudoTerminal>();
    ASSERT_TRUE(QFile::link(pty->terminalPath(), folder.filePath("com2")));
    const QString device = pty->terminalPath();
    const std::string noise(4096, '\xAA');
    ASSERT_GT(::write(pty->displaySide(), noise.data(), noise.size()), 0);
    QtSerialLink real(folder.path());
    std::vector<std::uint8_t> arrived;
    CablePulledAfter link(real, 3, [&] {
        arrived = pty->receiveAtLeast(3);
        pty.reset();
    });
    EventLoopWaiter waiter;
    test::RecordingNotice notice;
    test::FakePrinter printer;
    DisplayState state; // COM2
    OutputChannel channel(state, link, printer, waiter, notice);
    QElapsedTimer clock;
    clock.start();
    channel.SendString("0123456789");
    EXPECT_LT(clock.elapsed(), 1000) << "no time-out waited for";
    EXPECT_EQ(arrived, bytesOf("012"));
    ASSERT_EQ(notice.messages.size(), 1u);
    EXPECT_EQ(notice.messages[0].title, "Communication error");
    EXPECT_EQ(notice.messages[0].text, "COM2 (" + device + "): the device is gone");
    EXPECT_FALSE(real.isOpen());

    channel.SendString("x");
    ASSERT_EQ(notice.messages.size(), 2u);
    EXPECT_EQ(notice.messages[1].title, "Vornest");
    EXPECT_EQ(notice.messages[1].text,
              "COM2 (" + device + "): the link com2 in " + folder.path() + " points to no device");
}

// A print server that takes the connection and never answers.
TEST(CupsPrinter, SilentServerIsNamedWithinSecondsWhileTheWindowKeepsRunning)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const QByteArray server = "127.0.0.1:" + QByteArray::number(ntohs(address.sin_port));
    qputenv("CUPS_SERVER", server);

    EventLoopWaiter waiter;
    CupsPrinter printer(waiter, std::chrono::milliseconds(1000));
    QElapsedTimer clock;
    qint64 last = 0, longestGap = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, clock.elapsed() - last);
        last = clock.elapsed();
    });
    ticker.start(20);
    clock.start();
    const auto error = printer.printRaw("x");
    const qint64 elapsed = clock.elapsed();
    longestGap = std::max(longestGap, elapsed - last);
    qunsetenv("CUPS_SERVER");
    ::close(listener);

    ASSERT_TRUE(error);
    EXPECT_TRUE(
        error->startsWith("The print server " + QString::fromLatin1(server) + " does not answer"))
        << error->toStdString();
    EXPECT_LT(elapsed, 5000);
    EXPECT_LT(longestGap, 500); // the window was never held up
}

// A server without a default printer, and no server at all: each is named
// within a second or two, with one attempt.
TEST(CupsPrinter, NoDefaultPrinterOrNoServerIsNamed)
{
    QTemporaryDir home; // no lpoptions naming a default
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");
    PrinterlessServer printerless;
    const int closed = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(closed, reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::getsockname(closed, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const QByteArray nobody = "127.0.0.1:" + QByteArray::number(ntohs(address.sin_port));
    ::close(closed); // nothing listens there

    const std::pair<QByteArray, QString> cases[] = {
        {printerless.address(), "No default printer on the print server " + printerless.address()},
        {nobody, "The print server " + nobody + " cannot be reached ("},
    };
    for (const auto& [server, expected] : cases) {
        qputenv("CUPS_SERVER", server);
        EventLoopWaiter waiter;
        CupsPrinter printer(waiter, std::chrono::milliseconds(1000));
        QElapsedTimer clock;
        clock.start();
        const auto error = printer.printRaw("x");
        EXPECT_LT(clock.elapsed(), 3000) << server.constData();
        ASSERT_TRUE(error) << server.constData();
        EXPECT_TRUE(error->startsWith(expected)) << error->toStdString();
    }
    EXPECT_GT(printerless.requests(), 0);
    qunsetenv("CUPS_SERVER");
    qputenv("HOME", oldHome);
}

TEST(EventLoopWaiter, EndsOnReadyAbortOrTimeAndKeepsEventsRunning)
{
    EventLoopWaiter waiter;
    bool abort = false;
    bool ready = false;
    const std::chrono::milliseconds long_(10000);
    QTimer::singleShot(5, [&] { ready = true; });
    EXPECT_EQ(waiter.waitUntil([&] { return ready; }, long_, abort, {}), Waiter::Outcome::Ready);
    QTimer::singleShot(5, [&] { abort = true; });
    EXPECT_EQ(waiter.waitUntil([] { return false; }, long_, abort, {}), Waiter::Outcome::Aborted);
    abort = false;
    int rounds = 0;
    EXPECT_EQ(waiter.waitUntil([] { return false; }, std::chrono::milliseconds(20), abort,
                               [&] { ++rounds; }),
              Waiter::Outcome::TimedOut);
    EXPECT_GT(rounds, 0);
}

// Waiting for a display that never gets ready sleeps between rounds.
TEST(EventLoopWaiter, LongWaitLeavesTheProcessorIdle)
{
    EventLoopWaiter waiter;
    const bool never = false;
    const long before = cpuMicroseconds();
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(waiter.waitUntil([] { return false; }, std::chrono::milliseconds(500), never, {}),
              Waiter::Outcome::TimedOut);
    EXPECT_GE(clock.elapsed(), 500);
    EXPECT_LT(clock.elapsed(), 800);
    EXPECT_LT(cpuMicroseconds() - before, 150000L);
}

} // namespace
