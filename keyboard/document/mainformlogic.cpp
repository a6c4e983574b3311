#include "mainformlogic.h"

#include "definitiontext.h"
#include "displaytext.h"
#include "filenames.h"
#include "helpadapter.h"
#include "keypictures.h"
#include "languagetables.h"
#include "layoutdocument.h"
#include "regularfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <filesystem>
#include <utility>

namespace morvaw {

namespace {

// The configurator's own preferences, beside PALIX.INI, whose format is fixed.
const QString kPreferencesFile = QStringLiteral("morvaw.conf");
const QString kShowKeyText = QStringLiteral("view/showKeyText");

QString preferencesPath(const FileFolders& folders)
{
    return QDir(ToQtPath(folders.user.string())).filePath(kPreferencesFile);
}

} // namespace

std::string LayoutCaption(const LayoutDocument& document)
{
    return "KBD Layout: " + TrimName(document.fileName()) +
           std::string(LanguageSuffix(document.language()));
}

MainFormLogic::MainFormLogic(LayoutDocument& document, LanguageTables& tables, FileFolders folders,
                             UserDialogs& dialogs, HelpAdapter& help)
    : m_document(document), m_tables(tables), m_folders(std::move(folders)), m_dialogs(dialogs),
      m_help(help)
{
    if (m_folders.user.empty())
        m_folders.user = m_folders.data;
}

FileDialogSettings MainFormLogic::LayoutDialogSettings()
{
    return {QStringLiteral("KBD layout files (*.KBD)|*.kbd|All files (*.*)|*.*"),
            QStringLiteral("KBD"), QStringLiteral("*.KBD")};
}

FileDialogSettings MainFormLogic::SaveDialogSettings() const
{
    FileDialogSettings settings = LayoutDialogSettings();
    if (!m_document.isUntitled())
        settings.initialName =
            QFileInfo(ToQtPath(TrimName(m_document.fileName()))).absoluteFilePath();
    return settings;
}

std::string MainFormLogic::caption() const
{
    return LayoutCaption(m_document);
}

std::string MainFormLogic::keyCaption(int key) const
{
    return m_showKeyText ? ReadableDefinition(m_document.key(key).definition(0))
                         : fnCaption(m_document.key(key));
}

QString MainFormLogic::undoCommand() const
{
    return m_document.canUndo() ? QStringLiteral("&Undo %1").arg(m_document.undoText())
                                : QStringLiteral("&Undo");
}

QString MainFormLogic::redoCommand() const
{
    return m_document.canRedo() ? QStringLiteral("&Redo %1").arg(m_document.redoText())
                                : QStringLiteral("&Redo");
}

// --- Window events ---

void MainFormLogic::load(float width, float height)
{
    m_picture.resize(width, height, false);
    m_helpFile =
        QDir(ToQtPath(m_folders.data.string())).filePath(QString::fromLatin1(kHelpFileName));
    m_appHelpFile = m_helpFile;
    m_settings = LoadIni(SettingsFilePath(m_folders.user));
    m_showKeyText = QSettings(preferencesPath(m_folders), QSettings::IniFormat)
                        .value(kShowKeyText, false)
                        .toBool();
    // The buttons exist from the start; place each one on the grid.
    refresh();
    // A missing last layout (UNTITLED.KBD on the first start) is normal: no message.
    LoadFileKbd(m_settings.LayoutFileName, LoadReport::Silent);
    for (std::string& recent : m_settings.RecentFiles)
        recent = Trim(recent, Padding::SpacesAndNuls);
    DisplayLastFiles();
}

void MainFormLogic::reportIncompleteInstallation()
{
    const std::vector<std::string> shortages = DataFileShortages(m_folders.data);
    if (shortages.empty())
        return;
    QString text = QStringLiteral("The program's installation is incomplete. These keyboard data "
                                  "files in\n%1\nare missing or short:\n\n")
                       .arg(ToQtPath(m_folders.data.string()));
    for (const std::string& line : shortages)
        text += QStringLiteral("    %1\n").arg(ToQtPath(line));
    text += QStringLiteral("\nKey names and on-screen keys whose data is missing stay blank. "
                           "Installing the program again mends it.");
    m_dialogs.warn(text, QString::fromLatin1(kApplicationTitle));
}

void MainFormLogic::refresh()
{
    m_picture.arrange(m_document.setting(Settings::KbdShape));
}

void MainFormLogic::resize(float width, float height, bool minimized)
{
    m_picture.resize(width, height, minimized);
    refresh();
}

bool MainFormLogic::unload()
{
    bool cancel = false;
    if (m_document.isChanged() && !m_ending) {
        switch (m_dialogs.askYesNoCancel(QString::fromLatin1(kUnloadPrompt),
                                         QString::fromLatin1(kApplicationTitle))) {
        case Answer::Yes:
            cancel = !SaveUnderChosenName();
            break;
        case Answer::No:
            m_document.markUnchanged();
            break;
        default:
            cancel = true;
            break;
        }
    }
    // A logout while the question was open ends the program all the same.
    cancel = cancel && !m_ending;
    SaveSettings();
    if (cancel)
        return false;
    m_help.showHelp(m_helpFile, HelpCommand::Quit, 0);
    return true;
}

void MainFormLogic::endSession()
{
    m_ending = true;
    SaveSettings();
}

void MainFormLogic::saveSettingsForSession()
{
    SaveSettings(true);
}

bool MainFormLogic::restoreRecovered(const RecoveryCopy& copy)
{
    const std::string left = m_document.fileName();
    if (!m_document.recover(copy.layout, copy.fileName, copy.onDisk))
        return false;
    // The layout it takes the place of goes into the recent list, as at Load.
    AftUpdateFileName(m_settings.RecentFiles, left);
    m_tables.load(m_document.language());
    refresh();
    DisplayLastFiles();
    return true;
}

// --- Layout file ---

bool MainFormLogic::LoadFileKbd(const std::string& fname, LoadReport report)
{
    const FileOutcome read =
        m_document.load(fname, report == LoadReport::Reported ? LayoutDocument::LoadMode::Whole
                                                              : LayoutDocument::LoadMode::Partly);
    if (!read.ok) {
        reportFailure(QStringLiteral("The layout could not be loaded from"), TrimName(fname),
                      read.reason);
        return false;
    }
    // The language's tables and its STC file.
    m_tables.load(m_document.language());
    refresh();
    return true;
}

bool MainFormLogic::SaveFileKbd(const std::string& fname)
{
    switch (checkFileOnDisk(fname)) {
    case OnDisk::Overwrite:
        break;
    case OnDisk::SaveElsewhere:
        return SaveUnderChosenName();
    case OnDisk::Cancel:
        return false;
    }
    const FileOutcome written = m_document.save(fname);
    if (!written.ok)
        // Where a save fails the changes stay, and another place may take them.
        reportFailure(QStringLiteral("The layout could not be saved to"), TrimName(fname),
                      written.reason + QStringLiteral("\n\nThe layout stays in the window: save it "
                                                      "elsewhere with File > Save As."));
    // The settings file is written even when the layout could not be.
    SaveSettings();
    return written.ok;
}

MainFormLogic::OnDisk MainFormLogic::checkFileOnDisk(const std::string& name)
{
    const FileIdentity& known = m_document.fileOnDisk();
    if (known.path.empty() || AbsolutePath(TrimName(name)) != known.path || !ChangedOnDisk(known))
        return OnDisk::Overwrite;
    const int choice = m_dialogs.askChoice(
        QString::fromLatin1(kChangedOnDiskPrompt).arg(ToQtPath(known.path.string())),
        QString::fromLatin1(kApplicationTitle),
        {QStringLiteral("&Overwrite"), QStringLiteral("Save &As"), QStringLiteral("&Cancel")});
    return choice == 0 ? OnDisk::Overwrite : choice == 1 ? OnDisk::SaveElsewhere : OnDisk::Cancel;
}

void MainFormLogic::SaveSettings(bool quiet)
{
    m_settings.LayoutFileName = m_document.fileName();
    const FileOutcome saved = SaveIni(SettingsFilePath(m_folders.user), m_settings);
    // Saved after nearly every command: one message per run is enough, and
    // none while the program ends on request.
    if (saved.ok || m_settingsFailureReported || m_ending || quiet)
        return;
    m_settingsFailureReported = true;
    reportFailure(QStringLiteral("The settings could not be saved to"),
                  SettingsFilePath(m_folders.user).string(), saved.reason);
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
    if (!m_document.isChanged())
        return Flow::GoOn;
    switch (m_dialogs.askYesNoCancel(QString::fromLatin1(kSavePrompt),
                                     QString::fromLatin1(kApplicationTitle))) {
    case Answer::Yes: {
        if (fromNew) {
            AftUpdateFileName(m_settings.RecentFiles, m_document.fileName());
            DisplayLastFiles();
        }
        const auto chosen = m_dialogs.saveFileName(SaveDialogSettings());
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
    // Unchanged only once it is saved: until then the recovery copy stays.
    const bool saved = SaveFileKbd(name);
    if (saved)
        m_document.markUnchanged();
    (void)PreUpdateFileName(name);
    DisplayLastFiles();
    return saved;
}

bool MainFormLogic::SaveUnderChosenName()
{
    for (;;) {
        const auto chosen = m_dialogs.saveFileName(SaveDialogSettings());
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

void MainFormLogic::newLayout()
{
    if (SavePrompt(true) == Flow::Abandon)
        return;
    SaveSettings();
    m_document.newLayout();
    refresh();
    DisplayLastFiles();
}

void MainFormLogic::loadLayout()
{
    AftUpdateFileName(m_settings.RecentFiles, m_document.fileName());
    DisplayLastFiles();
    if (SavePrompt(false) == Flow::Abandon)
        return;
    SaveSettings();
    const auto chosen = m_dialogs.openFileName(LayoutDialogSettings());
    if (!chosen)
        return;
    OpenLayout(FromQtPath(*chosen));
}

void MainFormLogic::openRecentFile(int item)
{
    if (item < 0 || item >= static_cast<int>(m_settings.RecentFiles.size()))
        return;
    openLayoutFile(m_settings.RecentFiles[static_cast<std::size_t>(item)]);
}

void MainFormLogic::openLayoutFile(std::string name)
{
    AftUpdateFileName(m_settings.RecentFiles, m_document.fileName());
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
        (void)PreUpdateFileName(trimmed);
        m_document.markUnchanged();
    }
    DisplayLastFiles();
}

void MainFormLogic::saveLayout()
{
    // A layout never saved has no file of its own yet: writing it as
    // UNTITLED.KBD into whatever folder is current would silently replace
    // an earlier untitled layout there, so the user names it.
    if (m_document.isUntitled()) {
        (void)SaveUnderChosenName();
        return;
    }
    if (SaveFileKbd(m_document.fileName()))
        m_document.markUnchanged();
}

void MainFormLogic::saveLayoutAs()
{
    (void)SaveUnderChosenName();
}

template <typename Step> void MainFormLogic::changeBack(Step step)
{
    const std::uint8_t language = m_document.language();
    step();
    if (m_document.language() != language)
        m_tables.load(m_document.language());
    refresh();
}

void MainFormLogic::undo()
{
    changeBack([this] { m_document.undo(); });
}

void MainFormLogic::redo()
{
    changeBack([this] { m_document.redo(); });
}

void MainFormLogic::openKeyboardOptions()
{
    m_document.markChanged();
    emit keyboardOptionsRequested(m_document.options());
}

void MainFormLogic::storeKeyboardOptions(const KeyboardOptions& options)
{
    changeBack([&] { m_document.setOptions(options); });
}

void MainFormLogic::openMsrParameters()
{
    m_document.markChanged();
    emit msrParametersRequested(m_document.msrSettings());
}

void MainFormLogic::openTest()
{
    // The test window takes the keys; F1 there must not open help.
    m_appHelpFile.clear();
    emit testRequested();
}

void MainFormLogic::openProgramming()
{
    emit programmingRequested();
}

void MainFormLogic::showHelpContents()
{
    m_help.showHelp(m_helpFile, HelpCommand::Contents, 0);
}

void MainFormLogic::showHelpOnHelp()
{
    m_help.showHelp(m_helpFile, HelpCommand::HelpOnHelp, 0);
}

void MainFormLogic::showContextHelp(int context)
{
    if (!m_appHelpFile.isEmpty())
        m_help.showHelp(m_appHelpFile, HelpCommand::Context, context);
}

void MainFormLogic::showAbout()
{
    m_dialogs.inform(QStringLiteral("MorvaWin Version 1.97\n\n"
                                    "Keyboard configurator for the 84-key programmable "
                                    "point-of-sale keyboard."),
                     QString::fromLatin1(kAboutTitle));
}

// --- Key buttons ---

void MainFormLogic::openKeyEditor(int key)
{
    if (key < 0 || key >= kKeyCount)
        return;
    // Changed before anything is edited: a cancelled editor leaves it so.
    m_document.markChanged();
    m_tables.load(m_document.language());
    emit keyEditorRequested(key, m_document.key(key), m_document.language());
}

void MainFormLogic::showKeyDefinitions(int key)
{
    if (key >= 0 && key < kKeyCount)
        emit keyDefinitionsRequested(m_document.key(key));
}

// --- Seeing, printing and sharing keys ---

void MainFormLogic::openLegends()
{
    emit legendsRequested();
}

void MainFormLogic::copyKey(int key)
{
    if (key >= 0 && key < kKeyCount)
        m_copiedKey = KeyContent::Of(m_document.key(key));
}

void MainFormLogic::pasteKey(int key)
{
    if (m_copiedKey)
        m_document.pasteKey(key, *m_copiedKey);
}

void MainFormLogic::swapKeys(int from, int to)
{
    if (from != to)
        m_document.swapKeys(from, to);
}

void MainFormLogic::setShowKeyText(bool on)
{
    m_showKeyText = on;
    QSettings(preferencesPath(m_folders), QSettings::IniFormat).setValue(kShowKeyText, on);
}

QString MainFormLogic::keyToolTip(int key) const
{
    if (key < 0 || key >= kKeyCount)
        return {};
    const KeyRecord& record = m_document.key(key);
    static const std::array<QString, 3> levels = {QString(), QStringLiteral("Func1: "),
                                                  QStringLiteral("Func2: ")};
    QStringList lines;
    for (int level = 0; level < 3; ++level) {
        const std::string text = ReadableDefinition(record.definition(level));
        QString line = levels[static_cast<std::size_t>(level)] +
                       (text.empty() ? QStringLiteral("\u2014") : ToDisplayText(text));
        if (record.RepeatFlags & (1u << level))
            line += QStringLiteral("  \u21BB repeats while held");
        lines << line;
    }
    return lines.join(u'\n');
}

} // namespace morvaw
