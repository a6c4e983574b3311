#pragma once

#include "keymodelogic.h"

#include <QWidget>

#include <array>
#include <filesystem>
#include <functional>
#include <optional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace morvaw {

class InputLinePicture;
class LanguageTables;
class PcKeyboard;
class UserDialogs;

// "Define Key" / "MSR Parameters": the key definition editor. Made once and
// only hidden and shown afterwards. It edits a copy of what it is opened
// with and hands the edited value to `accepted` on Ok, nothing on Cancel or
// the close box; then it hides and says so through keyClosed or msrClosed.
// It forwards its controls' events to KeyModeLogic and shows what that reports.
class KeyModeForm : public QWidget
{
    Q_OBJECT
public:
    // The modifier pictures are read from pictureFolder.
    KeyModeForm(LanguageTables& tables, const std::filesystem::path& pictureFolder,
                UserDialogs& dialogs, QWidget* parent = nullptr);

    // "Define Key" for a copy of one key of a layout in `language`.
    void editKey(const KeyRecord& key, std::uint8_t language,
                 std::function<void(const KeyRecord&)> accepted);
    // "MSR Parameters" for the four MSR lines.
    void editMsrLines(const MsrLines& lines, std::uint8_t language,
                      std::function<void(const MsrLines&)> accepted);

    // What Ok would hand back now in "Define Key", while it would take it
    // without a word; the window stays open.
    [[nodiscard]] std::optional<KeyRecord> unconfirmedKey() const
    {
        return m_logic.unconfirmedKey();
    }

signals:
    void keyClosed();
    void msrClosed();
    // The program ended with "MSR Parameters" open: its lines went to
    // `accepted` first if Ok would have taken them without a word.
    void msrEnded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* buildMacrosPage();
    QWidget* buildMsrPage();
    QWidget* buildTablePage();
    QWidget* buildEditScanPage();
    // A contr button: its object name keeps the index, its click runs the command.
    QPushButton* makeContr(int index, const QString& caption, void (KeyModeLogic::*command)());
    void bringUp();
    // Escape and Return, as in a dialog, for each page.
    void giveDialogKeys();
    // Runs a command of the logic, then shows its results.
    template <typename Command> void run(Command command);
    void syncView();
    void syncList();
    [[nodiscard]] InputLinePicture* line(int k) const;

    KeyModeLogic m_logic;
    std::function<void(const KeyRecord&)> m_keyAccepted;
    std::function<void(const MsrLines&)> m_msrAccepted;
    QStackedWidget* m_pages = nullptr;
    std::array<QGroupBox*, 4> m_frames{}; // macros, MSR, table, edit scan code
    std::array<InputLinePicture*, 3> m_keyLines{};
    std::array<InputLinePicture*, 4> m_msrLines{};
    // Each line's used length beside it: "57 of 60", "Line full: 57 of 60".
    std::array<QLabel*, 3> m_keyLengths{};
    std::array<QLabel*, 4> m_msrLengths{};
    std::array<QCheckBox*, 3> m_rpt{};
    QListWidget* m_list = nullptr;
    std::array<QLabel*, 4> m_info{};
    std::array<QRadioButton*, 4> m_opShft{};
    std::array<QLineEdit*, 3> m_text1{};
    std::array<QCheckBox*, 8> m_check2{}; // bits 0, 1, 5, 6, 7
    std::array<QRadioButton*, 4> m_option1{};
    PcKeyboard* m_keyboard = nullptr;
};

} // namespace morvaw
