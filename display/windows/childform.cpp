#include "childform.h"

#include "screenfit.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

#include <algorithm>

namespace vornestw {

ChildForm::ChildForm(QWidget* parent) : QDialog(parent)
{
    setModal(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

void ChildForm::Open()
{
    show();
    // Showing makes the first button the default one; here none is.
    if (!m_enterPressesDefault) {
        for (QPushButton* button : findChildren<QPushButton*>())
            button->setDefault(false);
    }
    raise();
    activateWindow();
    // Some window systems (and the offscreen one of the tests) activate late
    // or never; the refill must not depend on it.
    if (!m_active) {
        m_active = true;
        onActivate();
    }
}

void ChildForm::SendingChanged(bool sending)
{
    if (sending) {
        const auto focused = std::find(m_sendButtons.begin(), m_sendButtons.end(), focusWidget());
        m_focusedSendButton = focused != m_sendButtons.end() ? *focused : nullptr;
    }
    for (QPushButton* button : m_sendButtons)
        button->setEnabled(!sending);
    // Disabling the focused button moved the focus on, to Cancel in most
    // windows, where the next Enter would close a window meant for more sends.
    if (!sending && m_focusedSendButton && isVisible())
        m_focusedSendButton->setFocus();
}

namespace {

class EnterKeyFilter : public QObject
{
public:
    EnterKeyFilter(QWidget* control, QAbstractButton* button) : QObject(control), m_button(button)
    {
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_button->click();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QAbstractButton* m_button;
};

} // namespace

void ChildForm::pressOnEnter(QWidget* control, QAbstractButton* button)
{
    new EnterKeyFilter(control, button);
}

void ChildForm::CloseForm()
{
    if (m_active) {
        m_active = false;
        onDeactivate();
    }
    hide();
    emit closed();
}

void ChildForm::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isVisible())
        return;
    if (isActiveWindow() && !m_active) {
        m_active = true;
        onActivate();
    } else if (!isActiveWindow() && m_active) {
        m_active = false;
        onDeactivate();
    }
}

void ChildForm::closeEvent(QCloseEvent* event)
{
    // Only hidden, never unloaded: onCancel ends in CloseForm.
    event->ignore();
    onCancel();
}

void ChildForm::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !m_enterPressesDefault) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ChildForm::reject()
{
    onCancel();
}

void ChildForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FitIntoScreen(this);
}

} // namespace vornestw
