#pragma once

#include "childform.h"

#include <array>

class QPushButton;
class QRadioButton;

namespace vornestw {

class DisplayUtility;
class UserNotice;

// Chooses the channel: COM1..COM4 or the default printer.
class OptionsForm : public ChildForm
{
    Q_OBJECT
public:
    OptionsForm(DisplayUtility& utility, UserNotice& notice, QWidget* parent = nullptr);

    // Opening from the main window: PortOption(Port) selected.
    void OpenWithPort(int port);

protected:
    void onCancel() override { CloseForm(); }

private:
    void BtnOk_Click();

    DisplayUtility& m_utility;
    UserNotice& m_notice;
    int m_newPort = 0;
    std::array<QRadioButton*, 5> m_portOption{};
    QPushButton* m_btnOk = nullptr;
    QPushButton* m_btnCancel = nullptr;
};

} // namespace vornestw
