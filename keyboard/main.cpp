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

    // Programming reads the layout, its scan table and the port when it needs
    // them, and hands back the port the user picks and the keyboard flags a
    // transfer leaves; here they live in the configurator's state.
    const morvaw::ProgrammingServices programming{
        dialogs,
        waiter,
        port,
        repeat,
        [&state] {
            morvaw::TransferInput input;
            input.LayoutRecords = state->LayoutRecords;
            input.ScanTable = state->Tables.ScanTable;
            input.ScanCount = state->Tables.ScanCount;
            input.channel = morvaw::ChannelOf(state->ComPortIndex);
            return input;
        },
        [&state](int comPortIndex) {
            state->ComPortIndex = static_cast<std::uint16_t>(comPortIndex);
        },
        [&state](std::uint8_t kbdFlags) {
            state->LayoutRecords[morvaw::Settings::KbdFlags].PosX = kbdFlags;
        }};
    mainForm.logic().windows().showProgramming = morvaw::ProgrammingWindowOpener(
        programming, &mainForm, [&mainForm] { mainForm.syncView(); });

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
