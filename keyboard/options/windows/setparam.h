#pragma once

#include "setparamlogic.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QLineEdit;

namespace morvaw {

class ByteScrollBar;
class InputLinePicture;

// "MSR Configure": the card reader's tracks, options, data play delay and the
// four keys it sends, for a layout's MSR settings. Made once and only hidden
// and shown afterwards. A click on a key line hides it and asks, through
// keysWanted(), for the key editor's MSR mode; that hands the keys back on
// its Ok (takeKeys), and either way this window comes back
// (returnFromKeyEditor). "&Ok" hands the settings back through accepted().
class SetParam : public QWidget
{
    Q_OBJECT
public:
    explicit SetParam(QWidget* parent = nullptr);

    // Shown from the menu.
    void open(const MsrSettings& settings);
    void takeKeys(const MsrLines& keys);
    void returnFromKeyEditor();
    // The program ends (a logout, a kill) with this window open, shown or
    // waiting for the key editor: the settings go to accepted() as "&Ok"
    // would hand them, and the window asks nothing.
    void handOverForEnd();

signals:
    void accepted(const morvaw::MsrSettings& settings);
    void closed();
    void keysWanted(const morvaw::MsrLines& keys);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    template <typename Command> void run(Command command);
    void bringUp();
    void syncView();

    SetParamLogic m_logic;
    std::array<QCheckBox*, 4> m_tracks{};
    QCheckBox* m_forceLowerCase = nullptr;
    QCheckBox* m_sendSentinels = nullptr;
    QCheckBox* m_checkSumMode = nullptr;
    std::array<InputLinePicture*, SetParamLogic::kLines> m_lines{};
    QLineEdit* m_text1 = nullptr;
    ByteScrollBar* m_vscr = nullptr;
    bool m_waitingForKeys = false; // hidden while the key editor has the four keys
};

} // namespace morvaw
