#pragma once

#include <QObject>

#include <functional>

class QKeyEvent;
class QLineEdit;

namespace vornestw {

// The key handling of the utility's text boxes: a refused key makes the box
// read-only for that one key stroke (so caret keys still move), Enter is
// swallowed and handed to onEnter; key release and focus unlock the box.
class TextBoxGuard : public QObject
{
    Q_OBJECT
public:
    using Refusal = std::function<bool(const QKeyEvent&)>;

    TextBoxGuard(QLineEdit* box, Refusal refuses, std::function<void()> onEnter);

    // Refuses every key except Backspace and Delete once the box holds `limit` characters.
    [[nodiscard]] static Refusal LengthLimit(QLineEdit* box, int limit);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_box = nullptr;
    Refusal m_refuses;
    std::function<void()> m_onEnter;
};

} // namespace vornestw
