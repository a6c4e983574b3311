#include "displaylongform.h"

#include "displaystate.h"
#include "displaytext.h"
#include "displayutility.h"
#include "textboxguard.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vornestw {

DisplayLongForm::DisplayLongForm(DisplayUtility& utility, QWidget* parent)
    : ChildForm(parent), m_utility(utility)
{
    setObjectName("DisplayLongForm");
    setWindowTitle("Display line");

    m_text1 = new QLineEdit(this);
    m_text1->setObjectName("Text1");
    m_text1->setMinimumWidth(
        m_text1->fontMetrics().horizontalAdvance(QString(kLongTextWidth + 2, 'W')));
    m_btnSend = new QPushButton("&Send", this);
    m_btnSend->setObjectName("BtnSend");
    m_btnCancel = new QPushButton("&Cancel", this);
    m_btnCancel->setObjectName("BtnCancel");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_btnSend);
    buttons->addWidget(m_btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_text1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    new TextBoxGuard(m_text1, TextBoxGuard::LengthLimit(m_text1, kLongTextWidth),
                     [this] { m_btnSend->setFocus(); });
    setSendButtons({m_btnSend});
    connect(m_btnSend, &QPushButton::clicked, this, &DisplayLongForm::BtnSend_Click);
    connect(m_btnCancel, &QPushButton::clicked, this, &DisplayLongForm::CloseForm);
}

void DisplayLongForm::onActivate()
{
    m_text1->setFocus();
    switch (m_utility.state().MenuIndex) {
    case 1:
        setWindowTitle("Once scroll");
        break;
    case 2:
        setWindowTitle("Continuous scroll");
        break;
    case 3:
        setWindowTitle("Display long");
        break;
    default:
        setWindowTitle("Display line");
        break;
    }
    m_text1->setText(ToDisplayText(m_utility.state().LongText));
}

void DisplayLongForm::onDeactivate()
{
    m_utility.KeepLongText(FromDisplayText(m_text1->text()));
}

void DisplayLongForm::BtnSend_Click()
{
    m_utility.SendLongText(FromDisplayText(m_text1->text()));
}

} // namespace vornestw
