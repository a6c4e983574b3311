#include "setmodeform.h"

#include "displaystate.h"
#include "displayutility.h"
#include "protocoltables.h"
#include "usernotice.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vornestw {

SetModeForm::SetModeForm(DisplayUtility& utility, UserNotice& notice, QWidget* parent)
    : ChildForm(parent), m_utility(utility), m_notice(notice)
{
    setObjectName("SetModeForm");
    setWindowTitle("Set mode");
    m_newMode = utility.state().Mode;

    auto* options = new QVBoxLayout;
    for (int i = 0; i < kProtocolCount; ++i) {
        const auto protocol = ProtocolOf(i);
        auto* option = new QRadioButton(QString::fromLatin1(protocol->modeCaption), this);
        option->setObjectName(QStringLiteral("ModeOpt_%1").arg(i));
        pressOnEnter(option, [this] { BtnOk_Click(); });
        connect(option, &QRadioButton::clicked, this, [this, i] { ModeOpt_Click(i); });
        options->addWidget(option);
        m_modeOpt[static_cast<std::size_t>(i)] = option;
    }

    m_btnOk = new QPushButton("&Ok", this);
    m_btnOk->setObjectName("BtnOk");
    m_btnOk->setDefault(true);
    setEnterPressesDefault(true);
    m_btnProgram = new QPushButton("Set LCD &mode", this);
    m_btnProgram->setObjectName("BtnProgram");
    m_btnCancel = new QPushButton("&Cancel", this);
    m_btnCancel->setObjectName("BtnCancel");
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_btnOk);
    buttons->addWidget(m_btnProgram);
    buttons->addWidget(m_btnCancel);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(options);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_btnOk, &QPushButton::clicked, this, &SetModeForm::BtnOk_Click);
    connect(m_btnProgram, &QPushButton::clicked, this, &SetModeForm::BtnProgram_Click);
    connect(m_btnCancel, &QPushButton::clicked, this, &SetModeForm::CloseForm);
}

void SetModeForm::OpenWithMode(int mode)
{
    if (mode >= 0 && mode < kProtocolCount) {
        m_modeOpt[static_cast<std::size_t>(mode)]->setChecked(true);
        ModeOpt_Click(mode);
    }
    Open();
    if (mode >= 0 && mode < kProtocolCount)
        m_modeOpt[static_cast<std::size_t>(mode)]->setFocus();
}

void SetModeForm::BtnOk_Click()
{
    m_utility.state().Mode = m_newMode;
    CloseForm();
}

void SetModeForm::BtnProgram_Click()
{
    m_utility.state().AbortFlag = false;
    // The utility follows the new protocol even when the display is not switched.
    m_utility.state().Mode = m_newMode;
    if (!m_notice.askYesNo("Program LCD mode", "Display protocol will be changed. Are You sure ?"))
        return;
    m_btnProgram->setEnabled(false);
    m_utility.SendProgramMode();
    m_btnProgram->setEnabled(true);
}

void SetModeForm::CloseForm()
{
    // Ends a send that still waits for the display.
    m_utility.state().AbortFlag = true;
    ChildForm::CloseForm();
}

} // namespace vornestw
