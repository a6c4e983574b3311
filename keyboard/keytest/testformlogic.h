#pragma once

#include <QPoint>
#include <QRect>
#include <QString>

namespace morvaw {

// TestForm ("Test window") without its widgets: what each key stroke writes
// into the text box. Keys without a printable character are written as
// tokens such as "<Return>"; Alt+X, a click on the exit label or closing the
// window ends the test.
class TestFormLogic
{
public:
    static constexpr int kTrimAt = 1000;
    static constexpr int kTrimFrom = 100; // 1-based character the text keeps from
    static constexpr int kAltX = 88;

    // The token a key-down writes for a virtual key code and shift state
    // (1 Shift, 2 Ctrl, 4 Alt); empty when it writes none.
    [[nodiscard]] static QString KeyToken(int keyCode, int shift);

    void Form_Activate();
    void Text1_KeyDown(int keyCode, int shift);
    // A typed character code, after its key-down.
    void Text1_KeyPress(int keyAscii);
    void Text1_KeyUp();
    // The user put the caret somewhere else in the text.
    void Text1_SetCaret(int position);
    // Mouse input keeps coming to the window; a press on the exit label ends the test.
    void Form_MouseDown(QPoint point, QRect label1);
    void Label1_Click();
    void Form_Unload();

    [[nodiscard]] bool IsOpen() const { return m_open; }
    [[nodiscard]] const QString& Text() const { return m_text; }
    [[nodiscard]] int Caret() const { return m_caret; }
    [[nodiscard]] int KeyCount() const { return m_keyCount; }
    [[nodiscard]] bool TokenShown() const { return m_tokenShown; }

private:
    void return2main();
    void insert(const QString& text);

    bool m_open = true;
    QString m_text;
    int m_caret = 0;
    bool m_tokenShown = false;
    int m_keyCount = 0;
};

} // namespace morvaw
