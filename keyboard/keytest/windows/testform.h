#pragma once

#include "testformlogic.h"

#include <QWidget>

class QLabel;
class QPlainTextEdit;

namespace morvaw {

// "Test window": every key stroke that reaches it is written into Text1, keys
// without a character as tokens. It holds the mouse after every event, so
// clicks anywhere come here; Alt+X or a click on "To exit click here" ends
// the test. A new window is made for each test and deleted when it ends.
class TestForm : public QWidget
{
    Q_OBJECT
public:
    explicit TestForm(QWidget* parent = nullptr);

    void open();

signals:
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    template <typename Command> void run(Command command);
    void syncView();
    void keyDown(const QKeyEvent* event);
    void capture();

    TestFormLogic m_logic;
    QPlainTextEdit* m_text1 = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_infoLabel = nullptr;
};

} // namespace morvaw
