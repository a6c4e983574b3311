#pragma once

#include <QPushButton>

namespace morvaw {

// A key of the keyboard picture: its caption is drawn in a font that has the
// code page 437 arrows and line pieces, as large as the key allows, on up to
// three lines; what still does not fit is cut short with "…".
class KeyButton : public QPushButton
{
    Q_OBJECT
public:
    explicit KeyButton(QWidget* parent = nullptr);

    void setCaption(const QString& caption);
    [[nodiscard]] const QString& caption() const { return m_caption; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitCaption();

    QString m_caption;
};

} // namespace morvaw
