#include "optionsform.h"

#include "displayutility.h"
#include "usernotice.h"

#include <QGroupBox>

namespace vornestw {

OptionsForm::OptionsForm(DisplayUtility& utility, UserNotice& notice, QWidget* parent)
    : RadioChoiceForm(parent), m_utility(utility), m_notice(notice)
{
    setObjectName("OptionsForm");
    setWindowTitle("Configure connection");

    auto* frame = new QGroupBox("Communication device", this);
    frame->setObjectName("PortFrame");
    buildChoice("PortOption", {"COM &1", "COM &2", "COM &3", "COM &4", "&Printer"}, frame);
}

void OptionsForm::BtnOk_Click()
{
    // The port opens at once; a port that cannot be opened keeps the old
    // channel and this window, so that another one can be chosen.
    if (const auto error = m_utility.ChangePort(chosen())) {
        m_notice.message(UserNotice::Severity::Critical, "Vornest", *error);
        return;
    }
    CloseForm();
}

} // namespace vornestw
