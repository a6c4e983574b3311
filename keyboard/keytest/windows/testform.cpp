#include "testform.h"

#include "virtualkeys.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

namespace morvaw {

TestForm::TestForm(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TestForm"));
    setWindowTitle(QStringLiteral("Test window"));

    m_text1 = new QPlainTextEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_text1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_text1->setContextMenuPolicy(Qt::NoContextMenu);
    m_text1->setAcceptDrops(false);
    m_text1->setUndoRedoEnabled(false);
    m_text1->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_text1->installEventFilter(this);
    m_text1->viewport()->installEventFilter(this);

    m_label1 = new QLabel(QStringLiteral("To exit click here"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setFrameShape(QFrame::Panel);
    m_label1->setFrameShadow(QFrame::Raised);
    m_label1->setMargin(4);
    m_label1->setCursor(Qt::PointingHandCursor);
    m_label1->installEventFilter(this);

    m_infoLabel = new QLabel(QStringLiteral("Alt-x    - back to main"), this);
    m_infoLabel->setObjectName(QStringLiteral("InfoLabel"));

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_infoLabel);
    bottom->addStretch();
    bottom->addWidget(m_label1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text1, 1);
    layout->addLayout(bottom);
    resize(520, 320);
}

void TestForm::open()
{
    show();
    raise();
    activateWindow();
    m_text1->setFocus();
    run([&] { m_logic.Form_Activate(); });
}

template <typename Command> void TestForm::run(Command command)
{
    command();
    syncView();
    if (!m_logic.IsOpen()) {
        if (isVisible()) {
            releaseMouse();
            hide();
            emit closed();
            deleteLater();
        }
        return;
    }
    capture();
}

void TestForm::capture()
{
    // All mouse input keeps coming here, so a click elsewhere cannot leave the test.
    update();
    if (isVisible())
        grabMouse();
}

void TestForm::syncView()
{
    if (m_text1->toPlainText() != m_logic.Text())
        m_text1->setPlainText(m_logic.Text());
    QTextCursor cursor = m_text1->textCursor();
    if (cursor.position() != m_logic.Caret() || cursor.hasSelection()) {
        cursor.setPosition(m_logic.Caret());
        m_text1->setTextCursor(cursor);
    }
    m_text1->ensureCursorVisible();
}

void TestForm::keyDown(const QKeyEvent* event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    run([&] { m_logic.Text1_KeyDown(VirtualKeyCode(key, modifiers), ShiftState(key, modifiers)); });
    if (!m_logic.IsOpen())
        return;
    const int typed = TypedCode(key, modifiers, event->text());
    if (typed >= 0)
        run([&] { m_logic.Text1_KeyPress(typed); });
}

bool TestForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_text1) {
        switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Every key is the test's, none a shortcut of the text box.
            event->accept();
            return true;
        case QEvent::KeyPress:
            keyDown(static_cast<QKeyEvent*>(event));
            return true;
        case QEvent::KeyRelease:
            if (!static_cast<QKeyEvent*>(event)->isAutoRepeat())
                run([&] { m_logic.Text1_KeyUp(); });
            return true;
        case QEvent::FocusOut:
            capture();
            break;
        default:
            break;
        }
    } else if (watched == m_text1->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const bool handled = QWidget::eventFilter(watched, event);
        run([&] { m_logic.Text1_SetCaret(m_text1->textCursor().position()); });
        return handled;
    } else if (watched == m_label1 && event->type() == QEvent::MouseButtonRelease &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        run([&] { m_logic.Label1_Click(); });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TestForm::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    run([&] { m_logic.Form_MouseDown(point, m_label1->geometry()); });
}

void TestForm::mouseReleaseEvent(QMouseEvent*)
{
    capture();
}

void TestForm::closeEvent(QCloseEvent* event)
{
    event->accept();
    run([&] { m_logic.Form_Unload(); });
}

} // namespace morvaw
