#include "cupsprinter.h"
#include "displayprogram.h"
#include "eventloopwaiter.h"
#include "mainform.h"
#include "messageboxnotice.h"
#include "printqueue.h"
#include "programfolders.h"
#include "qtseriallink.h"
#include "terminationsignal.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <optional>

namespace {

// `--printer QUEUE` starts on that print queue; the name is checked here, so
// that a mistyped one is said before any window opens.
std::optional<QString> printerQueueOption(const QApplication& app, bool& wrong)
{
    QCommandLineParser parser;
    parser.setApplicationDescription("Vornestw, the customer display utility.");
    parser.addHelpOption();
    const QCommandLineOption printer(
        "printer", "Send to the print server's queue QUEUE (\"\" for the default printer).",
        "QUEUE");
    parser.addOption(printer);
    parser.process(app);
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

} // namespace

int main(int argc, char* argv[])
{
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
    vornestw::EventLoopWaiter waiter;
    vornestw::CupsPrinter printer(waiter);
    vornestw::MessageBoxNotice notice;
    vornestw::DisplayProgram program(folders.data, folders.user, port, printer, waiter, notice);
    if (printerQueue)
        program.ChoosePrinterQueue(*printerQueue);

    vornestw::TerminationSignal termination;
    QObject::connect(&termination, &vornestw::TerminationSignal::received, &program.mainForm(),
                     &QWidget::close);
    program.Main();
    return app.exec();
}
