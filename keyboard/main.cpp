#include "commandline.h"
#include "commandlinetransfer.h"
#include "evdevrepeatsettings.h"
#include "eventloopwaiter.h"
#include "hintmacrosform.h"
#include "htmlhelp.h"
#include "keybconf.h"
#include "keymodeform.h"
#include "languagetables.h"
#include "layoutcommands.h"
#include "layoutdocument.h"
#include "legendscommand.h"
#include "legendsform.h"
#include "mainform.h"
#include "portchooser.h"
#include "portlisting.h"
#include "programfolders.h"
#include "qtseriallink.h"
#include "qtuserdialogs.h"
#include "recoverykeeper.h"
#include "regularfile.h"
#include "repeatsettingsrecord.h"
#include "send2com.h"
#include "setparam.h"
#include "stdconsole.h"
#include "systemports.h"
#include "terminationsignal.h"
#include "testform.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QSessionManager>
#include <QSettings>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>

using namespace morvaw;

namespace {

// What went to standard output must have arrived there: "--export a.KBD >
// a.json" on a full disk is a failure, not a result.
int ReportedOutput(int code)
{
    if (std::fflush(stdout) == 0 && std::ferror(stdout) == 0)
        return code;
    std::fprintf(stderr, "morvaw: the output could not be written whole: %s\n",
                 std::strerror(errno));
    return 2;
}

// A layout's files without a window: --legends, --export, --import, --diff.
// Drawing the legends needs Qt Gui, which the offscreen platform gives
// without a display.
int RunLayoutCommand(const CommandLineOptions& options, int argc, char* argv[])
{
    using Mode = CommandLineOptions::LayoutMode;
    QTextStream out(stdout);
    QTextStream errors(stderr);
    auto file = [](const QString& name) {
        return std::filesystem::path(QFile::encodeName(name).toStdString());
    };
    const auto& files = options.layoutFiles;
    std::optional<std::filesystem::path> output;
    if (!options.output.isEmpty())
        output = file(options.output);
    switch (options.layoutMode) {
    case Mode::Legends: {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        const QGuiApplication app(argc, argv);
        return WriteLegendsPdf(file(files[0]), *output, options.legendSize, errors);
    }
    case Mode::Export:
        return ExportLayoutText(file(files[0]), output, out, errors);
    case Mode::Import:
        return ImportLayoutText(file(files[0]), *output, errors);
    case Mode::Diff:
        return DiffLayoutFiles(file(files[0]), file(files[1]), out, errors);
    case Mode::None:
        break;
    }
    return LayoutCommandFailed;
}

// The record of every unit programmed, from the window or the command line.
QString programmingLogPath()
{
    const auto state = ProgramFolders::StateHome();
    return state.empty() ? QString()
                         : QFile::decodeName((state / "morvaw" / "programming.log").c_str());
}

// "Fast: go on as soon as the keyboard answers" is the user's choice, kept
// in morvaw.conf beside PALIX.INI (whose bytes stay as they are), where the
// main window keeps its own.
QString preferencesPath(const ProgramFolders& folders)
{
    return QFile::decodeName((folders.user / "morvaw.conf").c_str());
}
const QString kFastKey = QStringLiteral("programming/fast");

// --program and --check: the programming service without a window.
int runProgrammingCommand(const ProgrammingCommand& command, int argc, char* argv[])
{
    TerminationSignal::installHandlers();
    // A reader of the progress that goes away ("| head", a closed pipe) must not
    // kill a transfer half way, before its unit is logged: the lines are lost.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    const ProgramFolders folders = ProgramFolders::ForThisProgram();
    EventLoopWaiter waiter;
    StdConsole console(waiter);
    if (command.mode == ProgrammingCommand::Mode::Check)
        return ReportedOutput(CheckLayoutCommand(command, console, folders));
    QtSerialLink port(folders.user);
    if (!command.device.isEmpty())
        port.useDevice(command.device);
    const ProgrammingLog log(programmingLogPath());
    CommandLineTransfer transfer({console, waiter, port, log, folders});
    TerminationSignal termination;
    QObject::connect(&termination, &TerminationSignal::received, [&transfer] { transfer.stop(); });
    return transfer.run(command);
}

} // namespace

// Makes the configurator's objects and windows and connects them: every
// window is opened over the main window with a value and hands a value back,
// which goes into the layout document here.
int main(int argc, char* argv[])
{
    const CommandLineOptions options = ReadCommandLine(argc, argv);
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "morvaw: %s\n%s", qPrintable(options.error),
                     qPrintable(CommandLineUsage()));
        return 2;
    }
    if (options.help) {
        std::fputs(qPrintable(CommandLineUsage()), stdout);
        return ReportedOutput(0);
    }
    if (const QString clash = OutputReplacesInput(options); !clash.isEmpty()) {
        std::fprintf(stderr, "morvaw: %s\n", qPrintable(clash));
        return 2;
    }
    if (options.listPorts) { // no display needed
        QCoreApplication app(argc, argv);
        const QString listing =
            ListPorts(options.keyboardDevice, ProgramFolders::ForThisProgram().user);
        std::fputs(listing.toLocal8Bit().constData(), stdout);
        return ReportedOutput(0);
    }
    if (options.layoutMode != CommandLineOptions::LayoutMode::None)
        return ReportedOutput(RunLayoutCommand(options, argc, argv));
    if (options.programming.mode != ProgrammingCommand::Mode::None) // no display needed
        return runProgrammingCommand(options.programming, argc, argv);
    TerminationSignal::installHandlers();
    QApplication app(argc, argv);
    QApplication::setApplicationName("MORVAW");
    QGuiApplication::setDesktopFileName("morvaw");
    // A layout named on the command line ("Open with" in a file manager);
    // Qt has taken its own options out by now.
    const QStringList named = LayoutsNamedForTheWindow(app.arguments());
    if (named.size() > 1)
        std::fprintf(stderr, "morvaw: opens one layout at a time; %s is opened\n",
                     qPrintable(named.first()));

    const ProgramFolders folders = ProgramFolders::ForThisProgram();
    LanguageTables tables(folders);
    LayoutDocument document;
    QtUserDialogs dialogs;
    HtmlHelp help;
    // The programming window's services outlive the windows.
    EventLoopWaiter waiter;
    QtSerialLink port(folders.user);
    // "Ports…": the machine's serial devices and the comN links beside PALIX.INI.
    SystemPorts systemPorts(folders.user);
    PortChooser portChooser(systemPorts, folders.user);
    const RepeatSettingsRecord repeatRecord(RepeatSettingsRecord::DefaultPath());
    EvdevRepeatSettings repeat(options.keyboardDevice, repeatRecord.path());
    MainForm mainForm(document, tables, folders, dialogs, help);
    dialogs.setParent(&mainForm);
    MainFormLogic& commands = mainForm.logic();

    // The key editor, made once: a copy of the clicked key in, the edited key
    // back into the document on Ok. Its messages are its own, as the main
    // window is disabled meanwhile.
    QtUserDialogs editorDialogs;
    KeyModeForm keyEditor(tables, folders.data, editorDialogs);
    editorDialogs.setParent(&keyEditor);
    int editedKey = 0;
    QObject::connect(&commands, &MainFormLogic::keyEditorRequested, &keyEditor,
                     [&](int key, const KeyRecord& record, std::uint8_t language) {
                         editedKey = key;
                         mainForm.holdFor(&keyEditor);
                         keyEditor.editKey(record, language,
                                           [&document, key](const KeyRecord& edited) {
                                               document.storeKey(key, edited);
                                           });
                     });
    QObject::connect(&keyEditor, &KeyModeForm::keyClosed, &mainForm,
                     [&] { mainForm.returnFromChild(&keyEditor); });

    // "List key macros": the right mouse button on a key.
    HintMacrosForm hint;
    QObject::connect(&commands, &MainFormLogic::keyDefinitionsRequested, &hint,
                     [&](const KeyRecord& record) {
                         mainForm.holdFor(&hint);
                         hint.open(record);
                     });
    QObject::connect(&hint, &HintMacrosForm::closed, &mainForm,
                     [&] { mainForm.returnFromChild(&hint); });

    // "Keyboard Configure": the options in, on Ok back with their language's tables.
    KeybConf keybConf;
    QObject::connect(&commands, &MainFormLogic::keyboardOptionsRequested, &keybConf,
                     [&](const KeyboardOptions& options) {
                         mainForm.holdFor(&keybConf);
                         keybConf.open(options);
                     });
    QObject::connect(&keybConf, &KeybConf::accepted, &commands,
                     &MainFormLogic::storeKeyboardOptions);
    QObject::connect(&keybConf, &KeybConf::closed, &mainForm,
                     [&] { mainForm.returnFromChild(&keybConf); });

    // "MSR Configure", in place of the hidden main window; the key editor
    // edits its four keys and hands them back to it. A logout meanwhile takes
    // both windows' work into the layout, as their two Oks would.
    SetParam setParam;
    QObject::connect(&commands, &MainFormLogic::msrParametersRequested, &setParam,
                     [&](const MsrSettings& settings) {
                         mainForm.holdFor(&setParam, MainForm::Hold::Hidden);
                         setParam.open(settings);
                     });
    QObject::connect(&setParam, &SetParam::accepted, &document, &LayoutDocument::setMsrSettings);
    QObject::connect(&setParam, &SetParam::closed, &mainForm,
                     [&] { mainForm.returnFromChild(&setParam); });
    QObject::connect(&setParam, &SetParam::keysWanted, &keyEditor, [&](const MsrLines& keys) {
        keyEditor.editMsrLines(keys, document.language(),
                               [&setParam](const MsrLines& edited) { setParam.takeKeys(edited); });
    });
    QObject::connect(&keyEditor, &KeyModeForm::msrClosed, &setParam,
                     &SetParam::returnFromKeyEditor);
    QObject::connect(&keyEditor, &KeyModeForm::msrEnded, &setParam, &SetParam::handOverForEnd);

    // "Print legends": reads the layout; its edited legends go beside the layout
    // file, or wait in the window until a layout with no name yet is saved.
    QtUserDialogs legendsDialogs;
    LegendsForm legends(legendsDialogs);
    legendsDialogs.setParent(&legends);
    QObject::connect(&commands, &MainFormLogic::legendsRequested, &legends, [&] {
        mainForm.holdFor(&legends);
        legends.open(document.records(), document.isUntitled() ? "" : document.fileName());
    });
    QObject::connect(&document, &LayoutDocument::saved, &legends, &LegendsForm::followSavedLayout);
    QObject::connect(&document, &LayoutDocument::replaced, &legends,
                     &LegendsForm::forgetUnnamedLegends);
    QObject::connect(&legends, &LegendsForm::closed, &mainForm,
                     [&] { mainForm.returnFromChild(&legends); });

    // The keyboard test: a new window for each test; F1 is back when it ends.
    QObject::connect(&commands, &MainFormLogic::testRequested, &mainForm, [&] {
        auto* form = new TestForm;
        mainForm.holdFor(form);
        QObject::connect(form, &TestForm::closed, &mainForm, [&, form] {
            commands.restoreAppHelpFile();
            mainForm.returnFromChild(form);
        });
        form->open();
    });

    // "Program Kbd" reads the layout, its scan table and the port when a
    // transfer starts, and hands back the port the user picks (kept in the
    // settings) and the keyboard flags a transfer leaves (kept in the document).
    // Each unit goes into the log; the fast choice is the user's preference.
    const ProgrammingLog programmingLog(programmingLogPath());
    QSettings preferences(preferencesPath(folders), QSettings::IniFormat);
    const ProgrammingServices programming{
        dialogs,
        waiter,
        port,
        repeat,
        [&] {
            TransferInput input;
            input.LayoutRecords = document.records();
            input.ScanTable = tables.tables().ScanTable;
            input.ScanCount = tables.tables().ScanCount;
            input.channel = ChannelOf(commands.settings().ComPortIndex);
            return input;
        },
        [&commands](int comPortIndex) { commands.setComPortIndex(comPortIndex); },
        [&document](std::uint8_t kbdFlags) { document.storeKbdFlags(kbdFlags); },
        [&document](int type) { document.setKeyboardType(type); },
        &portChooser,

        &programmingLog,
        [&document] { return QFile::decodeName(QByteArray::fromStdString(document.fileName())); },
        [&preferences] { return preferences.value(kFastKey, false).toBool(); },
        [&preferences](bool fast) {
            preferences.setValue(kFastKey, fast);
            preferences.sync();
        }};
    const auto openProgramming =
        ProgrammingWindowOpener(programming, &mainForm, [&mainForm] { mainForm.syncView(); });
    QObject::connect(&commands, &MainFormLogic::programmingRequested, &mainForm,
                     [openProgramming] { openProgramming(); });

    // Unsaved changes are kept in a recovery copy until they are saved or
    // dropped. A logout or a kill ends the program as closing the main window
    // does, but without a question: the copy and PALIX.INI are written at
    // once, a transfer stops, and no other window is left behind.
    RecoveryKeeper recovery(document, ProgramFolders::RecoveryFolder(), dialogs);
    // The legends of a layout with no name yet live in the legends window:
    // the copy keeps them too, and gives them back with the layout.
    QObject::connect(&legends, &LegendsForm::unnamedLegendsChanged, &recovery,
                     &RecoveryKeeper::keepLegends);
    const auto endOnRequest = [&] {
        recovery.keepForEnd();
        commands.endSession();
        TerminateProgramming(&mainForm, [&mainForm] { mainForm.closeForTermination(); });
    };
    TerminationSignal termination;
    QObject::connect(&termination, &TerminationSignal::received, &mainForm, endOnRequest);
    termination.takeQuitRequests([] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::any_of(windows.begin(), windows.end(),
                           [](const QWidget* window) { return window->isVisible(); });
    });
    // The session manager saves before a logout (and at its checkpoints): the
    // copy it will restore the program with, holding what Define Key's Ok
    // would put into the layout (the editor stays open, and Cancel still
    // drops it), and the settings; its "die" then ends the program as above.
    const auto keepForSession = [&](QSessionManager& manager) {
        std::optional<QByteArray> withEditor;
        if (const auto key = keyEditor.unconfirmedKey(); key && *key != document.key(editedKey))
            withEditor = document.layoutBytesWithKey(editedKey, *key);
        recovery.keepNow(manager.sessionId() + QLatin1Char('_') + manager.sessionKey(), withEditor);
        commands.saveSettingsForSession();
    };
    // Once Define Key closes, the copy holds the layout again.
    QObject::connect(&keyEditor, &KeyModeForm::keyClosed, &recovery,
                     &RecoveryKeeper::followDocument);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &mainForm, keepForSession,
                     Qt::DirectConnection);
    QObject::connect(&app, &QGuiApplication::saveStateRequest, &mainForm, keepForSession,
                     Qt::DirectConnection);
    mainForm.show();
    // The copies of configurators that ended with unsaved changes; a restart
    // by the session manager takes its own back without asking.
    QTimer::singleShot(0, &mainForm, [&] {
        const QString session = app.isSessionRestored()
                                    ? app.sessionId() + QLatin1Char('_') + app.sessionKey()
                                    : QString();
        recovery.offerLeftCopies(session, [&](const RecoveryCopy& copy) {
            if (!commands.restoreRecovered(copy))
                return false;
            if (document.isUntitled())
                legends.holdUnnamedLegends(copy.legends);
            return true;
        });
        // After the recovery question, so that restored changes are asked
        // about before the named layout replaces them.
        if (!named.isEmpty())
            commands.openLayoutFile(FromQtPath(QFileInfo(named.first()).absoluteFilePath()));
        mainForm.syncView();
    });
    // A transfer that could not end (a crash, a kill -9) left the keyboard's
    // repeat settings changed: they go back, and the user hears of it.
    const QString leftover =
        PutBackLeftoverSettings(repeatRecord, &EvdevRepeatSettings::WriteSaved);
    if (!leftover.isEmpty()) {
        std::fprintf(stderr, "morvaw: %s\n", qPrintable(leftover));
        QTimer::singleShot(0, &mainForm, [&dialogs, leftover] {
            dialogs.inform(leftover, QStringLiteral("MORVAW"));
        });
    }
    return app.exec();
}
