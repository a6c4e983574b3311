#pragma once

#include "keyboardpicture.h"
#include "recentfiles.h"
#include "settingsfile.h"
#include "userdialogs.h"

#include <QString>
#include <Qt>

#include <array>
#include <functional>
#include <string>

namespace morvaw {

struct ConfiguratorState;
class HelpAdapter;

// "KBD Layout: " + the layout's file name without trailing spaces + the language suffix.
[[nodiscard]] std::string LayoutCaption(const ConfiguratorState& state);

// The windows opened from the main window. Each comes with its own piece of
// work; until it is set, its command does nothing.
struct ConfiguratorWindows
{
    std::function<void()> showKeyEditor;     // KeyModeForm, main window disabled
    std::function<void()> showMacroHint;     // HintMacrosForm, main window disabled
    std::function<void()> showKeybConf;      // KeybConf, main window disabled
    std::function<void()> showMsrParameters; // SetParam, main window hidden
    std::function<void()> showTest;          // TestForm, main window disabled
    std::function<void()> showProgramming;   // SEND2COM, main window hidden
};

// What the main window does, without the window: the layout and settings
// files, the keyboard picture's geometry and captions, and the menu commands
// with their prompts. The window forwards its events here and shows the
// results (caption, key captions and places, recent items).
class MainFormLogic
{
public:
    static constexpr const char* kSavePrompt = "Layout has changed. Save current changes ?";
    static constexpr const char* kUnloadPrompt = "Layout changed. Save current changes ?";
    static constexpr const char* kOverwritePrompt = "File already exist. Overwrite?";
    static constexpr const char* kAboutTitle = "About MORVAW";
    static constexpr const char* kHelpFileName = "MORVA.HLP";

    // Help context numbers of the menus.
    static constexpr int kFileHelp = 1020;
    static constexpr int kKeyboardHelp = 1070;
    static constexpr int kMsrHelp = 1080;
    static constexpr int kSetParamHelp = 1000;
    static constexpr int kTestHelp = 1090;
    static constexpr int kProgramHelp = 1100;
    static constexpr int kAboutHelp = 1100;

    // The File menu's items by their index.
    enum FileItem {
        FileNew = 1,
        FileLoad = 2,
        FileSave = 4,
        FileSaveAs = 5,
        FileRecent1 = 7,
        FileRecent2 = 8,
        FileRecent3 = 9,
        FileExit = 11
    };

    MainFormLogic(ConfiguratorState& state, UserDialogs& dialogs, HelpAdapter& help);

    [[nodiscard]] ConfiguratorWindows& windows() { return m_windows; }
    [[nodiscard]] static FileDialogSettings LayoutDialogSettings();

    // Window events. The picture area's size comes with Form_Load and every resize.
    void Form_Load(float width, float height);
    // At start, once the window is up: data files missing or short mean an
    // incomplete installation, which is said; the program goes on without them.
    void ReportIncompleteInstallation();
    void Form_Activate();
    void Form_Resize(float width, float height, bool minimized);
    // Asks about unsaved changes; false when the user keeps the window open.
    [[nodiscard]] bool Form_Unload();

    // Menu commands (File(11), Exit, closes the window, which calls Form_Unload).
    void File_Click(int index);
    void Configure1_Click();
    void Configure_Click();
    void Edit_Click(int index);
    void Contents_Click();
    void How_To_Use_Help_Click();
    void About_Click();
    // F1 on a menu item with a help context number.
    void ContextHelp(int context);

    void KeyBtn_Click(int index);
    void KeyBtn_MouseDown(int index, Qt::MouseButton button);

    // Layout file procedures. LoadFileKbd's silent form is the start-up load;
    // the reported form refuses a file it cannot read whole and says why.
    enum class LoadReport { Silent, Reported };
    bool LoadFileKbd(const std::string& fname, LoadReport report);
    bool SaveFileKbd(const std::string& fname);
    void do_resize_main_form();

    // Windows handing back: the caption after a language change, and F1,
    // which the test window takes away while it has the keys.
    void RefreshCaption() { SetCaption(); }
    void RestoreAppHelpFile() { m_appHelpFile = m_helpFile; }

    // What the window shows.
    [[nodiscard]] const std::string& Caption() const { return m_caption; }
    [[nodiscard]] const std::string& KeyCaption(int index) const;
    [[nodiscard]] const KeyButtonPlaces& KeyPlaces() const { return m_picture.places(); }
    [[nodiscard]] const RecentCaptions& RecentItems() const { return m_settings.RecentFiles; }
    // The settings file's contents as they will be written next.
    [[nodiscard]] const SettingsRecord& settings() const { return m_settings; }
    // The programming window's port, kept in the settings file.
    void setComPortIndex(std::uint16_t index) { m_settings.ComPortIndex = index; }
    [[nodiscard]] const RecentVisibility& RecentVisible() const { return m_recentVisible; }
    [[nodiscard]] const QString& HelpFile() const { return m_helpFile; }
    [[nodiscard]] const QString& AppHelpFile() const { return m_appHelpFile; }

private:
    enum class Flow { GoOn, Abandon };

    void LoadKeybDesk();
    void SetCaption();
    void SetAllKeyCaptions();
    void DisplayLastFiles();
    Flow SavePrompt(bool fromNew);
    // Save dialog, overwrite question and save, as Save As and the unload do
    // it; false when the user cancelled or the save failed.
    bool SaveUnderChosenName();
    bool SaveAs(const std::string& name);
    void NewLayoutCommand();
    void LoadCommand();
    void SaveCommand();
    void RecentCommand(int item);
    void OpenLayout(const std::string& name);
    void CopyKeyToWorkKey(int index);
    // SaveIni, and the first failure of a run reported.
    void SaveSettings();
    void reportFailure(const QString& what, const std::string& name, const QString& reason);

    ConfiguratorState& m_state;
    UserDialogs& m_dialogs;
    HelpAdapter& m_help;
    ConfiguratorWindows m_windows;

    SettingsRecord m_settings;
    KeyboardPicture m_picture;
    std::string m_caption;
    std::array<std::string, kKeyCount> m_keyCaptions;
    RecentVisibility m_recentVisible{};
    QString m_helpFile;    // the dialog component's: Contents and How to use help
    QString m_appHelpFile; // the application's: F1 on a menu item
    bool m_settingsFailureReported = false;
};

} // namespace morvaw
