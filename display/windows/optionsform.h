#pragma once

#include "radiochoiceform.h"

namespace vornestw {

class DisplayUtility;
class UserNotice;

// Chooses the channel: COM1..COM4 or the default printer.
class OptionsForm : public RadioChoiceForm
{
    Q_OBJECT
public:
    OptionsForm(DisplayUtility& utility, UserNotice& notice, QWidget* parent = nullptr);

protected:
    void BtnOk_Click() override;

private:
    DisplayUtility& m_utility;
    UserNotice& m_notice;
};

} // namespace vornestw
