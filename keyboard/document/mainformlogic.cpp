#include "mainformlogic.h"

#include "configuratorstate.h"
#include "definitiontext.h"
#include "filenames.h"
#include "helpadapter.h"
#include "layoutfile.h"
#include "settingsfile.h"

#include <QDir>

#include <filesystem>

namespace morvaw {

std::string LayoutCaption(const ConfiguratorState& state)
{
    return "KBD Layout: " + TrimName(state.LayoutFileName) +
           std::string(LanguageSuffix(state.CurrentLanguage));
}

MainFormLogic::MainFormLogic(ConfiguratorState& state, UserDialogs& dialogs, HelpAdapter& help)
    : m_state(state), m_dialogs(dialogs), m_help(help)
{
}

FileDialogSettings MainFormLogic::LayoutDialogSettings()
{
    return {QStringLiteral("KBD layout files (*.KBD)|*.kbd|All files (*.*)|*.*"),
            QStringLiteral("KBD"), QStringLiteral("*.KBD")};
}

const std::string& MainFormLogic::KeyCaption(int index) const
{
    return m_keyCaptions.at(static_cast<std::size_t>(index));
}

// --- Window events ---

void MainFormLogic::Form_Load(float width, float height)
{
    m_picture.resize(width, height, false);
    m_helpFile =
        QDir(ToQtPath(m_state.AppPath.string())).filePath(QString::fromLatin1(kHelpFileName));
    m_appHelpFile = m_helpFile;
    m_state.StcTableChanged = false;
    LoadKeybDesk();
    for (std::string& recent : m_settings.RecentFiles)
        recent = Trim(recent, Padding::SpacesAndNuls);
    DisplayLastFiles();
}

void MainFormLogic::ReportIncompleteInstallation()
{
    const std::vector<std::string> shortages = DataFileShortages(m_state.AppPath);
    if (shortages.empty())
        return;
    QString text = QStringLiteral("The program's installation is incomplete. These keyboard data "
                                  "files in\n%1\nare missing or short:\n\n")
                       .arg(ToQtPath(m_state.AppPath.string()));
    for (const std::string& line : shortages)
        text += QStringLiteral("    %1\n").arg(ToQtPath(line));
    text += QStringLiteral("\nKey names and on-screen keys whose data is missing stay blank. "
                           "Installing the program again mends it.");
    m_dialogs.warn(text, QString::fromLatin1(kApplicationTitle));
}

void MainFormLogic::LoadKeybDesk()
{
    m_settings = LoadIni(SettingsFilePath(m_state.UserFolder()));
    // The buttons exist from the start; place each one on the grid.
    do_resize_main_form();
    // A missing last layout (UNTITLED.KBD on the first start) is normal: no message.
    LoadFileKbd(m_settings.LayoutFileName, LoadReport::Silent);
}

void MainFormLogic::Form_Activate()
{
    do_resize_main_form();
    m_state.MsrEditStatus() = 0;
    SetAllKeyCaptions();
}

void MainFormLogic::Form_Resize(float width, float height, bool minimized)
{
    m_picture.resize(width, height, minimized);
    do_resize_main_form();
}

void MainFormLogic::do_resize_main_form()
{
    m_picture.arrange(m_state.LayoutRecords[Settings::KbdShape].PosX);
}

bool MainFormLogic::Form_Unload()
{
    bool cancel = false;
    if (m_state.LayoutChanged) {
        switch (m_dialogs.askYesNoCancel(QString::fromLatin1(kUnloadPrompt),
                                         QString::fromLatin1(kApplicationTitle))) {
        case Answer::Yes:
            cancel = !SaveUnderChosenName();
            break;
        case Answer::No:
            m_state.LayoutChanged = false;
            break;
        default:
            cancel = true;
            break;
        }
    }
    SaveSettings();
    if (cancel)
        return false;
    m_help.showHelp(m_helpFile, HelpCommand::Quit, 0);
    return true;
}

// --- Layout file ---

void MainFormLogic::SetCaption()
{
    m_caption = LayoutCaption(m_state);
}

void MainFormLogic::SetAllKeyCaptions()
{
    for (int i = 0; i < kKeyCount; ++i)
        m_keyCaptions[static_cast<std::size_t>(i)] =
            fnCaption(m_state.LayoutRecords[static_cast<std::size_t>(i + 1)]);
}

bool MainFormLogic::LoadFileKbd(const std::string& fname, LoadReport report)
{
    const std::string name = TrimName(fname);
    if (report == LoadReport::Reported) {
        const FileOutcome read = ReadLayoutFile(name, m_state.LayoutRecords);
        if (!read.ok) {
            reportFailure(QStringLiteral("The layout could not be loaded from"), name, read.reason);
            return false;
        }
    } else {
        ReadLayoutFilePartly(name, m_state.LayoutRecords);
    }

    m_state.CurrentLanguage = m_state.LayoutRecords[Settings::KbdLanguage].PosX;
    // LoadLanguageTables picks the language's STC file.
    LoadLanguageTables(m_state);
    if (!name.empty() && !IsWildcardName(name))
        m_state.LayoutFileName = name;
    SetCaption();
    do_resize_main_form();
    SetAllKeyCaptions();
    return true;
}

bool MainFormLogic::SaveFileKbd(const std::string& fname)
{
    const std::string name = TrimName(fname);
    m_state.LayoutRecords[Settings::KbdLanguage].PosX = m_state.CurrentLanguage;
    const FileOutcome written = WriteLayoutFile(name, m_state.LayoutRecords);
    if (written.ok) {
        m_state.CurrentLanguage = m_state.LayoutRecords[Settings::KbdLanguage].PosX;
        if (!name.empty() && !IsWildcardName(name))
            m_state.LayoutFileName = name;
        SetCaption();
    }
    if (!written.ok)
        reportFailure(QStringLiteral("The layout could not be saved to"), name, written.reason);
    // The settings file is written even when the layout could not be.
    SaveSettings();
    return written.ok;
}

void MainFormLogic::SaveSettings()
{
    m_settings.LayoutFileName = m_state.LayoutFileName;
    const FileOutcome saved = SaveIni(SettingsFilePath(m_state.UserFolder()), m_settings);
    // Saved after nearly every command: one message per run is enough.
    if (saved.ok || m_settingsFailureReported)
        return;
    m_settingsFailureReported = true;
    reportFailure(QStringLiteral("The settings could not be saved to"),
                  SettingsFilePath(m_state.UserFolder()).string(), saved.reason);
}

void MainFormLogic::reportFailure(const QString& what, const std::string& name,
                                  const QString& reason)
{
    m_dialogs.warn(QStringLiteral("%1\n%2\n\n%3").arg(what, ToQtPath(name), reason),
                   QString::fromLatin1(kApplicationTitle));
}

// --- Menu commands ---

void MainFormLogic::DisplayLastFiles()
{
    morvaw::DisplayLastFiles(m_settings.RecentFiles, m_recentVisible);
}

MainFormLogic::Flow MainFormLogic::SavePrompt(bool fromNew)
{
    if (!m_state.LayoutChanged)
        return Flow::GoOn;
    switch (m_dialogs.askYesNoCancel(QString::fromLatin1(kSavePrompt),
                                     QString::fromLatin1(kApplicationTitle))) {
    case Answer::Yes: {
        if (fromNew) {
            AftUpdateFileName(m_settings.RecentFiles, m_state.LayoutFileName);
            DisplayLastFiles();
        }
        const auto chosen = m_dialogs.saveFileName(LayoutDialogSettings());
        if (!chosen)
            return Flow::Abandon;
        // A failed save keeps the changes and stops the command that would drop them.
        return SaveAs(FromQtPath(*chosen)) ? Flow::GoOn : Flow::Abandon;
    }
    case Answer::No:
        return Flow::GoOn;
    default:
        return Flow::Abandon;
    }
}

bool MainFormLogic::SaveAs(const std::string& name)
{
    const bool wasChanged = m_state.LayoutChanged;
    m_state.LayoutChanged = false;
    const bool saved = SaveFileKbd(name);
    if (!saved)
        m_state.LayoutChanged = wasChanged;
    (void)PreUpdateFileName(name);
    DisplayLastFiles();
    return saved;
}

bool MainFormLogic::SaveUnderChosenName()
{
    for (;;) {
        const auto chosen = m_dialogs.saveFileName(LayoutDialogSettings());
        if (!chosen)
            return false;
        std::error_code error;
        if (!std::filesystem::exists(FromQtPath(*chosen), error))
            return SaveAs(FromQtPath(*chosen));
        switch (m_dialogs.askYesNoCancel(QString::fromLatin1(kOverwritePrompt),
                                         QString::fromLatin1(kApplicationTitle))) {
        case Answer::Yes: {
            const bool saved = SaveAs(FromQtPath(*chosen));
            SaveSettings();
            return saved;
        }
        case Answer::No:
            continue;
        default:
            return false;
        }
    }
}

void MainFormLogic::File_Click(int index)
{
    switch (index) {
    case FileNew:
        NewLayoutCommand();
        break;
    case FileLoad:
        LoadCommand();
        break;
    case FileSave:
        SaveCommand();
        break;
    case FileSaveAs:
        (void)SaveUnderChosenName();
        break;
    case FileRecent1:
    case FileRecent2:
    case FileRecent3:
        RecentCommand(index - FileRecent1);
        break;
    default:
        break;
    }
}

void MainFormLogic::NewLayoutCommand()
{
    if (SavePrompt(true) == Flow::Abandon)
        return;
    SaveSettings();
    NewLayout(m_state.LayoutRecords);
    do_resize_main_form();
    SetAllKeyCaptions();
    m_state.LayoutRecords[Settings::KbdLanguage].PosX = 0;
    m_state.CurrentLanguage = 0;
    m_state.LayoutFileName = kUntitledName;
    SetCaption();
    m_state.LayoutChanged = true;
    DisplayLastFiles();
}

void MainFormLogic::LoadCommand()
{
    AftUpdateFileName(m_settings.RecentFiles, m_state.LayoutFileName);
    DisplayLastFiles();
    if (SavePrompt(false) == Flow::Abandon)
        return;
    SaveSettings();
    const auto chosen = m_dialogs.openFileName(LayoutDialogSettings());
    if (!chosen)
        return;
    OpenLayout(FromQtPath(*chosen));
}

void MainFormLogic::RecentCommand(int item)
{
    const std::string name = m_settings.RecentFiles.at(static_cast<std::size_t>(item));
    AftUpdateFileName(m_settings.RecentFiles, m_state.LayoutFileName);
    DisplayLastFiles();
    if (SavePrompt(false) == Flow::Abandon)
        return;
    SaveSettings();
    OpenLayout(name);
}

void MainFormLogic::OpenLayout(const std::string& name)
{
    const bool loaded = LoadFileKbd(name, LoadReport::Reported);
    const std::string trimmed = TrimName(name);
    if (loaded && !trimmed.empty() && !IsWildcardName(trimmed)) {
        m_state.LayoutFileName = trimmed;
        (void)PreUpdateFileName(trimmed);
        m_state.LayoutChanged = false;
    }
    DisplayLastFiles();
}

void MainFormLogic::SaveCommand()
{
    // A layout never saved is written as UNTITLED.KBD in the current folder.
    if (SaveFileKbd(m_state.LayoutFileName))
        m_state.LayoutChanged = false;
}

void MainFormLogic::Configure1_Click()
{
    if (!m_windows.showKeybConf)
        return;
    m_state.LayoutChanged = true;
    m_windows.showKeybConf();
}

void MainFormLogic::Configure_Click()
{
    if (!m_windows.showMsrParameters)
        return;
    m_state.LayoutChanged = true;
    m_state.MsrEditStatus() = 0;
    m_state.MsrEditMode = true;
    m_windows.showMsrParameters();
}

void MainFormLogic::Edit_Click(int index)
{
    switch (index) {
    case 1: // Set Param, hidden: the MSR parameters as from the MSR-reader menu
        Configure_Click();
        break;
    case 2:
        if (!m_windows.showTest)
            return;
        // The test window takes the keys; F1 there must not open help.
        m_appHelpFile.clear();
        m_windows.showTest();
        break;
    case 4:
        // The programming window sets its keep-running flag when it opens.
        if (m_windows.showProgramming)
            m_windows.showProgramming();
        break;
    default:
        break;
    }
}

void MainFormLogic::Contents_Click()
{
    m_help.showHelp(m_helpFile, HelpCommand::Contents, 0);
}

void MainFormLogic::How_To_Use_Help_Click()
{
    m_help.showHelp(m_helpFile, HelpCommand::HelpOnHelp, 0);
}

void MainFormLogic::ContextHelp(int context)
{
    if (!m_appHelpFile.isEmpty())
        m_help.showHelp(m_appHelpFile, HelpCommand::Context, context);
}

void MainFormLogic::About_Click()
{
    m_dialogs.inform(QStringLiteral("MorvaWin Version 1.97\n\n"
                                    "Keyboard configurator for the 84-key programmable "
                                    "point-of-sale keyboard."),
                     QString::fromLatin1(kAboutTitle));
}

// --- Key buttons ---

void MainFormLogic::CopyKeyToWorkKey(int index)
{
    const KeyRecord& r = m_state.LayoutRecords.at(static_cast<std::size_t>(index + 1));
    KeyRecord& w = m_state.WorkKey;
    // Spare stays as the work copy had it. The fourth definition comes along:
    // the editor copies it back on Ok, so a key must not take another's.
    w.PosY = r.PosY;
    w.PosX = r.PosX;
    w.KeyWord = r.KeyWord;
    w.Matrix = r.Matrix;
    w.Label = r.Label;
    w.Def0 = r.Def0;
    w.Len0 = r.Len0;
    w.Def1 = r.Def1;
    w.Len1 = r.Len1;
    w.Def2 = r.Def2;
    w.Len2 = r.Len2;
    w.Def3 = r.Def3;
    w.Len3 = r.Len3;
    w.RepeatFlags = r.RepeatFlags;
    w.Tail = r.Tail;
}

void MainFormLogic::KeyBtn_Click(int index)
{
    if (index < 0 || index >= kKeyCount)
        return;
    m_state.LayoutChanged = true;
    CopyKeyToWorkKey(index);
    m_state.SelectedKey = index;
    LoadLanguageTables(m_state);
    m_state.MsrEditStatus() = 0;
    m_state.MsrEditMode = false;
    if (m_windows.showKeyEditor)
        m_windows.showKeyEditor();
}

void MainFormLogic::KeyBtn_MouseDown(int index, Qt::MouseButton button)
{
    if (button != Qt::RightButton || index < 0 || index >= kKeyCount)
        return;
    CopyKeyToWorkKey(index);
    if (m_windows.showMacroHint)
        m_windows.showMacroHint();
}

} // namespace morvaw
