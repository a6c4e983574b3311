#include "configuratorstate.h"
#include "evdevrepeatsettings.h"
#include "eventloopwaiter.h"
#include "htmlhelp.h"
#include "keymodeform.h"
#include "mainform.h"
#include "qtseriallink.h"
#include "qtuserdialogs.h"
#include "send2com.h"
#include "terminationsignal.h"

#include <QApplication>

#include <memory>

int main(int argc, char* argv[])
{
    morvaw::TerminationSignal::installHandlers();
    QApplication app(argc, argv);
    QApplication::setApplicationName("MORVAW");

    auto state = std::make_unique<morvaw::ConfiguratorState>();
    morvaw::InitialiseConfigurator(*state, QCoreApplication::applicationDirPath().toStdString());

    morvaw::QtUserDialogs dialogs;
    morvaw::HtmlHelp help;
    // The programming window's services outlive the windows.
    morvaw::EventLoopWaiter waiter;
    morvaw::QtSerialLink port(QCoreApplication::applicationDirPath());
    morvaw::EvdevRepeatSettings repeat;
    morvaw::MainForm mainForm(*state, dialogs, help);
    dialogs.setParent(&mainForm);

    mainForm.logic().windows().showProgramming = morvaw::ProgrammingWindowOpener(
        {*state, dialogs, waiter, port, repeat}, &mainForm, [&mainForm] { mainForm.syncView(); });

    // The key editor is made once and only hidden and shown afterwards; its
    // messages belong to it, as the main window is disabled meanwhile.
    morvaw::QtUserDialogs editorDialogs;
    morvaw::KeyModeForm keyModeForm(*state, editorDialogs);
    editorDialogs.setParent(&keyModeForm);
    keyModeForm.attachToMainForm(mainForm);

    morvaw::TerminationSignal termination;
    QObject::connect(&termination, &morvaw::TerminationSignal::received, &mainForm,
                     &QWidget::close);
    mainForm.show();
    return app.exec();
}
