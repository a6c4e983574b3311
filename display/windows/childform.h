#pragma once

#include <QDialog>
#include <QPointer>

#include <functional>
#include <initializer_list>
#include <vector>

class QAbstractButton;
class QPushButton;

namespace vornestw {

// What the utility's other windows share: they are loaded once and only
// hidden; closing from the frame does what their Cancel does; Escape presses
// Cancel; activation refills them from the settings. CloseForm hands the
// control back to the main window.
class ChildForm : public QDialog
{
    Q_OBJECT
public:
    explicit ChildForm(QWidget* parent);

    // Shows the window and runs its activation.
    void Open();

    // Every send of the utility passes here: the window's send buttons are
    // off while one runs, and a send button that had the focus gets it back.
    void SendingChanged(bool sending);

signals:
    // The window was hidden; the main window takes over again.
    void closed();

protected:
    void CloseForm();

    // Windows with an Ok button let Enter press it; in the others Enter only
    // presses a focused button.
    void setEnterPressesDefault(bool presses) { m_enterPressesDefault = presses; }

    // The buttons that start a send.
    void setSendButtons(std::initializer_list<QPushButton*> buttons) { m_sendButtons = buttons; }

    // Enter on this control presses the button (an option or scroll bar that
    // stands for it), instead of whatever the window would do; a disabled
    // button is not pressed.
    void pressOnEnter(QWidget* control, QAbstractButton* button);

    // Form_Activate / Form_Deactivate.
    virtual void onActivate() {}
    virtual void onDeactivate() {}
    // Cancel and closing from the frame.
    virtual void onCancel() = 0;

    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;
    void showEvent(QShowEvent* event) override;

private:
    bool m_active = false;
    bool m_enterPressesDefault = false;
    std::vector<QPushButton*> m_sendButtons;
    QPointer<QPushButton> m_focusedSendButton;
};

} // namespace vornestw
