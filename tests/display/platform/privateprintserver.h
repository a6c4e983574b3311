#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <vector>

namespace vornestw::test {

// A printer's network socket: keeps what arrives and, as most printers do,
// closes each connection once the sender has finished, or holds it open.
class SocketListener : public QObject
{
public:
    explicit SocketListener(bool holdsConnections = false) : m_holds(holdsConnections) {}
    ~SocketListener() override
    {
        for (int fd : m_held)
            ::close(fd);
    }

    // On a free port the first time, then on the same one again.
    bool listen()
    {
        if (!m_server.listen(QHostAddress::LocalHost, m_port))
            return false;
        m_port = m_server.serverPort();
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* client = m_server.nextPendingConnection()) {
                // Read by hand: Qt closes a socket whose sender has finished.
                const int fd = ::dup(static_cast<int>(client->socketDescriptor()));
                delete client;
                auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
                connect(notifier, &QSocketNotifier::activated, this, [this, fd, notifier] {
                    char buffer[256];
                    const ssize_t n = ::read(fd, buffer, sizeof buffer);
                    if (n > 0)
                        return m_received.append(buffer, n), void();
                    notifier->setEnabled(false);
                    m_holds ? m_held.push_back(fd) : void(::close(fd));
                });
            }
        });
        return true;
    }
    void stop() { m_server.close(); }
    [[nodiscard]] quint16 port() const { return m_port; }
    [[nodiscard]] const QByteArray& received() const { return m_received; }

private:
    bool m_holds;
    std::vector<int> m_held;
    QTcpServer m_server;
    quint16 m_port = 0;
    QByteArray m_received;
};

// A print server of the test's own: cupsd from the Debian packages with its
// configuration, spool and socket in a temporary folder, and raw queues
// "office" (the default) and "display" to local socket listeners. Clients
// reach it through CUPS_SERVER=socketPath().
class PrivatePrintServer
{
public:
    PrivatePrintServer(quint16 officePort, quint16 displayPort)
    {
        const char* cupsd = "/usr/sbin/cupsd";
        if (!QFile::exists(cupsd) || !QFile::exists("/usr/lib/cups/backend/socket")) {
            m_problem = "cupsd or its socket backend is missing (packages cups-daemon, cups)";
            return;
        }
        // Started as root, cupsd runs its backends as lp, who must reach the spool.
        QFile::setPermissions(m_folder.path(), QFile::permissions(m_folder.path()) |
                                                   QFile::ExeOther | QFile::ReadOther);
        const QString at = m_folder.path();
        // Job operations as the packaged policy has them; the rest is open
        // to the test's operator commands.
        write("cupsd.conf", QStringLiteral("Listen %1/cups.sock\nBrowsing No\nWebInterface No\n"
                                           "<Policy default>\n<Limit Send-Document Cancel-Job "
                                           "Close-Job>\nRequire user @OWNER @SYSTEM\nOrder "
                                           "deny,allow\n</Limit>\n<Limit All>\nOrder "
                                           "deny,allow\n</Limit>\n</Policy>\n")
                                .arg(at));
        write("cups-files.conf",
              QStringLiteral("ServerRoot %1\nRequestRoot %1/spool\nCacheDir %1/cache\nStateDir "
                             "%1/state\nTempDir %1/tmp\nErrorLog %1/error_log\n")
                  .arg(at));
        write("printers.conf", QStringLiteral("<DefaultPrinter office>\nDeviceURI "
                                              "socket://127.0.0.1:%1\n</DefaultPrinter>\n"
                                              "<Printer display>\nDeviceURI "
                                              "socket://127.0.0.1:%2\n</Printer>\n")
                                   .arg(officePort)
                                   .arg(displayPort));
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
        m_problem = "cupsd did not start: " + m_cupsd.readAll();
    }
    ~PrivatePrintServer()
    {
        m_cupsd.terminate();
        m_cupsd.waitForFinished(5000);
    }

    // Why it is not running; empty when it is.
    [[nodiscard]] const QByteArray& problem() const { return m_problem; }
    [[nodiscard]] QString socketPath() const { return m_folder.filePath("cups.sock"); }

    // An operator's command: cupsdisable, cupsreject, lpadmin...
    bool operate(const QString& command, const QStringList& arguments) const
    {
        return QProcess::execute(command, QStringList{"-h", socketPath()} + arguments) == 0;
    }
    // Jobs of the queue not finished yet.
    [[nodiscard]] qsizetype heldJobs(const QString& queue) const
    {
        QProcess lpstat;
        lpstat.start("lpstat", {"-h", socketPath(), "-o", queue});
        lpstat.waitForFinished();
        return lpstat.readAll().count('\n');
    }

private:
    void write(const char* name, const QString& text)
    {
        QFile file(m_folder.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
            m_problem = "cannot write " + QByteArray(name);
    }

    QTemporaryDir m_folder{"/tmp/vornestw-cups-XXXXXX"};
    QProcess m_cupsd;
    QByteArray m_problem;
};

} // namespace vornestw::test
