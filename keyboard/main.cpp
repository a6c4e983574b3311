#include "configuratorstate.h"
#include "evdevrepeatsettings.h"
#include "eventloopwaiter.h"
#include "hintmacrosform.h"
#include "htmlhelp.h"
#include "keybconf.h"
#include "keymodeform.h"
#include "mainform.h"
#include "programfolders.h"
#include "qtseriallink.h"
#include "qtuserdialogs.h"
#include "send2com.h"
#include "setparam.h"
#include "terminationsignal.h"
#include "testform.h"

#include <QApplication>
#include <QFile>

#include <memory>

int main(int argc, char* argv[])
{
    morvaw::TerminationSignal::installHandlers();
    QApplication app(argc, argv);
    QApplication::setApplicationName("MORVAW");
    QGuiApplication::setDesktopFileName("morvaw");

    const auto folders = morvaw::ProgramFolders::ForThisProgram();
    auto state = std::make_unique<morvaw::ConfiguratorState>();
    morvaw::InitialiseConfigurator(*state, folders.data, folders.user);

    morvaw::QtUserDialogs dialogs;
    morvaw::HtmlHelp help;
    // The programming window's services outlive the windows.
    morvaw::EventLoopWaiter waiter;
    morvaw::QtSerialLink port(QFile::decodeName(QByteArray::fromStdString(folders.user.native())));
    morvaw::EvdevRepeatSettings repeat;
    morvaw::MainForm mainForm(*state, dialogs, help);
    dialogs.setParent(&mainForm);

    // The programming window reads the port when it opens and the main window
    // keeps the one it hands back in the settings file.
    const auto openProgramming = morvaw::ProgrammingWindowOpener(
        {*state, dialogs, waiter, port, repeat}, &mainForm, [&mainForm, &state] {
            mainForm.logic().setComPortIndex(state->ComPortIndex);
            mainForm.syncView();
        });
    mainForm.logic().windows().showProgramming = [&mainForm, &state, openProgramming] {
        state->ComPortIndex = mainForm.logic().settings().ComPortIndex;
        openProgramming();
    };

    // The key editor is made once and only hidden and shown afterwards; its
    // messages belong to it, as the main window is disabled meanwhile.
    morvaw::QtUserDialogs editorDialogs;
    morvaw::KeyModeForm keyModeForm(*state, editorDialogs);
    editorDialogs.setParent(&keyModeForm);
    keyModeForm.attachToMainForm(mainForm);

    // The options windows and the hint are made once; a test window is made
    // for each test.
    morvaw::KeybConf keybConf(*state);
    keybConf.attachToMainForm(mainForm);
    morvaw::SetParam setParam(*state);
    setParam.attach(mainForm, keyModeForm);
    morvaw::HintMacrosForm hintMacrosForm(*state);
    hintMacrosForm.attachToMainForm(mainForm);
    morvaw::TestForm::attachToMainForm(mainForm);

    morvaw::TerminationSignal termination;
    QObject::connect(&termination, &morvaw::TerminationSignal::received, &mainForm, [&mainForm] {
        morvaw::TerminateProgramming(&mainForm, [&mainForm] { mainForm.close(); });
    });
    mainForm.show();
    return app.exec();
}
