#pragma once

#include "filefolders.h"
#include "keyboardpicture.h"
#include "layoutdocument.h"
#include "recentfiles.h"
#include "recoverycopy.h"
#include "settingsfile.h"
#include "userdialogs.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>

namespace morvaw {

class HelpAdapter;
class LanguageTables;

// "KBD Layout: " + the layout's file name without trailing spaces + the language suffix.
[[nodiscard]] std::string LayoutCaption(const LayoutDocument& document);

// What the main window does, without the window: the layout and settings
// files, the keyboard picture, the menu commands with their prompts and the
// clicks on keys. The layout changes only through the document; the other
// windows are asked for through the signals below, which main connects; the
// window forwards its events here and shows what this computes.
class MainFormLogic : public QObject
{
    Q_OBJECT
public:
    static constexpr const char* kSavePrompt = "Layout has changed. Save current changes ?";
    static constexpr const char* kUnloadPrompt = "Layout changed. Save current changes ?";
    static constexpr const char* kOverwritePrompt = "File already exist. Overwrite?";
    static constexpr const char* kChangedOnDiskPrompt =
        "The layout file\n%1\nwas changed by another program since this configurator loaded "
        "or saved it.\n\nOverwrite it with this layout, save this layout under another name, "
        "or cancel?";
    static constexpr const char* kAboutTitle = "About MORVAW";
    static constexpr const char* kHelpFileName = "MORVA.HLP";

    // Help context numbers of the menus.
    static constexpr int kFileHelp = 1020;
    static constexpr int kLegendsHelp = 1025;
    static constexpr int kKeyboardHelp = 1070;
    static constexpr int kMsrHelp = 1080;
    static constexpr int kSetParamHelp = 1000;
    static constexpr int kTestHelp = 1090;
    static constexpr int kProgramHelp = 1100;
    static constexpr int kAboutHelp = 1100;
    // Topics of windows without a menu item of their own, for F1 in them.
    static constexpr int kMainWindowHelp = 1010;
    static constexpr int kKeyEditorHelp = 1030;
    static constexpr int kKeyMacrosHelp = 1040;

    MainFormLogic(LayoutDocument& document, LanguageTables& tables, FileFolders folders,
                  UserDialogs& dialogs, HelpAdapter& help);

    [[nodiscard]] static FileDialogSettings LayoutDialogSettings();
    // The save dialogs start at the layout's own file, folder and name, once it has one.
    [[nodiscard]] FileDialogSettings SaveDialogSettings() const;

    // Window events. The picture area's size comes with the load and every resize.
    void load(float width, float height);
    // At start, once the window is up: data files missing or short mean an
    // incomplete installation, which is said; the program goes on without them.
    void reportIncompleteInstallation();
    // The window is active again, or the layout changed: the picture follows its shape.
    void refresh();
    void resize(float width, float height, bool minimized);
    // Asks about unsaved changes; false when the user keeps the window open.
    [[nodiscard]] bool unload();
    // The program ends on request (a logout, a kill): the settings are written
    // now, and the unload that follows asks nothing. Unsaved changes stay in
    // the recovery copy, not in the layout file.
    void endSession();
    // PALIX.INI now, without a message: the session manager waits for it.
    void saveSettingsForSession();
    // A recovery copy back into the document, as unsaved changes.
    bool restoreRecovered(const RecoveryCopy& copy);

    // The File menu (its Exit closes the window, which calls unload).
    void newLayout();
    void loadLayout();
    void saveLayout();
    void saveLayoutAs();
    // The recent items File(7) to File(9), most recent first.
    void openRecentFile(int item);
    // A layout named outside the menus (the command line), opened as a
    // recent item is: asking first about unsaved changes.
    void openLayoutFile(std::string name);
    // The Edit menu.
    void undo();
    void redo();
    // The other menus.
    void openKeyboardOptions();
    void openMsrParameters();
    void openTest();
    void openProgramming();
    void showHelpContents();
    void showHelpOnHelp();
    void showAbout();
    // F1 on a menu item with a help context number.
    void showContextHelp(int context);
    // A left click on key button `key`, and the right button pressed on one.
    void openKeyEditor(int key);
    void showKeyDefinitions(int key);

    // Seeing, printing and sharing keys. File > "Print legends…"; Ctrl+C and
    // Ctrl+V on the focused key copy one key over another (definitions,
    // repeat flags, label); a key dragged onto another swaps them. View >
    // "Show key text" shows on each key what it types instead of its
    // caption, remembered in the user's folder.
    void openLegends();
    void copyKey(int key);
    void pasteKey(int key);
    void swapKeys(int from, int to);
    [[nodiscard]] bool canPaste() const { return m_copiedKey.has_value(); }
    void setShowKeyText(bool on);
    [[nodiscard]] bool showKeyText() const { return m_showKeyText; }
    // A key's three levels in words, for its tooltip.
    [[nodiscard]] QString keyToolTip(int key) const;

    // What the other windows hand back: the options with their language's
    // tables, the port the programming window picked, F1 after the test.
    void storeKeyboardOptions(const KeyboardOptions& options);
    void setComPortIndex(std::uint16_t index) { m_settings.ComPortIndex = index; }
    void restoreAppHelpFile() { m_appHelpFile = m_helpFile; }

    // Layout file procedures. The silent load is the start-up load; the
    // reported one refuses a file it cannot read whole and says why.
    enum class LoadReport { Silent, Reported };
    bool LoadFileKbd(const std::string& fname, LoadReport report);
    bool SaveFileKbd(const std::string& fname);

    // What the window shows.
    [[nodiscard]] std::string caption() const;
    [[nodiscard]] std::string keyCaption(int key) const;
    [[nodiscard]] const KeyButtonPlaces& keyPlaces() const { return m_picture.places(); }
    [[nodiscard]] const RecentCaptions& recentItems() const { return m_settings.RecentFiles; }
    [[nodiscard]] const RecentVisibility& recentVisible() const { return m_recentVisible; }
    // "&Undo" and "&Redo" with what they change back ("&Undo Define Key").
    [[nodiscard]] QString undoCommand() const;
    [[nodiscard]] QString redoCommand() const;
    [[nodiscard]] const QString& helpFile() const { return m_helpFile; }
    [[nodiscard]] const QString& appHelpFile() const { return m_appHelpFile; }
    // The settings file's contents as they will be written next.
    [[nodiscard]] const SettingsRecord& settings() const { return m_settings; }
    [[nodiscard]] const LayoutDocument& document() const { return m_document; }

signals:
    void keyEditorRequested(int key, const morvaw::KeyRecord& record, std::uint8_t language);
    void keyDefinitionsRequested(const morvaw::KeyRecord& record);
    void keyboardOptionsRequested(const morvaw::KeyboardOptions& options);
    void msrParametersRequested(const morvaw::MsrSettings& settings);
    void testRequested();
    void programmingRequested();
    void legendsRequested();

private:
    enum class Flow { GoOn, Abandon };
    enum class OnDisk { Overwrite, SaveElsewhere, Cancel };

    void DisplayLastFiles();
    Flow SavePrompt(bool fromNew);
    // Save dialog, overwrite question and save, as Save As and the unload do
    // it; false when the user cancelled or the save failed.
    bool SaveUnderChosenName();
    bool SaveAs(const std::string& name);
    // Before the layout is written over its own file: has another program
    // (a second configurator) written that file since?
    OnDisk checkFileOnDisk(const std::string& name);
    void OpenLayout(const std::string& name);
    // Undo or redo, with the tables of the language it brings back.
    template <typename Step> void changeBack(Step step);
    // SaveIni, and the first failure of a run reported unless quiet.
    void SaveSettings(bool quiet = false);
    void reportFailure(const QString& what, const std::string& name, const QString& reason);

    LayoutDocument& m_document;
    LanguageTables& m_tables;
    FileFolders m_folders;
    UserDialogs& m_dialogs;
    HelpAdapter& m_help;

    SettingsRecord m_settings;
    KeyboardPicture m_picture;
    RecentVisibility m_recentVisible{};
    QString m_helpFile;    // the dialog component's: Contents and How to use help
    QString m_appHelpFile; // the application's: F1 on a menu item
    bool m_settingsFailureReported = false;
    bool m_ending = false;
    std::optional<KeyContent> m_copiedKey;
    bool m_showKeyText = false;
};

} // namespace morvaw
