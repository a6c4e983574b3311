#include "prefixform.h"

#include "displaystate.h"
#include "displaytext.h"
#include "displayutility.h"
#include "focusscrollbar.h"
#include "numbertext.h"
#include "textboxguard.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace vornestw {

namespace {

int codeOf(char c)
{
    return static_cast<unsigned char>(c);
}

// Only the digits of the main keyboard, and Backspace.
bool refusesNonDigit(const QKeyEvent& key)
{
    if (key.key() == Qt::Key_Backspace)
        return false;
    const bool digitKey =
        key.key() >= Qt::Key_0 && key.key() <= Qt::Key_9 && !(key.modifiers() & Qt::KeypadModifier);
    return !digitKey || key.text().size() != 1 || !key.text()[0].isDigit();
}

} // namespace

PrefixForm::PrefixForm(DisplayUtility& utility, QWidget* parent)
    : ChildForm(parent), m_utility(utility)
{
    setObjectName("PrefixForm");
    setWindowTitle("Change prefix");

    auto* grid = new QGridLayout;
    for (int i = 0; i < 2; ++i) {
        auto* label = new QLabel(i == 0 ? "Prefix 1:" : "Prefix 2:", this);
        label->setObjectName(i == 0 ? "Label2" : "Label3");
        m_codeBox[i] = new QLineEdit(this);
        m_codeBox[i]->setObjectName(i == 0 ? "Text1" : "Text2");
        m_codeBox[i]->setFixedWidth(m_codeBox[i]->fontMetrics().horizontalAdvance("00000") + 12);
        m_hScroll[i] = new FocusScrollBar(this);
        m_hScroll[i]->setObjectName(i == 0 ? "HScroll1" : "HScroll2");
        m_hScroll[i]->setRange(0, 255);
        m_hScroll[i]->setSingleStep(1);
        m_hScroll[i]->setPageStep(20);
        m_hScroll[i]->setMinimumWidth(220);
        grid->addWidget(label, i, 0);
        grid->addWidget(m_hScroll[i], i, 1);
        grid->addWidget(m_codeBox[i], i, 2);
        new TextBoxGuard(m_codeBox[i], refusesNonDigit, [this, i] { CodeBox_Enter(i); });
        connect(m_hScroll[i], &QScrollBar::valueChanged, this, [this, i] { HScroll_Change(i); });
    }
    m_text3 = new QLineEdit(this);
    m_text3->setObjectName("Text3");
    m_text3->setContextMenuPolicy(Qt::NoContextMenu);
    m_text3->setAcceptDrops(false);
    m_text3->setAlignment(Qt::AlignCenter);
    QFont big = m_text3->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    m_text3->setFont(big);
    m_text3->setFixedWidth(QFontMetrics(big).horizontalAdvance("WWWW") + 12);
    m_text3->installEventFilter(this);
    auto* characters = new QHBoxLayout;
    characters->addWidget(new QLabel("Characters:", this));
    characters->addWidget(m_text3);
    characters->addStretch();

    m_btnOk = new QPushButton("&Ok", this);
    m_btnOk->setObjectName("BtnOk");
    m_btnSend = new QPushButton("&Send", this);
    m_btnSend->setObjectName("BtnSend");
    m_btnCancel = new QPushButton("&Cancel", this);
    m_btnCancel->setObjectName("BtnCancel");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_btnOk);
    buttons->addWidget(m_btnSend);
    buttons->addWidget(m_btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(characters);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setSendButtons({m_btnSend});
    // Tab follows the layout, row by row, then the buttons.
    const QList<QWidget*> order{m_hScroll[0], m_codeBox[0], m_hScroll[1], m_codeBox[1],
                                m_text3,      m_btnOk,      m_btnSend,    m_btnCancel};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    connect(m_btnOk, &QPushButton::clicked, this, &PrefixForm::BtnOk_Click);
    connect(m_btnSend, &QPushButton::clicked, this, &PrefixForm::BtnSend_Click);
    connect(m_btnCancel, &QPushButton::clicked, this, &PrefixForm::onCancel);
    HScroll_Change(1);
    HScroll_Change(0);
}

void PrefixForm::onActivate()
{
    m_oldPrefix1 = m_utility.state().Prefix1;
    m_oldPrefix2 = m_utility.state().Prefix2;
    m_hScroll[0]->setValue(codeOf(m_oldPrefix1));
    m_hScroll[1]->setValue(codeOf(m_oldPrefix2));
}

void PrefixForm::HScroll_Change(int which)
{
    m_codeBox[which]->setText(QStringLiteral(" %1").arg(m_hScroll[which]->value()));
    const std::string characters{static_cast<char>(m_hScroll[0]->value()),
                                 static_cast<char>(m_hScroll[1]->value())};
    m_text3->setText(ToDisplayText(characters));
    // The caret stands before the prefix that typing sets next.
    m_text3->setCursorPosition(which == 0 ? 1 : 0);
}

void PrefixForm::CodeBox_Enter(int which)
{
    const auto code = WholeNumberIn(m_codeBox[which]->text().toStdString(), 0, 255);
    if (!code) {
        // Out of the scroll bar's range: refused, and the box shows its value again.
        QApplication::beep();
        HScroll_Change(which);
        return;
    }
    if (m_hScroll[which]->value() == *code)
        HScroll_Change(which); // shows " 33" for a typed "033" too
    else
        m_hScroll[which]->setValue(*code);
}

void PrefixForm::Text3_KeyPress(QChar typed)
{
    const int code = DisplayCharToByte(typed);
    if (code < 0) {
        QApplication::beep();
        return;
    }
    const int which = m_text3->cursorPosition() == 0 ? 0 : 1;
    if (m_hScroll[which]->value() == code)
        HScroll_Change(which); // the caret still moves on
    else
        m_hScroll[which]->setValue(code);
}

void PrefixForm::BtnSend_Click()
{
    m_utility.SendPrefix(m_hScroll[0]->value(), m_hScroll[1]->value());
}

void PrefixForm::BtnOk_Click()
{
    m_utility.AcceptPrefixes(static_cast<char>(m_hScroll[0]->value()),
                             static_cast<char>(m_hScroll[1]->value()));
    CloseForm();
}

void PrefixForm::onCancel()
{
    m_utility.AcceptPrefixes(m_oldPrefix1, m_oldPrefix2);
    CloseForm();
}

bool PrefixForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_text3 || event->type() != QEvent::KeyPress)
        return ChildForm::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
        return false; // caret moves, focus moves, Escape reaches the window
    default:
        break;
    }
    // The box always shows exactly the two prefixes: a typed character sets
    // one of them, nothing else edits it.
    const QString text = key->text();
    if (text.size() == 1 && text[0].isPrint())
        Text3_KeyPress(text[0]);
    return true;
}

} // namespace vornestw
