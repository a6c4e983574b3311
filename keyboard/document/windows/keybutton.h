#pragma once

#include <QPushButton>

namespace morvaw {

// A key of the keyboard picture: its caption is drawn in a font that has the
// code page 437 arrows and line pieces, as large as the key allows.
class KeyButton : public QPushButton
{
    Q_OBJECT
public:
    explicit KeyButton(QWidget* parent = nullptr);

    void setCaption(const QString& caption);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitFont();
};

} // namespace morvaw
