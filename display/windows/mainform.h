#pragma once

#include <QMainWindow>

#include <array>
#include <memory>

class QAction;
class QLabel;
class QMenu;

namespace vornestw {

class DisplayLongForm;
class DisplayTwoLinesForm;
class DisplayUtility;
class HelpWindow;
class OptionsForm;
class PortChooser;
class PrefixForm;
class SetCursorPosForm;
class SetModeForm;
class SettingsFile;
class UserNotice;
enum class ParameterWindow;

// The display utility's main window: channel and protocol, the echo of the
// last sent string, and the menus. Every other window opens from here and
// returns here; it owns them.
class MainForm : public QMainWindow
{
    Q_OBJECT
public:
    // The help pages lie in helpFolder.
    MainForm(DisplayUtility& utility, PortChooser& ports, UserNotice& notice,
             const SettingsFile& settings, const QString& helpFolder, QWidget* parent = nullptr);
    ~MainForm() override;

    // The other windows, in the order the icon is handed out.
    [[nodiscard]] QList<QWidget*> OtherForms() const;
    [[nodiscard]] HelpWindow& help() { return *m_help; }

    // Form_Activate: the function menu follows Mode.
    void BuildFunctionMenu();

    // The session ends (a logout, a shutdown, a kill): closes as the title
    // bar does, but asks nothing and shows nothing that would hold it up.
    void EndSession();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void MenuFunction_Click(int index);
    void MenuSetMode_Click();
    void Configure_Click();
    void MenuDefault_Click();
    void MenuExit_Click();
    void About_Click();
    void OpenWindow(ParameterWindow window);
    void ReturnFromWindow();
    void ShowSentLines();
    void ShowChannelCaption();

    DisplayUtility& m_utility;
    UserNotice& m_notice;
    const SettingsFile& m_settings;
    bool m_closing = false;
    bool m_exitWithoutSaving = false;
    bool m_closeAfterCommand = false;
    bool m_sessionEnding = false;

    QLabel* m_label2 = nullptr;
    QLabel* m_label3 = nullptr;
    std::array<QLabel*, 4> m_sentLabels{}; // Label4..Label7
    QMenu* m_menuSetup = nullptr;
    QMenu* m_menuTest = nullptr;
    QMenu* m_menuHelp = nullptr;
    std::array<QAction*, 21> m_menuFunction{};

    std::unique_ptr<DisplayTwoLinesForm> m_twoLinesForm;
    std::unique_ptr<DisplayLongForm> m_longForm;
    std::unique_ptr<SetCursorPosForm> m_cursorForm;
    std::unique_ptr<PrefixForm> m_prefixForm;
    std::unique_ptr<SetModeForm> m_setModeForm;
    std::unique_ptr<OptionsForm> m_optionsForm;
    std::unique_ptr<HelpWindow> m_help;
};

} // namespace vornestw
