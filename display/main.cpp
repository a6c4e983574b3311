#include "cupsprinter.h"
#include "displayprogram.h"
#include "eventloopwaiter.h"
#include "mainform.h"
#include "messageboxnotice.h"
#include "programfolders.h"
#include "qtseriallink.h"
#include "terminationsignal.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    vornestw::TerminationSignal::installHandlers();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Vornest");
    QGuiApplication::setDesktopFileName("vornestw");

    const auto folders = vornestw::ProgramFolders::ForThisProgram();
    vornestw::QtSerialLink port(folders.user);
    vornestw::EventLoopWaiter waiter;
    vornestw::CupsPrinter printer(waiter);
    vornestw::MessageBoxNotice notice;
    vornestw::DisplayProgram program(folders.data, folders.user, port, printer, waiter, notice);

    vornestw::TerminationSignal termination;
    QObject::connect(&termination, &vornestw::TerminationSignal::received, &program.mainForm(),
                     &QWidget::close);
    program.Main();
    return app.exec();
}
