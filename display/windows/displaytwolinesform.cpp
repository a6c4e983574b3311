#include "displaytwolinesform.h"

#include "displaystate.h"
#include "displaytext.h"
#include "displayutility.h"
#include "textboxguard.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vornestw {

DisplayTwoLinesForm::DisplayTwoLinesForm(DisplayUtility& utility, QWidget* parent)
    : ChildForm(parent), m_utility(utility)
{
    setObjectName("DisplayTwoLinesForm");
    setWindowTitle("Display two lines");

    m_text1 = new QLineEdit(this);
    m_text1->setObjectName("Text1");
    m_text2 = new QLineEdit(this);
    m_text2->setObjectName("Text2");
    for (QLineEdit* box : {m_text1, m_text2})
        box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QString(kLineWidth + 2, 'W')));
    m_btnSend = new QPushButton("&Send", this);
    m_btnSend->setObjectName("BtnSend");
    m_btnCancel = new QPushButton("&Cancel", this);
    m_btnCancel->setObjectName("BtnCancel");

    auto* fields = new QFormLayout;
    fields->addRow("Line &1:", m_text1);
    fields->addRow("Line &2:", m_text2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_btnSend);
    buttons->addWidget(m_btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    new TextBoxGuard(m_text1, TextBoxGuard::LengthLimit(m_text1, kLineWidth),
                     [this] { m_text2->setFocus(); });
    new TextBoxGuard(m_text2, TextBoxGuard::LengthLimit(m_text2, kLineWidth),
                     [this] { m_btnSend->setFocus(); });
    setSendButtons({m_btnSend});
    connect(m_btnSend, &QPushButton::clicked, this, &DisplayTwoLinesForm::BtnSend_Click);
    connect(m_btnCancel, &QPushButton::clicked, this, &DisplayTwoLinesForm::CloseForm);
}

void DisplayTwoLinesForm::onActivate()
{
    const DisplayState& s = m_utility.state();
    m_text1->setText(ToDisplayText(s.Line1));
    m_text2->setText(ToDisplayText(s.Line2));
    m_text1->setFocus();
}

void DisplayTwoLinesForm::onDeactivate()
{
    m_utility.KeepTwoLines(FromDisplayText(m_text1->text()), FromDisplayText(m_text2->text()));
}

void DisplayTwoLinesForm::BtnSend_Click()
{
    m_utility.SendTwoLines(FromDisplayText(m_text1->text()), FromDisplayText(m_text2->text()));
}

} // namespace vornestw
