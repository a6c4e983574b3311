#pragma once

#include "childform.h"

#include <array>

class QPushButton;
class QRadioButton;

namespace vornestw {

class DisplayUtility;
class UserNotice;

// Chooses the protocol the utility speaks and can switch the display to it.
class SetModeForm : public ChildForm
{
    Q_OBJECT
public:
    SetModeForm(DisplayUtility& utility, UserNotice& notice, QWidget* parent = nullptr);

    // Opening from the main window: ModeOpt(Mode) selected.
    void OpenWithMode(int mode);

protected:
    void onCancel() override { CloseForm(); }

private:
    void ModeOpt_Click(int index) { m_newMode = index; }
    void BtnOk_Click();
    void BtnProgram_Click();
    void CloseForm();

    DisplayUtility& m_utility;
    UserNotice& m_notice;
    int m_newMode = 0;
    std::array<QRadioButton*, 8> m_modeOpt{};
    QPushButton* m_btnOk = nullptr;
    QPushButton* m_btnProgram = nullptr;
    QPushButton* m_btnCancel = nullptr;
};

} // namespace vornestw
