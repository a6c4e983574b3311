#include "textboxguard.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <utility>

namespace vornestw {

TextBoxGuard::TextBoxGuard(QLineEdit* box, Refusal refuses, std::function<void()> onEnter)
    : QObject(box), m_box(box), m_refuses(std::move(refuses)), m_onEnter(std::move(onEnter))
{
    box->installEventFilter(this);
}

TextBoxGuard::Refusal TextBoxGuard::LengthLimit(QLineEdit* box, int limit)
{
    return [box, limit](const QKeyEvent& key) {
        return box->text().size() >= limit && key.key() != Qt::Key_Backspace &&
               key.key() != Qt::Key_Delete;
    };
}

bool TextBoxGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_box)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
            m_box->setReadOnly(true);
            if (m_onEnter)
                m_onEnter();
            return true;
        }
        // Escape belongs to the window (it presses Cancel).
        if (key.key() != Qt::Key_Escape && m_refuses && m_refuses(key))
            m_box->setReadOnly(true);
        return false;
    }
    case QEvent::KeyRelease:
    case QEvent::FocusIn:
        m_box->setReadOnly(false);
        return false;
    default:
        return false;
    }
}

} // namespace vornestw
