// The printer route through the real CUPS code: against broken print servers,
// and against a private cupsd whose raw queues send to socket listeners of
// the test.
#include "cupsprinter.h"
#include "displayrig.h"
#include "eventloopwaiter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QScopeGuard>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

using namespace vornestw;

namespace {

// What the printer said, readable in a failed check.
std::string said(const std::optional<QString>& error)
{
    return error ? error->toStdString() : "(printed)";
}

// A print server that takes the connection and never answers, and none at
// all (libcups says "Host is down" for both): each is named, and the window
// keeps running while the silent one is waited for.
TEST(CupsPrinter, SilentOrMissingServerIsNamed)
{
    QTcpServer silent, closed;
    silent.listen(QHostAddress::LocalHost);
    closed.listen(QHostAddress::LocalHost);
    const QByteArray quiet = "127.0.0.1:" + QByteArray::number(silent.serverPort());
    const QByteArray nobody = "127.0.0.1:" + QByteArray::number(closed.serverPort());
    closed.close();
    EventLoopWaiter waiter;
    CupsPrinter printer(waiter, std::chrono::milliseconds(1000));
    bool windowRan = false;
    QTimer::singleShot(100, [&] { windowRan = true; });
    qputenv("CUPS_SERVER", quiet);
    EXPECT_EQ(said(printer.printRaw({}, "x")),
              ("The print server " + quiet + " does not answer (waited 2 seconds)").toStdString());
    EXPECT_TRUE(windowRan);
    qputenv("CUPS_SERVER", nobody);
    EXPECT_EQ(said(printer.printRaw({}, "x")),
              ("The print server (" + nobody +
               ") is not running; start it with: sudo systemctl start cups")
                  .toStdString());
    qunsetenv("CUPS_SERVER");
}

// A job the window gave up on (a virtual clock runs out at once) stays the
// printer's: a command meanwhile is refused, not run beside it, and the
// printer ends the job before it is gone (its connection is closed).
TEST(CupsPrinter, JobTheWindowGaveUpOnEndsWithThePrinter)
{
    QTcpServer silent;
    silent.listen(QHostAddress::LocalHost);
    const std::string server = "127.0.0.1:" + std::to_string(silent.serverPort());
    qputenv("CUPS_SERVER", server.c_str());
    test::VirtualClockWaiter waiter;
    auto printer = std::make_unique<CupsPrinter>(waiter, std::chrono::milliseconds(1000));
    EXPECT_EQ(said(printer->printRaw({}, "old")),
              "The print server " + server + " did not finish the job in time");
    ASSERT_TRUE(silent.waitForNewConnection(5000));
    const auto job = static_cast<int>(silent.nextPendingConnection()->socketDescriptor());
    EXPECT_NE(said(printer->printRaw({}, "new")).find("still busy with the previous command"),
              std::string::npos);
    printer.reset();
    qunsetenv("CUPS_SERVER");
    char request[4096];
    while (::recv(job, request, sizeof request, MSG_DONTWAIT) > 0) {
    }
    EXPECT_EQ(::recv(job, request, 1, MSG_DONTWAIT), 0) << "the job's connection is still open";
    EXPECT_FALSE(silent.waitForNewConnection(0)) << "a second job reached the print server";
}

// A printer's network socket: keeps what arrives and, as most printers do,
// closes each connection once the sender has finished, or holds it open.
struct SocketListener : QObject
{
    explicit SocketListener(bool holdsConnections = false)
    {
        connect(&server, &QTcpServer::newConnection, this, [this, holdsConnections] {
            while (QTcpSocket* client = server.nextPendingConnection()) {
                // Qt closes a connection whose sender has finished; a copy of it stays open.
                if (holdsConnections)
                    held.push_back(::dup(static_cast<int>(client->socketDescriptor())));
                connect(client, &QTcpSocket::readyRead, this,
                        [this, client] { received += client->readAll(); });
            }
        });
    }
    ~SocketListener() override
    {
        for (int fd : held)
            ::close(fd);
    }
    // On a free port the first time, then on the same one again.
    bool listen()
    {
        const bool listening = server.listen(QHostAddress::LocalHost, port);
        port = server.serverPort();
        return listening;
    }

    QTcpServer server;
    quint16 port = 0;
    QByteArray received;
    std::vector<int> held;
};

// A print server of the test's own: cupsd from the Debian packages with its
// configuration, spool and socket in a temporary folder, and raw queues
// "office" (the default) and "display" to local socket listeners.
class PrivatePrintServer
{
public:
    PrivatePrintServer(quint16 officePort, quint16 displayPort)
    {
        const char* cupsd = "/usr/sbin/cupsd";
        if (!QFile::exists(cupsd) || !QFile::exists("/usr/lib/cups/backend/socket")) {
            problem = "cupsd or its socket backend is missing (packages cups-daemon, cups)";
            return;
        }
        // Started as root, cupsd runs its backends as lp, who must reach the spool.
        const QString at = m_folder.path();
        QFile::setPermissions(at, QFile::permissions(at) | QFile::ExeOther | QFile::ReadOther);
        // Job operations as the packaged policy has them; the rest is open
        // to the test's operator commands.
        const std::pair<const char*, QString> files[] = {
            {"cupsd.conf", QStringLiteral("Listen %1/cups.sock\nBrowsing No\nWebInterface No\n"
                                          "<Policy default>\n<Limit Send-Document Cancel-Job "
                                          "Close-Job>\nRequire user @OWNER @SYSTEM\nOrder "
                                          "deny,allow\n</Limit>\n<Limit All>\nOrder "
                                          "deny,allow\n</Limit>\n</Policy>\n")
                               .arg(at)},
            {"cups-files.conf",
             QStringLiteral("ServerRoot %1\nRequestRoot %1/spool\nCacheDir %1/cache\nStateDir "
                            "%1/state\nTempDir %1/tmp\nErrorLog %1/error_log\n")
                 .arg(at)},
            {"printers.conf", QStringLiteral("<DefaultPrinter office>\nDeviceURI "
                                             "socket://127.0.0.1:%1\n</DefaultPrinter>\n"
                                             "<Printer display>\nDeviceURI "
                                             "socket://127.0.0.1:%2\n</Printer>\n")
                                  .arg(officePort)
                                  .arg(displayPort)}};
        for (const auto& [name, text] : files) {
            QFile file(m_folder.filePath(name));
            if (file.open(QIODevice::WriteOnly))
                file.write(text.toUtf8());
        }
        for (const char* folder : {"spool", "cache", "state", "tmp"})
            QDir(at).mkpath(folder);

        // Ends with the test, however that ends. Run from a copy where the
        // folder allows it: a machine that confines the system's cupsd
        // (AppArmor) would keep its backends from this folder.
        m_cupsd.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        const QStringList arguments{"-f", "-c", at + "/cupsd.conf", "-s", at + "/cups-files.conf"};
        QFile::copy(cupsd, at + "/cupsd");
        m_cupsd.start(at + "/cupsd", arguments);
        if (!m_cupsd.waitForStarted())
            m_cupsd.start(cupsd, arguments);
        QElapsedTimer clock;
        clock.start();
        for (QLocalSocket probe; m_cupsd.state() != QProcess::NotRunning && clock.elapsed() < 10000;
             QThread::msleep(20)) {
            probe.connectToServer(socketPath());
            if (probe.waitForConnected(100))
                return;
        }
        problem = "cupsd did not start: " + m_cupsd.readAll();
    }
    ~PrivatePrintServer()
    {
        m_cupsd.terminate();
        m_cupsd.waitForFinished(5000);
    }

    [[nodiscard]] QString socketPath() const { return m_folder.filePath("cups.sock"); }
    // An operator's command (cupsdisable, cupsreject, lpadmin, lpstat...):
    // what it printed, or nothing when it failed.
    [[nodiscard]] std::optional<std::string> operate(const QString& command,
                                                     const QStringList& arguments) const
    {
        QProcess process;
        process.start(command, QStringList{"-h", socketPath()} + arguments);
        if (!process.waitForFinished() || process.exitCode() != 0)
            return std::nullopt;
        return process.readAll().toStdString();
    }

    QByteArray problem; // why it is not running; empty when it is

private:
    QTemporaryDir m_folder{"/tmp/vornestw-cups-XXXXXX"};
    QProcess m_cupsd;
};

// Two raw queues, "office" the default, each sending to a listener (the
// office printer holds its connections open); the client reaches the server
// through CUPS_SERVER, without the user's own default (LPDEST, PRINTER,
// ~/.cups/lpoptions). The chosen queue gets the bytes and the other none;
// queues that would only hold the command, or do not exist, are named, and
// nothing waits in a queue to reach the display later.
TEST(CupsPrinter, PrivateServerSendsToTheChosenQueueAndNamesWhatCannotTakeACommand)
{
    SocketListener office(true), display;
    ASSERT_TRUE(office.listen() && display.listen());
    const PrivatePrintServer server(office.port, display.port);
    if (!server.problem.isEmpty())
        GTEST_SKIP() << "No private print server, printer tests skipped: "
                     << server.problem.toStdString();
    QTemporaryDir home;
    const auto restore = qScopeGuard([userHome = qgetenv("HOME")] {
        qunsetenv("CUPS_SERVER");
        qputenv("HOME", userHome);
    });
    qputenv("CUPS_SERVER", server.socketPath().toLocal8Bit());
    qunsetenv("LPDEST");
    qunsetenv("PRINTER");
    qputenv("HOME", home.path().toLocal8Bit());
    EventLoopWaiter waiter;
    CupsPrinter printer(waiter);
    // What a listener has got once the bytes had time to come in.
    const auto arrived = [&waiter](const SocketListener& listener, qsizetype expected) {
        const bool never = false;
        (void)waiter.waitUntil([&] { return listener.received.size() >= expected; },
                               std::chrono::seconds(2), never, {});
        return listener.received;
    };

    EXPECT_EQ(said(printer.printRaw("display", std::string("\x1B\x00z", 3))), "(printed)");
    EXPECT_EQ(arrived(display, 3), QByteArray("\x1B\x00z", 3));
    for (const char* text : {"one,", "two"})
        EXPECT_EQ(said(printer.printRaw({}, text)), "(printed)");
    EXPECT_EQ(arrived(office, 7), "one,two");
    EXPECT_EQ(display.received.size(), 3);

    ASSERT_TRUE(server.operate("cupsdisable", {"display"}));
    EXPECT_EQ(said(printer.printRaw("display", "x")),
              "The printer queue \"display\" is paused; nothing was sent. Resume it with: "
              "cupsenable display");
    ASSERT_TRUE(server.operate("cupsreject", {"display"}));
    QStringList listed;
    for (const PrintQueue& queue : printer.listQueues().queues)
        listed << queue.name + ": " + queue.state + (queue.isDefault ? " (default)" : "");
    EXPECT_EQ(listed.join(", "), "display: paused, rejecting jobs, office: idle (default)");
    ASSERT_TRUE(server.operate("cupsenable", {"display"}));
    EXPECT_EQ(said(printer.printRaw("display", "x")),
              "The printer queue \"display\" rejects jobs; nothing was sent. Let it accept them "
              "with: cupsaccept display");
    EXPECT_EQ(server.operate("lpstat", {"-o", "display"}), ""); // no job left

    const std::string there = " does not exist on the print server " +
                              server.socketPath().toStdString() + ". Its queues: display, office.";
    EXPECT_EQ(said(printer.printRaw("gone", "x")), "The printer queue \"gone\"" + there);
    qputenv("LPDEST", "counter");
    EXPECT_EQ(said(printer.printRaw({}, "x")),
              "The printer queue \"counter\" named by LPDEST" + there);
    qunsetenv("LPDEST");
    ASSERT_TRUE(server.operate("lpadmin", {"-x", "office"}));
    EXPECT_EQ(said(printer.printRaw({}, "x")), "No default printer on the print server " +
                                                   server.socketPath().toStdString() +
                                                   ". Its queues: display.");

    // The printer behind the queue is gone: the queue would keep the command
    // and send it whenever the printer is back. It is cancelled instead, and
    // said; a job still held would go out first, before the new one.
    ASSERT_TRUE(server.operate("cupsaccept", {"display"}));
    display.server.close();
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(said(printer.printRaw("display", "old price")),
              "The printer queue \"display\" did not pass the command on within 2 seconds; it "
              "was cancelled. The queue says: The printer may not exist or is unavailable at this "
              "time.");
    std::cout << "A gone printer was reported after " << clock.elapsed() << " ms\n";
    EXPECT_EQ(server.operate("lpstat", {"-o", "display"}), ""); // no job left
    ASSERT_TRUE(display.listen());
    EXPECT_EQ(said(printer.printRaw("display", "new price")), "(printed)");
    EXPECT_EQ(arrived(display, 12).mid(3), "new price");
}

} // namespace
