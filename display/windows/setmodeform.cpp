#include "setmodeform.h"

#include "displaystate.h"
#include "displayutility.h"
#include "protocoltables.h"
#include "usernotice.h"

#include <QPushButton>

namespace vornestw {

SetModeForm::SetModeForm(DisplayUtility& utility, UserNotice& notice, QWidget* parent)
    : RadioChoiceForm(parent), m_utility(utility), m_notice(notice)
{
    setObjectName("SetModeForm");
    setWindowTitle("Set mode");
    setChosen(utility.state().Mode);

    QStringList captions;
    for (int i = 0; i < kProtocolCount; ++i)
        captions << QString::fromLatin1(ProtocolOf(i)->modeCaption);
    m_btnProgram = new QPushButton("Set LCD &mode", this);
    m_btnProgram->setObjectName("BtnProgram");
    buildChoice("ModeOpt", captions, nullptr, {m_btnProgram});
    setSendButtons({m_btnProgram});
    connect(m_btnProgram, &QPushButton::clicked, this, &SetModeForm::BtnProgram_Click);
}

void SetModeForm::BtnOk_Click()
{
    m_utility.SelectMode(chosen());
    CloseForm();
}

void SetModeForm::BtnProgram_Click()
{
    // The utility follows the new protocol even when the display is not switched.
    m_utility.SelectMode(chosen());
    if (m_notice.askYesNo("Program LCD mode", "Display protocol will be changed. Are You sure ?"))
        m_utility.SendProgramMode();
}

void SetModeForm::CloseForm()
{
    // Ends a send that still waits for the display.
    m_utility.CancelSend();
    ChildForm::CloseForm();
}

} // namespace vornestw
