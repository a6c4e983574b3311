#include "setcursorposform.h"

#include "displaystate.h"
#include "displayutility.h"
#include "focusscrollbar.h"
#include "numbertext.h"
#include "textboxguard.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace vornestw {

SetCursorPosForm::SetCursorPosForm(DisplayUtility& utility, QWidget* parent)
    : ChildForm(parent), m_utility(utility)
{
    setObjectName("SetCursorPosForm");
    setWindowTitle("Move cursor to position:");

    m_optLine1 = new QRadioButton("Line&1", this);
    m_optLine1->setObjectName("OptLine1");
    m_optLine2 = new QRadioButton("Line&2", this);
    m_optLine2->setObjectName("OptLine2");
    m_hScrXPos = new FocusScrollBar(this);
    m_hScrXPos->setObjectName("HScrXPos");
    m_hScrXPos->setRange(1, kLineWidth);
    m_hScrXPos->setPageStep(1);
    m_hScrXPos->setMinimumWidth(200);
    m_textXPos = new QLineEdit("1", this);
    m_textXPos->setObjectName("TextXPos");
    m_textXPos->setFixedWidth(m_textXPos->fontMetrics().horizontalAdvance("00000") + 12);
    m_btnSend = new QPushButton("&Send", this);
    m_btnSend->setObjectName("BtnSend");
    m_btnCancel = new QPushButton("&Cancel", this);
    m_btnCancel->setObjectName("BtnCancel");

    auto* lines = new QHBoxLayout;
    lines->addWidget(m_optLine1);
    lines->addWidget(m_optLine2);
    lines->addStretch();
    auto* column = new QHBoxLayout;
    column->addWidget(new QLabel("Column:", this));
    column->addWidget(m_hScrXPos, 1);
    column->addWidget(m_textXPos);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_btnSend);
    buttons->addWidget(m_btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lines);
    layout->addLayout(column);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    pressOnEnter(m_hScrXPos, m_btnSend);
    setSendButtons({m_btnSend});
    new TextBoxGuard(m_textXPos, nullptr, [this] { TextXPos_Enter(); });
    connect(m_optLine1, &QRadioButton::clicked, this, [this] { m_line = 1; });
    connect(m_optLine2, &QRadioButton::clicked, this, [this] { m_line = 2; });
    connect(m_hScrXPos, &QScrollBar::valueChanged, this, &SetCursorPosForm::HScrXPos_Change);
    connect(m_btnSend, &QPushButton::clicked, this, &SetCursorPosForm::BtnSend_Click);
    connect(m_btnCancel, &QPushButton::clicked, this, &SetCursorPosForm::onCancel);
}

void SetCursorPosForm::onActivate()
{
    const DisplayState& s = m_utility.state();
    m_textXPos->setReadOnly(false);
    m_column = s.XPos;
    m_line = s.LineNo;
    (s.LineNo == 1 ? m_optLine1 : m_optLine2)->setChecked(true);
    m_hScrXPos->setValue(s.XPos);
}

void SetCursorPosForm::HScrXPos_Change(int value)
{
    m_textXPos->setText(QStringLiteral(" %1").arg(value));
    m_column = value;
}

void SetCursorPosForm::TextXPos_Enter()
{
    // A number outside 1..20 leaves the scroll bar where it is.
    if (const auto column = WholeNumberIn(m_textXPos->text().toStdString(), 1, kLineWidth))
        m_hScrXPos->setValue(*column);
    m_textXPos->setSelection(0, 5);
}

void SetCursorPosForm::BtnSend_Click()
{
    m_utility.SendCursor(m_line, m_column);
}

void SetCursorPosForm::onCancel()
{
    // Cancel keeps the chosen position for the next opening.
    m_utility.KeepCursor(m_line, m_column);
    CloseForm();
}

} // namespace vornestw
