#pragma once

#include "radiochoiceform.h"

class QPushButton;

namespace vornestw {

class DisplayUtility;
class UserNotice;

// Chooses the protocol the utility speaks and can switch the display to it.
class SetModeForm : public RadioChoiceForm
{
    Q_OBJECT
public:
    SetModeForm(DisplayUtility& utility, UserNotice& notice, QWidget* parent = nullptr);

protected:
    void BtnOk_Click() override;
    void onCancel() override { CloseForm(); }

private:
    void BtnProgram_Click();
    void CloseForm();

    DisplayUtility& m_utility;
    UserNotice& m_notice;
    QPushButton* m_btnProgram = nullptr;
};

} // namespace vornestw
