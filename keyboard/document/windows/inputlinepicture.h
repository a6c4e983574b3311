#pragma once

#include <QWidget>

namespace morvaw {

// A picture box used as a one-line editor of a key definition: it takes the
// keyboard focus, is white while it has it and button-coloured otherwise, and
// shows the text it is given at its left edge. Its keys go to an event filter.
class InputLinePicture : public QWidget
{
    Q_OBJECT
public:
    explicit InputLinePicture(QWidget* parent = nullptr);

    void setText(const QString& text);
    [[nodiscard]] const QString& text() const { return m_text; }

    [[nodiscard]] QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QString m_text;
};

} // namespace morvaw
