#pragma once

#include "keybconflogic.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace morvaw {

class ByteScrollBar;

// "Keyboard Configure": the keyboard-wide options of a layout. Made once and
// only hidden and shown afterwards; it forwards its controls' events to
// KeybConfLogic and, when that closes, hides, hands the options back through
// accepted() after "&Ok", and says closed(). Hidden while still open, the
// program ends: the options go to accepted() as "&Ok" would hand them.
class KeybConf : public QWidget
{
    Q_OBJECT
public:
    explicit KeybConf(QWidget* parent = nullptr);

    void open(const KeyboardOptions& options);

signals:
    void accepted(const morvaw::KeyboardOptions& options);
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    template <typename Command> void run(Command command);
    void syncView();

    KeybConfLogic m_logic;
    std::array<QRadioButton*, 3> m_kbd{};
    std::array<QRadioButton*, 2> m_kbdShape{};
    QComboBox* m_kbdLang = nullptr;
    QCheckBox* m_buzzer = nullptr;
    std::array<QLineEdit*, 2> m_text1{};
    std::array<ByteScrollBar*, 2> m_vscr{};
};

} // namespace morvaw
