#pragma once

#include "setparamlogic.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QLineEdit;

namespace morvaw {

class ByteScrollBar;
struct ConfiguratorState;
class InputLinePicture;
class KeyModeForm;
class MainForm;

// "MSR Configure": the card reader's tracks, options, data play delay and the
// four keys it sends. Made once and only hidden and shown afterwards. A click
// on a key line hides it and opens the key editor in its MSR mode, which
// hands back through keyEditorClosed().
class SetParam : public QWidget
{
    Q_OBJECT
public:
    explicit SetParam(ConfiguratorState& state, QWidget* parent = nullptr);

    [[nodiscard]] SetParamLogic& logic() { return m_logic; }

    // Shown from the menu or on the way back from the key editor.
    void open();
    void keyEditorClosed();

    // "&MSR-reader" > "&Configure" (and "&Set Param") open this window in
    // place of the hidden main window; its lines open the key editor's MSR mode.
    void attach(MainForm& mainForm, KeyModeForm& keyEditor);

signals:
    void closed();
    void editMsrKeys();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    template <typename Command> void run(Command command);
    void syncView();

    SetParamLogic m_logic;
    std::array<QCheckBox*, 4> m_tracks{};
    QCheckBox* m_forceLowerCase = nullptr;
    QCheckBox* m_sendSentinels = nullptr;
    QCheckBox* m_checkSumMode = nullptr;
    std::array<InputLinePicture*, SetParamLogic::kLines> m_lines{};
    QLineEdit* m_text1 = nullptr;
    ByteScrollBar* m_vscr = nullptr;
};

} // namespace morvaw
