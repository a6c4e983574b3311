#pragma once

#include <QStringList>
#include <QWidget>

namespace morvaw {

struct Definition;

// A picture box used as a one-line editor of a key definition: it takes the
// keyboard focus, is white while it has it and button-coloured otherwise, and
// shows the definition at its left edge, each token in a small frame of its
// own, so that a "." token, a space and the end of a token never look alike.
// Its keys go to an event filter.
class InputLinePicture : public QWidget
{
    Q_OBJECT
public:
    explicit InputLinePicture(QWidget* parent = nullptr);

    void setDefinition(const Definition& definition);
    // The definition as one line of text, each mark between tokens a ".".
    [[nodiscard]] const QString& text() const { return m_text; }
    // The tokens as their frames show them.
    [[nodiscard]] const QStringList& tokens() const { return m_tokens; }

    [[nodiscard]] QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QString m_text;
    QStringList m_tokens;
};

} // namespace morvaw
