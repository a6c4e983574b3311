#include "childform.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

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

} // namespace vornestw
