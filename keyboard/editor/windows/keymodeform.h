#pragma once

#include "keymodelogic.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace morvaw {

struct ConfiguratorState;
class InputLinePicture;
class MainForm;
class PcKeyboard;
class UserDialogs;

// "Define Key" / "MSR Parameters": the key definition editor. Made once and
// only hidden and shown afterwards. It forwards its controls' events to
// KeyModeLogic and shows what that reports; when the logic closes, the
// window hides itself and hands back to its caller through a signal.
class KeyModeForm : public QWidget
{
    Q_OBJECT
public:
    KeyModeForm(ConfiguratorState& state, UserDialogs& dialogs, QWidget* parent = nullptr);

    [[nodiscard]] KeyModeLogic& logic() { return m_logic; }

    // Define Key mode: the caller has put the key into WorkKey and SelectedKey.
    void openForKey();
    // MSR mode for the four MsrKeys; msrClosed reports MsrEditStatus.
    void openForMsr();

    // A left click on a key of the main window opens this editor for the key
    // (the main window disabled meanwhile); closing hands back to it.
    void attachToMainForm(MainForm& mainForm);

signals:
    void keyClosed();
    void msrClosed(int msrEditStatus);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildMacrosPage();
    QWidget* buildMsrPage();
    QWidget* buildTablePage();
    QWidget* buildEditScanPage();
    QPushButton* makeContr(int index, const QString& caption);
    void open();
    // Runs a command of the logic, then shows its results.
    template <typename Command> void run(Command command);
    void syncView();
    void syncList();
    [[nodiscard]] InputLinePicture* line(int k) const;

    ConfiguratorState& m_state;
    KeyModeLogic m_logic;
    QStackedWidget* m_pages = nullptr;
    std::array<QGroupBox*, 4> m_frames{}; // macros, MSR, table, edit scan code
    std::array<InputLinePicture*, 3> m_keyLines{};
    std::array<InputLinePicture*, 4> m_msrLines{};
    // Each line's used length beside it: "57 of 60", "Line full: 57 of 60".
    std::array<QLabel*, 3> m_keyLengths{};
    std::array<QLabel*, 4> m_msrLengths{};
    std::array<QCheckBox*, 3> m_rpt{};
    std::array<QPushButton*, KeyModeLogic::ControlCount> m_contr{};
    QListWidget* m_list = nullptr;
    std::array<QLabel*, 4> m_info{};
    std::array<QRadioButton*, 4> m_opShft{};
    std::array<QLineEdit*, 3> m_text1{};
    std::array<QCheckBox*, 8> m_check2{}; // bits 0, 1, 5, 6, 7
    std::array<QRadioButton*, 4> m_option1{};
    PcKeyboard* m_keyboard = nullptr;
};

} // namespace morvaw
