#include "cupsprinter.h"
#include "displayprogram.h"
#include "eventloopwaiter.h"
#include "mainform.h"
#include "messageboxnotice.h"
#include "portchooser.h"
#include "printqueue.h"
#include "programfolders.h"
#include "qtseriallink.h"
#include "systemports.h"
#include "terminationsignal.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <optional>

namespace {

// `--list-ports` and `--help` need no display: they run before any window
// system is touched.
bool given(int argc, char* argv[], std::initializer_list<const char*> options)
{
    for (int i = 1; i < argc; ++i) {
        for (const char* option : options) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
    }
    return false;
}

// `--printer QUEUE` starts on that print queue; the name is checked here, so
// that a mistyped one is said before any window opens.
std::optional<QString> printerQueueOption(const QCoreApplication& app, bool& wrong)
{
    QCommandLineParser parser;
    parser.setApplicationDescription("Vornestw, the customer display utility.");
    parser.addHelpOption();
    const QCommandLineOption printer(
        "printer", "Send to the print server's queue QUEUE (\"\" for the default printer).",
        "QUEUE");
    parser.addOption(printer);
    parser.addOption(QCommandLineOption(
        "list-ports", "List the serial devices, the COM port each is bound to, and whether "
                      "you can use it; then end."));
    parser.process(app);
    // The utility opens no files: a word without an option is a mistyped one.
    if (const QStringList words = parser.positionalArguments(); !words.isEmpty()) {
        std::fprintf(stderr,
                     "vornestw: \"%s\" is not an option; vornestw --help lists the options "
                     "(a printer queue is given as --printer QUEUE)\n",
                     qPrintable(words.first()));
        wrong = true;
    }
    if (!parser.isSet(printer))
        return std::nullopt;
    const QString queue = parser.value(printer);
    if (!queue.isEmpty() && !vornestw::IsPrintQueueName(queue)) {
        std::fprintf(stderr, "vornestw: \"%s\" cannot be the name of a printer queue\n",
                     qPrintable(queue));
        wrong = true;
    }
    return queue;
}

int listPorts(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    bool wrong = false;
    (void)printerQueueOption(app, wrong);
    if (wrong)
        return 2;
    const auto folders = vornestw::ProgramFolders::ForThisProgram();
    vornestw::SystemPorts system;
    const auto rows = vornestw::ListPorts(system, vornestw::PortBindings(folders.user));
    if (rows.empty())
        std::printf("No serial device found.\n");
    for (const auto& row : rows)
        std::printf("%s\n", qPrintable(vornestw::PortLine(row)));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (given(argc, argv, {"--list-ports"}))
        return listPorts(argc, argv);
    if (given(argc, argv, {"-h", "--help", "--help-all", "-?"})) {
        QCoreApplication app(argc, argv);
        bool wrong = false;
        printerQueueOption(app, wrong); // prints the help and ends
    }
    vornestw::TerminationSignal::installHandlers();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Vornest");
    QGuiApplication::setDesktopFileName("vornestw");
    bool wrongOption = false;
    const auto printerQueue = printerQueueOption(app, wrongOption);
    if (wrongOption)
        return 2;

    const auto folders = vornestw::ProgramFolders::ForThisProgram();
    vornestw::QtSerialLink port(folders.user);
    vornestw::SystemPorts ports(folders.user);
    vornestw::EventLoopWaiter waiter;
    vornestw::CupsPrinter printer(waiter);
    vornestw::MessageBoxNotice notice;
    vornestw::DisplayProgram program(folders.data, folders.user, port, ports, printer, waiter,
                                     notice);
    if (printerQueue)
        program.ChoosePrinterQueue(*printerQueue);

    vornestw::TerminationSignal termination;
    QObject::connect(&termination, &vornestw::TerminationSignal::received, &program.mainForm(),
                     &vornestw::MainForm::EndSession);
    program.Main();
    return app.exec();
}
